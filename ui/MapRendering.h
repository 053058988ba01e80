// The coloured game map: the political colours as the moving feudal sees the
// realm, the diplomacy colours of one feudal's relations, the black borders and
// the white outline of one feud. Plain functions on the state and a picture.
#pragma once

#include <cstdint>

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

// What the repaint needs of one game, found once: the base picture and the
// grid do not change while a game runs, so neither do the white area each
// feud's fill reaches, the border cells, nor the cells of each feud's outline.
// Each row is kept as stretches that end the same colour in every repaint
// but for the colours of the areas: a white area, the border, or the base
// picture's own pixels. All of it lives in fixed storage inside the object
// (the copy of the base picture takes its memory at the first preparation and
// keeps it), so repainting with it allocates nothing. It also remembers the
// last repaint it made and the colours it gave: not reentrant, one repaint at
// a time.
class TMapPaint {
public:
    TMapPaint();

    // Finds everything from s (grid, feud count, anchors) and base. False, and
    // the object unusable, when base is not 400 x 200.
    bool Prepare(const TGameState& s, const Picture& base);
    // True when prepared from this very base picture content and from the
    // same grid, feud count and anchors as s holds now.
    bool PreparedFor(const TGameState& s, const Picture& base) const;
    bool Ready() const { return ready_; }

private:
    friend void RepaintMap(const TGameState& s, const TMapPaint& paint, int dipView, int f, Picture& out);
    friend void DrawBorders(const TMapPaint& paint, Picture& out);
    friend void DrawOutline(const TMapPaint& paint, int f, Picture& out);

    // Every pixel of out from the areas' colours, the borders and the base.
    void RepaintWhole(const Picture::Pixel* colourOf, Picture& out) const;

    static constexpr int Cells = MapWidth * MapHeight;
    static constexpr uint8_t BaseStretch = 0;            // the base picture's pixels
    static constexpr uint8_t BorderStretch = MaxFeud + 1;  // black
    // Pixels from the end of the stretch before (or the row's start) to end
    // - 1; kind is BaseStretch, BorderStretch or the white area (1..20) they
    // belong to.
    struct Stretch {
        uint16_t end;
        uint8_t kind;
    };
    // Pixels x0 .. x1 - 1 of row y.
    struct Run {
        uint16_t x0, x1;
        uint8_t y;
    };
    static constexpr int MaxRuns = MapHeight * (MapWidth + 1) / 2;  // runs are apart by a pixel at least
    static constexpr int OutlineWords = (Cells + 63) / 64;

    bool ready_ = false;
    Picture base_;
    uint64_t baseStamp_ = 0;
    uint8_t quantity_ = 0;
    int32_t anchorX_[MaxFeud + 1] = {};
    int32_t anchorY_[MaxFeud + 1] = {};
    uint8_t map_[MapHeight][MapWidth] = {};
    uint8_t anchorArea_[MaxFeud + 1] = {};  // the white area feud i's fill reaches, 0 for none
    int32_t rowStretches_[MapHeight + 1] = {};  // each row's first stretch; the end past the last row
    Stretch stretch_[Cells];
    int borderRuns_ = 0;
    Run border_[MaxRuns];    // the grid's border cells
    int32_t areaRuns_[MaxFeud + 2] = {};  // where each white area's runs begin in areaRun_; the end past the last
    Run areaRun_[MaxRuns];   // the runs of each white area, area by area
    uint64_t outline_[MaxFeud + 1][OutlineWords];  // bit y * MapWidth + x: a border cell beside feud i
    int32_t outlineWords_[MaxFeud + 1][2] = {};      // the first word of each outline with a bit set, and past its last
    uint8_t area_[Cells];    // working: the area of each pixel while preparing
    // The last repaint: the stamp of the picture it wrote, just after, each
    // area's colour and the feud outlined (0 for none). A repaint into a
    // picture of that stamp (the same pixels) writes only the areas whose
    // colour changed and the outlines; the borders and the base's own pixels stay.
    mutable uint64_t lastStamp_ = 0;
    mutable Picture::Pixel lastColour_[MaxFeud + 1] = {};
    mutable int lastOutline_ = 0;
    int32_t stack_[Cells];   // working: the flood's stack, each pixel pushed once at most
};

// The whole repaint in one pass over the picture, from what paint found once:
// the same picture as RenderColorMap, DrawBorders and DrawOutline for feud f
// from the base. out takes the base picture's size; paint must be
// PreparedFor the state and the base picture in use. When out holds paint's
// last repaint unchanged (by its stamp), only what differs from it is written.
void RepaintMap(const TGameState& s, const TMapPaint& paint, int dipView, int f, Picture& out);
// The same as the two plain functions, from what paint found once.
void DrawBorders(const TMapPaint& paint, Picture& out);
void DrawOutline(const TMapPaint& paint, int f, Picture& out);

// A real in the shortest general form, at most 15 significant digits, with the
// user's decimal separator and no grouping ("1" for one, "0,05" in Russian).
QString FormatReal(double v);
// The same through the locale alone: the reference FormatReal is checked against.
QString FormatRealPlain(double v);
