// The rules of the players' seats: the name a player types, the feud he picks
// on the map and the status he takes. The dialogs call these; the marks are
// painted on the feud dialog's own copy of the map picture.
#pragma once

#include <QString>

#include "core/GameState.h"
#include "core/Picture.h"

enum class TSeatStatus { King, Vassal, Independent };

// A typed name with every character removed that a stored name cannot hold:
// anything outside Windows-1251 and every control character.
QString FilterNameGamer(const QString& text);

// The error a typed name meets, or an empty text when it is acceptable: it
// must not be empty and must differ, exactly (case and spaces count), from the
// name of every feud's feudal.
QString CheckNameGamer(const TGameState& s, const QString& name);

// What the feud dialog's information group shows for the pixel (x, y).
struct TFeudHoverInfo {
    QString Name;
    QString Feudal;
    QString LennikMax;
};
// checked is the status now chosen in the dialog; it words the current pick.
TFeudHoverInfo FeudHoverInfo(const TGameState& s, int x, int y, TSeatStatus checked);

// A left click at (x, y) picks the free feud under it: it is painted red, the
// player's earlier pick (if any) loses his name and is painted white again,
// and SelectFeud and the feud's NameFeudal take the pick and NameGamer.
// Returns false, changing nothing, for a border pixel or a taken feud.
bool PickFeud(TGameState& s, Picture& picture, int x, int y);

// The player confirms his pick with the status chosen: the pick is painted
// purple and its Senior (and for the crown KingFeud) set. A vassal's senior is
// SeniorOfUnknownKing until the king is known.
void ConfirmFeud(TGameState& s, Picture& picture, TSeatStatus status);
