// An evening of play through the real windows, as two players sharing one
// keyboard would have it: the start menu, the bundled map, the seating, weeks
// of orders and diplomacy with every box read and answered, a save, "Выход",
// and a second game in the same run. Only the mouse, the keyboard and the
// menus act; the game state is read to check what they did. The new game
// seeds the random source from the clock, so what chance decides (who starts
// independent, who answers a call, who wins a battle) is checked by what must
// hold whatever the draws.
#include <gtest/gtest.h>

#include <QDir>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>
#include <functional>
#include <initializer_list>

#include "core/DataPath.h"
#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/MapImage.h"
#include "core/UnitStartMenu.h"
#include "newgame/UnitInputNameGamer.h"
#include "newgame/UnitSelectFeud.h"
#include "newgame/UnitSelectMap.h"
#include "support/ModalDriver.h"
#include "support/TestSupport.h"
#include "ui/UnitGame.h"

namespace {

// ---- the player's hands

// Mouse events go in through the window, as the windowing system delivers
// them, so that modality, hover tracking and the map's popup all take part.
QWindow* WindowOf(QWidget* w) { return w->window()->windowHandle(); }
QPoint InWindow(QWidget* w, QPoint p) { return WindowOf(w)->mapFromGlobal(w->mapToGlobal(p)); }

void PointAt(QWidget* w, QPoint p) { QTest::mouseMove(WindowOf(w), InWindow(w, p)); }

void LeftClickAt(QWidget* w, QPoint p) {
    PointAt(w, p);
    QTest::mouseClick(WindowOf(w), Qt::LeftButton, Qt::NoModifier, InWindow(w, p));
}

void Click(QAbstractButton* b) {
    ASSERT_TRUE(b->isVisible() && b->isEnabled()) << b->objectName().toStdString();
    LeftClickAt(b, b->rect().center());
}

// One key press per character, as a keyboard with a Russian layout sends them.
void Type(QWidget* w, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Picks an item from an open menu, clicking through its submenus.
void ChooseFromMenu(QMenu* menu, std::initializer_list<QAction*> path) {
    for (QAction* item : path) {
        ASSERT_TRUE(menu->isVisible()) << menu->objectName().toStdString();
        ASSERT_TRUE(item->isEnabled()) << item->objectName().toStdString();
        const QPoint at = menu->actionGeometry(item).center();
        QTest::mouseMove(menu->windowHandle(), at);
        QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
        if (item->menu()) menu = item->menu();
    }
}

// ---- the game window

void ActivateGameWindow() {
    FormGame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormGame));
}

// A key on the game window: F2 saves, F10 ends the turn.
void Key(Qt::Key key) {
    ActivateGameWindow();
    QTest::keyClick(FormGame, key);
}

void OpenPage(QWidget* page) {
    QTabBar* bar = FormGame->PCMain->tabBar();
    LeftClickAt(bar, bar->tabRect(FormGame->PCMain->indexOf(page)).center());
    ASSERT_EQ(FormGame->PCMain->currentWidget(), page);
}

// A command of the main menu, opened from the menu bar.
void ChooseFromGameMenu(QMenu* menu, QAction* item) {
    QMenuBar* bar = FormGame->GameMenu;
    LeftClickAt(bar, bar->actionGeometry(menu->menuAction()).center());
    ChooseFromMenu(menu, {item});
}

QPoint Anchor(int feud) { return {Game.Feuds[feud].PosX, Game.Feuds[feud].PosY}; }

Rgb MapColour(int feud) { return FormGame->MapPicture().GetPixel(Anchor(feud).x(), Anchor(feud).y()); }

void HoverOver(int feud) { PointAt(FormGame->ImageMap, Anchor(feud)); }

// The pointer goes over a feud and the right button opens the map's menu there.
void PopupOver(int feud) {
    HoverOver(feud);
    QWindow* win = WindowOf(FormGame->ImageMap);
    const QPoint at = InWindow(FormGame->ImageMap, Anchor(feud));
    QTest::mousePress(win, Qt::RightButton, Qt::NoModifier, at);
    ASSERT_TRUE(FormGame->PopupMap->isVisible());
    QTest::mouseRelease(win, Qt::RightButton, Qt::NoModifier, at);  // the menu stays open
    ASSERT_TRUE(FormGame->PopupMap->isVisible());
    EXPECT_EQ(Game.SelectFeud, feud);
}

bool MenuEnabled(const QMenu* m) { return m->menuAction()->isEnabled(); }

// ---- the state, read

