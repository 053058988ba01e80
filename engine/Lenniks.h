// Lenniks: freeing a slot, the call and dismissal commands, the vassal call,
// the weekly service update and the split of the serving lenniks between the
// castle garrison and the field army.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>

#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Random.h"

// The figures of a new recruit, which a freed slot gets: no feud, not
// serving, the padding byte 0.
inline constexpr TLennik NewRecruit{0, 0, 0, 0, 0, 0, 25, 5, 15, 10, 0, 0, 0};
inline void FreeSlot(TLennik& l) { std::memcpy(static_cast<void*>(&l), &NewRecruit, sizeof l); }

// Frees slot n (1..MaxLennik) and gives it the figures of a new recruit.
// Slot numbers outside the table are ignored.
void KillLennik(TGameState& s, int32_t n);

// The commands of the army page, for the feud now moving.
void CallLenniks(TGameState& s);     // "Призвать ленников"
void DismissLenniks(TGameState& s);  // "Распустить ленников"
void CallVassals(TGameState& s);     // "Призвать вассалов"

// True when feud f has a vassal: another feud of the map whose senior is f.
bool HasVassals(const TGameState& s, int f);
// "Призвать вассалов" is offered at the start of a turn exactly when the
// feudal has a vassal and has not called his vassals this year.
bool CanCallVassals(const TGameState& s, int f);
// The line the event box shows to a vassal whose senior has called him,
// "Вас призвал " and the senior's title; empty when there is none.
QString CalledByLine(const TGameState& s, int f);

// The service update at the week's end: weeks served, the answers to calls
// (one draw per occupied slot of a calling feud, in slot order), the end of
// service and dismissals, then the recount of the serving lenniks.
void ServiceUpdate(TGameState& s, Random& random);

// The parts of the service update, shared by every way of walking the slots.
// Weeks served: +1 for each feud in service that did not dismiss (the byte
// counts on past 255 to 0).
void CountWeeksServed(TGameState& s);
// One occupied slot of feud f: the end of service, the answer to a call (one
// draw) and the dismissal.
inline void ServeWeek(const TFeud& f, TLennik& l, Random& random) {
    if (f.WeekJobLennik == f.JobLennik) l.Appear = 0;
    if (f.CallLennik == 1 && random.Below(100) < f.Auth) {
        l.Appear = 1;
        l.InCastle = 0;
    }
    if (f.DismissLennik == 1) l.Appear = 0;
}
// Calls become service with the army gathered at home; dismissals are spent.
void TakeUpCalls(TGameState& s);

// What the service update does to each feud, noted once the weeks served are
// counted and before the slots change: a call, a dismissal or the end of
// service, and how many served before.
struct ServiceNotes {
    uint8_t What[MaxFeud + 1];
    int32_t Before[MaxFeud + 1];
};
void NoteService(const TGameState& s, ServiceNotes& notes);
// Once LennikAppear counts the lenniks serving now: each feudal's event of
// the lenniks who answered his call or went home, and why.
void RecordServiceEvents(TGameState& s, const ServiceNotes& notes);

// LennikAppear of every feud := the number of its serving slots.
void RecountLennikAppear(TGameState& s);

// Visits every slot of feud f in slot order, visit(lennik): through the
// index of the feuds' slots when it is built, so that the work is the feud's
// own, and through the whole table otherwise. A slot freed since the index
// was built names no feud and is passed over.
template <typename State, typename Visit>
void ForSlotsOf(State& s, int f, Visit visit) {
    if (f < 1 || f > 255) return;  // no slot names it
    auto* const lenniks = s.Lenniks;
    if (s.FeudSlots.Built != 0 && f <= MaxFeud) {
        assert(FeudSlotsCover(s, f));
        const TFeudSlots& x = s.FeudSlots;
        for (int32_t r = x.First[f]; r < x.First[f + 1]; ++r)
            for (int32_t n = x.Start[r]; n < x.End[r]; ++n)
                if (lenniks[n].Feud == f) visit(lenniks[n]);
        return;
    }
    for (int32_t n = 1; n <= MaxLennik; ++n)
        if (lenniks[n].Feud == f) visit(lenniks[n]);
}

// Serving lenniks of feud f (Appear = 1), and those of them in the castle.
// The work of the feud's own slots; the plain ones, kept as the reference,
// walk the whole table.
int CountServing(const TGameState& s, int f);
int CountInCastle(const TGameState& s, int f);
int CountServingPlain(const TGameState& s, int f);
int CountInCastlePlain(const TGameState& s, int f);
// Field army of feud f: serving lenniks outside the castle, counted over the
// whole table, as the week's end that fights a pass per step reads it.
int CountFieldArmy(const TGameState& s, int f);

// End of a turn: the first ArmyToCastle serving lenniks of feud f, in slot
// order, stay in the castle and the others join the field army. ArmyToCastle
// is used up; when lenniks are missing the player is told. The plain one, the
// reference, walks the whole table.
void DistributeGarrison(TGameState& s, int f, Messages& msgs);
void DistributeGarrisonPlain(TGameState& s, int f, Messages& msgs);
