// The save-game file: one fixed-size record holding the feud records, the map
// grid, the lennik slots, the turn order and the calendar. The record is built
// by a plain function from the state, then written so that an earlier file of
// the same name survives any failure; the reader checks a record through and
// through before it replaces the game with it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <QByteArray>
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
constexpr size_t SaveKingFeudOffset = SaveQuantityFeudOffset + 1;                          // 3,607,542
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
// Reserved bytes and the bytes after a name's length are zero, but for one:
// the king. The record shows who is his own senior, and that feud (the lowest,
// if several) is taken as king; when that would not name the game's KingFeud
// (a king beaten in battle, a feud beaten by its own vassal), the byte at
// SaveKingFeudOffset holds KingFeud, or 255 for a game without a king.
// Copies in blocks wherever the state's memory holds the file's bytes in order.
void BuildSaveRecord(const TGameState& s, TSaveRecord& record);

// The same record written field by field; the reference the block copies
// are checked against.
void BuildSaveRecordByFields(const TGameState& s, TSaveRecord& record);

// The king as the plain record shows him: the lowest feud of the map that is
// its own senior, 0 when there is none.
int KingBySeniors(const TGameState& s);
// What the record keeps of the king at SaveKingFeudOffset: 0 when
// KingBySeniors names KingFeud, else KingFeud (255 for no king).
uint8_t KingFeudByte(const TGameState& s);

// Decodes a record into state. The record is decoded into a scratch state
// (the lennik slots are checked where they lie in the record, whose layout
// they share) and checked against the rules' ranges and invariants; only a
// sound record
// replaces the game, and a refused one leaves state exactly as it was, with
// reason (if given) saying in Russian what is wrong and where. What the file
// does not hold is derived: the number of players, the place of the moving
// feud in the turn order, the king, the garrison of the moving feud, the
// selection, the cursor and the diplomacy feud as at a turn's start. Records,
// slots and table columns beyond the map's feuds are zero afterwards.
bool ReadSaveRecord(const TSaveRecord& record, TGameState& state, QString* reason);
// Reads the file at path and decodes it with ReadSaveRecord. Only a regular
// file of exactly SaveRecordSize bytes is read; a folder, a device, a pipe, a
// file that cannot be read or that vanished is refused with its own reason,
// and neither a pipe nor a device is ever opened for reading.
bool ReadSaveFile(const QString& path, TGameState& state, QString* reason);
// The same, the file's bytes read into bytes (whatever the outcome).
bool ReadSaveFile(const QString& path, TSaveRecord& bytes, TGameState& state, QString* reason);

// The Neighbour rows that BuildNeighbours gives the grid of s, found from
// the rows' runs of one feud: table[a][b] = 1 when a pixel of feud a lies at
// distance exactly 2 from a pixel of feud b; rows and columns beyond the
// map's feuds 0.
void NeighboursOfGrid(const TGameState& s, uint8_t table[MaxFeud + 1][MaxFeud + 1]);

// Whether leaving would lose anything: the record built from s now differs
// from the game's record right after the player's last save or load (after a
// load, the file's bytes, or the game they hold when those differ), or the
// game was never saved or loaded. Autosaves do not count.
// Keeps static storage: not reentrant.
bool GameChangedSinceSaved(const TGameState& s);
// The player saved s, or loaded it: that is the game as it stands on disk.
void NoteGameSaved(const TGameState& s);
// Loads the file at path into state as ReadSaveFile does and, when it is
// loaded, notes it saved: the file's own bytes are what leaving compares
// with, so that nothing is built again. A file another program wrote may
// hold bytes the game does not keep; the comparison then looks at the game
// they hold. Keeps static storage: not reentrant.
bool LoadSavedGame(const QString& path, TGameState& state, QString* reason);
// A new game: nothing of it is on disk yet.
void ForgetSavedGame();

// Writes size bytes to path as the file's whole content, under the name
// exactly as given.
//
// On Linux a new file, or an existing regular file the player may write, is
// written to a temporary file beside it, flushed to the disk and only then
// renamed over the target: the target ends as the complete earlier file with
// the failure reported, or as the complete new one with success reported. The
// temporary file is hidden, never ends in ".mcs", carries the host's name and
// the writing process's number, and is removed on any failure; one that a
// killed save left behind is swept up by the next successful save to the same
// target (see SweepsLeftover). A link is followed and the file it names is
// replaced.
//
// The file is written in place (opened, truncated and written where it
// stands, as a plain overwrite does) in exactly two cases: the target exists
// and is neither a regular file nor a folder (a device, a pipe), so that
// renaming over it would replace the device's node; or the target is a
// regular file the player may write, and no temporary file can be created
// beside it (a folder that takes no new files, no free file entries on the
// disk). A failure after the truncation leaves a regular file incomplete, and
// the reason then says so.
//
// On Windows the toolkit's replace-on-commit file does the same, with
// temporary files of its own; nothing there is written in place.
//
// On failure returns false and sets reason to the cause in Russian ("Отказано
// в доступе", "Недостаточно места на диске", ...).
bool WriteSaveFile(const QString& path, const uint8_t* data, size_t size, QString* reason);
inline bool WriteSaveFile(const QString& path, const TSaveRecord& record, QString* reason) {
    return WriteSaveFile(path, record.data(), record.size(), reason);
}

// Gives the file from the name to, replacing a file of that name; false with
// the reason in Russian when the system refuses.
bool RenameSaveFile(const QString& from, const QString& to, QString* reason);

// Creates folder and the folders above it that are missing; true when it is
// there afterwards. False with the reason in Russian otherwise.
bool MakeSaveFolder(const QString& folder, QString* reason);

// Causes of our own, beside the system's error numbers: the folder exists but
// the system makes no new file in it (a folder of system information); the
// disk has room but no free entry for a new file (inode).
constexpr int SaveErrorNoNewFiles = -1;
constexpr int SaveErrorNoFreeInode = -2;

// The reason text for a system error number or one of the causes above, in
// Russian where the game knows the error, otherwise the system's own text
// with its number.
QString SaveErrorReason(int errorNumber);
// The same for a Windows error code (GetLastError); empty for a code the game
// does not know, so that the caller can look for the cause another way.
QString SaveErrorReasonWindows(uint32_t code);
// Appended to the reason when a file written in place failed part-way.
inline QString PartlyWrittenReason() { return QStringLiteral("; файл записан не полностью"); }

// The host's name as temporary files carry it: letters, digits and "-", any
// other character as "_"; empty when the system does not tell it.
QByteArray SaveHostName();

// What a save knows of a file it finds beside its target.
struct TLeftoverFile {
    QByteArray name;       // the file's name in the folder
    bool regular = false;  // a plain file: not a folder, a link or a device
    bool ours = false;     // owned by the player who saves
};
// Whether the next save to target (a file name without folder) on host sweeps
// up file: a temporary file of a save to the same target, made on this host,
// owned by the player, whose process (processRuns asks the system) is gone. A
// file from another machine sharing the folder, another player's file, one a
// live process may still be writing and anything not named as our temporary
// files are kept.
bool SweepsLeftover(const TLeftoverFile& file, const QByteArray& target, const QByteArray& host,
                    bool (*processRuns)(long long pid));

// The saves folder, the same for every caller: "c:\Marchfell\SaveGame" on
// Windows, Marchfell/SaveGame in the user's home folder elsewhere. Nothing
// is created here; the autosave makes it when it is missing.
QString SaveGameFolder();

// The folder a save or load dialog opens in: the saves folder when it
// exists, otherwise the home folder. Opening a dialog creates nothing.
QString SaveDialogFolder();
