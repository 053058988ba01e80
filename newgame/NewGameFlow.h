// The new game, run by the start menu's "Игра": the map dialog, the players'
// seats, the hierarchy, names, relations and turn order, then the game window.
#pragma once

// Returns to the start menu in every outcome: after "Возврат" in the map
// dialog, after a seating dialog is closed with its close box (the new game is
// abandoned), and when the game window closes.
void RunNewGameFlow();

// The game window for a game that is ready in Game, its human turn already
// shown in the window (a new game's first turn, or a loaded game's turn):
// the start menu hides, the window runs modally, and when it closes the start
// menu shows again.
void RunGameWindow();
