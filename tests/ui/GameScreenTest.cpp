// The game screen in play: hover, the popup menu, the relation commands, the
// diplomacy map's controls and the pages filled when shown.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QRadioButton>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>
#include <vector>

#include "TestRealm.h"
#include "core/Forms.h"
#include "core/MapImage.h"
#include "core/Names.h"
#include "engine/TurnCycle.h"
#include "newgame/UnitSelectMap.h"
#include "save/SaveGame.h"
#include "support/ModalDriver.h"
#include "support/TestMaps.h"
#include "ui/MapRendering.h"
#include "ui/UnitGame.h"

namespace {

class GameScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateForms();
        form = FormGame;
        ASSERT_NE(form, nullptr);
        BuildRealm(Game, 1);
        form->PCMain->setCurrentWidget(form->tsMap);  // the player looks at the map
    }
    void TearDown() override {
        DestroyForms();
        ClearGameData(Game);
    }

    // The colour of feud f on the map as last painted.
    Rgb ColourOf(int f) const {
        const QPoint p = Inside(f);
        return form->MapPicture().GetPixel(p.x(), p.y());
    }
    // Opens the popup over point p, as a right press there does.
    void PopupAt(QPoint p) {
        form->ImageMapMouseMove(p.x(), p.y());
        form->PopupMapPopup();
    }
    bool Enabled(const QMenu* m) const { return m->menuAction()->isEnabled(); }
    // The mover's field army: n serving lenniks, none in the castle, standing in feud at.
    void FieldArmy(int n, int at) {
        TFeud& f = Game.Feuds[Game.CurrentFeud];
        f.LennikAppear = n;
        f.ArmyFeud = static_cast<uint8_t>(at);
        Game.ArmyToCastle = 0;
    }
    void SwitchDiplomacyMap(bool on) {
        form->cbSelectDipMode->setChecked(on);
        form->cbSelectDipModeClick();
    }
    QStringList TreeShape() const {
        QStringList shape;
        for (int i = 0; i < form->TreeRelation->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* top = form->TreeRelation->topLevelItem(i);
            QString line = top->text(0);
            for (int c = 0; c < top->childCount(); ++c) line += QStringLiteral(" / ") + top->child(c)->text(0);
            shape << line;
        }
        return shape;
    }

    TFormGame* form = nullptr;
};

TEST_F(GameScreenTest, RepaintShowsTheMoversMapAndPanel) {
    Game.Feuds[1].Len = 1475;
    Game.Feuds[1].LennikAppear = 12;
    form->DrawColorMap();
    EXPECT_EQ(form->MapPicture().Width(), 400);
    EXPECT_EQ(ColourOf(1), Colors::Lime);
    EXPECT_EQ(ColourOf(4), Colors::Red);
    EXPECT_EQ(form->MapPicture().GetPixel(100, 50), Colors::White);  // the outline
    EXPECT_EQ(form->MapPicture().GetPixel(200, 50), Colors::Black);
    EXPECT_EQ(form->ImageMap->Shown(), &form->MapPicture());
    EXPECT_EQ(form->ImageMap->size(), QSize(400, 200));
    // The control paints the picture's own pixels, every colour exactly, and
    // after the next repaint the new ones.
    for (int round = 0; round < 2; ++round) {
        const QImage painted = form->ImageMap->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(painted.size(), QSize(400, 200));
        int differ = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 400; ++x)
                differ += painted.pixel(x, y) != Picture::PixelOf(form->MapPicture().GetPixel(x, y));
        EXPECT_EQ(differ, 0) << round;
        SwitchDiplomacyMap(true);
    }
    EXPECT_EQ(ColourOf(1), Colors::Aqua);
    SwitchDiplomacyMap(false);
    EXPECT_EQ(form->LMapNameFeud->text(), FeudName(Game, 1));
    EXPECT_EQ(form->LMapFeudal->text(), GetFullNameFeudal(Game, 1));
    EXPECT_EQ(form->LMapLen->text(), QStringLiteral("1475"));
    EXPECT_EQ(form->LMapLennikAppear->text(), QStringLiteral("12"));
    EXPECT_EQ(form->LMapFertility->text(), QStringLiteral("1"));
    EXPECT_EQ(form->LSenVas->text(), QStringLiteral("Вассалов:"));
    EXPECT_EQ(form->LMapSeniorVassal->text(), QStringLiteral("2"));
}

