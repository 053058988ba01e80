// The lines of the event memo: each event a feudal's list holds, as a short
// dated Russian sentence addressed to him. Plain text, no widgets.
#pragma once

#include <QString>
#include <QStringList>

#include "core/GameState.h"

// Event e of feudal f's list as one line: "1 год, май, 3 неделя: " and what
// happened.
QString EventLine(const TGameState& s, int f, const TEvent& e);

// Every event of feudal f's list, oldest first.
QStringList EventLines(const TGameState& s, int f);

// The feudal's title as it follows "вассал" or "разбил": "короля Ивана",
// "барона Карла Бургундского". A personal name that is not one word of
// Russian letters is left as typed.
QString TitleGenitive(const TGameState& s, int f);
