// The coloured map, checked pixel by pixel in the rendered picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include <QLocale>

#include "TestRealm.h"
#include "newgame/RegionDetection.h"
#include "support/TestMaps.h"
#include "ui/MapRendering.h"

namespace {

std::string Name(Rgb c) {
    const struct {
        Rgb colour;
        const char* name;
    } names[] = {{Colors::White, "white"}, {Colors::Black, "black"},   {Colors::Red, "red"},
                 {Colors::Maroon, "maroon"}, {Colors::Yellow, "yellow"}, {Colors::Green, "green"},
                 {Colors::Lime, "lime"},   {Colors::Aqua, "aqua"},     {Colors::Navy, "navy"},
                 {Colors::Purple, "purple"}};
    for (const auto& n : names)
        if (n.colour == c) return n.name;
    return "rgb(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

class MapRenderingTest : public ::testing::Test {
protected:
    void SetUp() override {
        s = std::make_unique<TGameState>();
        BuildRealm(*s);
        base = RealmPicture();
    }
    // The whole repaint for the mover's outline, by the plain fills and passes;
    // the repaint the game window makes, from what it found once, must give
    // the very same picture.
    void Render(int dipView = DipViewToFeudalShow) {
        RenderColorMap(*s, base, dipView, out);
        DrawBorders(*s, out);
        DrawOutline(*s, s->CurrentFeud, out);
        if (!paint->PreparedFor(*s, base)) {
            ASSERT_TRUE(paint->Prepare(*s, base));
        }
        RepaintMap(*s, *paint, dipView, s->CurrentFeud, fast);
        ASSERT_TRUE(out.SamePixels(fast));
    }
    // The colours of feuds 1..8 as they come out of the picture.
    std::vector<std::string> Colours() const {
        std::vector<std::string> result;
        for (int f = 1; f <= 8; ++f) result.push_back(Name(out.GetPixel(Inside(f).x(), Inside(f).y())));
        return result;
    }
    std::string PixelAt(int x, int y) const { return Name(out.GetPixel(x, y)); }

    std::unique_ptr<TGameState> s;
    Picture base;
    Picture out;
    std::unique_ptr<TMapPaint> paint = std::make_unique<TMapPaint>();
    Picture fast;
};

using V = std::vector<std::string>;

TEST_F(MapRenderingTest, TheKingAndHisVassalsSeeTheRealmAlike) {
    // The king and his vassals lime, independents red, other lords' vassals maroon.
    const V expected{"lime", "lime", "lime", "red", "maroon", "maroon", "maroon", "red"};
    s->CurrentFeud = 1;
    Render();
    EXPECT_EQ(Colours(), expected);

    s->CurrentFeud = 2;  // a vassal of the king; feud 7 is his own vassal
    Render();
    EXPECT_EQ(Colours(), expected);
}

TEST_F(MapRenderingTest, AnIndependentLordSeesTheKingMaroon) {
    s->CurrentFeud = 4;
    Render();
    // The king maroon; himself and the other independent yellow; everyone
    // with a senior purple, the king's vassals and his own vassals 5 and 6 too.
    EXPECT_EQ(Colours(), (V{"maroon", "purple", "purple", "yellow", "purple", "purple", "purple", "yellow"}));
}

TEST_F(MapRenderingTest, AVassalOfAnotherLordSeesHisLordsMenLime) {
    s->CurrentFeud = 5;
    Render();
    // His lord 4 is an independent: yellow. His lord's vassals lime, himself
    // included; the king maroon, the king's men purple.
    EXPECT_EQ(Colours(), (V{"maroon", "purple", "purple", "yellow", "lime", "lime", "purple", "yellow"}));

    s->Feuds[1].Senior = 4;  // the king beaten by his lord: one of his lord's men now
    Render();
    EXPECT_EQ(Colours(), (V{"lime", "purple", "purple", "yellow", "lime", "lime", "purple", "yellow"}));
}

TEST_F(MapRenderingTest, TheArmyIsNavyWhereverItStands) {
    s->CurrentFeud = 1;
    s->Feuds[1].ArmyFeud = 1;  // at home
    Render();
    EXPECT_EQ(Colours()[0], "navy");
    EXPECT_EQ(Colours()[1], "lime");

    s->Feuds[1].ArmyFeud = 8;  // in an independent's feud
    Render();
    EXPECT_EQ(Colours()[0], "lime");
    EXPECT_EQ(Colours()[7], "navy");

    // Another feudal's army is no business of this map.
    s->Feuds[2].ArmyFeud = 3;
    Render();
    EXPECT_EQ(Colours()[2], "lime");
}

TEST_F(MapRenderingTest, WithNoKingEveryoneIsIndependent) {
    for (int f = 1; f <= 8; ++f) s->Feuds[f].Senior = 0;
    s->KingFeud = 0;
    s->CurrentFeud = 3;
    Render();
    EXPECT_EQ(Colours(), V(8, "yellow"));
}

TEST_F(MapRenderingTest, DiplomacyColoursFollowTheChosenTable) {
    s->CurrentFeud = 1;
    s->Feuds[1].DipMode = 1;
    s->Feuds[1].ArmyFeud = 2;  // no navy on the diplomacy map
    s->DipFeud = 1;
    const int8_t codes[9] = {0, 0, PersEnemy, Enemy, Unknown, Peace, Ally, Peace, Unknown};
    for (int f = 1; f <= 8; ++f) s->Feuds[1].DipToFeudalShow[f] = codes[f];
    Render(DipViewToFeudalShow);
    EXPECT_EQ(Colours(), (V{"aqua", "red", "maroon", "yellow", "green", "lime", "green", "yellow"}));

    // Each view reads its own table of DipFeud.
    s->Feuds[1].DipToFeudalTrue[5] = Enemy;
    s->Feuds[1].DipFromFeudalShow[5] = Ally;
    s->Feuds[1].DipFromFeudalTrue[5] = PersEnemy;
    Render(DipViewToFeudalTrue);
    EXPECT_EQ(Colours()[4], "maroon");
    Render(DipViewFromFeudalShow);
    EXPECT_EQ(Colours()[4], "lime");
    Render(DipViewFromFeudalTrue);
    EXPECT_EQ(Colours()[4], "red");
    EXPECT_EQ(Colours()[1], "yellow");
}

TEST_F(MapRenderingTest, TheDiplomacyMapShowsDipFeudsRelations) {
    s->CurrentFeud = 1;
    s->Feuds[1].DipMode = 1;
    s->DipFeud = 6;
    s->Feuds[6].DipToFeudalShow[1] = Ally;
    s->Feuds[1].DipToFeudalShow[6] = PersEnemy;  // the mover's own view of 6 is not shown
    Render();
    const V colours = Colours();
    EXPECT_EQ(colours[5], "aqua");
    EXPECT_EQ(colours[0], "lime");
    EXPECT_EQ(colours[2], "yellow");
    // The outline stays around the mover.
    EXPECT_EQ(PixelAt(100, 50), "white");
    EXPECT_EQ(PixelAt(300, 150), "black");
}

TEST_F(MapRenderingTest, OutlineSurroundsTheCurrentFeudOnly) {
    s->CurrentFeud = 1;
    Render();
    // The lines around feud 1, up to and including the crossing it touches only at a corner.
    EXPECT_EQ(PixelAt(100, 0), "white");    // at the top edge
    EXPECT_EQ(PixelAt(100, 99), "white");
    EXPECT_EQ(PixelAt(100, 100), "white");  // the crossing: feud 1 only diagonally
    EXPECT_EQ(PixelAt(0, 100), "white");    // at the left edge
    EXPECT_EQ(PixelAt(99, 100), "white");
    // Lines that do not touch feud 1 stay black.
    EXPECT_EQ(PixelAt(101, 100), "black");
    EXPECT_EQ(PixelAt(100, 101), "black");
    EXPECT_EQ(PixelAt(200, 50), "black");
    EXPECT_EQ(PixelAt(100, 199), "black");
}

TEST_F(MapRenderingTest, EdgeCellsLookOnlyAtNeighboursThatExist) {
    // The row line's ends: (0,100) has feud 4's last pixel (399,99) just
    // before it in memory, (399,100) has feud 5's first pixel (0,101) just after it.
    s->CurrentFeud = 4;
    Render();
    EXPECT_EQ(PixelAt(0, 100), "black");
    EXPECT_EQ(PixelAt(399, 100), "white");

    s->CurrentFeud = 5;
    Render();
    EXPECT_EQ(PixelAt(399, 100), "black");
    EXPECT_EQ(PixelAt(0, 100), "white");
}

TEST_F(MapRenderingTest, FillsOnlyPureWhiteFromTheAnchor) {
    // Feud 3 drawn grey in the file keeps its grey; a blue border pixel turns black.
    const Rgb grey{200, 200, 200};
    for (int y = 0; y < 100; ++y)
        for (int x = 201; x < 300; ++x) base.SetPixel(x, y, grey);
    base.SetPixel(300, 20, Colors::Blue);
    s->CurrentFeud = 1;
    Render();
    EXPECT_EQ(PixelAt(Inside(3).x(), Inside(3).y()), Name(grey));
    EXPECT_EQ(PixelAt(300, 20), "black");
    EXPECT_EQ(PixelAt(Inside(4).x(), Inside(4).y()), "red");

    // Each repaint starts again from the base: no colour of the last one stays.
    s->CurrentFeud = 4;
    Render();
    EXPECT_EQ(PixelAt(Inside(4).x(), Inside(4).y()), "yellow");
    EXPECT_EQ(PixelAt(100, 50), "black");
}

TEST_F(MapRenderingTest, AFeudNoRuleColoursTakesTheColourBeforeIt) {
    s->CurrentFeud = 1;
    s->Feuds[1].DipMode = 1;
    s->Feuds[1].DipToFeudalShow[3] = 7;  // no relation code
    s->Feuds[1].DipToFeudalShow[2] = Peace;
    Render();
    EXPECT_EQ(Colours()[2], "green");
}

bool SamePicture(const Picture& a, const Picture& b) { return a.SamePixels(b); }

// The repaint from what was found once against the plain fills and passes,
// on the bundled maps and on random maps, with random realms: white areas split by lines, feuds
// drawn in other colours, blue pixels, grids taken from another picture than
// the base (so that white runs across border cells and anchors stand on
// other colours), anchors moved anywhere, relations that are no code at all.
TEST(MapPaintTest, SameAsThePlainRepaintOnEveryMapAndRandomRealms) {
    std::mt19937 rng(5150);
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    const Rgb others[] = {Colors::Black, Colors::Blue, Colors::Yellow, Rgb{200, 200, 200}, Rgb{255, 255, 254}};
    auto randomMap = [&] {
        Picture p = BlankMap();
        for (int i = pick(12); i > 0; --i) VerticalLine(p, pick(400), 1 + pick(2));
        for (int i = pick(8); i > 0; --i) HorizontalLine(p, pick(200), 1 + pick(2));
        for (int i = pick(6); i > 0; --i) FillRect(p, pick(400), pick(200), 1 + pick(120), 1 + pick(60), others[pick(5)]);
        for (int i = pick(40); i > 0; --i) p.SetPixel(pick(400), pick(200), others[pick(5)]);
        return p;
    };
    auto s = std::make_unique<TGameState>();
    auto paint = std::make_unique<TMapPaint>();
    Picture plain, fast;
    const std::vector<Picture> bundled = BundledMapPictures();
    ASSERT_GE(bundled.size(), 3u);
    const int rounds = 60 + int(bundled.size());
    for (int round = 0; round < rounds; ++round) {
        const Picture base = round < int(bundled.size()) ? bundled[size_t(round)] : randomMap();
        Picture detected = round % 4 == 3 ? randomMap() : base;
        ClearGameData(*s);
        InitializeMap(*s, detected);
        s->QuantityFeud = uint8_t(std::min<int>(s->QuantityFeud, MaxFeud));
        const int q = s->QuantityFeud;
        if (q == 0) continue;
        for (int i = pick(4); i > 0; --i) {
            TFeud& f = s->Feuds[1 + pick(q)];
            f.PosX = pick(420) - 10;
            f.PosY = pick(220) - 10;
        }
        ASSERT_TRUE(paint->Prepare(*s, base));
        for (int view = 0; view < 6; ++view) {
            s->KingFeud = uint8_t(pick(q + 1));
            s->CurrentFeud = uint8_t(1 + pick(q));
            s->DipFeud = uint8_t(pick(q + 1));
            for (int i = 1; i <= q; ++i) {
                TFeud& f = s->Feuds[i];
                f.Senior = uint8_t(pick(3) == 0 ? i : pick(q + 1));
                f.ArmyFeud = uint8_t(pick(q + 1));
                f.DipMode = uint8_t(pick(2));
                for (int j = 1; j <= q; ++j) {
                    f.DipToFeudalShow[j] = int8_t(pick(7) - 3);
                    f.DipToFeudalTrue[j] = int8_t(pick(7) - 3);
                    f.DipFromFeudalShow[j] = int8_t(pick(7) - 3);
                    f.DipFromFeudalTrue[j] = int8_t(pick(7) - 3);
                }
            }
            ASSERT_TRUE(paint->PreparedFor(*s, base));
            const int dipView = pick(4);
            const int mover = pick(MaxFeud + 2) - (view == 0 ? 1 : 0);  // from -1 to 21: no outline either way
            RenderColorMap(*s, base, dipView, plain);
            DrawBorders(*s, plain);
            DrawOutline(*s, mover, plain);
            RepaintMap(*s, *paint, dipView, mover, fast);
            ASSERT_TRUE(SamePicture(plain, fast)) << "repaint, round " << round;
            // Borders and outlines drawn again over it, for other feuds, after
            // every other view: the next repaint then writes every pixel,
            // otherwise only what changed (after the last view of a round too,
            // into the next round's first, prepared anew).
            if (view % 2 == 1) continue;
            for (int f : {int(s->CurrentFeud), pick(MaxFeud + 2), 1 + pick(q)}) {
                DrawBorders(*s, plain);
                DrawOutline(*s, f, plain);
                DrawBorders(*paint, fast);
                DrawOutline(*paint, f, fast);
                ASSERT_TRUE(SamePicture(plain, fast)) << "outline of " << f << ", round " << round;
            }
        }
    }
}

// What was found once holds only while the base picture, the grid, the
// number of feuds and their anchors stay as they were.
TEST(MapPaintTest, FoundAgainWhenTheMapOrTheGridIsAnother) {
    auto s = std::make_unique<TGameState>();
    BuildRealm(*s);
    Picture base = RealmPicture();
    auto paint = std::make_unique<TMapPaint>();
    EXPECT_FALSE(paint->PreparedFor(*s, base));
    EXPECT_FALSE(paint->Prepare(*s, Picture(300, 200)));
    EXPECT_FALSE(paint->Ready());
    ASSERT_TRUE(paint->Prepare(*s, base));
    EXPECT_TRUE(paint->PreparedFor(*s, base));
    // A copy of the picture is the same picture.
    Picture copy = base;
    EXPECT_TRUE(paint->PreparedFor(*s, copy));
    base.SetPixel(5, 5, Colors::White);  // the same colour: still a change of the picture
    EXPECT_FALSE(paint->PreparedFor(*s, base));
    ASSERT_TRUE(paint->Prepare(*s, base));
    s->Map[150][350] = 0;
    EXPECT_FALSE(paint->PreparedFor(*s, base));
    s->Map[150][350] = 8;
    EXPECT_TRUE(paint->PreparedFor(*s, base));
    s->Feuds[3].PosY -= 1;
    EXPECT_FALSE(paint->PreparedFor(*s, base));
    s->Feuds[3].PosY += 1;
    s->Feuds[3].PosX -= 1;
    EXPECT_FALSE(paint->PreparedFor(*s, base));
    s->Feuds[3].PosX += 1;
    EXPECT_TRUE(paint->PreparedFor(*s, base));
    s->QuantityFeud = 7;
    EXPECT_FALSE(paint->PreparedFor(*s, base));
}

TEST(FormatRealTest, ShortestGeneralFormInTheUsersLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(FormatReal(1.0), QStringLiteral("1"));
    EXPECT_EQ(FormatReal(0.05), QStringLiteral("0,05"));
    EXPECT_EQ(FormatReal(0.0), QStringLiteral("0"));
    EXPECT_EQ(FormatReal(1234567.25), QStringLiteral("1234567,25"));  // no grouping
    EXPECT_EQ(FormatReal(1.0 / 3.0), QStringLiteral("0,333333333333333"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatReal(2.5), QStringLiteral("2.5"));

    // The quick form equals the locale's own for every real: the ones it
    // hands over (signs, exponents, no number, other digits) and the rest.
    std::vector<double> values = {0.0, -0.0, 1.0, 0.1 + 0.2, 1e-4, 1e-5, 99999999999999.9, 1e14, 1e15,
                                  123456789012345678.0, 5e-324, -2.5, std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(), 0.999999999999999944};
    std::mt19937_64 draw(24);
    for (int i = 0; i < 2000; ++i) {
        const double mantissa = std::uniform_real_distribution<double>(0, 10)(draw);
        values.push_back(std::ldexp(mantissa, int(draw() % 80) - 40));
    }
    for (const QLocale& locale : {QLocale(QLocale::Russian, QLocale::Russia), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::Arabic, QLocale::Egypt)}) {
        QLocale::setDefault(locale);
        int differ = 0;
        for (double v : values) differ += FormatReal(v) != FormatRealPlain(v);
        EXPECT_EQ(differ, 0) << locale.name().toStdString();
    }
    QLocale::setDefault(saved);
}

}  // namespace
