// World generation at the map dialog's OK: neighbours, starting figures,
// fiefs, crossing times and the lennik table.
#pragma once

#include "core/Messages.h"

// Reads the starting conditions from the settings store at this moment and
// generates the world of the accepted map into the global game. Returns false
// (after reporting) when a setting cannot be read; nothing is generated then.
bool GenerateWorldAtOk(Messages& msgs);
