// The autosave as the players meet it: turns played through the game window
// leave their autosaves in the saves folder, read back here by the record's
// layout; a folder the game cannot use is told in the event memo and play
// goes on.
#include <functional>
#include <optional>

#include <QAction>
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
#include "core/Messages.h"
#include "save/AutoSave.h"
#include "ui/UnitGame.h"

namespace {

const QString Newest = "Автосохранение.mcs";
const QString Previous = "Автосохранение (предыдущее).mcs";
const QString LastGame = "Автосохранение (прошлая игра).mcs";

struct RecordedBoxes : Messages {
    QStringList infos, errors;
    void Info(const QString& text) override { infos << text; }
    void Error(const QString& text) override { errors << text; }
    bool Confirm(const QString&) override { return false; }
};

// What an autosave holds, read from the file's bytes: whose turn, when, and
// on how many feuds; "absent" when there is no such file.
QString Holds(const QString& path) {
    const QByteArray bytes = ReadWholeFile(path);
    if (bytes.isEmpty()) return "absent";
    if (bytes.size() != qsizetype(SaveRecordSize)) return QString("%1 bytes").arg(bytes.size());
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    return QString("feud %1, week %2, year %3, of %4")
        .arg(p[SaveCurrentFeudOffset])
        .arg(p[SaveWeekOffset])
        .arg(Int32At(p, SaveYearOffset))
        .arg(p[SaveQuantityFeudOffset]);
}

class AutoSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef Q_OS_WIN
        GTEST_SKIP() << "on Windows the saves folder is one fixed place on c:, shared by the test programs running "
                        "side by side";
#endif
        QDir(QDir::homePath() + "/Marchfell").removeRecursively();
        QFile::remove(QDir::homePath() + "/Marchfell");
        folder = QDir::homePath() + "/Marchfell/SaveGame";
        AutoSaveEnabled = true;
        CreateForms();
        FormGame->SetMessages(&boxes);
        realDialog = GetSaveFileName;
    }
    void TearDown() override {
        GetSaveFileName = realDialog;
        if (FormGame) DestroyForms();
        ClearGameData(Game);
    }

    // A new game of n feuds, players on feuds 1 and 2, up to his first turn.
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
        const QByteArray bytes = ReadWholeFile(path);
        QFile::remove(path);
        return bytes;
    }

    QString folder;
    RecordedBoxes boxes;
    SaveFileFunction realDialog;
};