int CountSlots(int feud, const std::function<bool(const TLennik&)>& which = nullptr) {
    int n = 0;
    for (int k = 1; k <= MaxLennik; ++k)
        if (Game.Lenniks[k].Feud == feud && (!which || which(Game.Lenniks[k]))) ++n;
    return n;
}
int Serving(int feud) {
    return CountSlots(feud, [](const TLennik& l) { return l.Appear == 1; });
}
int FieldArmy(int feud) {
    return CountSlots(feud, [](const TLennik& l) { return l.Appear == 1 && l.InCastle == 0; });
}
int InCastle(int feud) {
    return CountSlots(feud, [](const TLennik& l) { return l.Appear == 1 && l.InCastle == 1; });
}

constexpr int FeudRecordSize = 376;

// ---- who plays where on the bundled map
constexpr int QuantityOnBaseMap = 12;
constexpr int Crown = 2;  // Лотарингия: the first player takes it with the crown
constexpr int Rebel = 6;  // Нормандия, bordering Лотарингия: the second player, independent
constexpr int Prey = 3;  // Саксония, a computer's feud bordering Лотарингия but not Нормандия
constexpr int Crown2 = 9;  // the second game's seats
constexpr int Rebel2 = 12;

}  // namespace

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTestSettings();  // a machine that never ran the game
        ASSERT_TRUE(tmp.isValid());
        realSaveDialog = GetSaveFileName;
        CreateForms();
        FormStartMenu->show();
        // A window left waiting fails the test instead of hanging it.
        watchdog.setInterval(120000);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "the game is stuck in a modal window";
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->isModal()) w->close();
        });
        watchdog.start();
    }
    void TearDown() override {
        GetSaveFileName = realSaveDialog;
        DestroyForms();
        ClearGameData(Game);
    }

    // Queues what the player does in the next modal window, which must be
    // `expected`. The step runs from a timer of its own, after the driver has
    // handed the window over, so that the boxes it raises are answered too.
    void When(QWidget* expected, std::function<void()> step) {
        driver.Then([expected, step](QWidget* w) {
            if (w != expected) {
                ADD_FAILURE() << "expected " << expected->objectName().toStdString() << ", got "
                              << w->objectName().toStdString() << " \"" << w->windowTitle().toStdString() << "\"";
                w->close();
                return;
            }
            QTimer::singleShot(0, w, step);
        });
    }

    // The boxes shown since the last look, and a fresh record.
    QStringList TakeBoxes() {
        const QStringList texts = driver.BoxTexts();
        driver.ClearRecord();
        return texts;
    }

    // The map dialog opens on the bundled map, which the first run stored as the last one used.
    void ChooseTwoPlayersOnTheBundledMap() {
        When(FormSelectMap, [] {
            EXPECT_EQ(FormSelectMap->LNameMap->text(), QDir::toNativeSeparators(DataFilePath(QStringLiteral("maps/base.bmp"))));
            EXPECT_TRUE(FormSelectMap->ImageMap->isVisible());
            EXPECT_EQ(Game.QuantityFeud, QuantityOnBaseMap);
            EXPECT_EQ(FormSelectMap->TBQuantityGamer->maximum(), QuantityOnBaseMap);
            EXPECT_EQ(FormSelectMap->LQG->text(), QStringLiteral("1"));
            Click(FormSelectMap->sbUp);
            EXPECT_EQ(FormSelectMap->LQG->text(), QStringLiteral("2"));
            Click(FormSelectMap->btnOk);
        });
    }

    // The player types his name and presses Return; with `taken`, he first
    // tries a name an earlier player has, is told so, and types over it.
    void EnterName(int seat, const QString& name, const QString& taken = QString()) {
        When(FormInputNameGamer, [this, seat, name, taken] {
            QLineEdit* edit = FormInputNameGamer->EditNameGamer;
            EXPECT_EQ(FormInputNameGamer->LInputName->text(), QStringLiteral("Феодал №%1, введите имя:").arg(seat));
            EXPECT_TRUE(edit->text().isEmpty());
            if (!taken.isEmpty()) {
                Type(edit, taken);
                QTest::keyClick(edit, Qt::Key_Return);
                EXPECT_EQ(TakeBoxes(), QStringList{QStringLiteral("Имя уже существует.")});
                EXPECT_TRUE(FormInputNameGamer->isVisible());
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            }
            Type(edit, name);
            QTest::keyClick(edit, Qt::Key_Return);  // "ОК" is the default button
        });
        if (!taken.isEmpty()) driver.PressOnBox();
    }

    // The first player of a game hovers over a free feud, clicks it, takes a
    // status and presses "ОК".
    void PickFirstFeud(const QString& name, int feud, QRadioButton* status) {
        When(FormSelectFeud, [name, feud, status] {
            TFormSelectFeud* d = FormSelectFeud;
            for (int f = 1; f <= QuantityOnBaseMap; ++f)  // no marks left by an earlier game
                EXPECT_EQ(d->MapPicture().GetPixel(Anchor(f).x(), Anchor(f).y()), Colors::White) << f;
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Феодал ") + name + QStringLiteral(" выбирает родовой феод"));
            EXPECT_FALSE(d->btnOk->isEnabled());
            PointAt(d->ImageMap, Anchor(feud));
            EXPECT_EQ(d->LName->text(), Game.NamesFeud[feud].Name);
            EXPECT_EQ(d->LFeudal->text(), QStringLiteral("Нет"));
            EXPECT_EQ(d->LLennikMax->text(), QString::number(Game.Feuds[feud].Len));
            LeftClickAt(d->ImageMap, Anchor(feud));
            EXPECT_EQ(d->LFeud->text(), Game.NamesFeud[feud].Name);
            EXPECT_EQ(d->MapPicture().GetPixel(Anchor(feud).x(), Anchor(feud).y()), Colors::Red);
            if (!status->isChecked()) Click(status);
            Click(d->btnOk);
        });
    }

    // Seats a king on feud `crown` and an independent on `rebelFeud`; the first turn is announced.
    void SeatTwoPlayers(const QString& king, int crown, const QString& rebel, int rebelFeud) {
        ChooseTwoPlayersOnTheBundledMap();
        EnterName(1, king);
        PickFirstFeud(king, crown, FormSelectFeud->rbKing);
        EnterName(2, rebel, king);
        When(FormSelectFeud, [=] {
            // The crown is taken, and so is the king's feud; the king's pick is not shown as this player's.
            EXPECT_TRUE(FormSelectFeud->LFeud->text().isEmpty());
            EXPECT_FALSE(FormSelectFeud->rbKing->isEnabled());
            EXPECT_TRUE(FormSelectFeud->rbVassal->isChecked());
            PointAt(FormSelectFeud->ImageMap, Anchor(crown));
            EXPECT_EQ(FormSelectFeud->LFeudal->text(), QStringLiteral("Король ") + king);
            LeftClickAt(FormSelectFeud->ImageMap, Anchor(crown));
            EXPECT_EQ(Game.SelectFeud, 0);
            EXPECT_FALSE(FormSelectFeud->btnOk->isEnabled());
            EXPECT_EQ(FormSelectFeud->MapPicture().GetPixel(Anchor(crown).x(), Anchor(crown).y()), Colors::Purple);

            LeftClickAt(FormSelectFeud->ImageMap, Anchor(rebelFeud));
            Click(FormSelectFeud->rbIndependent);
            PointAt(FormSelectFeud->ImageMap, Anchor(rebelFeud));
            EXPECT_EQ(FormSelectFeud->LFeudal->text(), QStringLiteral("Независимый барон ") + rebel);
            Click(FormSelectFeud->btnOk);
        });
        driver.PressOnBox();  // the first player's turn
    }

    // What the window shows when a human's turn begins.
    static void ExpectTurnOf(const QString& title, const QString& time) {
        EXPECT_EQ(FormGame->windowTitle(), QStringLiteral("Феодал: ") + title);
        EXPECT_TRUE(FormGame->PCMain->isVisible());
        EXPECT_EQ(FormGame->PCMain->currentWidget(), FormGame->tsInformation);
        EXPECT_TRUE(FormGame->mEvent->isVisible());
        EXPECT_TRUE(FormGame->ItemGame->isEnabled());
        EXPECT_EQ(FormGame->LTime->text(), time);
    }

    // Ends the turn with F10 and returns the boxes it raised: announcements
    // and battle reports, all of them information boxes.
    QStringList EndTurn() {
        TakeBoxes();
        Key(Qt::Key_F10);
        for (QMessageBox::Icon icon : driver.BoxIcons()) EXPECT_EQ(icon, QMessageBox::Information);
        return TakeBoxes();
    }

    void PlayFirstGame();
    void PlaySecondGame();

    ModalDriver driver;
    QTemporaryDir tmp;
    SaveFileFunction realSaveDialog;
    QTimer watchdog;
};

