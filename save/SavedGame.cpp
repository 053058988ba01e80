// What the player last saved or loaded, so that leaving asks only when the
// game differs from it.
#include "save/SaveGame.h"

#include <cstring>
#include <utility>

#include "core/GameState.h"

namespace {
TSaveRecord Records[2];
TSaveRecord* LastSaved = &Records[0];  // the record right after the last save or load
TSaveRecord* Spare = &Records[1];      // a file read to be loaded
TSaveRecord Now;                       // the record built to compare
bool Saved = false;
// LastSaved is the record the game builds, not a loaded file's bytes as they were read.
bool AsBuilt = true;
TGameState Loaded;  // the loaded file's game, when its bytes must be built again
}  // namespace

bool GameChangedSinceSaved(const TGameState& s) {
    if (!Saved) return true;
    BuildSaveRecord(s, Now);
    if (std::memcmp(Now.data(), LastSaved->data(), SaveRecordSize) == 0) return false;
    if (AsBuilt) return true;
    // The file may hold what the game does not keep (names' bytes past their
    // length, records past the map's feuds): its game, built as a record, is
    // what was loaded. Done once, and only when leaving asks.
    AsBuilt = true;
    if (!ReadSaveRecord(*LastSaved, Loaded, nullptr)) return true;  // it was read once: never so
    BuildSaveRecord(Loaded, *LastSaved);
    return std::memcmp(Now.data(), LastSaved->data(), SaveRecordSize) != 0;
}

void NoteGameSaved(const TGameState& s) {
    BuildSaveRecord(s, *LastSaved);
    Saved = true;
    AsBuilt = true;
}

bool LoadSavedGame(const QString& path, TGameState& state, QString* reason) {
    if (!ReadSaveFile(path, *Spare, state, reason)) return false;
    std::swap(LastSaved, Spare);
    Saved = true;
    AsBuilt = false;
    return true;
}

void ForgetSavedGame() { Saved = false; }
