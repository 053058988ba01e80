// The turn as the players meet it in the game window: "Конец хода", the
// information page, the lennik commands, the garrison track bar and the army
// orders, with every box answered by a recorder.
#include <functional>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>

#include "EngineWorld.h"
#include "core/Forms.h"
#include "core/Random.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"
#include "ui/UnitGame.h"

namespace {

// Notes, with each box, whether the window was between turns.
struct WatchingMessages : RecordedMessages {
    std::function<void()> onBox;
    void Info(const QString& text) override {
        if (onBox) onBox();
        RecordedMessages::Info(text);
    }
};

class GameTurnWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateForms();
        form = FormGame;
        ASSERT_NE(form, nullptr);
        form->SetMessages(&msgs);
        GameRandom.Seed(99);
        int lenniks[5] = {0, 20, 20, 20, 20};
        BuildWorld(Game, 4, lenniks);
    }
    void TearDown() override {
        form->SetMessages(nullptr);
        DestroyForms();
        ClearGameData(Game);
    }
    // Human players on the given feuds in seat order, then the computer feuds.
    void Seat(std::initializer_list<int> humans) {
        int k = 0;
        for (int f : humans) {
            Game.Feuds[f].Gamer = 1;
            Game.TurnOrder[++k] = static_cast<uint8_t>(f);
        }
        for (int f = 1; f <= 4; ++f)
            if (Game.Feuds[f].Gamer == 0) Game.TurnOrder[++k] = static_cast<uint8_t>(f);
        Game.QuantityGamer = static_cast<uint8_t>(humans.size());
    }
    void EndTurn() { form->ItemEndTurn->trigger(); }
    bool BetweenTurns() const {
        return form->PCMain->isHidden() && form->mEvent->isHidden() && !form->ItemGame->isEnabled() &&
               !form->ItemHelp->isEnabled() && !form->ItemEndTurn->isEnabled();
    }
    bool HumanTurn() const {
        return !form->PCMain->isHidden() && !form->mEvent->isHidden() && form->ItemGame->isEnabled() &&
               form->ItemHelp->isEnabled() && form->ItemEndTurn->isEnabled() &&
               form->PCMain->currentWidget() == form->tsInformation;
    }

    TFormGame* form = nullptr;
    WatchingMessages msgs;
};

TEST_F(GameTurnWindowTest, FirstTurnAnnouncesTheFirstPlayerAndFillsHisPage) {
    Seat({3});
    Game.Feuds[3].Peasant = 777;
    int boxes = 0;
    msgs.onBox = [&] {
        ++boxes;
        EXPECT_TRUE(BetweenTurns());
    };
    form->ItemEndTurnClick();  // as the new game does
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(msgs.infos, QStringList{QStringLiteral("Ходит феодал Барон Феодал3 ") + Game.NamesFeud[3].PossName + "."});
    EXPECT_TRUE(HumanTurn());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Феодал: ") + GetFullNameFeudal(Game, 3));
    EXPECT_EQ(form->LTime->text(), QStringLiteral("1 год, май, 1 неделя"));
    EXPECT_EQ(form->LJobLennik->text(), QStringLiteral("10 (нед.)"));
    EXPECT_EQ(form->LJobVassal->text(), QStringLiteral("12 (нед.)"));
    EXPECT_EQ(form->LPeasant->text(), QStringLiteral("777"));
    EXPECT_EQ(form->LLennik->text(), QStringLiteral("20"));
    EXPECT_EQ(form->LAddGrain->text(), QStringLiteral("0"));
    EXPECT_TRUE(form->btnCallLennik->isEnabled());
    EXPECT_FALSE(form->btnDismissLennik->isEnabled());
    EXPECT_FALSE(form->btnCallVassal->isEnabled());  // a vassal of the king has no vassals
    EXPECT_FALSE(form->tbArmy->isEnabled());
    EXPECT_EQ(form->LMapQuantityArmy->text(), QStringLiteral("0"));
    EXPECT_TRUE(form->mEvent->toPlainText().isEmpty());
}

