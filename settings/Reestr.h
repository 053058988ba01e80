// The settings store: the starting conditions of a new game and the last map
// path, in a current set and a default set. Kept by QSettings: on Windows the
// registry key HKEY_CURRENT_USER\Software\Tarvold\Marchfell (the player's
// own, which he may write without administrator rights), elsewhere the
// user's configuration file for organisation "Tarvold", application
// "Marchfell" (~/.config/Tarvold/Marchfell.conf). One object, held by the
// start menu for the whole run; every reader and writer goes through it.
//
// Types. In the registry an integer is a 32-bit DWORD and a path a string.
// In the text file the type is carried by the text itself: an integer value
// is the decimal text of a 32-bit number (optional sign, digits only); any
// other text, e.g. "abc" or "99999999999", is of the wrong type for an
// integer read. A string is any text, so a string that happens to read
// "100" would also pass as an integer; nothing in the game reads a path as
// a number, so the difference never shows. Values that are not plain text
// at all (a list made by an unquoted comma, a byte array) are of the wrong
// type for both reads.
#pragma once

#include <cstdint>
#include <memory>

#include <QString>
#include <QVariant>

#include "core/Messages.h"

class QSettings;

// The decimal text of a 32-bit integer, as a player types it into a field:
// surrounding spaces allowed, an optional sign, then ASCII digits only.
// False for anything else, including numbers that do not fit 32 bits.
bool TextToInteger(const QString& text, int32_t& value);

// The registry key that holds the settings on Windows. Tests point it at a
// scratch key of their own, so that they never touch the game's real one.
// Elsewhere the settings file is found through QSettings' own paths.
QString ReestrKey();
void SetReestrKey(const QString& key);
// Where earlier versions kept the settings on Windows, for the whole machine:
// HKEY_LOCAL_MACHINE\Software\Tarvold\Marchfell. Read once, when the
// player's own key does not exist yet; never written.
QString OldReestrKey();
void SetOldReestrKey(const QString& key);

class TReestr {
public:
    TReestr();
    ~TReestr();
    TReestr(const TReestr&) = delete;
    TReestr& operator=(const TReestr&) = delete;

    // Opens the key without creating it; when it exists, that is all, even
    // if values are missing. Otherwise creates it and fills it: on Windows
    // with the values of the old key if there is one, as they stand, else
    // with the fourteen values of the first run in order. When that fails, shows
    // "Не могу создать ключ в реестре." and leaves the store closed: every
    // later read and write then fails with its own message.
    void OpenOrCreate(Messages& msgs);
    bool IsOpen() const { return settings_ != nullptr; }

    // A missing value, one of the wrong type or a closed store fails: an
    // error box names the value, `value` is left alone and the caller skips
    // the rest of its handler.
    bool ReadInteger(const QString& name, int32_t& value, Messages& msgs);
    bool ReadString(const QString& name, QString& value, Messages& msgs);
    // Written through to the disk (or registry) at once. A write that
    // cannot be stored is reported and leaves the old value in place.
    bool WriteInteger(const QString& name, int32_t value, Messages& msgs);
    bool WriteString(const QString& name, const QString& value, Messages& msgs);

    // The text shown when the key can be neither opened nor created.
    static QString KeyErrorText() { return QStringLiteral("Не могу создать ключ в реестре."); }
    // The first-run value of both map paths: the map that comes with the game.
    static QString BundledMapPath();

private:
    bool Write(const QString& name, const QVariant& value, Messages& msgs);

    std::unique_ptr<QSettings> settings_;
};
