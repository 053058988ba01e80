// The new game, run by the start menu's "Игра": the map dialog, the players'
// seats, the hierarchy, names, relations and turn order, then the game window.
#pragma once

// Returns to the start menu in every outcome: after "Возврат" in the map
// dialog, after a seating dialog is closed with its close box (the new game is
// abandoned), and when the game window closes.
void RunNewGameFlow();
