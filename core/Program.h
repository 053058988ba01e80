#pragma once

#include <QString>
#include <QStringList>

// The program entry: application, title, the ten windows, the message loop.
// A save file named on the command line ("marchfell game.mcs") is loaded at
// start.
int RunProgram(int argc, char** argv);

// The save file among the program's arguments (the toolkit's own options
// already taken out), or an empty text.
QString SaveFileArgument(const QStringList& arguments);
