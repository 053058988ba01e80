// Where the program finds its bundled maps and pictures.
#pragma once

#include <QString>

// Absolute path of a data file given relative to the data folder
// ("maps/base.bmp", "pictures/startmenu.bmp"): beside the program in the
// build tree, in the data folder of an installation beside it (share/marchfell,
// or share/games/marchfell when the program lies in games/), in the installed
// data folder, or in the source tree's assets. On Windows the folder beside
// the program comes first. Returns the first candidate that exists, or the
// installed path (on Windows: beside the program) when none does.
QString DataFilePath(const QString& relative);