// The map dialog's picture is the base of the game map only while its grid is
// this game's: a game kept from another map, or a dialog that lost its map,
// has the game drawn on its own grid. Each step follows the one before it.
TEST_F(GameScreenTest, MapBaseIsTheDialogsPictureOnlyWhileItsGridIsTheGames) {
    QTemporaryDir dir;
    Picture strips = StripMap(6);
    FillRect(strips, 30, 30, 5, 5, Colors::Navy);  // the file's own colours show through
    ASSERT_TRUE(SaveBmp24(strips, dir.filePath(QStringLiteral("strips.bmp"))));
    ASSERT_TRUE(SaveBmp24(StripMap(4), dir.filePath(QStringLiteral("other.bmp"))));
    const struct {
        const char* file;  // what the dialog opens before the map is drawn
        bool onStrips;     // drawn on the strips' picture, else on the game's grid
    } steps[] = {{"strips.bmp", true}, {"", true},          {"other.bmp", false},
                 {"strips.bmp", true}, {"gone.bmp", false}, {"strips.bmp", true}};
    std::unique_ptr<TGameState> game;  // the game on the strips
    Picture gridBase, expected;
    for (const auto& step : steps) {
        if (*step.file) {
            FormSelectMap->SetOpenMapFileName(dir.filePath(QString::fromLatin1(step.file)));
            FormSelectMap->Initialize();
        }
        if (!game) {
            Game.CurrentFeud = Game.DipFeud = 1;
            game = std::make_unique<TGameState>(Game);
            BasePictureFromGrid(*game, gridBase);
        }
        Game = *game;  // the dialog's detection wrote its own grid into the game
        form->DrawColorMap();
        RenderColorMap(Game, step.onStrips ? strips : gridBase, DipViewToFeudalShow, expected);
        DrawBorders(Game, expected);
        DrawOutline(Game, 1, expected);
        EXPECT_TRUE(expected.SamePixels(form->MapPicture())) << &step - steps;
    }
}

TEST_F(GameScreenTest, HoverShowsTheFeudUnderThePointer) {
    Game.Feuds[7].Peasant = 310;
    Game.Feuds[7].Fertility = 1.5;
    Game.Feuds[7].LennikAppear = 4;
    Game.Feuds[7].PastureHorse = 2.5;
    form->ImageMapMouseMove(Inside(7).x(), Inside(7).y());
    EXPECT_EQ(Game.MapX, Inside(7).x());
    EXPECT_EQ(Game.MapY, Inside(7).y());
    EXPECT_EQ(form->LMapNameFeud->text(), FeudName(Game, 7));
    EXPECT_EQ(form->LMapPeasant->text(), QStringLiteral("310"));
    EXPECT_EQ(form->LMapFertility->text(), QLocale().toString(1.5));
    EXPECT_EQ(form->LMapPastureHorse->text(), QLocale().toString(2.5));
    EXPECT_EQ(form->LSenVas->text(), QStringLiteral("Сеньор:"));
    EXPECT_EQ(form->LMapSeniorVassal->text(), GetFullNameFeudal(Game, 2));

    // The king: the number of his vassals; an independent with none: 0.
    form->ImageMapMouseMove(Inside(1).x(), Inside(1).y());
    EXPECT_EQ(form->LSenVas->text(), QStringLiteral("Вассалов:"));
    EXPECT_EQ(form->LMapSeniorVassal->text(), QStringLiteral("2"));
    EXPECT_EQ(form->LMapFeudal->text(), QStringLiteral("Король Феодал1"));
    form->ImageMapMouseMove(Inside(8).x(), Inside(8).y());
    EXPECT_EQ(form->LMapSeniorVassal->text(), QStringLiteral("0"));
    // A vassal record beyond the map's feuds still counts.
    Game.Feuds[15].Senior = 8;
    form->ImageMapMouseMove(Inside(8).x(), Inside(8).y());
    EXPECT_EQ(form->LMapSeniorVassal->text(), QStringLiteral("1"));
}

