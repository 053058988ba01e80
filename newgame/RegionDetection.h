// Region detection: turns a 400 x 200 map picture into the map grid.
#pragma once

#include "core/GameState.h"
#include "core/Picture.h"

// Clears Map and QuantityFeud, then numbers every 4-connected area of one
// exact colour (black and pure blue are border) by its first pixel in
// row-major order, filling Map and each feud's PosX/PosY (its last pixel).
// Every pure-yellow pixel joins feud 1. Stops at the 21st region with
// QuantityFeud = 21, touching no record beyond the 20th. A picture of any
// other size than 400 x 200 yields an empty grid and no feud. Only reads the
// picture: the marker colours are the plain method's working state.
//
// Labels the grid in two passes: runs of one colour joined row by row, then
// the grid and the anchors written run by run. Keeps its working storage in
// static memory between calls, so it is not reentrant: one detection at a time.
void InitializeMap(TGameState& s, const Picture& picture);

// The same grid, count and anchors by the plain method: for each new feud,
// flood the area with pure yellow, then rescan the whole picture turning
// yellow into blue (so every pixel given to a feud ends pure blue). Kept as
// the reference the fast method is checked against.
void InitializeMapByRescan(TGameState& s, Picture& picture);