TEST_F(GameTurnWindowTest, EndOfTurnPlaysTheComputerAndTheWeekThenTheYear) {
    Seat({2});
    form->ItemEndTurnClick();
    msgs.onBox = [&] { EXPECT_TRUE(BetweenTurns()); };
    EndTurn();
    EXPECT_EQ(Game.Week, 2);
    EXPECT_EQ(Game.CurrentFeud, 2);
    for (int f : {1, 3, 4}) EXPECT_EQ(Game.Feuds[f].LennikInService, 1) << f;
    EXPECT_EQ(form->LTime->text(), QStringLiteral("1 год, май, 2 неделя"));
    EXPECT_EQ(msgs.infos.size(), 2);
    EXPECT_TRUE(HumanTurn());
    for (int week = 3; week <= 7; ++week) EndTurn();
    EXPECT_EQ(form->LTime->text(), QStringLiteral("1 год, июнь, 3 неделя"));
    EndTurn();
    EXPECT_EQ(form->LTime->text(), QStringLiteral("2 год, май, 1 неделя"));
    EXPECT_EQ(form->LAddLennik->text(), QStringLiteral("10"));
    EXPECT_EQ(form->LAddGrain->text(), QStringLiteral("1000"));
    EXPECT_EQ(form->LAddCow->text(), QStringLiteral("5"));
    EXPECT_EQ(form->LAddHorse->text(), QStringLiteral("2"));
    EXPECT_EQ(form->LPeasant->text(), QStringLiteral("1010"));
    EXPECT_EQ(form->LLennik->text(), QStringLiteral("30"));
}

TEST_F(GameTurnWindowTest, CallSplitAndDismissTheLenniks) {
    Seat({1});
    Game.Feuds[1].Auth = 100;
    form->ItemEndTurnClick();
    form->btnCallLennik->click();
    EXPECT_FALSE(form->btnCallLennik->isEnabled());
    EXPECT_EQ(Game.Feuds[1].CallLennik, 1);
    EndTurn();
    EXPECT_EQ(Game.Feuds[1].LennikAppear, 20);
    EXPECT_FALSE(form->btnCallLennik->isEnabled());
    EXPECT_TRUE(form->btnDismissLennik->isEnabled());
    EXPECT_TRUE(form->tbArmy->isEnabled());
    EXPECT_EQ(form->tbArmy->maximum(), 20);
    EXPECT_EQ(form->tbArmy->pageStep(), 2);
    EXPECT_EQ(form->tbArmy->value(), 0);
    EXPECT_EQ(form->LArmyToArmy->text(), QStringLiteral("Войско: 20"));
    EXPECT_EQ(form->LMapQuantityArmy->text(), QStringLiteral("20"));

    form->tbArmy->setValue(7);
    EXPECT_EQ(Game.ArmyToCastle, 7);
    EXPECT_EQ(form->LArmyToCastle->text(), QStringLiteral("Замок: 7"));
    EXPECT_EQ(form->LArmyToArmy->text(), QStringLiteral("Войско: 13"));
    EXPECT_EQ(form->LMapQuantityArmy->text(), QStringLiteral("13"));
    EndTurn();
    EXPECT_EQ(CountInCastle(Game, 1), 7);
    EXPECT_EQ(form->tbArmy->value(), 7);  // the garrison is shown back
    EXPECT_EQ(form->LArmyToArmy->text(), QStringLiteral("Войско: 13"));

    form->tbArmy->setValue(20);  // the whole force stays home
    EndTurn();
    EXPECT_EQ(CountInCastle(Game, 1), 20);
    EXPECT_TRUE(msgs.errors.isEmpty());

    form->btnDismissLennik->click();
    EXPECT_FALSE(form->btnCallLennik->isEnabled());
    EXPECT_FALSE(form->btnDismissLennik->isEnabled());
    EndTurn();
    EXPECT_EQ(Game.Feuds[1].LennikAppear, 0);
    EXPECT_FALSE(form->btnCallLennik->isEnabled());  // no new call before the year's end
    EXPECT_FALSE(form->btnDismissLennik->isEnabled());
    EXPECT_FALSE(form->tbArmy->isEnabled());
    while (Game.Week != 1) EndTurn();
    EXPECT_TRUE(form->btnCallLennik->isEnabled());
}

TEST_F(GameTurnWindowTest, MissingGarrisonIsReportedBetweenTheTurns) {
    Seat({1, 2});
    form->ItemEndTurnClick();
    MakeServing(Game, 1, 3);
    Game.ArmyToCastle = 5;
    EndTurn();
    EXPECT_EQ(msgs.errors, QStringList{QStringLiteral("Ошибка программы. Остались нераспределенные в замок ленники.")});
    EXPECT_EQ(msgs.all.last(), AnnouncementText(Game, 2));
}

