#include "engine/Battle.h"

#include "engine/Events.h"
#include "engine/Lenniks.h"

namespace {
// One side's field army: each lennik falls with one chance in ten, the
// survivors either stay in the field or retreat into the castle.
int Losses(TGameState& s, Random& random, int f, bool survivorsToCastle) {
    int lost = 0;
    for (int n = 1; n <= MaxLennik; ++n) {
        TLennik& l = s.Lenniks[n];
        if (l.Feud != f || l.Appear != 1 || l.InCastle != 0) continue;
        if (random.Below(100) < 10) {
            KillLennik(s, n);
            ++lost;
        } else if (survivorsToCastle) {
            l.InCastle = 1;
        }
    }
    return lost;
}
}  // namespace

QString BattleReportText(const TGameState& s, int attacker, int defender, const BattleOutcome& o) {
    return QStringLiteral("Феодал ") + s.Feuds[attacker].NameFeudal.ToQString() + QStringLiteral(" (") +
           QString::number(o.Attackers) + QStringLiteral(") атаковал феодала ") +
           s.Feuds[defender].NameFeudal.ToQString() + QStringLiteral(" (") + QString::number(o.Defenders) +
           (o.Won ? QStringLiteral(") и победил.") : QStringLiteral(") и проиграл."));
}

QString LossReportText(const BattleOutcome& o) {
    return QStringLiteral("Потери атакующих составили ") + QString::number(o.AttackersLost) +
           QStringLiteral(" рыцарей, защищавшихся ") + QString::number(o.DefendersLost) + QStringLiteral(" рыцарей.");
}

void Subordinate(TGameState& s, int attacker, int defender) {
    const uint8_t senior = s.Feuds[attacker].Senior;
    s.Feuds[defender].Senior = senior != 0 ? senior : static_cast<uint8_t>(attacker);
}

void NoteBattle(TGameState& s, int attacker, int defender, const BattleOutcome& o, int seniorBefore) {
    TEvent e = MakeEvent(EventBattle, attacker, defender);
    e.Figures[FigAttackers] = o.Attackers;
    e.Figures[FigDefenders] = o.Defenders;
    e.Figures[FigAttackersLost] = o.AttackersLost;
    e.Figures[FigDefendersLost] = o.DefendersLost;
    e.Flag = o.Won ? 1 : 0;
    e.Senior = o.Won ? s.Feuds[defender].Senior : 0;
    e.SeniorBefore = static_cast<uint8_t>(seniorBefore);
    RecordEvent(s, attacker, e);
    if (defender != attacker) RecordEvent(s, defender, e);
    const int now = e.Senior;
    if (!o.Won || now == seniorBefore) return;
    // The new senior gains a vassal he did not fight for; the old one, unless
    // he fought, or is the beaten feud itself, loses one.
    TEvent change = MakeEvent(EventVassalWon, attacker, defender);
    change.Senior = e.Senior;
    change.SeniorBefore = e.SeniorBefore;
    if (now != attacker && now != defender) RecordEvent(s, now, change);
    change.Kind = EventVassalLost;
    if (seniorBefore != attacker && seniorBefore != defender) RecordEvent(s, seniorBefore, change);
}

void NoteMove(TGameState& s, int mover, int target) { RecordEvent(s, mover, MakeEvent(EventMove, mover, target)); }

void NoteAttackPassed(TGameState& s, int attacker, int target) {
    RecordEvent(s, attacker, MakeEvent(EventAttackPassed, attacker, target));
}

bool AttackerWins(int attackers, int defenders, double u1, double u2) {
    const long double a = attackers;
    const long double d = defenders;
    return a + a * u1 > d + d * u2;
}

BattleOutcome FightBattle(TGameState& s, Random& random, Messages& msgs, int attacker, int defender) {
    return FightCounted(s, random, msgs, attacker, defender, CountFieldArmy(s, attacker), CountFieldArmy(s, defender),
                        [&](int f, bool toCastle) { return Losses(s, random, f, toCastle); });
}

void CalcBattle(TGameState& s, Random& random, Messages& msgs) {
    CarryOutOrders(s, [&](int a, int t) { FightBattle(s, random, msgs, a, t); });
    RecountLennikAppear(s);
}
