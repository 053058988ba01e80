#include "core/GameState.h"

TGameState Game;

void ClearGameData(TGameState& s) {
    std::memset(static_cast<void*>(s.Feuds), 0, sizeof s.Feuds);
    std::memset(static_cast<void*>(s.Lenniks), 0, sizeof s.Lenniks);
    std::memset(s.Map, 0, sizeof s.Map);
    s.QuantityFeud = 0;
    s.QuantityGamer = 0;
    s.Year = 0;
    s.Week = 0;
    std::memset(s.TurnOrder, 0, sizeof s.TurnOrder);
    s.TurnIndex = 0;
    s.CurrentFeud = 0;
    s.SelectFeud = 0;
    s.KingFeud = 0;
    std::memset(s.BattleOrder, 0, sizeof s.BattleOrder);
    s.NameGamer.Clear();
    s.DipFeud = 0;
    s.CursorFeud = 0;
    s.MapX = 0;
    s.MapY = 0;
    s.ArmyToCastle = 0;
    std::memset(static_cast<void*>(s.Events), 0, sizeof s.Events);
}

void CopyGameFields(const TGameState& from, TGameState& to) {
    std::memcpy(static_cast<void*>(to.Feuds), from.Feuds, sizeof to.Feuds);
    std::memcpy(to.Map, from.Map, sizeof to.Map);
    to.QuantityFeud = from.QuantityFeud;
    to.QuantityGamer = from.QuantityGamer;
    to.Year = from.Year;
    to.Week = from.Week;
    std::memcpy(to.TurnOrder, from.TurnOrder, sizeof to.TurnOrder);
    to.TurnIndex = from.TurnIndex;
    to.CurrentFeud = from.CurrentFeud;
    to.SelectFeud = from.SelectFeud;
    to.KingFeud = from.KingFeud;
    std::memcpy(to.BattleOrder, from.BattleOrder, sizeof to.BattleOrder);
    to.NameGamer = from.NameGamer;
    to.DipFeud = from.DipFeud;
    to.CursorFeud = from.CursorFeud;
    to.MapX = from.MapX;
    to.MapY = from.MapY;
    to.ArmyToCastle = from.ArmyToCastle;
}
