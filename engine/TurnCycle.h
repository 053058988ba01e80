// The turn cycle: the end of a turn, the computer feudals' moves, the week's
// end with its service update, orders and battles, and the year's end.
//
// The cycle runs on a state with a random source and a message interface, so
// a whole week runs without windows. The game window follows the cycle
// through TurnHooks: it hides and shows its pages, sets its caption and fills
// its labels at the points where the cycle calls them.
#pragma once

#include <cstdint>

#include <QString>

#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Random.h"

// "1 год, май, 1 неделя": the year, the month of the seven-week year and the
// week of the month.
QString TimeText(int32_t year, int week);

// "Ходит феодал " + title + ".": the announcement of a human feudal's turn.
QString AnnouncementText(const TGameState& s, int f);

// The year's end for every feud: the increments, the capped lenniks, the
// grown economy (counts saturate at the 32-bit limits), the cleared calls and
// services; then every lennik goes home. Each feudal's events note his gains
// and the lenniks sent home.
void YearEnd(TGameState& s);

// The state part of a turn's preparation for CurrentFeud: the army order is
// cleared and ArmyToCastle becomes the number of serving lenniks now in the
// castle (within 0..LennikAppear).
void PrepareTurn(TGameState& s);

// The computer feudal's move: he calls his lenniks unless they are in service.
void ComputerMove(TGameState& s);

// The outgoing feud's part of the end of a turn: its diplomacy view is stored
// (0..3; any other value keeps it) and its serving lenniks are split between
// castle and field army by ArmyToCastle.
void EndOutgoingTurn(TGameState& s, int dipView, Messages& msgs);

// The week's end, one slot pass per step as the rules read: service update,
// battle-order list, battles and moves, cleared march times, the calendar
// step and every seventh week the year's end. Leaves TurnIndex at 1. Each
// feudal's event list gets what happened to him, dated with the ending week.
void NextTurnPlain(TGameState& s, Random& random, Messages& msgs);

// The same week's end with the same results, events and order of draws,
// made in one pass over the lennik table plus the work of the battles (and
// one more pass at the year's end). This is the one the game runs. Keeps
// the field armies it lists in static memory, so it is not reentrant: one
// week's end at a time.
void NextTurn(TGameState& s, Random& random, Messages& msgs);

// What the game window does at the points of the cycle. The defaults do
// nothing, which is what a test or a benchmark without windows needs.
class TurnHooks {
public:
    virtual ~TurnHooks() = default;
    // The diplomacy view selected now, stored for the outgoing feud; -1 keeps it.
    virtual int SelectedDipView() { return -1; }
    // Between turns: pages hidden, menus disabled, caption for CurrentFeud.
    virtual void BetweenTurns() {}
    // After the rules prepared CurrentFeud's turn: fill the window for him.
    virtual void TurnPrepared() {}
    // After the computer feudal moved.
    virtual void ComputerMoved() {}
    // A human feudal's turn begins: pages shown, menus enabled, events listed.
    // Once it returns, the rules empty his event list.
    virtual void HumanTurnBegins() {}
};

// "Конец хода": ends CurrentFeud's turn (nothing to end when TurnIndex is 0,
// at a game's start), plays every computer feudal that follows, runs the
// week's end when the turn order is exhausted, and stops at the next human
// feudal after announcing him. Returns his feud. A turn order without a human
// feudal stops after one week's end with TurnIndex 0 and returns 0. Not
// reentrant, as NextTurn.
int EndTurn(TGameState& s, Random& random, Messages& msgs, TurnHooks& hooks);
