// The autosave as the players meet it: turns played through the game window
// leave their autosaves, read back here by the record's layout; a folder the
// game cannot use is told in the event memo and play goes on.
#include <functional>
#include <optional>

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "SaveTestSupport.h"
#include "core/Forms.h"
#include "save/AutoSave.h"
#include "support/ModalDriver.h"
#include "ui/UnitGame.h"

namespace {

const QString Newest = "Автосохранение.mcs", Previous = "Автосохранение (предыдущее).mcs",
              LastGame = "Автосохранение (прошлая игра).mcs";

// Whose turn an autosave holds, when, and on how many feuds; "absent" when
// there is no such file.
std::string Holds(const QString& path) {
    const QByteArray bytes = ReadWholeFile(path);
    if (bytes.size() != qsizetype(SaveRecordSize)) return bytes.isEmpty() ? "absent" : "wrong size";
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    return QString("feud %1, week %2, year %3, of %4")
        .arg(p[SaveCurrentFeudOffset]).arg(p[SaveWeekOffset]).arg(Int32At(p, SaveYearOffset))
        .arg(p[SaveQuantityFeudOffset]).toStdString();
}

class AutoSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef Q_OS_WIN
        GTEST_SKIP() << "the saves folder is one place on c: for the test programs running side by side";
#endif
        QDir(QDir::homePath() + "/Marchfell").removeRecursively();
        AutoSaveEnabled = true;
        CreateForms();
        realDialog = GetSaveFileName;
        driver.AnswerAllBoxes();  // the announcements
    }
    void TearDown() override {
        GetSaveFileName = realDialog;
        if (FormGame) DestroyForms();
        ClearGameData(Game);
    }

    // A new game of n feuds, players on feuds 1 and 2, up to the first turn.
    void NewGame(int n) {
        FillGame(Game, n);
        Game.Feuds[2].Gamer = 1;
        Game.TurnIndex = 0;
        AutoSaveNewGame();
        FormGame->ItemEndTurnClick();
    }
    void EndTurn() { FormGame->ItemEndTurn->trigger(); }
    bool TurnShown() const { return !FormGame->PCMain->isHidden() && FormGame->ItemEndTurn->isEnabled(); }
    QString Memo() const { return FormGame->mEvent->toPlainText(); }
    QString In(const QString& name) const { return folder + "/" + name; }

    // The bytes "Сохранить игру" writes at this moment.
    QByteArray SavedByTheCommand() {
        const QString path = QDir::homePath() + "/by-command.mcs";
        GetSaveFileName = [path](QWidget*, const QString&, const QString&) { return path; };
        FormGame->ItemSaveGameClick();
        return ReadWholeFile(path);
    }

    const QString folder = QDir::homePath() + "/Marchfell/SaveGame";
    ModalDriver driver;
    SaveFileFunction realDialog;
};

