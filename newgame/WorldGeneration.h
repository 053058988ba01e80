// World generation: the neighbours, starting figures, fiefs, crossing times
// and lennik table of an accepted map; then, once the players are seated, the
// hierarchy, the computer feudals' names, the starting relations, the turn
// order and the calendar.
#pragma once

#include <cstdint>

#include "core/GameState.h"
#include "core/Random.h"

// The starting conditions of a new game, as the settings store holds them.
struct TStartingConditions {
    int32_t Lennik = 100;
    int32_t Grain = 50000;
    int32_t Peasant = 1000;
    int32_t Cow = 100;
    int32_t Horse = 100;
    int32_t Independence = 50;
};

// Two feuds are neighbours when a pixel of one lies at distance exactly 2
// (the larger of the row and column differences) from a pixel of the other;
// a feud of more than four pixels is its own neighbour too. Rebuilds the
// Neighbour rows 1..QuantityFeud of feuds 1..QuantityFeud.
void BuildNeighbours(TGameState& s);

// Everything that the map dialog's OK makes of a detected map (QuantityFeud
// 2..20): neighbours, every feud's starting figures, Len, Lennik, CrossTime,
// and the lennik table with slots 1..(sum of Lennik) given in feud order and
// every other slot free. Draws nothing at random.
void GenerateWorld(TGameState& s, const TStartingConditions& start);

// ---- after the players' seats

// A new game begins with no king and no pick.
void BeginSeating(TGameState& s);

// Player number seat (1-based) has picked SelectFeud: the feud becomes his and
// takes his place in the turn order. A seat or feud out of range is ignored.
void SeatPlayer(TGameState& s, int seat);

// The computer feuds follow the players in the turn order, in feud order; when
// no player took the crown a computer feud is drawn king (no king at all when
// every feud is a player's); every vassal of a king not yet known gets the king.
void SettleCrown(TGameState& s, Random& rnd);

// Each computer feudal but the king starts independent with his feud's
// Independence percent chance, else as the king's vassal, and takes his name
// from NamesFeudal; then the starting relations and the calendar (year 1,
// week 1, no feud moved yet).
void SettleVassalsAndRelations(TGameState& s, Random& rnd);
