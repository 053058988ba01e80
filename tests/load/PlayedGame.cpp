#include "PlayedGame.h"

#include <cstring>

#include "core/DataPath.h"
#include "core/Names.h"
#include "core/Picture.h"
#include "engine/ArmyOrders.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"
#include "newgame/RegionDetection.h"
#include "save/SaveGame.h"
#include "ui/Diplomacy.h"

bool NewGameOnMap(TGameState& s, const QString& map, const std::vector<TSeat>& seats, Random& random,
                  Messages& msgs, const TStartingConditions& start) {
    FillNameTables(s);
    Picture picture;
    if (!picture.Load(DataFilePath(QStringLiteral("maps/") + map))) return false;
    Picture marks;
    marks.CopyFrom(picture);
    InitializeMap(s, picture);
    GenerateWorld(s, start);
    BeginSeating(s);
    int seat = 0;
    for (const TSeat& t : seats) {
        ++seat;
        s.NameGamer.Assign(QStringLiteral("Игрок %1").arg(seat));
        s.SelectFeud = 0;  // each player picks afresh
        if (!PickFeud(s, marks, s.Feuds[t.Feud].PosX, s.Feuds[t.Feud].PosY)) return false;
        ConfirmFeud(s, marks, t.Status);
        SeatPlayer(s, seat);
    }
    s.QuantityGamer = static_cast<uint8_t>(seat);
    SettleCrown(s, random);
    SettleVassalsAndRelations(s, random);
    TurnHooks hooks;
    return EndTurn(s, random, msgs, hooks) != 0;
}

void PlayHumanTurn(TGameState& s, Random& random, Messages& msgs) {
    const int c = s.CurrentFeud;
    TFeud& f = s.Feuds[c];
    if (f.LennikInService != 1 && random.Below(3) > 0) CallLenniks(s);
    else if (f.LennikAppear > 0 && f.LennikInService == 1 && random.Below(10) == 0) DismissLenniks(s);
    if (CanCallVassals(s, c) && random.Below(4) == 0) CallVassals(s);
    if (f.ArmyFeud == c && f.LennikAppear > 0) s.ArmyToCastle = random.Below(f.LennikAppear / 2 + 1);
    const int army = f.ArmyFeud;
    if (f.LennikAppear > s.ArmyToCastle && IsFeud(s, army)) {
        const int target = 1 + random.Below(s.QuantityFeud);
        if (target != army && s.Feuds[army].Neighbour[target] == 1) {
            s.SelectFeud = static_cast<uint8_t>(target);
            if (random.Below(3) == 0) OrderArmyMove(s, msgs);
            else if (!(target == c && army == c)) OrderArmyAttack(s);
        }
    }
    static const int8_t codes[] = {PersEnemy, Enemy, Unknown, Peace, Ally};
    SetRelation(s, random.Below(2) ? RelationDeclared : RelationTrue, 1 + random.Below(s.QuantityFeud),
                codes[random.Below(5)]);
}

void PlayWeeks(TGameState& s, int weeks, Random& random, Messages& msgs) {
    TurnHooks hooks;
    for (int passed = 0; passed < weeks;) {
        const int week = s.Week;
        PlayHumanTurn(s, random, msgs);
        EndTurn(s, random, msgs, hooks);
        if (s.Week != week) ++passed;
    }
}

bool KingWithArmyAtHome(TGameState& s, Random& random, Messages& msgs) {
    if (!NewGameOnMap(s, "base.bmp", {{2, TSeatStatus::King}, {6, TSeatStatus::Independent}}, random, msgs))
        return false;
    TurnHooks hooks;
    for (int turns = 0; turns < 40; ++turns) {
        const TFeud& f = s.Feuds[s.CurrentFeud];
        if (s.CurrentFeud == 2 && f.ArmyFeud == 2 && f.LennikAppear > s.ArmyToCastle) return true;
        if (f.LennikInService != 1) CallLenniks(s);
        EndTurn(s, random, msgs, hooks);
    }
    return false;
}

bool SameGame(const TGameState& a, const TGameState& b) {
    static auto* ra = new TSaveRecord;
    static auto* rb = new TSaveRecord;
    BuildSaveRecord(a, *ra);
    BuildSaveRecord(b, *rb);
    return *ra == *rb && a.QuantityGamer == b.QuantityGamer && a.TurnIndex == b.TurnIndex &&
           a.KingFeud == b.KingFeud && a.DipFeud == b.DipFeud && a.ArmyToCastle == b.ArmyToCastle;
}
