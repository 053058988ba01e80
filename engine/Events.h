// The feudals' event lists: the rules note what happens to each feudal as
// they run, and his next turn shows it. Nothing here allocates; a full list
// drops its oldest event.
#pragma once

#include <type_traits>

#include "core/GameState.h"

// Events are compared and copied as plain bytes.
static_assert(std::has_unique_object_representations_v<TEvent>);
static_assert(std::has_unique_object_representations_v<TEventList>);

// Appends e to feud f's list, dated with the week now running; a feud off the
// map notes nothing.
void RecordEvent(TGameState& s, int f, const TEvent& e);

// An event of a kind between two feuds, with no figures.
inline TEvent MakeEvent(uint8_t kind, int feud, int target) {
    TEvent e{};
    e.Kind = kind;
    e.Feud = static_cast<uint8_t>(feud);
    e.Target = static_cast<uint8_t>(target);
    return e;
}

int EventCount(const TGameState& s, int f);
// The i-th event of feud f, oldest first; i in 0..EventCount - 1 (an empty
// event otherwise).
const TEvent& EventAt(const TGameState& s, int f, int i);

void ClearEvents(TGameState& s, int f);
void ClearAllEvents(TGameState& s);
