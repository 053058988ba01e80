// Helpers shared by the tests.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The temporary folder that stands in for the user's configuration folder.
QString TestConfigFolder();
// Removes the game's settings (the file, or on Windows the scratch registry
// keys the tests use instead of the game's own and its old one), as on a
// machine that never ran the game.
void ResetTestSettings();

// The game's settings as they stand in the store, past QSettings' own cache:
// the text of every value.
QMap<QString, QString> StoredSettings();
// Replaces the whole store with these lines of the settings file, each
// "Name=raw text" as a player could type it there. On Windows the same text
// is read the way the file would be and put in the registry: a plain decimal
// integer becomes a DWORD, any other text a string, a list a multi-string.
void WriteStoredSettings(const QStringList& lines);
// Removes one value from the store, leaving the others.
void RemoveStoredSetting(const QString& name);
// Everything in the store, to tell whether anything was written meanwhile.
QByteArray StoredSnapshot();

// Whether taking away a file's permission bits stops this process reading it:
// not for the superuser, and never on Windows, which keeps no such bits.
bool ReadPermissionsApply();
