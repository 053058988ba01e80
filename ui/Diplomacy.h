// The relations a feudal sets towards the others from the map's popup menu.
#pragma once

#include <cstdint>

#include "core/GameState.h"

enum RelationTable {
    RelationDeclared,  // DipToFeudalShow: what he declares ("Объявить")
    RelationTrue,      // DipToFeudalTrue: what he really holds ("Пометить")
};

// Writes code into the moving feudal's table towards target. Only his own
// table changes; the other feudal learns nothing. Returns false and changes
// nothing when target is no feud of the map or is the mover himself, or the
// code is no relation.
bool SetRelation(TGameState& s, RelationTable table, int target, int8_t code);