TEST_F(GameScreenTest, HoverOverABorderBlanksNameAndFigures) {
    form->ImageMapMouseMove(Inside(7).x(), Inside(7).y());
    Game.Feuds[7].LennikAppear = 4;
    form->ImageMapMouseMove(Inside(7).x(), Inside(7).y());
    form->ImageMapMouseMove(200, 150);  // the line between 6 and 7
    for (QLabel* l : {form->LMapNameFeud, form->LMapFeudal, form->LMapLen, form->LMapLennik, form->LMapPeasant,
                      form->LMapCow, form->LMapHorse, form->LMapFertility, form->LMapPastureCow,
                      form->LMapPastureHorse})
        EXPECT_TRUE(l->text().isEmpty()) << l->objectName().toStdString();
    EXPECT_EQ(form->LMapLennikAppear->text(), QStringLiteral("4"));
    EXPECT_EQ(form->LSenVas->text(), QStringLiteral("Сеньор:"));
    EXPECT_EQ(form->LMapSeniorVassal->text(), GetFullNameFeudal(Game, 2));
    EXPECT_EQ(Game.MapX, 200);

    // Points off the picture, as the control's edge may report, change nothing.
    for (const QPoint p : {QPoint(-1, 50), QPoint(400, 50), QPoint(50, -1), QPoint(50, 200)}) {
        form->ImageMapMouseMove(p.x(), p.y());
        form->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    }
    EXPECT_EQ(Game.MapX, 200);
    EXPECT_EQ(Game.MapY, 150);
    EXPECT_TRUE(form->LMapNameFeud->text().isEmpty());
}

TEST_F(GameScreenTest, PopupOverOwnFeudWithTheArmyAtHome) {
    FieldArmy(10, 1);
    Game.Feuds[1].ArmyCommand = ArmyNone;
    PopupAt(Inside(1));
    EXPECT_EQ(Game.CursorFeud, 1);
    EXPECT_EQ(Game.SelectFeud, 1);
    EXPECT_TRUE(Enabled(form->PMItemArmy));
    EXPECT_FALSE(form->PMItemArmyMove->isEnabled());
    EXPECT_FALSE(form->PMItemArmyAttack->isEnabled());
    EXPECT_TRUE(Enabled(form->PMItemArmyDefence));
    EXPECT_FALSE(form->PMItemArmyCancel->isEnabled());
    EXPECT_FALSE(Enabled(form->PMItemDiplomacy));
    EXPECT_FALSE(form->PMItemArrive->isEnabled());
}

TEST_F(GameScreenTest, PopupOverANeighbourAndOverAFarFeud) {
    FieldArmy(10, 1);
    Game.Feuds[1].ArmyCommand = ArmyAttack;
    PopupAt(Inside(2));
    EXPECT_EQ(Game.SelectFeud, 2);
    EXPECT_TRUE(Enabled(form->PMItemArmy));
    EXPECT_TRUE(form->PMItemArmyMove->isEnabled());
    EXPECT_TRUE(form->PMItemArmyAttack->isEnabled());
    EXPECT_FALSE(Enabled(form->PMItemArmyDefence));
    EXPECT_TRUE(form->PMItemArmyCancel->isEnabled());
    EXPECT_TRUE(Enabled(form->PMItemDiplomacy));

    PopupAt(Inside(7));  // two cells away from the army
    EXPECT_TRUE(Enabled(form->PMItemArmy));
    EXPECT_FALSE(form->PMItemArmyMove->isEnabled());
    EXPECT_FALSE(form->PMItemArmyAttack->isEnabled());
    EXPECT_FALSE(Enabled(form->PMItemArmyDefence));
    EXPECT_TRUE(Enabled(form->PMItemDiplomacy));

    // An army abroad may be sent home, and may even "capture" it.
    FieldArmy(10, 5);
    PopupAt(Inside(1));
    EXPECT_TRUE(form->PMItemArmyMove->isEnabled());
    EXPECT_TRUE(form->PMItemArmyAttack->isEnabled());
    EXPECT_FALSE(Enabled(form->PMItemDiplomacy));
    // Nor does a command that reaches the window set a relation towards himself.
    form->PMDipDeclTrueAllyClick();
    form->PMDipMarkTrueEnemyClick();
    EXPECT_EQ(Game.Feuds[1].DipToFeudalShow[1], 0);
    EXPECT_EQ(Game.Feuds[1].DipToFeudalTrue[1], 0);
}