TEST_F(AutoSaveTest, EveryTurnIsWrittenAndTheOneBeforeKept) {
    QByteArray lastOfFirstGame;
    struct Step {
        const char* what;
        std::function<void()> play;
        QString newest, previous, lastGame;
    };
    const Step steps[] = {
        {"a new game: feudal 1's first turn", [&] { NewGame(3); },
         "feud 1, week 1, year 1, of 3", "absent", "absent"},
        {"feudal 2 follows in the same week", [&] { EndTurn(); },
         "feud 2, week 1, year 1, of 3", "feud 1, week 1, year 1, of 3", "absent"},
        {"the computer's feud 3 and the week's end, then feudal 1", [&] { EndTurn(); },
         "feud 1, week 2, year 1, of 3", "feud 2, week 1, year 1, of 3", "absent"},
        {"the same turn again: nothing changed, nothing written",
         [&] { EXPECT_EQ(AutoSaveTurn(Game), ""); },
         "feud 1, week 2, year 1, of 3", "feud 2, week 1, year 1, of 3", "absent"},
        {"a new game keeps the last one's newest autosave",
         [&] {
             lastOfFirstGame = ReadWholeFile(In(Newest));
             NewGame(4);
         },
         "feud 1, week 1, year 1, of 4", "absent", "feud 1, week 2, year 1, of 3"},
        {"and its second turn steps back as ever", [&] { EndTurn(); },
         "feud 2, week 1, year 1, of 4", "feud 1, week 1, year 1, of 4", "feud 1, week 2, year 1, of 3"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.play();
        EXPECT_TRUE(TurnShown());
        EXPECT_EQ(Holds(In(Newest)), step.newest);
        EXPECT_EQ(Holds(In(Previous)), step.previous);
        EXPECT_EQ(Holds(In(LastGame)), step.lastGame);
        EXPECT_TRUE(ReadWholeFile(In(Newest)) == SavedByTheCommand());  // byte for byte
        EXPECT_FALSE(Memo().contains("Автосохранение"));
        // Only the autosave's own files: no temporary file left, nothing else.
        for (const QString& entry : FolderEntries(folder))
            EXPECT_TRUE(entry == Newest || entry == Previous || entry == LastGame) << entry.toStdString();
    }
    EXPECT_TRUE(ReadWholeFile(In(LastGame)) == lastOfFirstGame);
    // The feud record of the computer's feud 3, read by its layout: the lenniks
    // he called in his move are in service in the last game's autosave.
    EXPECT_EQ(uint8_t(lastOfFirstGame.at(qsizetype(SaveFeudsOffset + 2 * SaveFeudSize + 132))), 1);
    EXPECT_EQ(boxes.infos.size(), 5);  // the announcements only
    EXPECT_EQ(boxes.errors, QStringList{});

    // Switched off, a turn leaves the folder as it is.
    AutoSaveEnabled = false;
    const QByteArray before = ReadWholeFile(In(Newest));
    EndTurn();
    EXPECT_TRUE(ReadWholeFile(In(Newest)) == before);
    AutoSaveEnabled = true;
}

TEST_F(AutoSaveTest, AFolderThatCannotBeUsedIsToldInTheMemoAndPlayGoesOn) {
    const QString home = QDir::homePath();
    struct Case {
        const char* what;
        std::function<void()> spoil, mend;
        QString line;
        bool asPlayer = false;  // needs permission bits to stop the process
    };
    const Case cases[] = {
        {"a file where the game's folder would be",
         [&] {
             QDir(home + "/Marchfell").removeRecursively();
             QFile f(home + "/Marchfell");
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         [&] { QFile::remove(home + "/Marchfell"); },
         "Автосохранение не удалось: Часть пути не является папкой («" + folder + "»)."},
        {"a folder under the newest autosave's name",
         [&] {
             QFile::remove(In(Newest));
             ASSERT_TRUE(QDir().mkdir(In(Newest)));
         },
         [&] { QDir().rmdir(In(Newest)); },
         "Автосохранение не удалось: Под этим именем уже есть папка («" + In(Newest) + "»)."},
        {"a folder under the previous autosave's name: the newest stays",
         [&] {
             QFile::remove(In(Previous));
             ASSERT_TRUE(QDir().mkdir(In(Previous)));
         },
         [&] { QDir().rmdir(In(Previous)); },
         "Автосохранение не удалось: Под этим именем уже есть папка («" + In(Previous) + "»)."},
#ifndef Q_OS_WIN
        {"a folder the player may not write",
         [&] {
             for (const QString& f : {home, home + "/Marchfell"}) ::chmod(QFile::encodeName(f).constData(), 0755);
             ::chmod(QFile::encodeName(folder).constData(), 0555);
         },
         [&] { ::chmod(QFile::encodeName(folder).constData(), 0755); },
         "Автосохранение не удалось: Отказано в доступе («" + In(Previous) + "»).", true},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewGame(3);
        ASSERT_EQ(Holds(In(Newest)), "feud 1, week 1, year 1, of 3");
        const QByteArray newest = ReadWholeFile(In(Newest));
        c.spoil();
        {
            std::optional<Unprivileged> player;
            if (c.asPlayer && !player.emplace().Active()) {
                c.mend();
                continue;  // as root and unable to act as a player: permission bits stop nothing
            }
            EndTurn();
        }
        // The turn begins as ever, the failure its memo's last line.
        EXPECT_TRUE(TurnShown());
        EXPECT_EQ(Game.CurrentFeud, 2);
        EXPECT_EQ(Memo().split(QChar(10)).last().toStdString(), c.line.toStdString());
        if (QFileInfo(In(Newest)).isFile()) {
            EXPECT_TRUE(ReadWholeFile(In(Newest)) == newest);
        }
        // Mended, the next turn is written again and the memo says nothing of it.
        c.mend();
        EndTurn();
        EXPECT_TRUE(TurnShown());
        EXPECT_EQ(Holds(In(Newest)), "feud 1, week 2, year 1, of 3");
        EXPECT_FALSE(Memo().contains("Автосохранение"));
    }
    EXPECT_EQ(boxes.errors, QStringList{});  // never a box
}

}  // namespace
