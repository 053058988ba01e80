#include "engine/Events.h"

#include <cstring>

void RecordEvent(TGameState& s, int f, const TEvent& e) {
    if (!IsFeud(s, f)) return;
    TEventList& list = s.Events[f];
    const int slot = (list.First + list.Count) % MaxEvent;
    if (list.Count == MaxEvent)
        list.First = static_cast<uint16_t>((list.First + 1) % MaxEvent);
    else
        ++list.Count;
    TEvent& kept = list.Items[slot];
    kept = e;
    kept.Year = s.Year;
    kept.Week = s.Week;
}

int EventCount(const TGameState& s, int f) {
    if (f < 1 || f > MaxFeud) return 0;
    const int count = s.Events[f].Count;
    return count < MaxEvent ? count : MaxEvent;
}

const TEvent& EventAt(const TGameState& s, int f, int i) {
    static const TEvent none{};
    if (f < 1 || f > MaxFeud || i < 0 || i >= EventCount(s, f)) return none;
    const TEventList& list = s.Events[f];
    return list.Items[(list.First + i) % MaxEvent];
}

void ClearEvents(TGameState& s, int f) {
    if (f < 1 || f > MaxFeud) return;
    s.Events[f].First = 0;
    s.Events[f].Count = 0;
}

void ClearAllEvents(TGameState& s) { std::memset(static_cast<void*>(s.Events), 0, sizeof s.Events); }