TEST_F(GameScreenTest, PopupWithNoFieldArmyOrOverABorder) {
    FieldArmy(10, 1);
    Game.ArmyToCastle = 10;  // all in the castle
    PopupAt(Inside(2));
    EXPECT_FALSE(Enabled(form->PMItemArmy));
    FieldArmy(0, 1);  // none serving
    PopupAt(Inside(2));
    EXPECT_FALSE(Enabled(form->PMItemArmy));
    EXPECT_FALSE(form->PMItemArmyCancel->isEnabled());

    // Over a border line nothing can be ordered or declared.
    FieldArmy(10, 1);
    PopupAt(QPoint(100, 50));
    EXPECT_EQ(Game.CursorFeud, 0);
    EXPECT_EQ(Game.SelectFeud, 0);
    EXPECT_FALSE(Enabled(form->PMItemArmy));
    EXPECT_FALSE(Enabled(form->PMItemDiplomacy));
    form->PMDipDeclTrueAllyClick();
    form->PMDipMarkTrueEnemyClick();
    for (int j = 0; j <= MaxFeud; ++j) {
        EXPECT_EQ(Game.Feuds[1].DipToFeudalShow[j], 0) << j;
        EXPECT_EQ(Game.Feuds[1].DipToFeudalTrue[j], 0) << j;
    }
}

TEST_F(GameScreenTest, RightPressReachesTheMapBeforeThePopupOpens) {
    form->show();
    SwitchDiplomacyMap(true);
    const QPoint p = Inside(3);
    form->ImageMapMouseMove(p.x(), p.y());
    QTest::mousePress(form->ImageMap, Qt::RightButton, Qt::NoModifier, p);
    EXPECT_EQ(Game.CursorFeud, 3);  // recorded by the press
    EXPECT_EQ(Game.DipFeud, 1);     // but a right press picks no new DipFeud
    QTest::mouseRelease(form->ImageMap, Qt::RightButton, Qt::NoModifier, p);

    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, p, form->ImageMap->mapToGlobal(p));
    QApplication::sendEvent(form->ImageMap, &menuEvent);
    EXPECT_EQ(Game.SelectFeud, 3);
    EXPECT_TRUE(form->PopupMap->isVisible());
    form->PopupMap->close();
    form->hide();
}

TEST_F(GameScreenTest, RelationCommandsChangeOnlyTheMoversTable) {
    SwitchDiplomacyMap(true);
    PopupAt(Inside(2));
    form->PMDipDeclTruePeace->trigger();
    EXPECT_EQ(Game.Feuds[1].DipToFeudalShow[2], Peace);
    EXPECT_EQ(ColourOf(2), Colors::Green);  // repainted at once

    form->PMDipMarkTrueEnemy->trigger();
    EXPECT_EQ(Game.Feuds[1].DipToFeudalTrue[2], Enemy);
    EXPECT_EQ(ColourOf(2), Colors::Green);  // the true relation shows only in its own view
    form->rbDipToFeudalTrue->click();
    EXPECT_EQ(ColourOf(2), Colors::Maroon);

    // Every command writes its code.
    const struct {
        QAction* action;
        int8_t code;
        bool declared;
    } commands[] = {
        {form->PMDipDeclTruePersEnemy, PersEnemy, true}, {form->PMDipDeclTrueEnemy, Enemy, true},
        {form->PMDipDeclTrueAlly, Ally, true},           {form->PMDipMarkTruePersEnemy, PersEnemy, false},
        {form->PMDipMarkTrueUnknown, Unknown, false},    {form->PMDipMarkTruePeace, Peace, false},
        {form->PMDipMarkTrueAlly, Ally, false},
    };
    for (const auto& c : commands) {
        c.action->trigger();
        EXPECT_EQ(c.declared ? Game.Feuds[1].DipToFeudalShow[2] : Game.Feuds[1].DipToFeudalTrue[2], c.code)
            << c.action->objectName().toStdString();
    }

    // Feud 2's own tables never moved.
    for (int j = 1; j <= MaxFeud; ++j) {
        EXPECT_EQ(Game.Feuds[2].DipToFeudalShow[j], 0);
        EXPECT_EQ(Game.Feuds[2].DipToFeudalTrue[j], 0);
        EXPECT_EQ(Game.Feuds[2].DipFromFeudalShow[j], 0);
        EXPECT_EQ(Game.Feuds[2].DipFromFeudalTrue[j], 0);
    }
}

