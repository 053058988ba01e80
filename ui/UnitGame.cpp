#include "ui/UnitGame.h"

#include <QCloseEvent>

#include "core/Forms.h"
#include "core/UnitAboutAuthor.h"
#include "core/UnitAboutProgram.h"

TFormGame::TFormGame(QWidget* parent) : QDialog(parent), boxMessages_(this), msgs_(&boxMessages_) {
    setWindowTitle(QStringLiteral("Marchfell"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    CreateControls();
}

TFormGame::~TFormGame() = default;

void TFormGame::SetMessages(Messages* msgs) { msgs_ = msgs ? msgs : &boxMessages_; }

void TFormGame::CreateControls() {
    SetFixedClientSize(this, 625, 377);
}

int TFormGame::SelectedDipView() const { return 0; }

void TFormGame::ItemExitClick() { close(); }

void TFormGame::closeEvent(QCloseEvent* event) {
    // The close box and "Выход" end the modal run; the game stays in memory.
    event->accept();
    reject();
}

void TFormGame::ItemAboutAuthorClick() {
    if (FormAboutAuthor) FormAboutAuthor->exec();
}

void TFormGame::ItemAboutProgramClick() {
    if (FormAboutProgram) FormAboutProgram->exec();
}

void TFormGame::tsArmyShow() {}
void TFormGame::tsFeudalShow() {}
void TFormGame::tsDiplomacyShow() { BuildTreeRelation(); }
