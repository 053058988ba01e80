#include "engine/Lenniks.h"

#include "core/Names.h"
#include "engine/Events.h"

void KillLennik(TGameState& s, int32_t n) {
    if (n < 1 || n > MaxLennik) return;
    FreeSlot(s.Lenniks[n]);
}

void CallLenniks(TGameState& s) {
    if (IsFeud(s, s.CurrentFeud)) s.Feuds[s.CurrentFeud].CallLennik = 1;
}

void DismissLenniks(TGameState& s) {
    if (IsFeud(s, s.CurrentFeud)) s.Feuds[s.CurrentFeud].DismissLennik = 1;
}

void CallVassals(TGameState& s) {
    if (IsFeud(s, s.CurrentFeud)) s.Feuds[s.CurrentFeud].CallVassal = 1;
}

bool HasVassals(const TGameState& s, int f) {
    if (!IsFeud(s, f)) return false;
    for (int j = 1; j <= MapFeuds(s); ++j)
        if (j != f && s.Feuds[j].Senior == f) return true;
    return false;
}

bool CanCallVassals(const TGameState& s, int f) { return HasVassals(s, f) && s.Feuds[f].CallVassal == 0; }

QString CalledByLine(const TGameState& s, int f) {
    if (!IsFeud(s, f)) return {};
    const int senior = s.Feuds[f].Senior;
    // The king, and a feud beaten by its own vassal, are their own seniors:
    // nobody calls them when they call their own vassals.
    if (senior == 0 || senior == f || !IsFeud(s, senior) || s.Feuds[senior].CallVassal != 1) return {};
    return QStringLiteral("Вас призвал ") + GetFullNameFeudal(s, senior);
}

void CountWeeksServed(TGameState& s) {
    for (int i = 1; i <= MapFeuds(s); ++i) {
        TFeud& f = s.Feuds[i];
        if (f.LennikInService == 1 && f.DismissLennik == 0) f.WeekJobLennik = static_cast<uint8_t>(f.WeekJobLennik + 1);
    }
}

void TakeUpCalls(TGameState& s) {
    for (int i = 1; i <= MapFeuds(s); ++i) {
        TFeud& f = s.Feuds[i];
        if (f.CallLennik == 1) {
            f.CallLennik = 0;
            f.LennikInService = 1;
            f.ArmyFeud = static_cast<uint8_t>(i);
        }
        f.DismissLennik = 0;
    }
}

namespace {
constexpr uint8_t ServiceCall = 1;
constexpr uint8_t ServiceDismissal = 2;
constexpr uint8_t ServiceEnds = 3;
}  // namespace

void NoteService(const TGameState& s, ServiceNotes& notes) {
    for (int i = 1; i <= MapFeuds(s); ++i) {
        const TFeud& f = s.Feuds[i];
        notes.Before[i] = f.LennikAppear;
        notes.What[i] = f.CallLennik == 1               ? ServiceCall
                        : f.DismissLennik == 1          ? ServiceDismissal
                        : f.WeekJobLennik == f.JobLennik ? ServiceEnds
                                                         : 0;
    }
}

void RecordServiceEvents(TGameState& s, const ServiceNotes& notes) {
    for (int i = 1; i <= MapFeuds(s); ++i) {
        TEvent e{};
        switch (notes.What[i]) {
        case ServiceCall:
            e = MakeEvent(EventLenniksAnswered, i, i);
            e.Figures[FigCount] = s.Feuds[i].LennikAppear;
            break;
        case ServiceDismissal:
        case ServiceEnds:
            // The end of a service nobody served in sends nobody home.
            if (notes.What[i] == ServiceEnds && notes.Before[i] <= 0) continue;
            e = MakeEvent(EventLenniksHome, i, i);
            e.Figures[FigCount] = notes.Before[i];
            e.Flag = notes.What[i] == ServiceEnds ? HomeServiceOver : HomeDismissed;
            break;
        default: continue;
        }
        RecordEvent(s, i, e);
    }
}

