// The coloured map, checked pixel by pixel in the rendered picture.
#include <gtest/gtest.h>

#include <memory>

#include <QLocale>

#include "TestRealm.h"
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
    // The whole repaint as the game window does it, for feud f's outline.
    void Render(int dipView = DipViewToFeudalShow) {
        RenderColorMap(*s, base, dipView, out);
        DrawBorders(*s, out);
        DrawOutline(*s, s->CurrentFeud, out);
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
    QLocale::setDefault(saved);
}

}  // namespace
