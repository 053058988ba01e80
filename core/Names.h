// Feud names, the computer feudals' names and the feudal's displayed title.
#pragma once

#include <QString>

#include "core/GameState.h"

// Fills NamesFeud (Name then PossName) and NamesFeudal, entries 1..20: every
// feud a map can hold has a name and its computer feudal a personal name.
void FillNameTables(TGameState& s);

// "Король " + name for the king; "Барон " + name + " " + the feud's adjective
// for everybody else, with the cuts at 32 and 31 characters.
QString GetFullNameFeudal(const TGameState& s, int n);

// The feud's geographic name, NamesFeud[NameFeud of n].Name; empty outside 1..20.
QString FeudName(const TGameState& s, int n);
