// The save-game file: one fixed-size record holding the feud records, the map
// grid, the lennik slots, the turn order and the calendar. Nothing reads it
// back. The record is built by a plain function from the state, then written
// so that an earlier file of the same name survives any failure.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <QString>

#include "core/GameState.h"

// Layout of the record. All integers little-endian, reals IEEE 754 doubles.
constexpr size_t SaveFeudSize = 376;
constexpr size_t SaveLennikSize = 44;
constexpr size_t SaveFeudsOffset = 0;
constexpr size_t SaveMapOffset = SaveFeudsOffset + MaxFeud * SaveFeudSize;                 // 7,520
constexpr size_t SaveLenniksOffset = SaveMapOffset + size_t(MapHeight) * MapWidth;         // 87,520
constexpr size_t SaveTurnOrderOffset = SaveLenniksOffset + size_t(MaxLennik) * SaveLennikSize;  // 3,607,520
constexpr size_t SaveCurrentFeudOffset = SaveTurnOrderOffset + MaxFeud;                    // 3,607,540
constexpr size_t SaveQuantityFeudOffset = SaveCurrentFeudOffset + 1;                       // 3,607,541
constexpr size_t SaveYearOffset = SaveQuantityFeudOffset + 3;                              // 3,607,544
constexpr size_t SaveWeekOffset = SaveYearOffset + 4;                                      // 3,607,548
constexpr size_t SaveRecordSize = SaveWeekOffset + 4;                                      // 3,607,552
static_assert(SaveRecordSize == 3607552);

using TSaveRecord = std::array<uint8_t, SaveRecordSize>;

// The record image the save command fills and writes; static storage, so that
// saving allocates nothing for the game data.
extern TSaveRecord SaveGame;

// Fills record from the state: the 20 feud records (all of them, whatever the
// map), the 200 rows of the grid, the 80,000 lennik slots (free ones too), the
// turn order, the moving feud, the number of feuds, the year and the week.
// Reserved bytes and the bytes after a name's length are zero. Copies in
// blocks wherever the state's memory holds the file's bytes in order.
void BuildSaveRecord(const TGameState& s, TSaveRecord& record);

// The same record written field by field; the reference the block copies
// are checked against.
void BuildSaveRecordByFields(const TGameState& s, TSaveRecord& record);

// Writes size bytes to path as the file's whole content. A regular file is
// written to a temporary file in the target's folder, flushed to disk and
// only then moved over the target, so an existing file is either replaced
// completely or left untouched; the temporary file is hidden, never ends in
// ".mcs" and is removed on any failure (only a killed program leaves it). A target that exists and is not a
// regular file (a device), or a writable file in a folder where no temporary
// file can be made, is written directly. The name is used exactly as given.
// On failure returns false and sets reason to the reason of the step that
// failed, in Russian ("Отказано в доступе", ...).
bool WriteSaveFile(const QString& path, const uint8_t* data, size_t size, QString* reason);
inline bool WriteSaveFile(const QString& path, const TSaveRecord& record, QString* reason) {
    return WriteSaveFile(path, record.data(), record.size(), reason);
}

// The reason text for a system error number, in Russian where the game knows
// the error, otherwise the system's own text with its number.
QString SaveErrorReason(int errorNumber);

// The folder the save dialog opens in: "c:\Marchfell\SaveGame" on Windows,
// Marchfell/SaveGame in the user's home folder elsewhere; the home folder
// when that folder does not exist. Nothing is created.
QString SaveGameFolder();
