// The autosave: at the start of every human turn the game is written, with no
// question and no box, to "Автосохранение.mcs" in the saves folder, the
// autosave before it of the same game kept as "Автосохранение
// (предыдущее).mcs". A new game keeps the newest autosave of the game before
// it as "Автосохранение (прошлая игра).mcs", so that starting a game never
// costs the last one. These three files and the writer's temporary file are
// all the autosave makes.
#pragma once

#include <QString>

#include "core/GameState.h"

// While false, AutoSaveTurn writes nothing and returns nothing: a turn shown
// again (a game just loaded) or one being timed leaves the saves folder as it
// is. True from the program's start.
extern bool AutoSaveEnabled;

// Marks the start of a new game: the next autosave keeps the newest autosave,
// which is of the game before, as "Автосохранение (прошлая игра).mcs", and
// drops "Автосохранение (предыдущее).mcs", which is older still.
void AutoSaveNewGame();

// Writes the save record of s (byte for byte what "Сохранить игру" would
// write now) as the newest autosave, after keeping the one before. Makes the
// saves folder, and the one above it, when missing. A record byte-equal to the
// newest autosave, still in place as this program wrote it, is not written
// again. Returns an empty string on success, otherwise the one line
// "Автосохранение не удалось: <reason> («<file>»)." for the event memo.
// The record is built in static storage: nothing is allocated for it.
QString AutoSaveTurn(const TGameState& s);
