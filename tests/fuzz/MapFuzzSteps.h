#pragma once

#include "core/GameState.h"
#include "core/Picture.h"

// What the game does with a loaded map picture: detection (compared with the
// plain rescan) and, for an accepted map, world generation. Aborts when the
// results break the rules.
void RunMapSteps(TGameState& s, Picture& picture);
