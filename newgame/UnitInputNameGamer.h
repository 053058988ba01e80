#pragma once

#include <QDialog>

// "Ввод имени игрока".
class TFormInputNameGamer : public QDialog {
    Q_OBJECT
public:
    explicit TFormInputNameGamer(QWidget* parent = nullptr);
};
