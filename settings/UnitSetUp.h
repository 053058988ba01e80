#pragma once

#include <QDialog>

// "Настройка игры ": the starting conditions of a new game.
class TFormSetUp : public QDialog {
    Q_OBJECT
public:
    explicit TFormSetUp(QWidget* parent = nullptr);
};
