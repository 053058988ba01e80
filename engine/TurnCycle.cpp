#include "engine/TurnCycle.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/Names.h"
#include "engine/ArmyOrders.h"
#include "engine/Battle.h"
#include "engine/Events.h"
#include "engine/Lenniks.h"

namespace {

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

// The calendar step and, after the seventh week, the year's end. The year's
// end reads no date, so it runs while the ending week is still the date its
// events carry.
void AdvanceCalendar(TGameState& s) {
    s.TurnIndex = 1;
    const uint8_t next = static_cast<uint8_t>(s.Week + 1);
    if (next >= 8) {
        YearEnd(s);
        s.Week = 1;
        if (s.Year < MaxCount) ++s.Year;
    } else {
        s.Week = next;
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
        const int32_t lenniks = f.Lennik;
        f.Lennik = AddSaturated(f.Lennik, f.AddLennik);
        if (f.Len < f.Lennik) f.Lennik = f.Len;
        f.Grain = AddSaturated(f.Grain, f.AddGrain);
        f.Cow = AddSaturated(f.Cow, f.AddCow);
        f.Horse = AddSaturated(f.Horse, f.AddHorse);
        const int32_t peasants = f.Peasant;
        f.Peasant = AddSaturated(f.Peasant, f.Peasant / 100);
        TEvent gains = MakeEvent(EventYearEnd, i, i);
        gains.Figures[FigGrain] = f.AddGrain;
        gains.Figures[FigCows] = f.AddCow;
        gains.Figures[FigHorses] = f.AddHorse;
        gains.Figures[FigPeasants] = static_cast<int32_t>(static_cast<int64_t>(f.Peasant) - peasants);
        gains.Figures[FigLenniks] = static_cast<int32_t>(static_cast<int64_t>(f.Lennik) - lenniks);
        if (f.LennikAppear > 0) {
            TEvent home = MakeEvent(EventLenniksHome, i, i);
            home.Figures[FigCount] = f.LennikAppear;
            home.Flag = HomeYearEnd;
            RecordEvent(s, i, home);
        }
        RecordEvent(s, i, gains);
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

// ---- the week's end in one walk -------------------------------------------
//
// The service walk over the lennik table also counts each feud's serving
// lenniks and lists its field army (serving, outside the castle): the slots
// go, in slot order, into one array, cut into runs of consecutive entries of
// one feud, and each feud chains its runs. Where world generation laid the
// slots out, a feud has a single run. The battles then read only the lists of
// the two sides, dropping the fallen and the defenders who retreat into the
// castle, so every count and every draw is the one a full pass over the table
// would give, in the same order.

namespace {

struct FieldArmies {
    int32_t FirstRun[MaxFeud + 1];  // 0: no run
    int32_t Field[MaxFeud + 1];     // field army of the feud
    int32_t Serving[MaxFeud + 1];   // serving lenniks of the feud
    int32_t RunStart[MaxLennik + 1];
    int32_t RunLength[MaxLennik + 1];
    int32_t RunNext[MaxLennik + 1];  // the feud's next run, 0 ends the chain
    int32_t Member[MaxLennik + 1];   // field-army slots, in slot order within a run
    int32_t Fallen[MaxLennik];       // the fallen of one run of a battle
};

FieldArmies field;  // lives for one week's end at a time

// What the service update does to every slot of a feud this week, decided
// once per feud: without a call, the end of service and a dismissal both
// send everybody home; with a call each slot draws, and then the end of
// service sends home those who do not answer and a dismissal everybody.
enum class RunWork { Count, Home, Draw, DrawAfterEnd, DrawThenHome };

RunWork WorkOf(const TFeud& f) {
    const bool ends = f.WeekJobLennik == f.JobLennik;
    const bool dismissed = f.DismissLennik == 1;
    if (f.CallLennik != 1) return ends || dismissed ? RunWork::Home : RunWork::Count;
    if (dismissed) return RunWork::DrawThenHome;
    return ends ? RunWork::DrawAfterEnd : RunWork::Draw;
}

struct RunWalked {
    int32_t Next;     // the first slot after the run
    int32_t* End;     // past the field-army slots listed
    int32_t Serving;
};

// The two flags of a slot, Appear and then InCastle, as one 16-bit value in
// the byte order of the machine; a serving lennik in the field is the value
// FieldArmyFlags.
static_assert(offsetof(TLennik, InCastle) == offsetof(TLennik, Appear) + 1);
constexpr uint16_t AppearFlag = std::endian::native == std::endian::little ? 0x0001 : 0x0100;
constexpr uint16_t InCastleFlags = static_cast<uint16_t>(~(AppearFlag * 0xFF));
constexpr uint16_t FieldArmyFlags = AppearFlag;

inline uint16_t LoadFlags(const TLennik& l) {
    uint16_t flags;
    std::memcpy(&flags, &l.Appear, sizeof flags);
    return flags;
}
inline void StoreFlags(TLennik& l, uint16_t flags) { std::memcpy(&l.Appear, &flags, sizeof flags); }
inline bool Serves(uint16_t flags) { return (flags & (AppearFlag * 0xFF)) == AppearFlag; }

// Walks the slots of feud fn from slot n on, past free slots and slots off
// the map, up to the first slot of another feud of the map: the service
// update of each slot, the count of the serving and the list of the field
// army, from member on. Kept out of line, so that the compiler gives the
// loop the registers it needs.
template <RunWork Work>
[[gnu::noinline]] RunWalked WalkRun(TLennik* const lenniks, int32_t n, const unsigned fn, const unsigned q,
                                    const int32_t auth, Random& random, int32_t* member) {
    Random dice = random;  // kept in registers through the run
    int32_t serving = 0;
    for (; n <= MaxLennik; ++n) {
        TLennik& l = lenniks[n];
        const unsigned feud = l.Feud;
        if (feud != fn) {
            if (feud - 1 < q) break;  // another feud of the map
            continue;
        }
        uint16_t flags;
        if constexpr (Work == RunWork::Count) {
            flags = LoadFlags(l);
        } else if constexpr (Work == RunWork::Home) {
            flags = LoadFlags(l) & InCastleFlags;
            StoreFlags(l, flags);
        } else {
            // One who answers serves in the field; the others keep their
            // flags, or go home after the end of service or a dismissal.
            const bool answers = dice.Below(100) < auth;
            uint16_t other = LoadFlags(l);
            if constexpr (Work != RunWork::Draw) other &= InCastleFlags;
            const uint16_t answered = Work == RunWork::DrawThenHome ? 0 : FieldArmyFlags;
            // Masks, not a branch: half the answers go either way.
            const uint16_t yes = static_cast<uint16_t>(0u - static_cast<unsigned>(answers));
            flags = static_cast<uint16_t>((answered & yes) | (other & ~yes));
            StoreFlags(l, flags);
        }
        serving += Serves(flags);
        *member = n;
        member += flags == FieldArmyFlags;
    }
    random = dice;
    return {n, member, serving};
}

void ServiceWalk(TGameState& s, Random& random) {
    const unsigned q = static_cast<unsigned>(MapFeuds(s));
    CountWeeksServed(s);
    ServiceNotes notes;
    NoteService(s, notes);
    RunWork work[MaxFeud + 1] = {};
    int32_t lastRun[MaxFeud + 1] = {};
    for (unsigned i = 0; i <= MaxFeud; ++i) {
        field.FirstRun[i] = 0;
        field.Field[i] = 0;
        field.Serving[i] = 0;
    }
    for (unsigned i = 1; i <= q; ++i) work[i] = WorkOf(s.Feuds[i]);
    TLennik* const lenniks = s.Lenniks;
    int32_t members = 0;
    int32_t runs = 0;
    int32_t n = 1;
    while (n <= MaxLennik) {
        const unsigned fn = lenniks[n].Feud;
        if (fn - 1 >= q) {  // free, or off the map
            ++n;
            continue;
        }
        ++runs;
        field.RunStart[runs] = members;
        field.RunNext[runs] = 0;
        if (lastRun[fn] == 0)
            field.FirstRun[fn] = runs;
        else
            field.RunNext[lastRun[fn]] = runs;
        lastRun[fn] = runs;
        const int32_t auth = s.Feuds[fn].Auth;
        int32_t* const member = field.Member + members;
        RunWalked walked;
        switch (work[fn]) {
        case RunWork::Count: walked = WalkRun<RunWork::Count>(lenniks, n, fn, q, auth, random, member); break;
        case RunWork::Home: walked = WalkRun<RunWork::Home>(lenniks, n, fn, q, auth, random, member); break;
        case RunWork::Draw: walked = WalkRun<RunWork::Draw>(lenniks, n, fn, q, auth, random, member); break;
        case RunWork::DrawAfterEnd:
            walked = WalkRun<RunWork::DrawAfterEnd>(lenniks, n, fn, q, auth, random, member);
            break;
        case RunWork::DrawThenHome:
            walked = WalkRun<RunWork::DrawThenHome>(lenniks, n, fn, q, auth, random, member);
            break;
        }
        n = walked.Next;
        const int32_t listed = static_cast<int32_t>(walked.End - member);
        members += listed;
        field.RunLength[runs] = listed;
        field.Field[fn] += listed;
        field.Serving[fn] += walked.Serving;
    }
    TakeUpCalls(s);
    for (unsigned i = 1; i <= q; ++i) s.Feuds[i].LennikAppear = field.Serving[i];
    RecordServiceEvents(s, notes);
}

// One side's losses: each member of its field army draws in list order.
// The draws do not depend on the slots, so a run is drawn for first and the
// fallen are freed after. Survivors who stay in the field close up in the
// list as it is drawn; retreating survivors are sent into the castle as they
// draw, the fallen too, whom freeing puts back to 0.
int LossesOfRuns(TGameState& s, Random& random, int f, bool survivorsToCastle) {
    int32_t* const fallen = field.Fallen;
    TLennik* const lenniks = s.Lenniks;
    Random dice = random;
    int lost = 0;
    for (int32_t run = field.FirstRun[f]; run != 0; run = field.RunNext[run]) {
        int32_t* const member = field.Member + field.RunStart[run];
        const int32_t length = field.RunLength[run];
        const int32_t* const end = member + length;
        int32_t* down = fallen;
        if (survivorsToCastle) {
            for (const int32_t* m = member; m != end; ++m) {
                const int32_t n = *m;
                *down = n;
                down += dice.Below(100) < 10;
                lenniks[n].InCastle = 1;
            }
        } else {
            // Each survivor closes up behind the last one kept.
            int32_t* up = member;
            for (const int32_t* m = member; m != end; ++m) {
                const int32_t n = *m;
                const bool fell = dice.Below(100) < 10;
                *down = n;
                *up = n;
                down += fell;
                up += !fell;
            }
        }
        const int32_t fell = static_cast<int32_t>(down - fallen);
        const int32_t kept = survivorsToCastle ? 0 : length - fell;
        for (int32_t k = 0; k < fell; ++k) FreeSlot(lenniks[fallen[k]]);
        field.RunLength[run] = kept;
        field.Field[f] -= length - kept;
        lost += fell;
    }
    if (survivorsToCastle) field.FirstRun[f] = 0;  // no field army left
    field.Serving[f] -= lost;
    random = dice;
    return lost;
}

void FightBattleOfRuns(TGameState& s, Random& random, Messages& msgs, int attacker, int defender) {
    FightCounted(s, random, msgs, attacker, defender, field.Field[attacker], field.Field[defender],
                 [&](int f, bool toCastle) { return LossesOfRuns(s, random, f, toCastle); });
}

}  // namespace

void NextTurn(TGameState& s, Random& random, Messages& msgs) {
    ServiceWalk(s, random);
    BuildBattleOrder(s);
    CarryOutOrders(s, [&](int a, int t) { FightBattleOfRuns(s, random, msgs, a, t); });
    for (int i = 1; i <= MapFeuds(s); ++i) s.Feuds[i].LennikAppear = field.Serving[i];
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
        ClearEvents(s, f);  // his turn has shown them
        return f;
    }
}
