// Battles: every order of the week's battle-order list carried out in turn,
// moves relocating the army and attacks fought out by numbers and chance.
#pragma once

#include <QString>

#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Random.h"

struct BattleOutcome {
    int Attackers = 0;       // field army of the attacker before the battle
    int Defenders = 0;       // field army of the defender before the battle
    bool Won = false;        // the attacker won
    int AttackersLost = 0;
    int DefendersLost = 0;
};

// The first report: who attacked whom with how many, and how it ended.
QString BattleReportText(const TGameState& s, int attacker, int defender, const BattleOutcome& o);
// The second report: the losses of both sides.
QString LossReportText(const BattleOutcome& o);

// The attacker's senior on a win: the defeated feud becomes the vassal of the
// attacker's senior, or of the attacker himself when he has none.
void Subordinate(TGameState& s, int attacker, int defender);

// The events of a battle fought: the battle for both sides and, when the
// beaten feud changed its senior, the vassal won by the new senior and lost
// by the old one, unless they fought it themselves.
void NoteBattle(TGameState& s, int attacker, int defender, const BattleOutcome& o, int seniorBefore);
// The events of the orders that the pass carries out without a battle.
void NoteMove(TGameState& s, int mover, int target);
void NoteAttackPassed(TGameState& s, int attacker, int target);

// Decides the battle from the numbers and two draws (u1 for the attacker,
// then u2 for the defender): the attacker wins exactly when a + a*u1 > d + d*u2.
bool AttackerWins(int attackers, int defenders, double u1, double u2);

// The course of a battle whose field armies have been counted (a for the
// attacker, d for the defender): the two draws, the first report, the losses
// through losses(feud, survivorsToCastle), the second report and, on a win,
// the change of senior and the army standing in the captured feud.
template <typename LossesOfSide>
BattleOutcome FightCounted(TGameState& s, Random& random, Messages& msgs, int attacker, int defender, int a, int d,
                           LossesOfSide losses) {
    BattleOutcome o;
    o.Attackers = a;
    o.Defenders = d;
    const double u1 = random.Real();
    const double u2 = random.Real();
    o.Won = AttackerWins(o.Attackers, o.Defenders, u1, u2);
    msgs.Info(BattleReportText(s, attacker, defender, o));
    if (o.Won) {
        o.DefendersLost = losses(defender, true);
        o.AttackersLost = losses(attacker, false);
    } else {
        o.AttackersLost = losses(attacker, false);
        o.DefendersLost = losses(defender, false);
    }
    msgs.Info(LossReportText(o));
    const int seniorBefore = s.Feuds[defender].Senior;
    if (o.Won) {
        Subordinate(s, attacker, defender);
        s.Feuds[attacker].ArmyFeud = static_cast<uint8_t>(defender);
    }
    NoteBattle(s, attacker, defender, o, seniorBefore);
    return o;
}

// Fights attacker against defender: counts, the two draws, the first report,
// the losses (one draw per field-army slot in slot order, the defender first
// on a win, the attacker first on a defeat), the second report and, on a win,
// the change of senior and the army standing in the captured feud.
BattleOutcome FightBattle(TGameState& s, Random& random, Messages& msgs, int attacker, int defender);

// Carries out BattleOrder in list order, each entry once: a move relocates the
// army; an attack on a feud whose army stands at home is fought by
// fight(attacker, defender); an attack on a feud whose army is away does
// nothing. Each feudal's event notes what became of his order.
template <typename FightOne>
void CarryOutOrders(TGameState& s, FightOne fight) {
    for (int k = 1; k <= MaxFeud; ++k) {
        const int a = s.BattleOrder[k];
        if (!IsFeud(s, a)) break;
        const int t = s.Feuds[a].ArmyTarget;
        if (!IsFeud(s, t)) continue;
        if (s.Feuds[a].ArmyCommand == ArmyMove) {
            s.Feuds[a].ArmyFeud = static_cast<uint8_t>(t);
            NoteMove(s, a, t);
        } else if (s.Feuds[a].ArmyCommand == ArmyAttack) {
            if (s.Feuds[t].ArmyFeud == t)
                fight(a, t);
            else
                NoteAttackPassed(s, a, t);
        }
    }
}

// Carries out BattleOrder, then recounts every feud's serving lenniks.
void CalcBattle(TGameState& s, Random& random, Messages& msgs);
