// "Сохранить игру" as the player uses it: the dialog's folder and filter, the
// file it leaves, a replaced save, a cancelled dialog and a failed write.
#include <cstring>
#include <memory>

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "SaveTestSupport.h"
#include "core/Forms.h"
#include "support/ModalDriver.h"
#include "ui/UnitGame.h"

namespace {

// Where the game keeps its saves: on Windows the c: drive (Wine's, in the tests).
QString SaveFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:/Marchfell/SaveGame");
#else
    return QDir::homePath() + "/Marchfell/SaveGame";
#endif
}

class SaveCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
#ifndef Q_OS_WIN
        // On Windows the folder is one fixed place on c:, shared by the test
        // programs that run side by side: left as it is there.
        QDir(SaveFolder()).removeRecursively();
#endif
        CreateForms();
        realDialog = GetSaveFileName;
        FillGame(Game, 2);
    }
    void TearDown() override {
        GetSaveFileName = realDialog;
        DestroyForms();
        ClearGameData(Game);
    }

    // The player types path into the dialog (an empty text cancels it).
    void AnswerDialog(const QString& path) {
        GetSaveFileName = [this, path](QWidget* parent, const QString& initialFolder, const QString& filter) {
            ++dialogs;
            dialogParent = parent;
            dialogFolder = initialFolder;
            dialogFilter = filter;
            return path;
        };
    }

    // The record the current state gives.
    QByteArray ExpectedRecord() const {
        auto record = std::make_unique<TSaveRecord>();
        BuildSaveRecord(Game, *record);
        return QByteArray(reinterpret_cast<const char*>(record->data()), qsizetype(record->size()));
    }

    QTemporaryDir tmp;
    SaveFileFunction realDialog;
    int dialogs = 0;
    QWidget* dialogParent = nullptr;
    QString dialogFolder, dialogFilter;
};

TEST_F(SaveCommandTest, SavesTheRunningGameWhereThePlayerChose) {
    const QString path = tmp.path() + "/Первая";
    AnswerDialog(path);
    ModalDriver driver;
    driver.AnswerAllBoxes();
    auto* item = FormGame->findChild<QAction*>("ItemSaveGame");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    item->trigger();

    EXPECT_EQ(dialogParent, FormGame);
    // The save folder when it is there (never made for the dialog), else home.
    const QString expected = QFileInfo(SaveFolder()).isDir() ? SaveFolder() : QDir::homePath();
    EXPECT_EQ(QDir::fromNativeSeparators(dialogFolder), QDir::fromNativeSeparators(expected));
    EXPECT_EQ(dialogFilter, "Сохраненные игры (*.mcs)");
    const QByteArray saved = ReadWholeFile(path);
    EXPECT_EQ(saved.size(), 3607552);
    EXPECT_TRUE(saved == ExpectedRecord());
    EXPECT_EQ(saved.mid(3607544, 5), QByteArray("\x01\x00\x00\x00\x01", 5));  // week 1 of year 1

    // A twenty-feud game, later in the year, under the same name: replaced
    // without a question, same size.
    FillGame(Game, 20);
    Game.Week = 2;
    FormGame->ItemSaveGameClick();
    const QByteArray again = ReadWholeFile(path);
    EXPECT_EQ(again.size(), 3607552);
    EXPECT_EQ(uint8_t(again[3607541]), 20);
    EXPECT_TRUE(again == ExpectedRecord());
    EXPECT_EQ(FolderEntries(tmp.path()), QStringList{"Первая"});
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(driver.BoxTexts(), QStringList{});
}

TEST_F(SaveCommandTest, CancelledDialogMakesNoGameFileOrFolder) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "on Windows the save folder is one fixed place on c:, shared by the test programs running side "
                    "by side";
#endif
    // Everything under the home folder, with sizes and times, but for the
    // toolkit's own record of its file dialog, which is the toolkit's to keep.
    const QString toolkitState = QSettings(QSettings::UserScope, "QtProject").fileName();
    const auto disk = [&toolkitState] {
        QStringList entries;
        QDirIterator it(QDir::homePath(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo f = it.nextFileInfo();
            if (f.absoluteFilePath() == QFileInfo(toolkitState).absoluteFilePath()) continue;
            entries << f.filePath() + ' ' + QString::number(f.size()) + ' ' + f.lastModified().toString(Qt::ISODateWithMs);
        }
        entries.sort();
        return entries;
    };
    // The real dialog, opened where the save folder is if there is one, else at home.
    QStringList seen;
    ModalDriver driver;
    const auto cancel = [&seen](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        seen << w->objectName() + ' ' + dialog->directory().absolutePath();
        dialog->reject();
    };
    driver.Then(cancel).Then(cancel);
    const QStringList before = disk();
    FormGame->ItemSaveGame->trigger();
    EXPECT_EQ(disk(), before) << disk().join('\n').toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir::homePath() + "/Marchfell"));
    // With the save folder there.
    ASSERT_TRUE(QDir().mkpath(QDir::homePath() + "/Marchfell/SaveGame"));
    const QStringList again = disk();
    FormGame->ItemSaveGame->trigger();
    EXPECT_EQ(disk(), again) << disk().join('\n').toStdString();
    EXPECT_EQ(seen, (QStringList{"SaveGameDialog " + QDir::homePath(),
                                 "SaveGameDialog " + QDir::homePath() + "/Marchfell/SaveGame"}));
}

TEST_F(SaveCommandTest, FailedSaveShowsTheReasonKeepsTheEarlierFileAndTheGameGoesOn) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows has no limit on a process's file size to make a save fail halfway";
#endif
    const QString path = tmp.path() + "/game.mcs";
    AnswerDialog(path);
    FormGame->ItemSaveGameClick();
    const QByteArray earlier = ReadWholeFile(path);
    ASSERT_EQ(earlier.size(), 3607552);

    Game.Week = 3;  // the game moved on since that save
    const QByteArray before = ExpectedRecord();
    ModalDriver driver;
    driver.PressOnBox().PressOnBox();
    {
        FileSizeLimit limit(100 * 1024);
        FormGame->ItemSaveGameClick();
    }
    AnswerDialog(tmp.path() + "/Нет такой/game.mcs");
    FormGame->ItemSaveGameClick();

    EXPECT_EQ(driver.BoxTexts(),
              (QStringList{"Не удалось сохранить игру в файл «" + path + "»:\nФайл слишком велик.",
                           "Не удалось сохранить игру в файл «" + tmp.path() + "/Нет такой/game.mcs»:\nПапка не найдена."}));
    EXPECT_EQ(driver.BoxIcons(), (QVector<QMessageBox::Icon>{QMessageBox::Critical, QMessageBox::Critical}));
    EXPECT_TRUE(ReadWholeFile(path) == earlier);
    EXPECT_EQ(FolderEntries(tmp.path()), QStringList{"game.mcs"});
    EXPECT_TRUE(ExpectedRecord() == before);
    EXPECT_EQ(Game.CurrentFeud, 1);
    EXPECT_EQ(Game.TurnIndex, 1);
}

}  // namespace
