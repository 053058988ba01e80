// The whole new game from the start menu's "Игра", played through the real
// dialogs as a player would: the map dialog, each player's name and feud,
// then the game window.
#include <gtest/gtest.h>

#include <functional>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/UnitStartMenu.h"
#include "newgame/NewGameFlow.h"
#include "newgame/UnitInputNameGamer.h"
#include "newgame/UnitSelectFeud.h"
#include "support/TestMaps.h"
#include "support/TestSupport.h"
#include "ui/UnitGame.h"

namespace {

// One player's seat: his name, the strip he clicks and the status he takes.
struct Seat {
    QString name;
    int feud;
    const char* status;  // "rbKing", "rbVassal" or "rbIndependent"
};

// Answers every window of the flow by its kind: the map dialog takes the
// number of players and "ОК" (or "Возврат"), each name and feud dialog takes
// the next seat (or its close box), message boxes are recorded and confirmed,
// and the game window is looked at and closed.
class FlowPlayer : public QObject {
public:
    FlowPlayer() {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, &FlowPlayer::Poll);
        timer_.start();
        // A window left waiting fails the test instead of hanging it.
        watchdog_.setInterval(20000);
        connect(&watchdog_, &QTimer::timeout, this, [] {
            ADD_FAILURE() << "the new game is stuck in a modal window";
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->isModal()) w->close();
        });
        watchdog_.start();
    }

    int players = 1;
    bool cancelMap = false;
    QList<Seat> seats;
    int closeNameDialogAt = 0;  // 1-based seat whose name dialog is closed with the close box
    int closeFeudDialogAt = 0;
    std::function<void()> inGameWindow;

    QStringList boxes;
    QStringList prompts;
    QStringList captions;
    bool mapOkEnabled = false;
    bool gameWindowShown = false;
    bool startMenuHiddenInGame = false;

private:
    void Poll() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        for (const auto& p : handled_)
            if (p == w) return;
        handled_.removeIf([](const QPointer<QWidget>& p) { return p.isNull() || !p->isVisible(); });
        handled_.append(QPointer<QWidget>(w));

        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            boxes << box->text();
            // "Нет" to the question on leaving a game never saved.
            if (QAbstractButton* answer = box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok) : box->button(QMessageBox::No))
                answer->click();
            else
                box->reject();
        } else if (w->objectName() == "FormSelectMap") {
            if (auto* ok = w->findChild<QAbstractButton*>("btnOk")) mapOkEnabled = ok->isEnabled();
            if (cancelMap) return Click(w, "btn");
            if (auto* tb = w->findChild<QAbstractSlider*>("TBQuantityGamer")) tb->setValue(players);
            Click(w, "btnOk");
        } else if (w->objectName() == "FormInputNameGamer") {
            auto* dlg = static_cast<TFormInputNameGamer*>(w);
            prompts << dlg->LInputName->text();
            const int seat = ++nameSeat_;
            if (seat == closeNameDialogAt) {
                QTest::keyClick(w, Qt::Key_Escape);  // no cancel button: Escape does nothing
                EXPECT_TRUE(w->isVisible());
                w->close();
                return;
            }
            dlg->EditNameGamer->insert(seats.value(seat - 1).name);
            QTimer::singleShot(0, dlg->btnOk, &QAbstractButton::click);
        } else if (w->objectName() == "FormSelectFeud") {
            auto* dlg = static_cast<TFormSelectFeud*>(w);
            captions << dlg->windowTitle();
            const int seat = ++feudSeat_;
            if (seat == closeFeudDialogAt) {
                w->close();
                return;
            }
            const Seat& s = seats.at(seat - 1);
            const int n = Game.QuantityFeud;
            const int x = (s.feud - 1) * 400 / n + 200 / n;  // the middle of strip s.feud
            dlg->ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, x, 100);
            w->findChild<QRadioButton*>(s.status)->setChecked(true);
            QTimer::singleShot(0, dlg->btnOk, &QAbstractButton::click);
        } else if (w->objectName() == "FormGame") {
            gameWindowShown = true;
            startMenuHiddenInGame = !FormStartMenu->isVisible();
            if (inGameWindow) inGameWindow();
            // Closed from a timer of its own, so that the question it asks is answered.
            QTimer::singleShot(0, w, [w] { w->close(); });
        } else {
            ADD_FAILURE() << "unexpected window " << w->objectName().toStdString();
            w->close();
        }
    }

    static void Click(QWidget* w, const char* name) {
        auto* b = w->findChild<QAbstractButton*>(name);
        if (!b) {
            ADD_FAILURE() << "no button " << name << " in " << w->objectName().toStdString();
            w->close();
            return;
        }
        QTimer::singleShot(0, b, &QAbstractButton::click);
    }

    QTimer timer_;
    QTimer watchdog_;
    QVector<QPointer<QWidget>> handled_;
    int nameSeat_ = 0;
    int feudSeat_ = 0;
};

