// The turn as the players meet it in the game window, every box answered by
// a recorder that also notes whether the window was between turns.
#include <functional>

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
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
        form->SetMessages(&msgs);
        GameRandom.Seed(99);
        int lenniks[5] = {0, 20, 20, 20, 20};
        BuildWorld(Game, 4, lenniks);  // 1 the king, 2..4 his vassals
    }
    void TearDown() override {
        DestroyForms();
        ClearGameData(Game);
    }
    // Players on the given feuds in seat order, then the computer; the first turn begins.
    void Start(std::initializer_list<int> humans) {
        int k = 0;
        for (int f : humans) {
            Game.Feuds[f].Gamer = 1;
            Game.TurnOrder[++k] = static_cast<uint8_t>(f);
        }
        for (int f = 1; f <= 4; ++f)
            if (Game.Feuds[f].Gamer == 0) Game.TurnOrder[++k] = static_cast<uint8_t>(f);
        form->ItemEndTurnClick();  // as the new game does
    }
    void EndTurn() { form->ItemEndTurn->trigger(); }  // F10
    bool Shown() const {
        return !form->PCMain->isHidden() && !form->mEvent->isHidden() && form->ItemGame->isEnabled() &&
               form->ItemHelp->isEnabled() && form->ItemEndTurn->isEnabled();
    }
    bool Hidden() const {
        return form->PCMain->isHidden() && form->mEvent->isHidden() && !form->ItemHelp->isEnabled() &&
               !form->ItemEndTurn->isEnabled();
    }

    TFormGame* form = nullptr;
    WatchingMessages msgs;
};

TEST_F(GameTurnWindowTest, TurnsWeeksAndTheYearAsThePlayerSeesThem) {
    int hidden = 0;
    msgs.onBox = [&] { hidden += Hidden(); };
    Start({2});
    EXPECT_EQ(msgs.infos, QStringList{QStringLiteral("Ходит феодал Барон Феодал2 ") + Game.NamesFeud[2].PossName + "."});
    EXPECT_TRUE(Shown());
    EXPECT_EQ(form->PCMain->currentWidget(), form->tsInformation);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Феодал: ") + GetFullNameFeudal(Game, 2));
    EXPECT_EQ(form->LTime->text(), QStringLiteral("1 год, май, 1 неделя"));
    EXPECT_EQ(form->LJobLennik->text(), QStringLiteral("10 (нед.)"));
    EXPECT_EQ(form->LPeasant->text(), QStringLiteral("1000"));
    EXPECT_FALSE(form->btnDismissLennik->isEnabled());
    EXPECT_FALSE(form->tbArmy->isEnabled());

    EndTurn();  // the computer feudals and the week's end
    EXPECT_EQ(form->LTime->text(), QStringLiteral("1 год, май, 2 неделя"));
    for (int f : {1, 3, 4}) EXPECT_EQ(Game.Feuds[f].LennikInService, 1) << f;
    for (int week = 2; week <= 7; ++week) EndTurn();
    EXPECT_EQ(form->LTime->text(), QStringLiteral("2 год, май, 1 неделя"));
    EXPECT_EQ(form->LAddLennik->text(), QStringLiteral("10"));
    EXPECT_EQ(form->LAddGrain->text(), QStringLiteral("1000"));
    EXPECT_EQ(form->LAddCow->text(), QStringLiteral("5"));
    EXPECT_EQ(form->LPeasant->text(), QStringLiteral("1010"));
    EXPECT_EQ(msgs.infos.size(), 8);
    EXPECT_EQ(hidden, 8);
}

