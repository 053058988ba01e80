#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Ввод имени игрока": the name of the feudal the player being seated plays.
// It closes with Accepted only on a name that passes the checks; its close box
// gives Rejected, which abandons the new game.
class TFormInputNameGamer : public QDialog {
    Q_OBJECT
public:
    explicit TFormInputNameGamer(QWidget* parent = nullptr);

    QLabel* LInputName = nullptr;
    QLineEdit* EditNameGamer = nullptr;
    QPushButton* btnOk = nullptr;

public slots:
    void btnOkClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