void ServiceUpdate(TGameState& s, Random& random) {
    const int q = MapFeuds(s);
    CountWeeksServed(s);
    ServiceNotes notes;
    NoteService(s, notes);
    // Every occupied slot in slot order.
    for (int n = 1; n <= MaxLennik; ++n) {
        TLennik& l = s.Lenniks[n];
        if (l.Feud == 0 || l.Feud > q) continue;
        ServeWeek(s.Feuds[l.Feud], l, random);
    }
    TakeUpCalls(s);
    RecountLennikAppear(s);
    RecordServiceEvents(s, notes);
}

void RecountLennikAppear(TGameState& s) {
    const int q = MapFeuds(s);
    for (int i = 1; i <= q; ++i) s.Feuds[i].LennikAppear = 0;
    for (int n = 1; n <= MaxLennik; ++n) {
        const TLennik& l = s.Lenniks[n];
        if (l.Appear == 1 && l.Feud != 0 && l.Feud <= q) ++s.Feuds[l.Feud].LennikAppear;
    }
}

int CountServingPlain(const TGameState& s, int f) {
    if (f == 0) return 0;
    int count = 0;
    for (int n = 1; n <= MaxLennik; ++n) {
        const TLennik& l = s.Lenniks[n];
        if (l.Feud == f && l.Appear == 1) ++count;
    }
    return count;
}

int CountInCastlePlain(const TGameState& s, int f) {
    if (f == 0) return 0;
    int count = 0;
    for (int n = 1; n <= MaxLennik; ++n) {
        const TLennik& l = s.Lenniks[n];
        if (l.Feud == f && l.Appear == 1 && l.InCastle == 1) ++count;
    }
    return count;
}

int CountServing(const TGameState& s, int f) {
    int count = 0;
    ForSlotsOf(s, f, [&](const TLennik& l) { count += l.Appear == 1; });
    return count;
}

int CountInCastle(const TGameState& s, int f) {
    int count = 0;
    ForSlotsOf(s, f, [&](const TLennik& l) { count += (l.Appear == 1) & (l.InCastle == 1); });
    return count;
}

int CountFieldArmy(const TGameState& s, int f) {
    if (f == 0) return 0;
    int count = 0;
    for (int n = 1; n <= MaxLennik; ++n) {
        const TLennik& l = s.Lenniks[n];
        if (l.Feud == f && l.Appear == 1 && l.InCastle == 0) ++count;
    }
    return count;
}

void DistributeGarrisonPlain(TGameState& s, int f, Messages& msgs) {
    if (f == 0) return;
    for (int n = 1; n <= MaxLennik; ++n) {
        TLennik& l = s.Lenniks[n];
        if (l.Feud != f || l.Appear != 1) continue;
        if (s.ArmyToCastle > 0) {
            l.InCastle = 1;
            --s.ArmyToCastle;
        } else {
            l.InCastle = 0;
        }
    }
    if (s.ArmyToCastle > 0) msgs.Error(QStringLiteral("Ошибка программы. Остались нераспределенные в замок ленники."));
}

void DistributeGarrison(TGameState& s, int f, Messages& msgs) {
    if (f == 0) return;
    int32_t toCastle = s.ArmyToCastle;
    // Masks, not branches: who serves is as good as drawn at random.
    ForSlotsOf(s, f, [&](TLennik& l) {
        const unsigned serves = l.Appear == 1;
        const unsigned castle = toCastle > 0;
        const unsigned keep = serves - 1;  // all ones when he does not serve
        l.InCastle = static_cast<uint8_t>((l.InCastle & keep) | (castle & ~keep));
        toCastle -= static_cast<int32_t>(serves & castle);
    });
    s.ArmyToCastle = toCastle;
    if (s.ArmyToCastle > 0) msgs.Error(QStringLiteral("Ошибка программы. Остались нераспределенные в замок ленники."));
}