struct NewGameFlowTest : ::testing::Test {
    void SetUp() override {
        ResetTestSettings();
        CreateForms();
        ASSERT_TRUE(dir.isValid());
        UseMap(5);
        SetStart(100, 50);
    }
    void TearDown() override { DestroyForms(); }

    // The map the next game loads: n white strips split by one-pixel lines.
    void UseMap(int n) {
        const QString path = dir.filePath(QStringLiteral("strips%1.bmp").arg(n));
        ASSERT_TRUE(SaveBmp24(StripMap(n), path));
        BoxMessages msgs;
        FormStartMenu->Reestr.WriteString(QStringLiteral("CurrentPathToMap"), path, msgs);
    }
    void SetStart(int lennik, int independence) {
        BoxMessages msgs;
        TReestr& r = FormStartMenu->Reestr;
        r.WriteInteger(QStringLiteral("CurrentLennik"), lennik, msgs);
        r.WriteInteger(QStringLiteral("CurrentGrain"), 50000, msgs);
        r.WriteInteger(QStringLiteral("CurrentPeasant"), 1000, msgs);
        r.WriteInteger(QStringLiteral("CurrentCow"), 100, msgs);
        r.WriteInteger(QStringLiteral("CurrentHorse"), 100, msgs);
        r.WriteInteger(QStringLiteral("CurrentIndependence"), independence, msgs);
    }
    void Run() {
        FormStartMenu->show();
        RunNewGameFlow();
        EXPECT_TRUE(FormStartMenu->isVisible());
    }
    static const TFeud& F(int k) { return Game.Feuds[k]; }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(NewGameFlowTest, TwoPlayersSeatedThenTheGameWindow) {
    FlowPlayer player;
    player.players = 2;
    player.seats = {{QStringLiteral("Анна"), 4, "rbKing"}, {QStringLiteral("Борис"), 2, "rbVassal"}};
    bool dipShowChecked = false;
    player.inGameWindow = [&] { dipShowChecked = FormGame->rbDipToFeudalShow->isChecked(); };
    Run();

    EXPECT_TRUE(player.gameWindowShown);
    EXPECT_TRUE(player.startMenuHiddenInGame);
    EXPECT_TRUE(dipShowChecked);
    EXPECT_EQ(player.prompts, (QStringList{"Феодал №1, введите имя:", "Феодал №2, введите имя:"}));
    EXPECT_EQ(player.captions,
              (QStringList{"Феодал Анна выбирает родовой феод", "Феодал Борис выбирает родовой феод"}));
    ASSERT_EQ(Game.QuantityFeud, 5);
    const uint8_t order[] = {4, 2, 1, 3, 5};
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(Game.TurnOrder[i], order[i - 1]) << i;
    EXPECT_EQ(Game.KingFeud, 4);
    EXPECT_EQ(F(4).Senior, 4);
    EXPECT_EQ(F(2).Senior, 4);
    EXPECT_EQ(F(4).NameFeudal.ToQString(), QStringLiteral("Анна"));
    EXPECT_EQ(F(2).NameFeudal.ToQString(), QStringLiteral("Борис"));
    EXPECT_EQ(F(1).NameFeudal.ToQString(), Game.NamesFeudal[1]);
    EXPECT_EQ(F(4).Gamer + F(2).Gamer, 2);
    EXPECT_EQ(F(1).Gamer + F(3).Gamer + F(5).Gamer, 0);
    EXPECT_EQ(Game.Year, 1);
    // The first turn is the first player's: the game begins with him.
    EXPECT_EQ(Game.CurrentFeud, 4);
    EXPECT_EQ(player.boxes, (QStringList{"Ходит феодал Король Анна.", "Сохранить игру перед выходом?"}));
}

TEST_F(NewGameFlowTest, DrawnKingAndTheIndependenceSetting) {
    for (int independence : {0, 100}) {
        SCOPED_TRACE(independence);
        SetStart(100, independence);
        FlowPlayer player;
        player.seats = {{QStringLiteral("Один"), 3, "rbVassal"}};
        Run();
        ASSERT_TRUE(player.gameWindowShown);
        const int king = Game.KingFeud;
        ASSERT_TRUE(king == 1 || king == 2 || king == 4 || king == 5) << king;
        EXPECT_EQ(F(king).Senior, king);
        EXPECT_EQ(F(3).Senior, king);
        for (int k : {1, 2, 4, 5})
            if (k != king) {
                EXPECT_EQ(F(k).Senior, independence == 0 ? king : 0) << k;
            }
    }
}

TEST_F(NewGameFlowTest, AllFeudsSeatedWithoutTheCrownMeansNoKing) {
    UseMap(2);
    FlowPlayer player;
    player.players = 2;
    player.seats = {{QStringLiteral("Первый"), 1, "rbVassal"}, {QStringLiteral("Второй"), 2, "rbIndependent"}};
    Run();
    ASSERT_TRUE(player.gameWindowShown);
    EXPECT_EQ(Game.KingFeud, 0);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(F(k).Senior, 0);
        for (int j = 1; j <= 2; ++j)
            EXPECT_EQ(F(k).DipToFeudalShow[j] | F(k).DipToFeudalTrue[j] | F(k).DipFromFeudalShow[j] |
                          F(k).DipFromFeudalTrue[j],
                      0);
    }
}

