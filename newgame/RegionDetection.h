// Region detection: turns a 400 x 200 map picture into the map grid.
#pragma once

#include "core/GameState.h"
#include "core/Picture.h"

// Clears Map and QuantityFeud, then numbers every 4-connected area of one
// exact colour (black and pure blue are border) by its first pixel in
// row-major order, filling Map and each feud's PosX/PosY (its last pixel).
// Every pure-yellow pixel joins feud 1. Stops at the 21st region with
// QuantityFeud = 21, touching no record beyond the 20th. Paints the picture
// with the marker colours as it works. The picture must be 400 x 200.
void InitializeMap(TGameState& s, Picture& picture);
