// The new game, run by the start menu's "Игра": the map dialog, the players'
// seats, the hierarchy, names, relations and turn order, then the game window.
#pragma once

void RunNewGameFlow();