TEST_F(NewGameFlowTest, ClosingASeatingDialogAbandonsTheNewGame) {
    for (int which : {1, 2}) {
        SCOPED_TRACE(which);
        FlowPlayer player;
        player.players = 2;
        player.seats = {{QStringLiteral("Анна"), 1, "rbKing"}, {QStringLiteral("Борис"), 2, "rbVassal"}};
        if (which == 1)
            player.closeNameDialogAt = 2;
        else
            player.closeFeudDialogAt = 2;
        Run();
        EXPECT_FALSE(player.gameWindowShown);
        EXPECT_EQ(player.prompts.size(), 2);
        EXPECT_EQ(player.boxes, QStringList());
    }
}

TEST_F(NewGameFlowTest, ReturnFromTheMapDialogChangesNothing) {
    Game.Feuds[1].Grain = 4242;
    {
        FlowPlayer player;
        player.cancelMap = true;
        Run();
        EXPECT_TRUE(player.mapOkEnabled);
        EXPECT_FALSE(player.gameWindowShown);
        EXPECT_TRUE(player.prompts.isEmpty());
    }
    EXPECT_EQ(Game.Feuds[1].Grain, 4242);

    // A missing map path opens the dialog with no map and no complaint.
    RemoveStoredSetting(QStringLiteral("CurrentPathToMap"));
    FlowPlayer player;
    player.cancelMap = true;
    Run();
    EXPECT_FALSE(player.mapOkEnabled);
    EXPECT_EQ(player.boxes, QStringList());
}
