#pragma once

#include <QDialog>

class QLabel;

// "О программе": three centred lines, closed with the close box.
class TFormAboutProgram : public QDialog {
    Q_OBJECT
public:
    explicit TFormAboutProgram(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};
