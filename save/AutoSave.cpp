#include "save/AutoSave.h"

#include <cstring>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "save/SaveGame.h"

bool AutoSaveEnabled = true;

namespace {

// The record being built and the newest one written, taking turns: comparing
// them tells a game that has not changed since the last autosave.
TSaveRecord Records[2];
int Newest = -1;          // which of Records the newest autosave holds; -1 when unknown
QString NewestPath;       // where that autosave was written ...
QDateTime NewestTime;     // ... and its time of change there
// The program starts with no game: its first autosave is a new game's.
bool NewGame = true;

// The record's end (whose turn, the year, the week) changes from one turn to
// the next, so it is compared first; only an unchanged end costs a full pass.
bool SameRecord(const TSaveRecord& a, const TSaveRecord& b) {
    constexpr size_t end = SaveRecordSize - SaveCurrentFeudOffset;
    return std::memcmp(a.data() + SaveCurrentFeudOffset, b.data() + SaveCurrentFeudOffset, end) == 0 &&
           std::memcmp(a.data(), b.data(), SaveCurrentFeudOffset) == 0;
}

QString Failed(const QString& reason, const QString& file) {
    return QStringLiteral("Автосохранение не удалось: %1 («%2»).").arg(reason, QDir::toNativeSeparators(file));
}

}  // namespace

void AutoSaveNewGame() { NewGame = true; }

QString AutoSaveTurn(const TGameState& s) {
    if (!AutoSaveEnabled) return QString();
    const int next = Newest == 0 ? 1 : 0;
    TSaveRecord& record = Records[next];
    BuildSaveRecord(s, record);

    const QString folder = SaveGameFolder();
    const QDir dir(folder);
    const QString newest = dir.filePath(QStringLiteral("Автосохранение.mcs"));
    if (!NewGame && Newest >= 0 && NewestPath == newest && SameRecord(record, Records[Newest])) {
        const QFileInfo written(newest);
        if (written.isFile() && written.size() == qint64(SaveRecordSize) && written.lastModified() == NewestTime)
            return QString();
    }

    QString reason;
    if (!MakeSaveFolder(folder, &reason)) return Failed(reason, folder);
    // The newest autosave steps back. When that fails nothing is written, so
    // that the autosave it would have kept is never lost.
    const bool stepBack = QFileInfo(newest).isFile();
    if (NewGame) {
        const QString lastGame = dir.filePath(QStringLiteral("Автосохранение (прошлая игра).mcs"));
        if (stepBack && !RenameSaveFile(newest, lastGame, &reason)) return Failed(reason, lastGame);
        QFile::remove(dir.filePath(QStringLiteral("Автосохранение (предыдущее).mcs")));
        NewGame = false;
    } else {
        const QString previous = dir.filePath(QStringLiteral("Автосохранение (предыдущее).mcs"));
        if (stepBack && !RenameSaveFile(newest, previous, &reason)) return Failed(reason, previous);
    }

    Newest = -1;
    if (!WriteSaveFile(newest, record, &reason)) return Failed(reason, newest);
    Newest = next;
    NewestPath = newest;
    NewestTime = QFileInfo(newest).lastModified();
    return QString();
}
