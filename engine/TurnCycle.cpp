#include "engine/TurnCycle.h"

#include <cstdint>
#include <limits>

#include "core/Names.h"
#include "engine/ArmyOrders.h"
#include "engine/Battle.h"
#include "engine/Lenniks.h"

namespace {

inline int MapFeuds(const TGameState& s) { return s.QuantityFeud < MaxFeud ? s.QuantityFeud : MaxFeud; }

constexpr int32_t MaxCount = std::numeric_limits<int32_t>::max();
constexpr int32_t MinCount = std::numeric_limits<int32_t>::min();

int32_t Clamp(int64_t v) { return v > MaxCount ? MaxCount : v < MinCount ? MinCount : static_cast<int32_t>(v); }

int32_t AddSaturated(int32_t a, int64_t b) { return Clamp(static_cast<int64_t>(a) + b); }

// The integer part of a product, held at the 32-bit limits.
int32_t TruncSaturated(long double v) {
    if (v != v) return 0;
    if (v >= static_cast<long double>(MaxCount)) return MaxCount;
    if (v <= static_cast<long double>(MinCount)) return MinCount;
    return static_cast<int32_t>(v);
}

// The calendar step and, after the seventh week, the year's end.
void AdvanceCalendar(TGameState& s) {
    s.TurnIndex = 1;
    s.Week = static_cast<uint8_t>(s.Week + 1);
    if (s.Week >= 8) {
        s.Week = 1;
        if (s.Year < MaxCount) ++s.Year;
        YearEnd(s);
    }
}

void ClearMarchTimes(TGameState& s) {
    for (int i = 1; i <= MapFeuds(s); ++i) s.Feuds[i].ArmyTime = 0;
}

}  // namespace

QString TimeText(int32_t year, int week) {
    static const char* const months[] = {"май, ", "июнь, ", "июль, ", "август, ", "сентябрь, "};
    const int index = (week - 1) / 4;
    const int weekOfMonth = (week - 1) % 4 + 1;
    const QString month = (week >= 1 && index <= 4) ? QString::fromUtf8(months[index]) : QString();
    return QString::number(year) + QStringLiteral(" год, ") + month + QString::number(weekOfMonth) +
           QStringLiteral(" неделя");
}

QString AnnouncementText(const TGameState& s, int f) {
    return QStringLiteral("Ходит феодал ") + GetFullNameFeudal(s, f) + QStringLiteral(".");
}

void YearEnd(TGameState& s) {
    for (int i = 1; i <= MapFeuds(s); ++i) {
        TFeud& f = s.Feuds[i];
        f.AddLennik = 10;
        f.AddGrain = TruncSaturated(static_cast<long double>(f.Peasant) * static_cast<long double>(f.Fertility));
        // The integer part of a twentieth; exact, where a binary 0.05 is not.
        f.AddCow = f.Cow / 20;
        f.AddHorse = f.Horse / 20;
        f.Lennik = AddSaturated(f.Lennik, f.AddLennik);
        if (f.Len < f.Lennik) f.Lennik = f.Len;
        f.Grain = AddSaturated(f.Grain, f.AddGrain);
        f.Cow = AddSaturated(f.Cow, f.AddCow);
        f.Horse = AddSaturated(f.Horse, f.AddHorse);
        f.Peasant = AddSaturated(f.Peasant, f.Peasant / 100);
        f.CallLennik = 0;
        f.CallVassal = 0;
        f.LennikInService = 0;
        f.VassalInService = 0;
        f.DismissLennik = 0;
        f.DismissVassal = 0;
        f.LennikAppear = 0;
    }
    // Everybody goes home; who was in the castle stays marked so.
    for (int n = 1; n <= MaxLennik; ++n) s.Lenniks[n].Appear = 0;
}

void PrepareTurn(TGameState& s) {
    const int c = s.CurrentFeud;
    if (!IsFeud(s, c)) return;
    TFeud& f = s.Feuds[c];
    f.ArmyCommand = ArmyNone;
    f.ArmyTarget = 0;
    f.ArmyTime = 0;
    int32_t inCastle = CountInCastle(s, c);
    const int32_t most = f.LennikAppear > 0 ? f.LennikAppear : 0;
    if (inCastle > most) inCastle = most;
    s.ArmyToCastle = inCastle;
}

void ComputerMove(TGameState& s) {
    if (IsFeud(s, s.CurrentFeud) && s.Feuds[s.CurrentFeud].LennikInService != 1) CallLenniks(s);
}

void EndOutgoingTurn(TGameState& s, int dipView, Messages& msgs) {
    const int c = s.CurrentFeud;
    if (!IsFeud(s, c)) return;
    if (dipView >= 0 && dipView <= 3) s.Feuds[c].DipView = static_cast<uint8_t>(dipView);
    DistributeGarrison(s, c, msgs);
}

void NextTurnPlain(TGameState& s, Random& random, Messages& msgs) {
    ServiceUpdate(s, random);
    BuildBattleOrder(s);
    CalcBattle(s, random, msgs);
    ClearMarchTimes(s);
    AdvanceCalendar(s);
}

