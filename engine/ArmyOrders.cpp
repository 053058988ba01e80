#include "engine/ArmyOrders.h"

namespace {
inline int CrossTimeOf(const TGameState& s, int f) { return IsFeud(s, f) ? s.Feuds[f].CrossTime : 0; }

bool GiveOrder(TGameState& s, uint8_t command) {
    if (!IsFeud(s, s.CurrentFeud) || !IsFeud(s, s.SelectFeud)) return false;
    TFeud& f = s.Feuds[s.CurrentFeud];
    f.ArmyCommand = command;
    f.ArmyTarget = s.SelectFeud;
    return true;
}
}  // namespace

bool OrderArmyMove(TGameState& s, Messages& msgs) {
    if (!IsFeud(s, s.CurrentFeud) || !IsFeud(s, s.SelectFeud)) return false;
    if (s.Feuds[s.CurrentFeud].Senior != s.Feuds[s.SelectFeud].Senior &&
        !msgs.Confirm(QStringLiteral("Феодал не ваш сеньор/вассал. Вы уверены, что хотите переместить войско?")))
        return false;
    return GiveOrder(s, ArmyMove);
}

bool OrderArmyAttack(TGameState& s) { return GiveOrder(s, ArmyAttack); }

void CancelArmyOrder(TGameState& s) {
    if (IsFeud(s, s.CurrentFeud)) s.Feuds[s.CurrentFeud].ArmyCommand = ArmyNone;
}

QString ArmyCommandText(const TGameState& s, int f) {
    if (!IsFeud(s, f)) return {};
    const TFeud& feud = s.Feuds[f];
    const QString target = feud.ArmyTarget <= MaxFeud ? s.NamesFeud[feud.ArmyTarget].Name : QString();
    switch (feud.ArmyCommand) {
    case ArmyMove: return QStringLiteral("Переместиться на феод ") + target;
    case ArmyAttack: return QStringLiteral("Захватить феод ") + target;
    default: return {};
    }
}

int BuildBattleOrder(TGameState& s) {
    const int q = MapFeuds(s);
    for (int i = 1; i <= q; ++i) {
        TFeud& f = s.Feuds[i];
        if (f.ArmyCommand == ArmyNone) continue;
        // At most 2 x 81 on a 400 x 200 map; kept within the byte all the same.
        const int time = CrossTimeOf(s, f.ArmyFeud) + CrossTimeOf(s, f.ArmyTarget);
        f.ArmyTime = static_cast<uint8_t>(time < 255 ? time : 255);
    }
    int count = 0;
    for (int time = 1; time <= 255; ++time)
        for (int i = 1; i <= q; ++i)
            if (s.Feuds[i].ArmyTime == time) s.BattleOrder[++count] = static_cast<uint8_t>(i);
    for (int k = count + 1; k <= MaxFeud; ++k) s.BattleOrder[k] = 0;
    return count;
}
