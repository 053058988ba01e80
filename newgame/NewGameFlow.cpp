#include "newgame/NewGameFlow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/Random.h"
#include "core/UnitStartMenu.h"
#include "newgame/UnitInputNameGamer.h"
#include "newgame/UnitSelectFeud.h"
#include "newgame/UnitSelectMap.h"
#include "newgame/WorldGeneration.h"
#include "save/AutoSave.h"
#include "save/SaveGame.h"
#include "ui/UnitGame.h"

namespace {

// Swallows the store's complaint about a missing map path: that reads as no
// map at all, and the map dialog opens empty.
class SilentMessages : public Messages {
public:
    void Info(const QString&) override {}
    void Error(const QString&) override {}
    bool Confirm(const QString&) override { return false; }
};

// Seats player number seat through the name and feud dialogs. False when the
// player closed either dialog, abandoning the new game.
bool SeatOnePlayer(int seat) {
    Game.SelectFeud = 0;

    FormInputNameGamer->LInputName->setText(QStringLiteral("Феодал №") + QString::number(seat) +
                                            QStringLiteral(", введите имя:"));
    FormInputNameGamer->EditNameGamer->clear();
    if (FormInputNameGamer->exec() != QDialog::Accepted) return false;
    Game.NameGamer.Assign(FormInputNameGamer->EditNameGamer->text());

    FormSelectFeud->btnOk->setEnabled(false);
    FormSelectFeud->LFeud->clear();
    FormSelectFeud->setWindowTitle(QStringLiteral("Феодал ") + Game.NameGamer.ToQString() +
                                   QStringLiteral(" выбирает родовой феод"));
    if (FormSelectFeud->exec() != QDialog::Accepted || !IsFeud(Game, Game.SelectFeud)) return false;

    SeatPlayer(Game, seat);
    return true;
}

}  // namespace

void RunNewGameFlow() {
    if (!FormStartMenu || !FormSelectMap || !FormInputNameGamer || !FormSelectFeud || !FormGame) return;

    QString path;
    SilentMessages silent;
    if (!FormStartMenu->Reestr.ReadString(QStringLiteral("CurrentPathToMap"), path, silent)) path.clear();
    FormSelectMap->SetOpenMapFileName(path);
    FormSelectMap->Initialize();

    FormStartMenu->hide();
    BeginSeating(Game);
    if (FormSelectMap->exec() != QDialog::Accepted) {
        FormStartMenu->show();
        return;
    }

    FormSelectFeud->rbKing->setChecked(true);
    const int players = Game.QuantityGamer < Game.QuantityFeud ? Game.QuantityGamer : Game.QuantityFeud;
    for (int seat = 1; seat <= players; ++seat) {
        if (!SeatOnePlayer(seat)) {
            FormStartMenu->show();
            return;
        }
    }

    SettleCrown(Game, GameRandom);
    GameRandom.SeedFromClock();
    SettleVassalsAndRelations(Game, GameRandom);

    AutoSaveNewGame();  // the first turn's autosave keeps the last game's newest
    ForgetSavedGame();  // nothing of this game is on disk yet
    FormGame->ItemEndTurnClick();
    if (FormGame->rbDipToFeudalShow) FormGame->rbDipToFeudalShow->setChecked(true);
    RunGameWindow();
}

void RunGameWindow() {
    if (!FormStartMenu || !FormGame) return;
    FormStartMenu->hide();
    FormGame->exec();
    FormStartMenu->show();
}
