#include "ui/GamePages.h"

#include <algorithm>

#include "engine/Lenniks.h"

ArmySummary SummarizeArmy(const TGameState& s, int feud) {
    ArmySummary result;
    if (feud < 1 || feud > MaxFeud) return result;
    // Sums in 64 bits: 80000 lenniks of large figures never wrap.
    int64_t sums[ArmySummary::Attributes] = {};
    ForSlotsOf(s, feud, [&](const TLennik& l) {
        if (l.Appear != 1) return;
        ++result.Count;
        const int32_t values[ArmySummary::Attributes] = {l.Spear,     l.Sword,  l.Riding, l.Health,     l.Strength,
                                                         l.Endurance, l.Armour, l.Morale, l.Discipline, l.Battle};
        for (int a = 0; a < ArmySummary::Attributes; ++a) sums[a] += values[a];
    });
    if (result.Count == 0) return result;
    for (int a = 0; a < ArmySummary::Attributes; ++a)
        result.Average[a] = static_cast<int32_t>(sums[a] / result.Count);
    const int32_t lenniks = s.Feuds[feud].Lennik;
    if (lenniks > 0) {
        result.HasTurnout = true;
        const int64_t percent = int64_t{result.Count} * 100 / lenniks;
        result.Turnout = static_cast<int32_t>(std::min<int64_t>(percent, INT32_MAX));
    }
    return result;
}

int CountVassals(const TGameState& s, int f) {
    int n = 0;
    for (int j = 1; j <= MaxFeud; ++j)
        if (j != f && s.Feuds[j].Senior == f) ++n;
    return n;
}

namespace {
void AddNode(const TGameState& s, RealmTree& tree, int lord, int count, bool skipLord) {
    RealmTree::Node& node = tree.Nodes[tree.Count++];
    node = RealmTree::Node();
    node.Feud = static_cast<uint8_t>(lord);
    for (int j = 1; j <= count && node.VassalCount < MaxFeud; ++j)
        if (s.Feuds[j].Senior == lord && !(skipLord && j == lord)) node.Vassals[node.VassalCount++] = static_cast<uint8_t>(j);
}
}  // namespace

void BuildRealmTree(const TGameState& s, RealmTree& tree) {
    tree.Count = 0;
    const int count = std::min<int>(s.QuantityFeud, MaxFeud);
    const int king = s.KingFeud;
    const bool hasKing = king >= 1 && king <= MaxFeud;
    // The king is his own senior; he is not his own vassal.
    if (hasKing) AddNode(s, tree, king, count, true);
    for (int i = 1; i <= count && tree.Count <= MaxFeud; ++i)
        if (s.Feuds[i].Senior == 0 && i != king) AddNode(s, tree, i, count, false);
}