TEST_F(GameScreenTest, RelationsSurviveTheOtherPlayersTurns) {
    PopupAt(Inside(4));
    form->PMDipDeclTrueEnemyClick();
    form->PMDipMarkTruePersEnemyClick();

    // Feudal 4 takes his turn and answers in kind, on his own diplomacy map.
    Game.CurrentFeud = Game.DipFeud = 4;
    SwitchDiplomacyMap(true);
    PopupAt(Inside(1));
    form->PMDipDeclTrueAllyClick();
    // Looking at feudal 1's declarations shows 4 as 1 declared him.
    form->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, Inside(1).x(), Inside(1).y());
    EXPECT_EQ(Game.DipFeud, 1);
    EXPECT_EQ(ColourOf(4), Colors::Maroon);
    EXPECT_EQ(ColourOf(1), Colors::Aqua);

    Game.CurrentFeud = Game.DipFeud = 1;
    EXPECT_EQ(Game.Feuds[1].DipToFeudalShow[4], Enemy);
    EXPECT_EQ(Game.Feuds[1].DipToFeudalTrue[4], PersEnemy);
    EXPECT_EQ(Game.Feuds[4].DipToFeudalShow[1], Ally);
    EXPECT_EQ(Game.Feuds[4].DipToFeudalTrue[1], Unknown);
    EXPECT_EQ(Game.Feuds[1].DipMode, 0);
    EXPECT_EQ(Game.Feuds[4].DipMode, 1);
}

TEST_F(GameScreenTest, DiplomacyMapSwitchAndClicks) {
    SwitchDiplomacyMap(true);
    EXPECT_EQ(Game.Feuds[1].DipMode, 1);
    EXPECT_TRUE(form->gbColorMap->isEnabled());
    EXPECT_EQ(ColourOf(1), Colors::Aqua);

    // The repaint always names the mover, so a true view stays chosen, and
    // both stay open, while he looks at another feudal's relations.
    form->rbDipFromFeudalTrue->click();
    form->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, Inside(6).x(), Inside(6).y());
    EXPECT_TRUE(form->rbDipFromFeudalTrue->isChecked());
    EXPECT_TRUE(form->rbDipToFeudalTrue->isEnabled() && form->rbDipFromFeudalTrue->isEnabled());
    form->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, Inside(1).x(), Inside(1).y());
    form->rbDipToFeudalShow->click();

    // A left click on another feud shows that feudal's relations; on a border, nothing.
    form->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, Inside(6).x(), Inside(6).y());
    EXPECT_EQ(Game.DipFeud, 6);
    EXPECT_EQ(ColourOf(6), Colors::Aqua);
    EXPECT_EQ(ColourOf(1), Colors::Yellow);
    form->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, 100, 150);
    EXPECT_EQ(Game.DipFeud, 6);
    EXPECT_EQ(Game.CursorFeud, 0);

    // Switching the map off makes the mover DipFeud again.
    SwitchDiplomacyMap(false);
    EXPECT_EQ(Game.Feuds[1].DipMode, 0);
    EXPECT_EQ(Game.DipFeud, 1);
    EXPECT_FALSE(form->gbColorMap->isEnabled());
    EXPECT_EQ(ColourOf(1), Colors::Lime);

    // On the political map a click changes nothing.
    Game.CursorFeud = 0;
    form->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, Inside(6).x(), Inside(6).y());
    EXPECT_EQ(Game.DipFeud, 1);
    EXPECT_EQ(Game.CursorFeud, 0);
}