TEST_F(AutoSaveTest, EveryTurnIsWrittenAndTheOneBeforeKept) {
    QByteArray lastOfFirstGame;
    const struct {
        const char* what;
        std::function<void()> play;
        std::string newest, previous, lastGame;
    } steps[] = {
        {"a new game: feudal 1's first turn", [&] { NewGame(3); }, "feud 1, week 1, year 1, of 3", "absent", "absent"},
        {"feudal 2 follows", [&] { EndTurn(); }, "feud 2, week 1, year 1, of 3", "feud 1, week 1, year 1, of 3",
         "absent"},
        {"the computer's feud 3, the week's end, feudal 1", [&] { EndTurn(); }, "feud 1, week 2, year 1, of 3",
         "feud 2, week 1, year 1, of 3", "absent"},
        {"the same turn again: nothing written", [&] { EXPECT_EQ(AutoSaveTurn(Game), ""); },
         "feud 1, week 2, year 1, of 3", "feud 2, week 1, year 1, of 3", "absent"},
        {"the same turn over a newest put there by hand: written again",
         [&] {
             QFile file(In(Newest));
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(ReadWholeFile(In(Previous)));
             file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
             file.close();
             EXPECT_EQ(AutoSaveTurn(Game), "");
         },
         "feud 1, week 2, year 1, of 3", "feud 2, week 1, year 1, of 3", "absent"},
        {"a new game keeps the last one's newest", [&] { lastOfFirstGame = ReadWholeFile(In(Newest)), NewGame(4); },
         "feud 1, week 1, year 1, of 4", "absent", "feud 1, week 2, year 1, of 3"},
        {"its next turn steps back as ever", [&] { EndTurn(); }, "feud 2, week 1, year 1, of 4",
         "feud 1, week 1, year 1, of 4", "feud 1, week 2, year 1, of 3"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.play();
        EXPECT_TRUE(TurnShown());
        EXPECT_EQ(Holds(In(Newest)), step.newest);
        EXPECT_EQ(Holds(In(Previous)), step.previous);
        EXPECT_EQ(Holds(In(LastGame)), step.lastGame);
        EXPECT_TRUE(ReadWholeFile(In(Newest)) == SavedByTheCommand());  // byte for byte
        EXPECT_FALSE(Memo().contains("Автосохранение"));
        for (const QString& entry : FolderEntries(folder))  // no temporary file left, nothing else made
            EXPECT_TRUE(entry == Newest || entry == Previous || entry == LastGame) << entry.toStdString();
    }
    EXPECT_TRUE(ReadWholeFile(In(LastGame)) == lastOfFirstGame);
    // Feud 3's record by its layout: the lenniks the computer called are in service.
    EXPECT_EQ(lastOfFirstGame.at(qsizetype(SaveFeudsOffset + 2 * SaveFeudSize + 132)), 1);
    for (const QString& text : driver.BoxTexts()) EXPECT_TRUE(text.startsWith("Ходит феодал")) << text.toStdString();

    AutoSaveEnabled = false;  // switched off, a turn leaves the folder as it is
    const QByteArray before = ReadWholeFile(In(Newest));
    EndTurn();
    EXPECT_TRUE(ReadWholeFile(In(Newest)) == before);
}

TEST_F(AutoSaveTest, AFolderThatCannotBeUsedIsToldInTheMemoAndPlayGoesOn) {
    const QString home = QDir::homePath();
    const auto chmod = [](const QString& path, int mode) {
#ifndef Q_OS_WIN
        ::chmod(QFile::encodeName(path).constData(), mode_t(mode));
#else
        Q_UNUSED(path);
        Q_UNUSED(mode);
#endif
    };
    const struct {
        const char* what;
        std::function<void()> spoil, mend;
        QString line;
        bool asPlayer;  // only permission bits stop the save
    } cases[] = {
        {"a file where the game's folder would be",
         [&] { QDir(home + "/Marchfell").removeRecursively(), QFile(home + "/Marchfell").open(QIODevice::WriteOnly); },
         [&] { QFile::remove(home + "/Marchfell"); },
         "Автосохранение не удалось: Часть пути не является папкой («" + folder + "»).", false},
        {"a folder under the previous autosave's name: the newest stays",
         [&] { QDir().mkdir(In(Previous)); }, [&] { QDir().rmdir(In(Previous)); },
         "Автосохранение не удалось: Под этим именем уже есть папка («" + In(Previous) + "»).", false},
        {"a folder the player may not write",
         [&] { chmod(home, 0755), chmod(home + "/Marchfell", 0755), chmod(folder, 0555); },
         [&] { chmod(folder, 0755); }, "Автосохранение не удалось: Отказано в доступе («" + In(Previous) + "»).",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NewGame(3);
        const QByteArray newest = ReadWholeFile(In(Newest));
        c.spoil();
        {
            std::optional<Unprivileged> player;
            if (c.asPlayer && !player.emplace().Active()) {
                c.mend();
                continue;  // as root and unable to act as a player
            }
            EndTurn();
        }
        // The turn begins as ever, the failure its memo's last line, no box.
        EXPECT_TRUE(TurnShown());
        EXPECT_EQ(Game.CurrentFeud, 2);
        EXPECT_EQ(Memo().split(QChar(10)).last().toStdString(), c.line.toStdString());
        EXPECT_EQ(driver.BoxTexts().size(), 2);
        if (QFileInfo(In(Newest)).isFile()) {
            EXPECT_TRUE(ReadWholeFile(In(Newest)) == newest);
        }
        // Mended, the next turn is written again and the memo says nothing of it.
        c.mend();
        EndTurn();
        EXPECT_EQ(Holds(In(Newest)), "feud 1, week 2, year 1, of 3");
        EXPECT_FALSE(Memo().contains("Автосохранение"));
        driver.ClearRecord();
    }
}

}  // namespace
