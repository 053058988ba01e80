#include "ui/Diplomacy.h"

bool SetRelation(TGameState& s, RelationTable table, int target, int8_t code) {
    const int mover = s.CurrentFeud;
    if (!IsFeud(s, mover) || !IsFeud(s, target) || target == mover) return false;
    if (code < PersEnemy || code > Ally) return false;
    TFeud& f = s.Feuds[mover];
    (table == RelationDeclared ? f.DipToFeudalShow : f.DipToFeudalTrue)[target] = code;
    return true;
}
