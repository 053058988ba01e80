// "Загрузить" as the player uses it, and the question on leaving a game.
#include <memory>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "PlayedGame.h"
#include "core/Forms.h"
#include "core/Names.h"
#include "core/Program.h"
#include "core/UnitStartMenu.h"
#include "engine/ArmyOrders.h"
#include "engine/Events.h"
#include "engine/TurnCycle.h"
#include "save/AutoSave.h"
#include "save/SaveGame.h"
#include "support/ModalDriver.h"
#include "ui/UnitGame.h"
#include "ui/UnitGuide.h"

namespace {

class LoadWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        realLoad = GetLoadFileName;
        realSave = GetSaveFileName;
        CreateForms();
        FormStartMenu->show();
        // The saved game: the king's turn on the bundled map, his army
        // ordered against a neighbour.
        saved = std::make_unique<TGameState>();
        Random random(5);
        NoteMessages msgs;
        ASSERT_TRUE(KingWithArmyAtHome(*saved, random, msgs));
        saved->SelectFeud = 3;  // Саксония borders Лотарингия
        ASSERT_TRUE(OrderArmyAttack(*saved));
        BuildSaveRecord(*saved, record);
        file = tmp.filePath("Поход.mcs");
        ASSERT_TRUE(WriteSaveFile(file, record, nullptr));
        shown = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    }
    void TearDown() override {
        GetLoadFileName = realLoad;
        GetSaveFileName = realSave;
        DestroyForms();
        ClearGameData(Game);
    }

    // The game now, as its record.
    bool GameIs(const TSaveRecord& r) {
        auto now = std::make_unique<TSaveRecord>();
        BuildSaveRecord(Game, *now);
        return *now == r;
    }
    // Queues what the player does in the game window once it is up; the
    // step runs from a timer of its own, so that its boxes are answered too.
    void InGameWindow(std::function<void()> step) {
        driver.Then([step](QWidget* w) {
            EXPECT_EQ(w, FormGame);
            QTimer::singleShot(0, w, step);
        });
    }
    // "Выход" from the menu, the question answered with `answer` (none: no question).
    void Leave(QMessageBox::StandardButton answer = QMessageBox::NoButton) {
        if (answer != QMessageBox::NoButton) driver.PressOnBox(answer);
        FormGame->ItemExit->trigger();
    }

    QTemporaryDir tmp;
    OpenFileFunction realLoad;
    SaveFileFunction realSave;
    std::unique_ptr<TGameState> saved;
    TSaveRecord record;
    QString file, shown;
    ModalDriver driver;
};

TEST_F(LoadWindowTest, LoadResumesTheSavedTurnWithHisOrderStanding) {
    QString folder, filter;
    GetLoadFileName = [&](QWidget* parent, const QString& initial, const QString& f) {
        EXPECT_EQ(parent, FormStartMenu);
        folder = initial;
        filter = f;
        return file;
    };
    const QString king = GetFullNameFeudal(*saved, 2);
    driver.PressOnBox();  // "Ходит феодал ..."
    InGameWindow([&] {
        TFormGame* g = FormGame;
        EXPECT_FALSE(FormStartMenu->isVisible());
        EXPECT_EQ(g->windowTitle(), "Феодал: " + king);
        EXPECT_EQ(g->PCMain->currentWidget(), g->tsInformation);
        EXPECT_TRUE(g->ItemGame->isEnabled());
        EXPECT_EQ(g->mEvent->toPlainText(), "Игра загружена из файла " + shown);
        EXPECT_EQ(g->LArmyCommand->text(), "Захватить феод " + Game.NamesFeud[3].Name);
        EXPECT_EQ(g->LTime->text(), TimeText(saved->Year, saved->Week));
        EXPECT_EQ(g->LLennik->text(), QString::number(saved->Feuds[2].Lennik));
        EXPECT_FALSE(g->btnCallLennik->isEnabled());  // in service
        EXPECT_TRUE(GameIs(record));
        Leave();  // nothing changed since the load: no question
    });
    // What the game played before had still to tell goes with it.
    if (Game.QuantityFeud < 2) Game.QuantityFeud = 2;
    RecordEvent(Game, 2, MakeEvent(EventMove, 2, 1));
    FormStartMenu->ButtonLoad->click();

    EXPECT_EQ(EventCount(Game, 2), 0);
    EXPECT_FALSE(QFile::exists(SaveGameFolder() + "/Автосохранение.mcs"));  // a loaded turn is not autosaved
    EXPECT_EQ(QDir::fromNativeSeparators(folder), QDir::fromNativeSeparators(SaveDialogFolder()));
    EXPECT_EQ(filter, "Сохраненные игры (*.mcs);;Все файлы (*)");
    EXPECT_EQ(driver.BoxTexts(), QStringList{"Ходит феодал " + king + "."});
    EXPECT_TRUE(FormStartMenu->isVisible());
    EXPECT_FALSE(FormGame->isVisible());
    EXPECT_EQ(Game.Feuds[2].ArmyCommand, ArmyAttack);  // the order stands
    EXPECT_EQ(Game.TurnOrder[Game.TurnIndex], 2);
}