TEST_F(GameScreenTest, ArmyPageAveragesAndTurnout) {
    Game.Feuds[1].Lennik = 7;
    const int health[] = {25, 25, 26};
    for (int n = 0; n < 3; ++n) {
        TLennik& l = Game.Lenniks[10 + n * 1000];
        l.Feud = 1;
        l.Appear = 1;
        l.Health = health[n];
        l.Spear = n == 2 ? -1 : 0;  // -1 / 3 truncates towards zero
        l.Battle = 5;
    }
    Game.Lenniks[5].Feud = 1;  // at home: does not count
    Game.Lenniks[5].Health = 1000;
    Game.Lenniks[6].Feud = 2;  // another lord's
    Game.Lenniks[6].Appear = 1;

    form->PCMain->setCurrentWidget(form->tsArmy);  // the page's show event fills it
    EXPECT_EQ(form->LLennikQuantity->text(), QStringLiteral("3"));
    EXPECT_EQ(form->LLennikPercent->text(), QStringLiteral("42"));  // 3 of 7
    EXPECT_EQ(form->LLennikHealth->text(), QStringLiteral("25"));
    EXPECT_EQ(form->LLennikSpear->text(), QStringLiteral("0"));
    EXPECT_EQ(form->LLennikBattle->text(), QStringLiteral("5"));
    EXPECT_EQ(form->LLennikArmour->text(), QStringLiteral("0"));

    // Serving lenniks but no Lennik figure: no turnout, the averages stay.
    Game.Feuds[1].Lennik = 0;
    form->tsArmyShow();
    EXPECT_TRUE(form->LLennikPercent->text().isEmpty());
    EXPECT_EQ(form->LLennikHealth->text(), QStringLiteral("25"));

    // Nobody serving: 0 and empty lines.
    for (int n = 0; n < 3; ++n) Game.Lenniks[10 + n * 1000].Appear = 0;
    form->tsArmyShow();
    EXPECT_EQ(form->LLennikQuantity->text(), QStringLiteral("0"));
    EXPECT_TRUE(form->LLennikPercent->text().isEmpty());
    EXPECT_TRUE(form->LLennikHealth->text().isEmpty());
    EXPECT_TRUE(form->LLennikBattle->text().isEmpty());
}

TEST_F(GameScreenTest, ArmyAveragesOfHugeFiguresDoNotWrap) {
    for (int n = 1; n <= 3; ++n) {
        Game.Lenniks[n] = TLennik{};
        Game.Lenniks[n].Feud = 1;
        Game.Lenniks[n].Appear = 1;
        Game.Lenniks[n].Strength = 2000000000;
    }
    form->tsArmyShow();
    EXPECT_EQ(form->LLennikStrength->text(), QStringLiteral("2000000000"));
}

TEST_F(GameScreenTest, FeudalPageShowsTheMover) {
    Game.Feuds[1].Auth = 50;
    Game.Feuds[1].Hand = 3;
    Game.Feuds[1].PrisonerOur = -4;
    form->PCMain->setCurrentWidget(form->tsFeudal);
    EXPECT_EQ(form->LFeudalAuth->text(), QStringLiteral("50"));
    EXPECT_EQ(form->LFEudalHand->text(), QStringLiteral("3"));
    EXPECT_EQ(form->LFeudalPrisonerOur->text(), QStringLiteral("-4"));
}

TEST_F(GameScreenTest, RelationTreeOfKingAndIndependents) {
    form->PCMain->setCurrentWidget(form->tsDiplomacy);
    // 7 is a vassal of a vassal: nowhere in the tree.
    EXPECT_EQ(TreeShape(), (QStringList{"Феодал1 / Феодал2 / Феодал3", "Феодал4 / Феодал5 / Феодал6", "Феодал8"}));
    EXPECT_FALSE(form->TreeRelation->topLevelItem(0)->isExpanded());
}

