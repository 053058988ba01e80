// Army orders: the move, capture and cancel commands of the map's popup menu,
// the text of the order label, and the week's battle-order list.
#pragma once

#include <QString>

#include "core/GameState.h"
#include "core/Messages.h"

// Orders the moving feud's army onto SelectFeud. When the target's senior is
// not the mover's senior the player is asked first; on No nothing changes.
// Returns true when the order was given.
bool OrderArmyMove(TGameState& s, Messages& msgs);
// Orders the moving feud's army to capture SelectFeud. Returns true when given.
bool OrderArmyAttack(TGameState& s);
// Cancels the moving feud's order; the target is kept and ignored.
void CancelArmyOrder(TGameState& s);

// What "Команда:" shows for feud f: "Переместиться на феод ", "Захватить феод "
// and the target's name, or nothing when f has no order.
QString ArmyCommandText(const TGameState& s, int f);

// The week's end: the march time of every order (the crossing times of the
// army's feud and of the target) and BattleOrder, the feuds with an order by
// march time, ties by feud number. Unused entries are 0. Returns the count.
int BuildBattleOrder(TGameState& s);