// ---- the week's end in one pass ------------------------------------------
//
// The service pass also counts the serving lenniks and links each feud's
// field army (serving, outside the castle) into a chain of slots in slot
// order. The battles then walk only the chains of the two sides, unlinking
// the fallen and the defenders who retreat into the castle, so every count
// and every draw is the one a full pass over the table would give.

namespace {

struct FieldArmies {
    int32_t Head[MaxFeud + 1];
    int32_t Count[MaxFeud + 1];     // length of the chain
    int32_t Serving[MaxFeud + 1];   // serving lenniks of the feud
    int32_t Next[MaxLennik + 1];    // next slot of the same chain, 0 ends it
};

FieldArmies field;  // lives for one week's end at a time

void ServiceUpdateLinked(TGameState& s, Random& random) {
    const int q = MapFeuds(s);
    CountWeeksServed(s);
    int32_t tail[MaxFeud + 1];
    for (int i = 0; i <= MaxFeud; ++i) {
        field.Head[i] = 0;
        field.Count[i] = 0;
        field.Serving[i] = 0;
        tail[i] = 0;
    }
    for (int n = 1; n <= MaxLennik; ++n) {
        TLennik& l = s.Lenniks[n];
        const int fn = l.Feud;
        if (fn == 0 || fn > q) continue;
        ServeWeek(s.Feuds[fn], l, random);
        if (l.Appear != 1) continue;
        ++field.Serving[fn];
        if (l.InCastle != 0) continue;
        field.Next[n] = 0;
        if (tail[fn] == 0)
            field.Head[fn] = n;
        else
            field.Next[tail[fn]] = n;
        tail[fn] = n;
        ++field.Count[fn];
    }
    TakeUpCalls(s);
    for (int i = 1; i <= q; ++i) s.Feuds[i].LennikAppear = field.Serving[i];
}

int LossesLinked(TGameState& s, Random& random, int f, bool survivorsToCastle) {
    int lost = 0;
    int32_t prev = 0;
    int32_t n = field.Head[f];
    while (n != 0) {
        const int32_t next = field.Next[n];
        bool unlink = true;
        if (random.Below(100) < 10) {
            KillLennik(s, n);
            ++lost;
            --field.Serving[f];
        } else if (survivorsToCastle) {
            s.Lenniks[n].InCastle = 1;
        } else {
            unlink = false;
        }
        if (unlink) {
            if (prev == 0)
                field.Head[f] = next;
            else
                field.Next[prev] = next;
            --field.Count[f];
        } else {
            prev = n;
        }
        n = next;
    }
    return lost;
}

void FightBattleLinked(TGameState& s, Random& random, Messages& msgs, int attacker, int defender) {
    FightCounted(s, random, msgs, attacker, defender, field.Count[attacker], field.Count[defender],
                 [&](int f, bool toCastle) { return LossesLinked(s, random, f, toCastle); });
}

void CalcBattleLinked(TGameState& s, Random& random, Messages& msgs) {
    CarryOutOrders(s, [&](int a, int t) { FightBattleLinked(s, random, msgs, a, t); });
    for (int i = 1; i <= MapFeuds(s); ++i) s.Feuds[i].LennikAppear = field.Serving[i];
}

}  // namespace

void NextTurn(TGameState& s, Random& random, Messages& msgs) {
    ServiceUpdateLinked(s, random);
    BuildBattleOrder(s);
    CalcBattleLinked(s, random, msgs);
    ClearMarchTimes(s);
    AdvanceCalendar(s);
}

// ---- the end of a turn ---------------------------------------------------

int EndTurn(TGameState& s, Random& random, Messages& msgs, TurnHooks& hooks) {
    const int q = MapFeuds(s);
    bool humanSeated = false;
    for (int i = 1; i <= q; ++i) {
        const int f = s.TurnOrder[i];
        if (IsFeud(s, f) && s.Feuds[f].Gamer == 1) humanSeated = true;
    }
    // At a game's start no feud has moved yet, so nobody's turn ends.
    bool outgoing = s.TurnIndex != 0;
    for (;;) {
        if (outgoing) EndOutgoingTurn(s, hooks.SelectedDipView(), msgs);
        outgoing = true;
        s.TurnIndex = static_cast<uint8_t>(s.TurnIndex + 1);
        if (s.TurnIndex > q) {
            NextTurn(s, random, msgs);
            if (!humanSeated) {
                // Nobody to hand the turn to: the next call begins the next week.
                s.TurnIndex = 0;
                return 0;
            }
        }
        const int f = s.TurnOrder[s.TurnIndex];
        s.CurrentFeud = static_cast<uint8_t>(f);
        s.DipFeud = static_cast<uint8_t>(f);
        hooks.BetweenTurns();
        if (!IsFeud(s, f)) continue;
        if (s.Feuds[f].Gamer == 0) {
            PrepareTurn(s);
            hooks.TurnPrepared();
            ComputerMove(s);
            hooks.ComputerMoved();
            continue;
        }
        msgs.Info(AnnouncementText(s, f));
        PrepareTurn(s);
        hooks.TurnPrepared();
        hooks.HumanTurnBegins();
        return f;
    }
}