TEST_F(GameTurnWindowTest, CallSplitAndDismissTheLenniks) {
    Game.Feuds[1].Auth = 100;
    Start({1});
    form->btnCallLennik->click();
    EXPECT_FALSE(form->btnCallLennik->isEnabled());
    EndTurn();
    EXPECT_TRUE(form->btnDismissLennik->isEnabled());
    EXPECT_TRUE(form->tbArmy->isEnabled());
    EXPECT_EQ(form->tbArmy->maximum(), 20);
    EXPECT_EQ(form->tbArmy->pageStep(), 2);
    form->tbArmy->setValue(7);
    EXPECT_EQ(form->LArmyToCastle->text(), QStringLiteral("Замок: 7"));
    EXPECT_EQ(form->LArmyToArmy->text(), QStringLiteral("Войско: 13"));
    EXPECT_EQ(form->LMapQuantityArmy->text(), QStringLiteral("13"));
    EndTurn();
    EXPECT_EQ(CountInCastle(Game, 1), 7);
    EXPECT_EQ(form->tbArmy->value(), 7);  // the garrison is shown back
    form->tbArmy->setValue(20);           // the whole force stays home
    EndTurn();
    EXPECT_EQ(CountInCastle(Game, 1), 20);

    form->btnDismissLennik->click();
    EXPECT_FALSE(form->btnDismissLennik->isEnabled());
    EndTurn();
    EXPECT_EQ(Game.Feuds[1].LennikAppear, 0);
    EXPECT_FALSE(form->btnCallLennik->isEnabled());  // no new call before the year's end
    EXPECT_FALSE(form->tbArmy->isEnabled());
    while (Game.Week != 1) EndTurn();
    EXPECT_TRUE(form->btnCallLennik->isEnabled());
    EXPECT_TRUE(msgs.errors.isEmpty());
}

TEST_F(GameTurnWindowTest, VassalCallIsOfferedOnceAYearAndAnnouncedToTheVassals) {
    Start({1, 2});  // the king and a vassal of his
    EXPECT_TRUE(form->btnCallVassal->isEnabled());
    form->btnCallVassal->click();
    EXPECT_FALSE(form->btnCallVassal->isEnabled());
    EndTurn();
    EXPECT_FALSE(form->btnCallVassal->isEnabled());  // the vassal has no vassals
    EXPECT_EQ(form->mEvent->toPlainText(), QStringLiteral("Вас призвал ") + GetFullNameFeudal(Game, 1));
    EndTurn();
    EXPECT_TRUE(form->mEvent->toPlainText().isEmpty());
    EXPECT_FALSE(form->btnCallVassal->isEnabled());
    while (Game.Week != 1) {
        EndTurn();
        EndTurn();
    }
    EXPECT_TRUE(form->btnCallVassal->isEnabled());
}

TEST_F(GameTurnWindowTest, EachPlayerGetsHisDiplomacyViewBack) {
    Game.Feuds[3].DipView = 1;
    Start({1, 2});
    form->rbDipFromFeudalShow->setChecked(true);
    EndTurn();
    EXPECT_TRUE(form->rbDipToFeudalShow->isChecked());
    form->rbDipToFeudalTrue->setChecked(true);
    EndTurn();
    EXPECT_TRUE(form->rbDipFromFeudalShow->isChecked());
    EXPECT_EQ(Game.Feuds[2].DipView, 1);
    EXPECT_EQ(Game.Feuds[3].DipView, 1);  // the computer feudals keep their own
    EXPECT_EQ(Game.Feuds[4].DipView, 0);
    form->rbDipFromFeudalTrue->setChecked(true);  // the last of the four views
    EndTurn();
    EXPECT_TRUE(form->rbDipToFeudalTrue->isChecked());
    EndTurn();
    EXPECT_TRUE(form->rbDipFromFeudalTrue->isChecked());
    EXPECT_EQ(Game.Feuds[1].DipView, 3);
}

TEST_F(GameTurnWindowTest, ArmyOrdersAndTheirBattleReports) {
    Start({2});
    MakeServing(Game, 2, 20);
    Game.Feuds[2].ArmyFeud = 2;
    Game.Feuds[1].Senior = 0;  // so that the king's senior is not the mover's
    Game.SelectFeud = 1;
    msgs.answers = {false};
    form->PMItemArmyMove->trigger();
    EXPECT_EQ(msgs.questions,
              QStringList{QStringLiteral("Феодал не ваш сеньор/вассал. Вы уверены, что хотите переместить войско?")});
    EXPECT_EQ(form->LArmyCommand->text(), QString());
    form->PMItemArmyMove->trigger();
    EXPECT_EQ(form->LArmyCommand->text(), QStringLiteral("Переместиться на феод ") + Game.NamesFeud[1].Name);
    form->PMItemArmyCancel->trigger();
    EXPECT_EQ(form->LArmyCommand->text(), QString());
    Game.SelectFeud = 3;
    form->PMItemArmyAttack->trigger();
    EXPECT_EQ(form->LArmyCommand->text(), QStringLiteral("Захватить феод ") + Game.NamesFeud[3].Name);

    msgs.Clear();
    QStringList captions;
    msgs.onBox = [&] { captions << form->windowTitle(); };
    EndTurn();  // feud 3 answers its call at this week's end and meets the attack
    ASSERT_EQ(msgs.infos.size(), 3);
    // Over the reports the caption names the last feudal to move before the week's end.
    EXPECT_EQ(captions, QStringList({QStringLiteral("Феодал: ") + GetFullNameFeudal(Game, 4),
                                     QStringLiteral("Феодал: ") + GetFullNameFeudal(Game, 4),
                                     QStringLiteral("Феодал: ") + GetFullNameFeudal(Game, 2)}));
    EXPECT_TRUE(msgs.infos[0].startsWith(QStringLiteral("Феодал Феодал2 (20) атаковал феодала Феодал3 (")));
    EXPECT_TRUE(msgs.infos[1].startsWith(QStringLiteral("Потери атакующих составили ")));
    EXPECT_EQ(form->LArmyCommand->text(), QString());
}

