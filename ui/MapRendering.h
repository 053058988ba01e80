// The coloured game map: the political colours as the moving feudal sees the
// realm, the diplomacy colours of one feudal's relations, the black borders and
// the white outline of one feud. Plain functions on the state and a picture.
#pragma once

#include "core/GameState.h"
#include "core/Picture.h"

// The four relation views of the diplomacy map, in the order of their radio buttons.
enum DipViewIndex : int {
    DipViewToFeudalShow = 0,
    DipViewToFeudalTrue = 1,
    DipViewFromFeudalShow = 2,
    DipViewFromFeudalTrue = 3,
};

// The feud record of n when n names one of the 20 records, else nullptr.
inline const TFeud* FeudRecord(const TGameState& s, int n) { return n >= 1 && n <= MaxFeud ? &s.Feuds[n] : nullptr; }
inline TFeud* FeudRecord(TGameState& s, int n) { return n >= 1 && n <= MaxFeud ? &s.Feuds[n] : nullptr; }

// The feud number of a map cell; 0 for a border cell and for a point off the map.
int FeudAt(const TGameState& s, int x, int y);

// True when the moving feudal's map shows diplomacy colours.
bool DiplomacyMapOn(const TGameState& s);

// The colour of feud i on the political map as CurrentFeud sees it. Returns
// false when no rule gives feud i a colour (the fill then keeps the colour of
// the feud painted before it).
bool PoliticalColor(const TGameState& s, int i, Rgb& colour);

// The colour of feud i on the diplomacy map: DipFeud's relation towards i in
// the chosen view, aqua for DipFeud itself. False when the relation is no known code.
bool DiplomacyColor(const TGameState& s, int i, int dipView, Rgb& colour);

// A stand-in base picture drawn from the grid alone: feuds white, borders
// black. Used when no map picture of the right size is at hand.
void BasePictureFromGrid(const TGameState& s, Picture& out);

// out := a fresh copy of base, then one fill per feud, in feud order, from its
// anchor pixel over pure white, in the colours of the current scheme.
void RenderColorMap(const TGameState& s, const Picture& base, int dipView, Picture& out);

// Every border cell of the grid painted black.
void DrawBorders(const TGameState& s, Picture& out);

// Every border cell with feud f among its eight neighbours painted white.
void DrawOutline(const TGameState& s, int f, Picture& out);

// A real in the shortest general form, at most 15 significant digits, with the
// user's decimal separator and no grouping ("1" for one, "0,05" in Russian).
QString FormatReal(double v);
