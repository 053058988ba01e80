// Games to save and load: a bundled map, players seated as the new-game
// dialogs seat them, and weeks played by the computer and by scripted
// players. Plain rules, no windows, so that the fuzz target can use it too.
#pragma once

#include <vector>

#include <QString>
#include <QStringList>

#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "newgame/PlayerSeats.h"
#include "newgame/WorldGeneration.h"

// Records every text; questions are answered Yes.
struct NoteMessages : Messages {
    QStringList infos, errors;
    void Info(const QString& text) override { infos << text; }
    void Error(const QString& text) override { errors << text; }
    bool Confirm(const QString&) override { return true; }
};

struct TSeat {
    int Feud;
    TSeatStatus Status;
};

// A new game on the bundled map (a name under maps/): the world, the players
// in seat order, the crown, the vassals and relations, and the first turn up
// to the first player. False when the map cannot be read.
bool NewGameOnMap(TGameState& s, const QString& map, const std::vector<TSeat>& seats, Random& random,
                  Messages& msgs, const TStartingConditions& start = {});

// What a player might do in his turn: call or dismiss his lenniks, set the
// garrison, order his army against a feud bordering it, set a relation.
void PlayHumanTurn(TGameState& s, Random& random, Messages& msgs);

// Ends turns, each player playing his by the script, until `weeks` weeks have
// passed; stops at a player's turn.
void PlayWeeks(TGameState& s, int weeks, Random& random, Messages& msgs);

// The king of the bundled map (2, Лотарингия) and an independent (6,
// Нормандия) seated, then turns ended, every player calling his lenniks,
// until the king's turn with a field army at home. False if it never comes.
bool KingWithArmyAtHome(TGameState& s, Random& random, Messages& msgs);

// The same game in both states: the same save record, and the same values
// the record does not hold that a turn goes on with (players, turn index,
// king, diplomacy feud, garrison).
bool SameGame(const TGameState& a, const TGameState& b);