namespace {
const QString Peter = QStringLiteral("Пётр");
const QString Igor = QStringLiteral("Игорь №2");
const QString PeterTitle = QStringLiteral("Король Пётр");
const QString IgorTitle = QStringLiteral("Барон Игорь №2 Нормандский");
const QString AnnouncePeter = QStringLiteral("Ходит феодал Король Пётр.");
const QString AnnounceIgor = QStringLiteral("Ходит феодал Барон Игорь №2 Нормандский.");
const QString MoveQuestion = QStringLiteral("Феодал не ваш сеньор/вассал. Вы уверены, что хотите переместить войско?");
}  // namespace

void EndToEndTest::PlayFirstGame() {
    driver.AnswerAllBoxes();
    ActivateGameWindow();
    TFormGame* g = FormGame;
    EXPECT_EQ(TakeBoxes(), QStringList{AnnouncePeter});  // before the window showed

    // ---- Week 1: Пётр, the king, calls his lenniks and sets his relations.
    ExpectTurnOf(PeterTitle, QStringLiteral("1 год, май, 1 неделя"));
    EXPECT_EQ(g->LLen->text(), QString::number(Game.Feuds[Crown].Len));
    EXPECT_EQ(g->LLennik->text(), QStringLiteral("100"));
    EXPECT_EQ(g->LGrain->text(), QStringLiteral("50000"));
    OpenPage(g->tsArmy);
    EXPECT_FALSE(g->tbArmy->isEnabled());
    Click(g->btnCallLennik);
    EXPECT_FALSE(g->btnCallLennik->isEnabled());

    OpenPage(g->tsMap);
    EXPECT_EQ(MapColour(Crown), Colors::Lime);  // the political map as the king sees it
    EXPECT_EQ(MapColour(Rebel), Colors::Red);
    HoverOver(Rebel);
    EXPECT_EQ(g->LMapFeudal->text(), IgorTitle);
    EXPECT_EQ(g->LSenVas->text(), QStringLiteral("Вассалов:"));
    EXPECT_EQ(g->LMapSeniorVassal->text(), QStringLiteral("0"));

    Click(g->cbSelectDipMode);  // the diplomacy map on
    EXPECT_TRUE(g->cbSelectDipMode->isChecked());
    EXPECT_TRUE(g->gbColorMap->isEnabled());
    EXPECT_EQ(MapColour(Crown), Colors::Aqua);
    EXPECT_EQ(MapColour(Rebel), Colors::Red);  // an independent is the king's personal enemy
    PopupOver(Rebel);
    EXPECT_TRUE(MenuEnabled(g->PMItemDiplomacy));
    ChooseFromMenu(g->PopupMap,
                   {g->PMItemDiplomacy->menuAction(), g->PMDipDeclare->menuAction(), g->PMDipDeclTruePeace});
    EXPECT_FALSE(g->PopupMap->isVisible());
    EXPECT_EQ(MapColour(Rebel), Colors::Green);
    PopupOver(Rebel);
    ChooseFromMenu(g->PopupMap, {g->PMItemDiplomacy->menuAction(), g->PMDipMark->menuAction(), g->PMDipMarkTrueEnemy});
    EXPECT_EQ(MapColour(Rebel), Colors::Green);  // the true relation has a view of its own
    Click(g->rbDipToFeudalTrue);
    EXPECT_EQ(MapColour(Rebel), Colors::Maroon);
    LeftClickAt(g->ImageMap, Anchor(Rebel));  // how Игорь stands towards the others
    EXPECT_EQ(Game.DipFeud, Rebel);
    EXPECT_EQ(MapColour(Rebel), Colors::Aqua);
    EXPECT_EQ(MapColour(Crown), Colors::Maroon);
    Click(g->cbSelectDipMode);  // and off again
    EXPECT_FALSE(g->gbColorMap->isEnabled());
    EXPECT_EQ(Game.DipFeud, Crown);
    EXPECT_EQ(MapColour(Crown), Colors::Lime);
    EXPECT_EQ(Game.Feuds[Crown].DipToFeudalShow[Rebel], Peace);
    EXPECT_EQ(Game.Feuds[Crown].DipToFeudalTrue[Rebel], Enemy);

    EXPECT_EQ(EndTurn(), QStringList{AnnounceIgor});

    // ---- Игорь, independent, calls his lenniks and marks the king.
    ExpectTurnOf(IgorTitle, QStringLiteral("1 год, май, 1 неделя"));
    EXPECT_TRUE(g->rbDipToFeudalShow->isChecked());  // his own view, not the king's
    EXPECT_FALSE(g->cbSelectDipMode->isChecked());
    EXPECT_EQ(Game.Feuds[Crown].DipView, 1);
    OpenPage(g->tsArmy);
    Click(g->btnCallLennik);
    OpenPage(g->tsMap);
    EXPECT_EQ(MapColour(Crown), Colors::Maroon);  // the king, as an independent sees him
    EXPECT_EQ(MapColour(Rebel), Colors::Yellow);  // himself, independent
    PopupOver(Crown);
    ChooseFromMenu(g->PopupMap,
                   {g->PMItemDiplomacy->menuAction(), g->PMDipMark->menuAction(), g->PMDipMarkTruePersEnemy});
    EXPECT_EQ(Game.Feuds[Rebel].DipToFeudalTrue[Crown], PersEnemy);
    EXPECT_EQ(Game.Feuds[Crown].DipToFeudalShow[Rebel], Peace);  // the king's own tables stay his

    // The computer feudals call theirs, and the week's end brings them in.
    EXPECT_EQ(EndTurn(), QStringList{AnnouncePeter});

    // ---- Week 2: Пётр keeps a garrison home and sends the rest against Саксония.
    ExpectTurnOf(PeterTitle, QStringLiteral("1 год, май, 2 неделя"));
    EXPECT_TRUE(g->rbDipToFeudalTrue->isChecked());  // his view comes back
    for (int f = 1; f <= QuantityOnBaseMap; ++f) {
        EXPECT_EQ(Game.Feuds[f].LennikInService, 1) << f;
        EXPECT_EQ(Game.Feuds[f].ArmyFeud, f) << f;
        EXPECT_EQ(Game.Feuds[f].LennikAppear, Serving(f)) << f;
    }
    const int serving = Game.Feuds[Crown].LennikAppear;
    ASSERT_GE(serving, 10);  // about half of 100 answer
    OpenPage(g->tsArmy);
    EXPECT_EQ(g->LLennikQuantity->text(), QString::number(serving));
    EXPECT_EQ(g->LLennikPercent->text(), QString::number(serving));  // of 100 lenniks
    EXPECT_EQ(g->LLennikHealth->text(), QStringLiteral("25"));
    EXPECT_FALSE(g->btnCallLennik->isEnabled());
    EXPECT_TRUE(g->btnDismissLennik->isEnabled());
    ASSERT_TRUE(g->tbArmy->isEnabled());
    EXPECT_EQ(g->tbArmy->maximum(), serving);
    EXPECT_EQ(g->tbArmy->value(), 0);
    // Two pages down the bar, towards "Замок" below it.
    QTest::keyClick(g->tbArmy, Qt::Key_PageDown);
    QTest::keyClick(g->tbArmy, Qt::Key_PageDown);
    const int garrison = 2 * (serving / 10);
    EXPECT_EQ(g->tbArmy->value(), garrison);
    EXPECT_EQ(g->LArmyToCastle->text(), QStringLiteral("Замок: %1").arg(garrison));
    EXPECT_EQ(g->LArmyToArmy->text(), QStringLiteral("Войско: %1").arg(serving - garrison));

    OpenPage(g->tsMap);
    EXPECT_EQ(g->LMapQuantityArmy->text(), QString::number(serving - garrison));
    PopupOver(Rebel);
    EXPECT_TRUE(MenuEnabled(g->PMItemArmy));
    EXPECT_TRUE(g->PMItemArmyMove->isEnabled());
    EXPECT_FALSE(g->PMItemArmyCancel->isEnabled());
    driver.PressOnBox(QMessageBox::No);  // on second thoughts, no
    ChooseFromMenu(g->PopupMap, {g->PMItemArmy->menuAction(), g->PMItemArmyMove});
    EXPECT_EQ(driver.BoxIcons().value(0), QMessageBox::Warning);
    EXPECT_EQ(TakeBoxes(), QStringList{MoveQuestion});
    EXPECT_EQ(g->LArmyCommand->text(), QString());
    EXPECT_EQ(Game.Feuds[Crown].ArmyCommand, ArmyNone);

    PopupOver(Prey);
    ChooseFromMenu(g->PopupMap, {g->PMItemArmy->menuAction(), g->PMItemArmyAttack});
    EXPECT_EQ(g->LArmyCommand->text(), QStringLiteral("Захватить феод Саксония"));
    PopupOver(Prey);
    ChooseFromMenu(g->PopupMap, {g->PMItemArmy->menuAction(), g->PMItemArmyCancel});
    EXPECT_EQ(g->LArmyCommand->text(), QString());
    PopupOver(Prey);
    ChooseFromMenu(g->PopupMap, {g->PMItemArmy->menuAction(), g->PMItemArmyAttack});
    EXPECT_EQ(Game.Feuds[Crown].ArmyCommand, ArmyAttack);
    EXPECT_EQ(Game.Feuds[Crown].ArmyTarget, Prey);

    EXPECT_EQ(EndTurn(), QStringList{AnnounceIgor});
    EXPECT_EQ(InCastle(Crown), garrison);

    // ---- Игорь marches his whole force into the king's feud, after the question.
    ExpectTurnOf(IgorTitle, QStringLiteral("1 год, май, 2 неделя"));
    const int igorsArmy = Game.Feuds[Rebel].LennikAppear;
    ASSERT_GT(igorsArmy, 0);
    OpenPage(g->tsArmy);
    EXPECT_EQ(g->tbArmy->value(), 0);
    EXPECT_EQ(g->LArmyToArmy->text(), QStringLiteral("Войско: %1").arg(igorsArmy));
    OpenPage(g->tsMap);
    PopupOver(Crown);
    driver.PressOnBox(QMessageBox::Yes);
    ChooseFromMenu(g->PopupMap, {g->PMItemArmy->menuAction(), g->PMItemArmyMove});
    EXPECT_EQ(TakeBoxes(), QStringList{MoveQuestion});
    EXPECT_EQ(g->LArmyCommand->text(), QStringLiteral("Переместиться на феод Лотарингия"));

    // The week's end: Игорь moves, and Пётр's field army meets Саксония's.
    const int attackers = FieldArmy(Crown), defenders = FieldArmy(Prey);
    const int peterSlots = CountSlots(Crown), preySlots = CountSlots(Prey);
    const uint8_t preySenior = Game.Feuds[Prey].Senior;
    EXPECT_EQ(attackers, serving - garrison);
    EXPECT_EQ(defenders, Game.Feuds[Prey].LennikAppear);  // the computer keeps no garrison
    const QStringList reports = EndTurn();
    ASSERT_EQ(reports.size(), 3) << reports.join('\n').toStdString();
    EXPECT_EQ(reports[2], AnnouncePeter);
    const QRegularExpressionMatch battle =
        QRegularExpression(
            QStringLiteral("^Феодал Пётр \\((\\d+)\\) атаковал феодала Август \\((\\d+)\\) и (победил|проиграл)\\.$"))
            .match(reports[0]);
    ASSERT_TRUE(battle.hasMatch()) << reports[0].toStdString();
    EXPECT_EQ(battle.captured(1).toInt(), attackers);
    EXPECT_EQ(battle.captured(2).toInt(), defenders);
    const QRegularExpressionMatch losses =
        QRegularExpression(
            QStringLiteral("^Потери атакующих составили (\\d+) рыцарей, защищавшихся (\\d+) рыцарей\\.$"))
            .match(reports[1]);
    ASSERT_TRUE(losses.hasMatch()) << reports[1].toStdString();
    const int lostByPeter = losses.captured(1).toInt(), lostByPrey = losses.captured(2).toInt();
    EXPECT_LE(lostByPeter, attackers);
    EXPECT_LE(lostByPrey, defenders);
    EXPECT_EQ(CountSlots(Crown), peterSlots - lostByPeter);  // the fallen are gone for good
    EXPECT_EQ(CountSlots(Prey), preySlots - lostByPrey);
    const bool won = battle.captured(3) == QStringLiteral("победил");
    if (won) {
        EXPECT_EQ(Game.Feuds[Prey].Senior, Crown);
        EXPECT_EQ(Game.Feuds[Crown].ArmyFeud, Prey);
        EXPECT_EQ(FieldArmy(Prey), 0);  // the survivors sit in the castle
    } else {
        EXPECT_EQ(Game.Feuds[Prey].Senior, preySenior);
        EXPECT_EQ(Game.Feuds[Crown].ArmyFeud, Crown);
    }
    EXPECT_EQ(Game.Feuds[Rebel].ArmyFeud, Crown);
    for (int f : {Crown, Prey, Rebel}) EXPECT_EQ(Game.Feuds[f].LennikAppear, Serving(f)) << f;

    // ---- Week 3 and on: the orders are spent; the year runs out.
    ExpectTurnOf(PeterTitle, QStringLiteral("1 год, май, 3 неделя"));
    EXPECT_EQ(g->LArmyCommand->text(), QString());
    OpenPage(g->tsMap);
    EXPECT_EQ(MapColour(won ? Prey : Crown), Colors::Navy);  // where his army stands
    if (won) {
        HoverOver(Prey);
        EXPECT_EQ(g->LSenVas->text(), QStringLiteral("Сеньор:"));
        EXPECT_EQ(g->LMapSeniorVassal->text(), PeterTitle);
    }
    // The realm's tree: the king first with his vassals, Игорь on his own.
    OpenPage(g->tsDiplomacy);
    ASSERT_GE(g->TreeRelation->topLevelItemCount(), 2);
    EXPECT_EQ(g->TreeRelation->topLevelItem(0)->text(0), Peter);
    int vassals = 0;
    for (int f = 1; f <= QuantityOnBaseMap; ++f) vassals += f != Crown && Game.Feuds[f].Senior == Crown;
    EXPECT_EQ(g->TreeRelation->topLevelItem(0)->childCount(), vassals);
    const QList<QTreeWidgetItem*> igor = g->TreeRelation->findItems(Igor, Qt::MatchExactly);
    ASSERT_EQ(igor.size(), 1);
    EXPECT_EQ(igor[0]->childCount(), 0);

    EXPECT_EQ(EndTurn(), QStringList{AnnounceIgor});
    ExpectTurnOf(IgorTitle, QStringLiteral("1 год, май, 3 неделя"));
    OpenPage(g->tsMap);
    EXPECT_EQ(MapColour(Crown), Colors::Navy);  // Игорь's army, in the king's feud
    EXPECT_EQ(EndTurn(), QStringList{AnnouncePeter});
    ExpectTurnOf(PeterTitle, QStringLiteral("1 год, май, 4 неделя"));
    for (const char* time :
         {"1 год, июнь, 1 неделя", "1 год, июнь, 2 неделя", "1 год, июнь, 3 неделя", "2 год, май, 1 неделя"}) {
        EXPECT_EQ(EndTurn(), QStringList{AnnounceIgor});
        EXPECT_EQ(EndTurn(), QStringList{AnnouncePeter});
        ExpectTurnOf(PeterTitle, QString::fromUtf8(time));
    }
    // The year's end grew the realm and sent everybody home.
    EXPECT_EQ(g->LAddLennik->text(), QStringLiteral("10"));
    EXPECT_EQ(g->LAddGrain->text(), QStringLiteral("1000"));
    EXPECT_EQ(g->LAddCow->text(), QStringLiteral("5"));
    EXPECT_EQ(g->LLennik->text(), QStringLiteral("110"));
    EXPECT_EQ(g->LPeasant->text(), QStringLiteral("1010"));
    EXPECT_EQ(g->LGrain->text(), QStringLiteral("51000"));
    OpenPage(g->tsArmy);
    EXPECT_TRUE(g->btnCallLennik->isEnabled());
    EXPECT_FALSE(g->tbArmy->isEnabled());
    EXPECT_EQ(g->LLennikQuantity->text(), QStringLiteral("0"));

    // ---- F2: the save dialog answers with a file in the temporary folder.
    const QString path = tmp.filePath(QStringLiteral("Вечер.mcs"));
    GetSaveFileName = [path](QWidget*, const QString&, const QString&) { return path; };
    Key(Qt::Key_F2);
    EXPECT_EQ(TakeBoxes(), QStringList{});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    ASSERT_EQ(saved.size(), 3607552);
    EXPECT_EQ(saved.mid(3607544, 5), QByteArray::fromHex("02 00 00 00 01"));  // year 2, week 1
    EXPECT_EQ(uint8_t(saved[3607540]), Crown);                                // whose turn it was
    EXPECT_EQ(uint8_t(saved[3607541]), QuantityOnBaseMap);
    EXPECT_EQ(saved.mid(3607520, 12), QByteArray::fromHex("02 06 01 03 04 05 07 08 09 0a 0b 0c"));  // turn order
    // The names in Windows-1251 behind their length bytes.
    const auto name = [&](int feud, int length) { return saved.mid((feud - 1) * FeudRecordSize + 92, 1 + length); };
    EXPECT_EQ(name(Crown, 4), QByteArray::fromHex("04 CF B8 F2 F0"));              // Пётр
    EXPECT_EQ(name(Rebel, 8), QByteArray::fromHex("08 C8 E3 EE F0 FC 20 B9 32"));  // Игорь №2
    EXPECT_EQ(name(Prey, 6), QByteArray::fromHex("06 C0 E2 E3 F3 F1 F2"));         // Август
    // Players and seniors: the king his own senior, the independent none, the
    // computer feudals the king's vassals or independent, as drawn and fought.
    for (int f = 1; f <= QuantityOnBaseMap; ++f) {
        const int record = (f - 1) * FeudRecordSize;
        const uint8_t senior = uint8_t(saved[record + 119]);
        EXPECT_EQ(uint8_t(saved[record + 118]), (f == Crown || f == Rebel) ? 1 : 0) << f;
        EXPECT_EQ(senior, Game.Feuds[f].Senior) << f;
        if (f == Crown) {
            EXPECT_EQ(senior, Crown);
        } else if (f == Rebel) {
            EXPECT_EQ(senior, 0);
        } else {
            EXPECT_TRUE(senior == 0 || senior == Crown) << f << ": " << int(senior);
        }
    }

    // ---- "Выход" from the menu "Игра": the game is as saved, so nothing is asked.
    ChooseFromGameMenu(g->ItemGame, g->ItemExit);
    EXPECT_EQ(TakeBoxes(), QStringList{});
}