TEST_F(GameScreenTest, RelationTreeWithNoKing) {
    for (int f = 1; f <= 8; ++f) Game.Feuds[f].Senior = 0;
    Game.Feuds[2].Senior = 1;
    Game.KingFeud = 0;
    form->BuildTreeRelation();
    EXPECT_EQ(TreeShape(), (QStringList{"Феодал1 / Феодал2", "Феодал3", "Феодал4", "Феодал5", "Феодал6", "Феодал7",
                                        "Феодал8"}));
    // With no game at all the tree is simply empty.
    ClearGameData(Game);
    form->BuildTreeRelation();
    EXPECT_EQ(form->TreeRelation->topLevelItemCount(), 0);
}

// A human turn's start draws the map once, in the view the feudal left it in,
// and shows what drawing it again would show: the picture, the panel and the
// views. Between turns nothing is drawn and the relation tree is left alone;
// its page fills it when opened.
TEST_F(GameScreenTest, TurnStartLeavesTheMapAndTheTreeToTheirPages) {
    struct QuietMessages : Messages {
        QStringList infos;
        void Info(const QString& text) override { infos << text; }
        void Error(const QString&) override {}
        bool Confirm(const QString&) override { return false; }
    };
    const struct {
        std::vector<int> humans;  // in the turn order 1..8
        int from;                 // whose turn ends
        int dipMode, dipView;     // the next mover's stored diplomacy map and view
        int dipFeud;              // DipFeud as the turn before left it
        int next;                 // whose turn begins
    } cases[] = {
        {{1, 5}, 1, 0, 0, 1, 5},
        {{1, 5}, 1, 1, 2, 3, 5},
        {{1, 5}, 5, 1, 1, 6, 1},  // through the week's end
        {{1, 5}, 5, 1, 3, 5, 1},
        {{4}, 4, 1, 0, 2, 4},     // a whole round, nobody else to see it
        {{2, 3}, 2, 0, 3, 7, 3},  // no computer turn between
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.from << " view " << c.dipMode << c.dipView);
        BuildRealm(Game, c.from);
        for (int i = 1; i <= 8; ++i) Game.TurnOrder[i] = static_cast<uint8_t>(i);
        for (int f : c.humans) Game.Feuds[f].Gamer = 1;
        Game.TurnIndex = static_cast<uint8_t>(c.from);
        Game.Year = Game.Week = 1;
        Game.Feuds[c.next].DipMode = static_cast<uint8_t>(c.dipMode);
        Game.Feuds[c.next].DipView = static_cast<uint8_t>(c.dipView);
        Game.Feuds[c.next].Len = 300 + c.next;
        QuietMessages msgs;
        form->SetMessages(&msgs);
        form->rbDipToFeudalShow->setChecked(true);  // what the outgoing player leaves
        form->cbSelectDipMode->setChecked(false);
        form->PCMain->setCurrentWidget(form->tsDiplomacy);
        form->TreeRelation->clear();
        new QTreeWidgetItem(form->TreeRelation, QStringList(QStringLiteral("прежнее")));
        Game.DipFeud = static_cast<uint8_t>(c.dipFeud);

        const int drawn = form->MapDrawCount();
        form->ItemEndTurnClick();
        ASSERT_EQ(Game.CurrentFeud, c.next);
        // The turn opens on the information page: the map waits for its own.
        EXPECT_EQ(form->MapDrawCount() - drawn, 0);
        EXPECT_EQ(msgs.infos, QStringList(AnnouncementText(Game, c.next)));
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Феодал: ") + GetFullNameFeudal(Game, c.next));
        EXPECT_EQ(TreeShape(), QStringList(QStringLiteral("прежнее")));
        EXPECT_EQ(form->PCMain->currentWidget(), form->tsInformation);
        EXPECT_EQ(form->cbSelectDipMode->isChecked(), c.dipMode == 1);
        EXPECT_EQ(form->gbColorMap->isEnabled(), c.dipMode == 1);
        const QRadioButton* views[] = {form->rbDipToFeudalShow, form->rbDipToFeudalTrue, form->rbDipFromFeudalShow,
                                       form->rbDipFromFeudalTrue};
        EXPECT_TRUE(views[c.dipView]->isChecked());
        EXPECT_EQ(Game.DipFeud, c.next);
        // Every other turn the picture is asked for before its page opens:
        // it is drawn then, and the page does not draw it again.
        if ((&c - cases) % 2 == 1) {
            form->MapPicture();
            EXPECT_EQ(form->MapDrawCount() - drawn, 1);
        }
        form->PCMain->setCurrentWidget(form->tsMap);
        EXPECT_EQ(form->MapDrawCount() - drawn, 1);
        EXPECT_EQ(form->ImageMap->Shown(), &form->MapPicture());

        // Drawing again changes nothing the player sees.
        Picture shown;
        shown.CopyFrom(form->MapPicture());
        QStringList panel;
        const QList<QLabel*> labels = {form->LMapNameFeud, form->LMapFeudal, form->LMapLen, form->LMapSeniorVassal,
                                       form->LSenVas};
        for (const QLabel* l : labels) panel << l->text();
        EXPECT_EQ(panel[2], QString::number(300 + c.next));
        form->DrawColorMap();
        EXPECT_TRUE(shown.SamePixels(form->MapPicture()));
        for (int i = 0; i < labels.size(); ++i) EXPECT_EQ(labels[i]->text(), panel[i]);

        // Opening the page builds the tree as it stands.
        form->PCMain->setCurrentWidget(form->tsDiplomacy);
        EXPECT_EQ(TreeShape(),
                  (QStringList{"Феодал1 / Феодал2 / Феодал3", "Феодал4 / Феодал5 / Феодал6", "Феодал8"}));
        form->SetMessages(nullptr);
    }
}

