#include "engine/Battle.h"

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