void EndToEndTest::PlaySecondGame() {
    driver.AnswerAllBoxes();
    ActivateGameWindow();
    TFormGame* g = FormGame;
    EXPECT_EQ(TakeBoxes(), QStringList{QStringLiteral("Ходит феодал Король Ярослав.")});

    // A fresh lennik table: a hundred for each feud, in feud order, none serving;
    // nothing of the first game's fallen or its armies.
    int occupied = 0, last = 0;
    for (int k = 1; k <= MaxLennik; ++k) {
        const TLennik& l = Game.Lenniks[k];
        if (l.Feud == 0) continue;
        ++occupied;
        last = k;
        EXPECT_EQ(l.Feud, (k - 1) / 100 + 1) << k;
        EXPECT_EQ(l.Appear, 0) << k;
    }
    EXPECT_EQ(occupied, 100 * QuantityOnBaseMap);
    EXPECT_EQ(last, 100 * QuantityOnBaseMap);
    for (int f = 1; f <= QuantityOnBaseMap; ++f) {
        EXPECT_EQ(Game.Feuds[f].LennikInService, 0) << f;
        EXPECT_EQ(Game.Feuds[f].WeekJobLennik, 0) << f;
        EXPECT_EQ(Game.Feuds[f].ArmyFeud, 0) << f;
    }

    ExpectTurnOf(QStringLiteral("Король Ярослав"), QStringLiteral("1 год, май, 1 неделя"));
    EXPECT_TRUE(g->rbDipToFeudalShow->isChecked());
    EXPECT_FALSE(g->cbSelectDipMode->isChecked());
    EXPECT_EQ(g->LLennik->text(), QStringLiteral("100"));
    EXPECT_EQ(g->LAddLennik->text(), QStringLiteral("0"));
    OpenPage(g->tsMap);
    EXPECT_EQ(MapColour(Crown2), Colors::Lime);
    EXPECT_EQ(MapColour(Rebel2), Colors::Red);
    EXPECT_EQ(g->LArmyCommand->text(), QString());
    OpenPage(g->tsArmy);
    Click(g->btnCallLennik);
    EXPECT_EQ(EndTurn(), QStringList{QStringLiteral("Ходит феодал Барон Всеслав Булонский.")});

    ExpectTurnOf(QStringLiteral("Барон Всеслав Булонский"), QStringLiteral("1 год, май, 1 неделя"));
    OpenPage(g->tsArmy);
    Click(g->btnCallLennik);
    EXPECT_EQ(EndTurn(), QStringList{QStringLiteral("Ходит феодал Король Ярослав.")});

    ExpectTurnOf(QStringLiteral("Король Ярослав"), QStringLiteral("1 год, май, 2 неделя"));
    for (int f = 1; f <= QuantityOnBaseMap; ++f) {
        EXPECT_EQ(Game.Feuds[f].LennikAppear, Serving(f)) << f;
        EXPECT_LE(Game.Feuds[f].LennikAppear, 100) << f;
        EXPECT_EQ(Game.Feuds[f].ArmyFeud, f) << f;
    }
    OpenPage(g->tsArmy);
    EXPECT_EQ(g->LLennikQuantity->text(), QString::number(Game.Feuds[Crown2].LennikAppear));
    EXPECT_TRUE(g->btnDismissLennik->isEnabled());
    EXPECT_TRUE(g->tbArmy->isEnabled());

    // This game was never saved: leaving asks, and "Нет" leaves it unsaved.
    driver.PressOnBox(QMessageBox::No);
    ChooseFromGameMenu(g->ItemGame, g->ItemExit);
    EXPECT_EQ(TakeBoxes(), QStringList{QStringLiteral("Сохранить игру перед выходом?")});
}

TEST_F(EndToEndTest, TwoPlayersPlaySaveLeaveAndStartAnotherGame) {
    SeatTwoPlayers(Peter, Crown, Igor, Rebel);
    When(FormGame, [this] { PlayFirstGame(); });
    Click(FormStartMenu->ButtonStart);  // returns when the game window closes

    EXPECT_TRUE(FormStartMenu->isVisible());
    EXPECT_FALSE(FormGame->isVisible());
    EXPECT_EQ(driver.Pending(), 0);

    SeatTwoPlayers(QStringLiteral("Ярослав"), Crown2, QStringLiteral("Всеслав"), Rebel2);
    When(FormGame, [this] { PlaySecondGame(); });
    Click(FormStartMenu->ButtonStart);

    EXPECT_TRUE(FormStartMenu->isVisible());
    EXPECT_FALSE(FormGame->isVisible());
}
