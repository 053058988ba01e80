// A small realm on a hand-made grid, shared by the game-screen tests.
//
// The map is 4 x 2 cells split by one-pixel black lines at columns 100, 200,
// 300 and row 100; feuds 1..4 on the top row, 5..8 below, left to right:
//
//   1 king (his own senior)   2 vassal of 1   3 vassal of 1   4 independent
//   5 vassal of 4             6 vassal of 4   7 vassal of 2   8 independent
//
// Neighbours are the cells that share a side (and each feud itself).
#pragma once

#include <QPoint>

#include "core/GameState.h"
#include "core/Picture.h"

// A point well inside feud f's cell.
QPoint Inside(int f);

// Clears s and builds the realm: grid, anchors, neighbours, hierarchy, names
// ("Феодал1".."Феодал8"), Fertility 1. CurrentFeud and DipFeud := mover.
void BuildRealm(TGameState& s, int mover = 1);

// The realm's map picture: white cells inside black lines.
Picture RealmPicture();
