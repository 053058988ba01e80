// Helpers of the save tests: reading the record and files back, a small game
// to save, and the ways a test makes the system refuse a write.
#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/GameState.h"
#include "save/SaveGame.h"

int32_t Int32At(const uint8_t* p, size_t offset);

// A running game of n feuds on vertical strips, in week 1 of year 1, feud 1
// moving, every feud holding one lennik.
void FillGame(TGameState& s, int n);

QByteArray ReadWholeFile(const QString& path);
// Every entry of a folder, hidden ones too.
QStringList FolderEntries(const QString& folder);

// While alive, the process acts as an unprivileged user, so that permission
// bits stop it as they stop a player. Already true when not running as root;
// Active() is false when the switch was refused, and always on Windows.
class Unprivileged {
public:
    Unprivileged();
    ~Unprivileged();
    bool Active() const { return active_; }

private:
    bool active_ = false;
    bool switched_ = false;
};

// While alive, files this process writes cannot grow past limit bytes: a write
// beyond it fails with the system's "file too large". Does nothing on Windows.
class FileSizeLimit {
public:
    explicit FileSizeLimit(uint64_t limit);
    ~FileSizeLimit();

private:
    uint64_t soft_ = 0;
    uint64_t hard_ = 0;
    void (*oldHandler_)(int) = nullptr;
};
