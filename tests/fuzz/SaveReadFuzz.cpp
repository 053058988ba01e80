// Fuzzes the save reader: a sound record of a game in play, changed at up to
// 64 places the input names, is read. A refused record must leave the game
// as it was, with a reason; an accepted one must read back to the same
// record, agree with the neighbour rule and play on without the game's own
// error box, the garrison track bar at its top.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/GameState.h"
#include "engine/Battle.h"
#include "engine/TurnCycle.h"
#include "newgame/WorldGeneration.h"
#include "save/SaveGame.h"
#include "tests/load/PlayedGame.h"

namespace {

// The game's own error is the one box a loaded file must never reach.
struct FuzzMessages : Messages {
    void Info(const QString&) override {}
    void Error(const QString&) override { std::abort(); }
    bool Confirm(const QString&) override { return true; }
};

// Three sound records: a game of twelve feuds in play with an order given, the
// same after its king fell to an independent, and a game of twenty feuds.
TSaveRecord* Bases() {
    static TSaveRecord* bases = [] {
        auto* records = new TSaveRecord[3];
        auto s = std::make_unique<TGameState>();
        Random random(3);
        NoteMessages msgs;
        if (!NewGameOnMap(*s, "base.bmp", {{2, TSeatStatus::King}, {6, TSeatStatus::Independent}}, random, msgs))
            std::abort();
        PlayWeeks(*s, 5, random, msgs);
        PlayHumanTurn(*s, random, msgs);
        BuildSaveRecord(*s, records[0]);
        Subordinate(*s, 6, 2);
        BuildSaveRecord(*s, records[1]);
        if (!NewGameOnMap(*s, "twenty.bmp", {{7, TSeatStatus::Vassal}}, random, msgs)) std::abort();
        PlayWeeks(*s, 3, random, msgs);
        BuildSaveRecord(*s, records[2]);
        return records;
    }();
    return bases;
}

// The part of the record a change lands in: feud records, grid, lennik
// slots, or the turn order and calendar.
constexpr size_t Regions[4][2] = {{SaveFeudsOffset, SaveMapOffset},
                                  {SaveMapOffset, SaveLenniksOffset},
                                  {SaveLenniksOffset, SaveTurnOrderOffset},
                                  {SaveTurnOrderOffset, SaveRecordSize}};

// The game's data, byte for byte, to tell whether a refusal touched it.
bool SameData(const TGameState& a, const TGameState& b) {
    return std::memcmp(a.Feuds, b.Feuds, sizeof a.Feuds) == 0 &&
           std::memcmp(a.Lenniks, b.Lenniks, sizeof a.Lenniks) == 0 && std::memcmp(a.Map, b.Map, sizeof a.Map) == 0 &&
           std::memcmp(a.TurnOrder, b.TurnOrder, sizeof a.TurnOrder) == 0 && a.QuantityFeud == b.QuantityFeud &&
           a.QuantityGamer == b.QuantityGamer && a.Year == b.Year && a.Week == b.Week && a.TurnIndex == b.TurnIndex &&
           a.CurrentFeud == b.CurrentFeud && a.KingFeud == b.KingFeud && a.DipFeud == b.DipFeud &&
           a.ArmyToCastle == b.ArmyToCastle;
}

void CopyData(const TGameState& from, TGameState& to) {
    CopyGameFields(from, to);
    std::memcpy(static_cast<void*>(to.Lenniks), from.Lenniks, sizeof to.Lenniks);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* record = new TSaveRecord;
    static auto* again = new TSaveRecord;
    static auto* again2 = new TSaveRecord;
    static auto* game = new TGameState();   // the game in place
    static auto* before = new TGameState();  // its data
    static auto* other = new TGameState();
    static auto* grid = new TGameState();
    static bool loaded = false;
    if (!loaded) {
        if (!ReadSaveRecord(Bases()[0], *game, nullptr)) std::abort();
        CopyData(*game, *before);
        loaded = true;
    }
    if (size == 0) return 0;

    *record = Bases()[data[0] % 3];
    bool gridChanged = false;
    for (size_t i = 1; i + 5 <= size && i < 1 + 5 * 64; i += 5) {
        const auto& region = Regions[data[i] % 4];
        const size_t at = size_t(data[i + 1]) | size_t(data[i + 2]) << 8 | size_t(data[i + 3]) << 16;
        (*record)[region[0] + at % (region[1] - region[0])] = data[i + 4];
        gridChanged |= data[i] % 4 == 1;
    }

    QString reason;
    if (!ReadSaveRecord(*record, *game, &reason)) {
        if (reason.isEmpty() || !SameData(*game, *before)) std::abort();
    } else {
        CopyData(*game, *before);
        // Read back: the same record, whatever the file held beyond the map.
        BuildSaveRecord(*game, *again);
        if (!ReadSaveRecord(*again, *other, &reason)) std::abort();
        BuildSaveRecord(*other, *again2);
        if (*again2 != *again || !SameData(*other, *game)) std::abort();
        // Play on with every serving lennik of the mover asked into the castle.
        FuzzMessages msgs;
        Random random(size);
        TurnHooks hooks;
        for (int turn = 0; turn < 2; ++turn) {
            other->ArmyToCastle = other->Feuds[other->CurrentFeud].LennikAppear;
            EndTurn(*other, random, msgs, hooks);
        }
    }

    // The one-pass neighbours against the rule, on whatever grid came of it.
    if (gridChanged) {
        std::memcpy(grid->Map, record->data() + SaveMapOffset, sizeof grid->Map);
        grid->QuantityFeud = MaxFeud;
        uint8_t table[MaxFeud + 1][MaxFeud + 1];
        NeighboursOfGrid(*grid, table);
        BuildNeighbours(*grid);
        for (int a = 1; a <= MaxFeud; ++a)
            for (int b = 1; b <= MaxFeud; ++b)
                if (table[a][b] != grid->Feuds[a].Neighbour[b]) std::abort();
    }
    return 0;
}
