#include "newgame/UnitInputNameGamer.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/UnitStartMenu.h"
#include "newgame/PlayerSeats.h"

namespace {

// Lets into the field only what a stored name can hold, whether typed or
// pasted: the other characters are dropped and the rest is kept.
class NameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        const QString kept = FilterNameGamer(input);
        if (kept.size() != input.size()) {
            pos -= static_cast<int>(input.left(pos).size() - FilterNameGamer(input.left(pos)).size());
            input = kept;
        }
        return Acceptable;
    }
};

}  // namespace

TFormInputNameGamer::TFormInputNameGamer(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Ввод имени игрока"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    SetFixedClientSize(this, 260, 97);

    LInputName = new QLabel(this);
    LInputName->setObjectName(QStringLiteral("LInputName"));
    LInputName->setGeometry(8, 10, 244, 16);

    EditNameGamer = new QLineEdit(this);
    EditNameGamer->setObjectName(QStringLiteral("EditNameGamer"));
    EditNameGamer->setGeometry(8, 30, 244, 21);
    EditNameGamer->setMaxLength(25);
    EditNameGamer->setValidator(new NameValidator(EditNameGamer));

    btnOk = new QPushButton(QStringLiteral("ОК"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(92, 62, 75, 25);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TFormInputNameGamer::btnOkClick);
}

void TFormInputNameGamer::btnOkClick() {
    const QString error = CheckNameGamer(Game, EditNameGamer->text());
    if (!error.isEmpty()) {
        ShowErrorBox(this, error);
        EditNameGamer->setFocus();
        return;
    }
    accept();
}

void TFormInputNameGamer::showEvent(QShowEvent* event) {
    CenterOnWidget(this, FormStartMenu);
    EditNameGamer->setFocus();
    QDialog::showEvent(event);
}

void TFormInputNameGamer::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button: Escape does nothing here.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
