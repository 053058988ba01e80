// Helpers shared by the tests.
#pragma once

#include <QString>

// The temporary folder that stands in for the user's configuration folder.
QString TestConfigFolder();
// Removes the game's settings file, as on a machine that never ran the game.
void ResetTestSettings();
