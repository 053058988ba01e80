// Windows-1251, the code page of the feudals' names in the state and the
// save file. The interface itself is Unicode.
#pragma once

#include <QByteArray>
#include <QString>

// True when every character of text has a Windows-1251 byte.
bool FitsCp1251(const QString& text);
// True when the one character c has a Windows-1251 byte.
bool FitsCp1251(char16_t c);

// Text to Windows-1251 bytes; a character outside the code page becomes '?'.
QByteArray ToCp1251(const QString& text);

// Windows-1251 bytes to text. The one byte the code page leaves undefined
// (0x98) reads as U+FFFD.
QString FromCp1251(const char* data, int length);
