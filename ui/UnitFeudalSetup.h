#pragma once

#include <QDialog>

// Priorities of attack and defence. No command of the game shows it.
class TFormFeudalSetup : public QDialog {
    Q_OBJECT
public:
    explicit TFormFeudalSetup(QWidget* parent = nullptr);
};
