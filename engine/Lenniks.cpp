#include "engine/Lenniks.h"

void KillLennik(TGameState& s, int32_t n) {
    if (n < 1 || n > MaxLennik) return;
    TLennik& l = s.Lenniks[n];
    l.Feud = 0;
    l.InCastle = 0;
    l.Appear = 0;
    l.Spear = 0;
    l.Sword = 0;
    l.Riding = 0;
    l.Health = 25;
    l.Strength = 5;
    l.Endurance = 15;
    l.Armour = 10;
    l.Morale = 0;
    l.Discipline = 0;
    l.Battle = 0;
}
