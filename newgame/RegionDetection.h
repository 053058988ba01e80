// Region detection: turns a 400 x 200 map picture into the map grid.
#pragma once

#include "core/GameState.h"
#include "core/Picture.h"

// Clears Map and QuantityFeud, then numbers every 4-connected area of one
// exact colour (black and pure blue are border) by its first pixel in
// row-major order, filling Map and each feud's PosX/PosY (its last pixel).
// Every pure-yellow pixel joins feud 1. Stops at the 21st region with
// QuantityFeud = 21, touching no record beyond the 20th. Paints every pixel
// it gave to a feud pure blue, as the marker scans do. A picture of any other
// size than 400 x 200 yields an empty grid and no feud.
//
// Labels the grid in two passes: runs of one colour joined row by row, then
// the grid, the anchors and the blue painted run by run. Works in storage of
// its own, kept between calls: one detection at a time.
void InitializeMap(TGameState& s, Picture& picture);

// The same results by the plain method: for each new feud, flood the area
// with pure yellow, then rescan the whole picture turning yellow into blue.
// Kept as the reference the fast method is checked against.
void InitializeMapByRescan(TGameState& s, Picture& picture);
