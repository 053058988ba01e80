// What the pages "Войско" and "Дипломатия" show, worked out from the state.
#pragma once

#include <cstdint>

#include "core/GameState.h"

// The feudal's serving lenniks: how many, the turnout against his lenniks, and
// the averages of their ten attributes, each truncated towards zero.
struct ArmySummary {
    static constexpr int Attributes = 10;  // Spear, Sword, Riding, Health, Strength,
                                           // Endurance, Armour, Morale, Discipline, Battle
    int32_t Count = 0;
    bool HasTurnout = false;  // false while the feud holds no lenniks
    int32_t Turnout = 0;      // percent
    int32_t Average[Attributes] = {};
};
ArmySummary SummarizeArmy(const TGameState& s, int feud);

// Record slots 1..20 other than f whose senior is f; every slot counts,
// whatever the number of feuds on the map.
int CountVassals(const TGameState& s, int f);

// The realm as a two-level tree: the king with his vassals, then each
// independent lord with his, all in feud order. A realm with no king shows
// the independent lords only.
struct RealmTree {
    struct Node {
        uint8_t Feud = 0;
        int VassalCount = 0;
        uint8_t Vassals[MaxFeud] = {};
    };
    int Count = 0;
    Node Nodes[MaxFeud + 1];
};
void BuildRealmTree(const TGameState& s, RealmTree& tree);
