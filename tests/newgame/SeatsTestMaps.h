// Map grids built straight into a game state, for the seating and generation
// tests: no picture file and no detection involved.
#pragma once

#include "core/GameState.h"
#include "core/Picture.h"

// Clears the grid and gives the rectangle to feud n (QuantityFeud is not changed).
void ClearGrid(TGameState& s);
void GridRect(TGameState& s, int x, int y, int w, int h, int n);

// The grid of StripMap(n): n vertical strips numbered 1..n from the left, split
// by one-pixel border columns, with QuantityFeud = n and each feud's PosX/PosY
// at its last pixel (bottom row, rightmost column).
void GridStrips(TGameState& s, int n);

// Sets QuantityFeud and every feud's PosX/PosY to its last pixel in row-major order.
void CountGridFeuds(TGameState& s, int quantity);
