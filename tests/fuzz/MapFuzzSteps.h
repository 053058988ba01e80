#pragma once

#include "core/GameState.h"
#include "core/Picture.h"

// What the game does with a loaded map picture, as far as it is built.
void RunMapSteps(TGameState& s, Picture& picture);
