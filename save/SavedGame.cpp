// What the player last saved or loaded, so that leaving asks only when the
// game differs from it.
#include "save/SaveGame.h"

#include <cstring>

namespace {
TSaveRecord LastSaved;  // the record right after the last save or load
TSaveRecord Now;        // the record built to compare
bool Saved = false;
}  // namespace

bool GameChangedSinceSaved(const TGameState& s) {
    if (!Saved) return true;
    BuildSaveRecord(s, Now);
    return std::memcmp(Now.data(), LastSaved.data(), SaveRecordSize) != 0;
}

void NoteGameSaved(const TGameState& s) {
    BuildSaveRecord(s, LastSaved);
    Saved = true;
}

void ForgetSavedGame() { Saved = false; }