// A turn shown again where it stood, as a loaded game resumes it: what the
// feudal already did in it stays done.
TEST_F(GameTurnWindowTest, ATurnShownAgainKeepsWhatWasDoneInIt) {
    Start({1});
    const struct {
        const char* what;
        uint8_t service, called, dismissed, armyAt;
        bool call, dismiss, track;
    } rows[] = {
        {"nobody called yet", 0, 0, 0, 1, true, false, false},
        {"called this turn", 0, 1, 0, 1, false, false, false},
        {"serving, the army at home", 1, 0, 0, 1, false, true, true},
        {"serving, dismissed this turn", 1, 0, 1, 1, false, false, true},
        {"serving, the army away", 1, 0, 0, 2, false, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TFeud& f = Game.Feuds[1];
        f.LennikInService = row.service;
        f.LennikAppear = row.service ? 20 : 0;
        f.CallLennik = row.called;
        f.DismissLennik = row.dismissed;
        f.ArmyFeud = row.armyAt;
        form->InitializeBeforeTurn();
        EXPECT_EQ(form->btnCallLennik->isEnabled(), row.call);
        EXPECT_EQ(form->btnDismissLennik->isEnabled(), row.dismiss);
        EXPECT_EQ(form->tbArmy->isEnabled(), row.track);
    }
}

TEST_F(GameTurnWindowTest, TheDefenderReadsTheBattleInHisMemoAtHisTurn) {
    for (int f : {2, 3}) {
        MakeServing(Game, f, f == 2 ? 20 : 10);
        Game.Feuds[f].LennikInService = 1;
        Game.Feuds[f].ArmyFeud = static_cast<uint8_t>(f);
    }
    Game.Feuds[1].CallVassal = 1;  // the king has called his vassals
    const QString called = QStringLiteral("Вас призвал ") + GetFullNameFeudal(Game, 1);
    Start({2, 3});
    Game.SelectFeud = 3;
    form->PMItemArmyAttack->trigger();
    EndTurn();  // the second player's turn; nothing has happened yet
    EXPECT_EQ(form->mEvent->toPlainText(), called);
    msgs.Clear();
    EndTurn();  // the computer feudals, the week's end with the battle, the first player
    ASSERT_EQ(msgs.infos.size(), 3);
    EXPECT_EQ(msgs.infos[0], QStringLiteral("Феодал Феодал2 (20) атаковал феодала Феодал3 (10) и победил."));
    const QRegularExpressionMatch losses =
        QRegularExpression(QStringLiteral("^Потери атакующих составили (\\d+) рыцарей, защищавшихся (\\d+)"))
            .match(msgs.infos[1]);
    ASSERT_TRUE(losses.hasMatch());
    const QString battle = QStringLiteral("1 год, май, 1 неделя: Барон Феодал2 Лотарингский напал на Саксонию "
                                          "(Барон Феодал3 Саксонский): 20 против 10, потери %1 и %2. ")
                               .arg(losses.captured(1), losses.captured(2));
    EXPECT_EQ(form->mEvent->toPlainText(),
              called + "\n" + battle + QStringLiteral("Победа. Саксония остаётся вассалом короля Феодал1."));
    EndTurn();
    EXPECT_EQ(form->mEvent->toPlainText(),
              called + "\n" + battle + QStringLiteral("Поражение. Вы остаётесь вассалом короля Феодал1."));
    EndTurn();
    EndTurn();  // shown once: the next turn tells only the next week
    EXPECT_EQ(form->mEvent->toPlainText(), called);
}

}  // namespace