TEST_F(LoadWindowTest, RefusedOrCancelledLoadChangesNothing) {
    QFile small(tmp.filePath("мало.mcs"));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write(QByteArray(1024, '\0'));
    small.close();
    FillNameTables(Game);
    const QString name = Game.NamesFeud[1].Name;
    auto before = std::make_unique<TSaveRecord>();
    BuildSaveRecord(Game, *before);

    // The real dialog, cancelled: where it opens, what it offers.
    QStringList seen;
    driver.Then([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        seen << dialog->objectName() << dialog->windowTitle() << dialog->nameFilters() << dialog->directory().absolutePath();
        dialog->reject();
    });
    FormStartMenu->ButtonLoad->click();
    EXPECT_EQ(seen, (QStringList{"LoadGameDialog", "Загрузить игру", "Сохраненные игры (*.mcs)", "Все файлы (*)",
                                 QDir(SaveDialogFolder()).absolutePath()}));

    // A file that is no save.
    GetLoadFileName = [&](QWidget*, const QString&, const QString&) { return small.fileName(); };
    driver.PressOnBox();
    FormStartMenu->ButtonLoad->click();
    EXPECT_EQ(driver.BoxTexts(), QStringList{"Не удалось загрузить игру из файла «" +
                                             QDir::toNativeSeparators(small.fileName()) +
                                             "»: размер файла 1 024 байта, а сохранённая игра занимает 3 607 552 байта."});
    EXPECT_EQ(driver.BoxIcons(), QVector<QMessageBox::Icon>{QMessageBox::Critical});
    EXPECT_TRUE(FormStartMenu->isVisible());
    EXPECT_FALSE(FormGame->isVisible());
    EXPECT_TRUE(GameIs(*before));
    EXPECT_EQ(Game.NamesFeud[1].Name, name);
}

// A loaded game is another game for the autosave: the turn it resumes is not
// written, and its next turn keeps the newest autosave of the game played
// before, as a new game's first turn does.
TEST_F(LoadWindowTest, ALoadedGameKeepsTheAutosaveOfTheGameBefore) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the saves folder is one place on c: for the test programs running side by side";
#endif
    const QString folder = SaveGameFolder();
    QDir(folder).removeRecursively();
    const auto read = [&](const QString& name) {
        QFile f(folder + "/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("absent");
    };
    struct Autosaving {
        const bool was = AutoSaveEnabled;
        Autosaving() { AutoSaveEnabled = true; }
        ~Autosaving() { AutoSaveEnabled = was; }
    } autosaving;
    // Two turns of the game played before, years later than the saved one.
    auto before = std::make_unique<TGameState>(*saved);
    AutoSaveNewGame();
    for (int year : {9, 10}) {
        before->Year = year;
        ASSERT_EQ(AutoSaveTurn(*before), "");
    }
    const QByteArray played = read("Автосохранение.mcs");
    ASSERT_NE(read("Автосохранение (предыдущее).mcs"), "absent");

    driver.PressOnBox();  // the feudal's announcement
    InGameWindow([&] {
        EXPECT_EQ(read("Автосохранение.mcs"), played);
        FormGame->ItemEndTurn->trigger();  // up to the next human turn
        NoteGameSaved(Game);               // no question on leaving
        Leave();
    });
    driver.AnswerAllBoxes();  // the reports and announcements of the round
    ASSERT_TRUE(FormStartMenu->LoadGameFile(file));
    EXPECT_EQ(read("Автосохранение (прошлая игра).mcs"), played);
    EXPECT_EQ(read("Автосохранение (предыдущее).mcs"), "absent");
    const QByteArray newest = read("Автосохранение.mcs");
    ASSERT_EQ(newest.size(), qsizetype(SaveRecordSize));
    EXPECT_EQ(uint8_t(newest.at(qsizetype(SaveCurrentFeudOffset))), Game.CurrentFeud);  // the next human turn
    EXPECT_NE(newest, QByteArray(reinterpret_cast<const char*>(record.data()), qsizetype(record.size())));
}

