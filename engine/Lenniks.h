// The lennik slots: freeing a slot and giving it a new recruit's values.
#pragma once

#include <cstdint>

#include "core/GameState.h"

// Frees slot n (Feud = 0) and gives it the values of a new recruit: health 25,
// strength 5, endurance 15, armour 10, everything else 0. A number outside
// 1..MaxLennik is ignored.
void KillLennik(TGameState& s, int32_t n);
