#pragma once

#include <QDialog>

// A dialog with a day of the week and a raid or capture choice. No command
// of the game shows it.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};