// Leaving a game that differs from the last save or load asks; "Да" saves
// through the save dialog, and only a written save lets the player go.
TEST_F(LoadWindowTest, LeavingAChangedGameAsksToSaveIt) {
    const QString again = tmp.filePath("Ещё.mcs");
    QString saveTo;
    GetSaveFileName = [&](QWidget*, const QString&, const QString&) { return saveTo; };
    // The same game from a file another program wrote: a byte past the first
    // feudal's name, which the game does not keep.
    const QString foreign = tmp.filePath("Чужой.mcs");
    const size_t pastName = SaveFeudsOffset + 93 + record[SaveFeudsOffset + 92];
    ASSERT_LT(pastName, SaveFeudsOffset + 93 + sizeof(TFeud::NameFeudal.Data));
    record[pastName] = 'x';
    ASSERT_TRUE(WriteSaveFile(foreign, record, nullptr));
    record[pastName] = 0;  // as the game writes it
    const struct {
        const char* what;
        bool change;
        QMessageBox::StandardButton answer;
        QString saveTo;  // what the save dialog gives after "Да"
        bool stays;
        int boxes;  // after the question: the save's error box
        const QString& load;
    } cases[] = {
        {"unchanged", false, QMessageBox::NoButton, {}, false, 0, file},
        {"cancelled", true, QMessageBox::Cancel, {}, true, 0, file},
        {"no", true, QMessageBox::No, {}, false, 0, file},
        {"yes, dialog cancelled", true, QMessageBox::Yes, QString(), true, 0, file},
        {"yes, save failed", true, QMessageBox::Yes, tmp.filePath("нет такой/игра.mcs"), true, 1, file},
        {"another program's file, unchanged", false, QMessageBox::NoButton, {}, false, 0, foreign},
        {"another program's file, changed", true, QMessageBox::No, {}, false, 0, foreign},
        {"yes, saved", true, QMessageBox::Yes, again, false, 0, file},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        driver.ClearRecord();
        saveTo = c.saveTo;
        bool stayed = false;
        driver.PressOnBox();  // the feudal's announcement
        InGameWindow([&] {
            if (c.change) Game.Feuds[2].DipToFeudalShow[3] = Peace;  // a relation declared
            if (c.answer != QMessageBox::NoButton) driver.PressOnBox(c.answer);
            if (c.boxes) driver.PressOnBox();  // the save's error
            FormGame->ItemExit->trigger();
            stayed = FormGame->isVisible();
            if (stayed) Leave(QMessageBox::No);
        });
        ASSERT_TRUE(FormStartMenu->LoadGameFile(c.load));
        EXPECT_EQ(stayed, c.stays);
        const int questions = c.answer == QMessageBox::NoButton ? 0 : c.stays ? 2 : 1;
        EXPECT_EQ(driver.BoxTexts().count("Сохранить игру перед выходом?"), questions);
        EXPECT_EQ(driver.BoxTexts().size(), 1 + questions + c.boxes);
        EXPECT_FALSE(FormGame->isVisible());
    }
    // The save made on leaving holds the changed game.
    auto savedOnLeaving = std::make_unique<TGameState>();
    ASSERT_TRUE(ReadSaveFile(again, *savedOnLeaving, nullptr));
    EXPECT_EQ(savedOnLeaving->Feuds[2].DipToFeudalShow[3], Peace);
}

TEST(ProgramArgumentsTest, TheFileIsTheFirstArgumentAndTheGuideItsOption) {
    const struct {
        QStringList arguments;
        QString file;
        bool guide;
    } cases[] = {
        {{"marchfell"}, QString(), false},
        {{"marchfell", "game.mcs"}, "game.mcs", false},
        {{"marchfell", "", "/home/anna/Поход.mcs", "other.mcs"}, "/home/anna/Поход.mcs", false},
        {{"marchfell", "--guide"}, QString(), true},
        {{"marchfell", "--guide", "game.mcs"}, "game.mcs", true},
        {{"--guide"}, QString(), false},  // the program's own name is no option
        {{}, QString(), false},
    };
    for (const auto& c : cases) {
        const std::string shown = c.arguments.join(' ').toStdString();
        EXPECT_EQ(SaveFileArgument(c.arguments), c.file) << shown;
        EXPECT_EQ(GuideArgument(c.arguments), c.guide) << shown;
    }
}

// What the player sees first: the start menu, or the guide alone, which ends
// the program when it closes.
TEST(ProgramArgumentsTest, TheGuideOptionOpensTheGuideAlone) {
    const bool quitBefore = QGuiApplication::quitOnLastWindowClosed();
    CreateForms();
    for (const bool guide : {false, true}) {
        StartWindows(guide ? QStringList{"marchfell", "--guide"} : QStringList{"marchfell"});
        EXPECT_EQ(FormStartMenu->isVisible(), !guide);
        EXPECT_EQ(FormGuide && FormGuide->isVisible(), guide);
        EXPECT_EQ(QGuiApplication::quitOnLastWindowClosed(), guide);
        FormStartMenu->hide();
        if (FormGuide) FormGuide->hide();
    }
    DestroyForms();
    QGuiApplication::setQuitOnLastWindowClosed(quitBefore);
}

}  // namespace