TEST_F(GameTurnWindowTest, VassalCallIsOfferedOnceAndAnnouncedToTheVassals) {
    Seat({1, 2});  // the king and a vassal of his
    form->ItemEndTurnClick();
    EXPECT_TRUE(form->btnCallVassal->isEnabled());
    form->btnCallVassal->click();
    EXPECT_FALSE(form->btnCallVassal->isEnabled());
    EXPECT_EQ(Game.Feuds[1].CallVassal, 1);
    EndTurn();
    EXPECT_EQ(Game.CurrentFeud, 2);
    EXPECT_EQ(form->mEvent->toPlainText(), QStringLiteral("Вас призвал ") + GetFullNameFeudal(Game, 1));
    EXPECT_FALSE(form->btnCallVassal->isEnabled());
    EndTurn();
    EXPECT_EQ(Game.CurrentFeud, 1);
    EXPECT_TRUE(form->mEvent->toPlainText().isEmpty());  // the king is not called by himself
    EXPECT_FALSE(form->btnCallVassal->isEnabled());      // once a year
    while (Game.Week != 1) {
        EndTurn();
        EndTurn();
    }
    EXPECT_EQ(Game.CurrentFeud, 1);
    EXPECT_TRUE(form->btnCallVassal->isEnabled());
}

TEST_F(GameTurnWindowTest, EachPlayerGetsHisDiplomacyViewBack) {
    Seat({1, 2});
    form->ItemEndTurnClick();
    form->rbDipFromFeudalShow->setChecked(true);
    EndTurn();
    EXPECT_EQ(Game.Feuds[1].DipView, 2);
    EXPECT_TRUE(form->rbDipToFeudalShow->isChecked());
    form->rbDipToFeudalTrue->setChecked(true);
    EndTurn();
    EXPECT_EQ(Game.Feuds[2].DipView, 1);
    EXPECT_TRUE(form->rbDipFromFeudalShow->isChecked());
    EXPECT_EQ(Game.DipFeud, 1);
}

TEST_F(GameTurnWindowTest, ArmyOrdersFromThePopupMenu) {
    Seat({2});
    form->ItemEndTurnClick();
    MakeServing(Game, 2, 10);
    Game.Feuds[2].ArmyFeud = 2;
    Game.SelectFeud = 3;
    form->PMItemArmyAttack->trigger();
    EXPECT_EQ(form->LArmyCommand->text(), QStringLiteral("Захватить феод ") + Game.NamesFeud[3].Name);
    EXPECT_TRUE(msgs.questions.isEmpty());

    Game.Feuds[1].Senior = 0;  // the king's senior is himself, not the mover's senior
    Game.SelectFeud = 1;
    msgs.answers = {false};
    form->PMItemArmyMove->trigger();
    EXPECT_EQ(msgs.questions,
              QStringList{QStringLiteral("Феодал не ваш сеньор/вассал. Вы уверены, что хотите переместить войско?")});
    EXPECT_EQ(form->LArmyCommand->text(), QStringLiteral("Захватить феод ") + Game.NamesFeud[3].Name);
    msgs.answers = {true};
    form->PMItemArmyMove->trigger();
    EXPECT_EQ(form->LArmyCommand->text(), QStringLiteral("Переместиться на феод ") + Game.NamesFeud[1].Name);
    form->PMItemArmyCancel->trigger();
    EXPECT_EQ(form->LArmyCommand->text(), QString());
    EXPECT_EQ(Game.Feuds[2].ArmyCommand, 0);
}

TEST_F(GameTurnWindowTest, BattleReportsComeBetweenTheTurnsBeforeTheAnnouncement) {
    Seat({2});
    form->ItemEndTurnClick();
    MakeServing(Game, 2, 20);
    Game.Feuds[2].ArmyFeud = 2;
    Game.Feuds[3].ArmyFeud = 3;
    Game.Feuds[3].Senior = 0;
    Game.SelectFeud = 3;
    form->PMItemArmyAttack->trigger();
    msgs.Clear();
    int between = 0;
    msgs.onBox = [&] { between += BetweenTurns(); };
    EndTurn();
    ASSERT_EQ(msgs.infos.size(), 3);
    // Feud 3's lenniks answer the computer's call at this week's end and meet the attack.
    EXPECT_TRUE(msgs.infos[0].startsWith(QStringLiteral("Феодал Феодал2 (20) атаковал феодала Феодал3 (")));
    EXPECT_TRUE(msgs.infos[1].startsWith(QStringLiteral("Потери атакующих составили ")));
    EXPECT_EQ(msgs.infos[2], AnnouncementText(Game, 2));
    EXPECT_EQ(between, 3);
    EXPECT_EQ(form->LArmyCommand->text(), QString());  // the order was carried out
}

}  // namespace
