#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// "Об авторе...": a picture on the left, five read-only fields on the right.
class TFormAboutAuthor : public QDialog {
    Q_OBJECT
public:
    explicit TFormAboutAuthor(QWidget* parent = nullptr);

    QLabel* ImageAuthor = nullptr;
    QLineEdit* EditAuthor = nullptr;
    QLineEdit* EditCity = nullptr;
    QLineEdit* EditNick = nullptr;
    QLineEdit* EditGroup = nullptr;
    QLineEdit* EditMail = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
