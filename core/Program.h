#pragma once

#include <QString>
#include <QStringList>

// The program entry: application, title, the ten windows, the message loop.
// A save file named on the command line ("marchfell game.mcs") is loaded at
// start; "marchfell --guide" opens the player's guide on its own.
int RunProgram(int argc, char** argv);

// The save file among the program's arguments (the toolkit's own options
// already taken out), or an empty text.
QString SaveFileArgument(const QStringList& arguments);

// "--guide" among the program's arguments: the guide alone, without a game.
bool GuideArgument(const QStringList& arguments);

// The first window once the forms exist: the guide alone, the start menu, or
// (once the loop runs) the saved game named on the command line.
void StartWindows(const QStringList& arguments);
