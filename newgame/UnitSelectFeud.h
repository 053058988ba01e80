#pragma once

#include <QDialog>

// The feud and status choice of one player.
class TFormSelectFeud : public QDialog {
    Q_OBJECT
public:
    explicit TFormSelectFeud(QWidget* parent = nullptr);
};