// The game as a save would hold it, and what the turn keeps beside it.
QByteArray StateNow() {
    auto record = std::make_unique<TSaveRecord>();
    BuildSaveRecord(Game, *record);
    QByteArray bytes(reinterpret_cast<const char*>(record->data()), qsizetype(record->size()));
    for (int32_t v : {int32_t(Game.TurnIndex), int32_t(Game.DipFeud), Game.ArmyToCastle})
        bytes += QByteArray::number(v) + ' ';
    return bytes;
}

// Escape is the one key a dialog turns into a close; in the game window it
// does nothing, in a human turn and between turns alike.
TEST_F(GameScreenTest, EscapeNeverLeavesTheGame) {
    struct EscapingMessages : Messages {
        TFormGame* form = nullptr;
        QStringList seen;
        void Info(const QString&) override {
            // The next feudal is announced: the window is between turns.
            const QByteArray before = StateNow();
            QTest::keyClick(form, Qt::Key_Escape);
            seen << QStringLiteral("%1 %2 %3")
                        .arg(form->isVisible())
                        .arg(form->PCMain->isHidden())
                        .arg(StateNow() == before);
        }
        void Error(const QString&) override {}
        bool Confirm(const QString&) override { return false; }
    } msgs;
    msgs.form = form;
    form->SetMessages(&msgs);
    Game.Feuds[1].Gamer = Game.Feuds[5].Gamer = 1;
    for (int i = 1; i <= 8; ++i) Game.TurnOrder[i] = static_cast<uint8_t>(i);
    Game.TurnIndex = 0;
    Game.Year = Game.Week = 1;

    QStringList humanTurn;
    ModalDriver driver;
    QTimer::singleShot(0, form, [&] {
        form->ItemEndTurnClick();  // the game's first turn: feudal 1
        const QByteArray before = StateNow();
        QTest::keyClick(form->mEvent, Qt::Key_Escape);  // reaches the window unless a control takes it
        QTest::keyClick(form, Qt::Key_Escape);
        humanTurn << QStringLiteral("%1 %2").arg(form->isVisible()).arg(StateNow() == before);
        form->ItemEndTurn->trigger();  // on to feudal 5, through the turns of 2..4
        humanTurn << QStringLiteral("%1 %2").arg(form->isVisible()).arg(Game.CurrentFeud);
        driver.PressOnBox(QMessageBox::No);  // the game was never saved: leave it unsaved
        form->ItemExit->trigger();
    });
    EXPECT_EQ(form->exec(), QDialog::Rejected);
    EXPECT_EQ(humanTurn, (QStringList{"1 1", "1 5"}));
    EXPECT_EQ(msgs.seen, (QStringList{"1 1 1", "1 1 1"}));
    form->SetMessages(nullptr);
}

}  // namespace
