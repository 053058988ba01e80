// "Сохранить игру": the game as it stands in the middle of this turn, written
// to a file the player names.
#include "ui/UnitGame.h"

#include "core/GameState.h"
#include "save/SaveGame.h"

void TFormGame::ItemSaveGameClick() { SaveGameByDialog(); }

bool TFormGame::SaveGameByDialog() {
    const QString path = GetSaveFileName(this, SaveDialogFolder(), QStringLiteral("Сохраненные игры (*.mcs)"));
    if (path.isEmpty()) return false;  // cancelled: nothing is written

    BuildSaveRecord(Game, SaveGame);
    QString reason;
    if (!WriteSaveFile(path, SaveGame, &reason)) {
        Msgs().Error(QStringLiteral("Не удалось сохранить игру в файл «%1»:\n%2.").arg(path, reason));
        return false;
    }
    NoteGameSaved(Game);
    return true;
}
