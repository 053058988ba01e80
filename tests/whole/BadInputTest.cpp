// Bad input of every kind, met through the real windows as a player meets it:
// broken map files offered to the map dialog, and settings that are missing,
// of the wrong type or no numbers at all, for every window that reads them.
#include <QtGlobal>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include "core/DataPath.h"
#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/MapImage.h"
#include "core/Random.h"
#include "core/UnitStartMenu.h"
#include "engine/TurnCycle.h"
#include "newgame/UnitSelectMap.h"
#include "newgame/WorldGeneration.h"
#include "settings/UnitSetUp.h"
#include "support/MapDialogDriver.h"
#include "support/ModalDriver.h"
#include "support/TestSupport.h"

namespace {

QString BundledMap() { return DataFilePath(QStringLiteral("maps/base.bmp")); }
constexpr int BundledFeuds = 12;

// The broken maps that tests/whole/badmaps/make_badmaps.py writes, each with
// the part of the reason its box must give.
const std::map<QString, QString>& BrokenMaps() {
    const QString notBmp = QStringLiteral("не является рисунком BMP");
    const QString shortHeader = QStringLiteral("заголовок рисунка неполон");
    const QString headerKind = QStringLiteral("неизвестный формат заголовка");
    const QString size = QStringLiteral("недопустимые размеры");
    const QString depth = QStringLiteral("неподдерживаемая глубина цвета");
    const QString packing = QStringLiteral("неподдерживаемое сжатие");
    const QString noPalette = QStringLiteral("нет палитры");
    const QString pixelsShort = QStringLiteral("данных рисунка меньше, чем указано");
    const QString codesShort = QStringLiteral("сжатые данные рисунка неполны");
    static const std::map<QString, QString> reasons = {
        {"bad-text.bmp", notBmp},
        {"bad-empty.bmp", notBmp},
        {"bad-os2-array.bmp", notBmp},
        {"bad-png-renamed.bmp", notBmp},
        {"bad-gif-renamed.bmp", notBmp},
        {"bad-jpeg-renamed.bmp", notBmp},
        {"bad-signature-only.bmp", shortHeader},
        {"bad-file-header-cut.bmp", shortHeader},
        {"bad-info-header-cut.bmp", shortHeader},
        {"bad-core-header-cut.bmp", shortHeader},
        {"bad-v5-header-cut.bmp", shortHeader},
        {"bad-masks-cut.bmp", shortHeader},
        {"bad-zeros-after-signature.bmp", headerKind},
        {"bad-all-ones.bmp", headerKind},
        {"bad-header-size-unknown.bmp", headerKind + " BMP (41 байт)"},
        {"bad-header-size-absurd.bmp", headerKind},
        {"bad-width-zero.bmp", size},
        {"bad-height-zero.bmp", size},
        {"bad-width-negative.bmp", size},
        {"bad-height-most-negative.bmp", size},
        {"bad-width-huge.bmp", size},
        {"bad-too-many-pixels.bmp", "рисунок слишком велик (8000 × 8000)"},
        {"bad-planes-zero.bmp", "число плоскостей 0 вместо 1"},
        {"bad-planes-three.bmp", "число плоскостей 3 вместо 1"},
        {"bad-depth-0.bmp", depth + ": 0 бит"},
        {"bad-depth-2.bmp", depth + ": 2 бит"},
        {"bad-depth-7.bmp", depth + ": 7 бит"},
        {"bad-depth-64.bmp", depth + ": 64 бит"},
        {"bad-compression-unknown.bmp", packing + " рисунка (9)"},
        {"bad-compression-jpeg.bmp", packing + " рисунка (4)"},
        {"bad-compression-png.bmp", packing + " рисунка (5)"},
        {"bad-rle8-with-24-bits.bmp", "сжатие RLE8 при глубине цвета 24 бит"},
        {"bad-rle4-with-8-bits.bmp", "сжатие RLE4 при глубине цвета 8 бит"},
        {"bad-rle-top-down.bmp", "сжатый рисунок записан сверху вниз"},
        {"bad-bitfields-zero-masks.bmp", "все цветовые маски пусты"},
        {"bad-bitfields-24-bits.bmp", "цветовые маски при глубине цвета 24 бит"},
        {"bad-offset-past-end.bmp", "нет данных рисунка"},
        {"bad-offset-inside-header.bmp", "данные рисунка начинаются внутри заголовка"},
        {"bad-palette-count-absurd.bmp", noPalette},
        {"bad-no-palette.bmp", noPalette},
        {"bad-pixels-cut.bmp", pixelsShort},
        {"bad-header-lies-about-size.bmp", pixelsShort},
        {"bad-rle-cut.bmp", codesShort},
        {"bad-rle-literal-past-end.bmp", codesShort},
    };
    return reasons;
}

QString BrokenMapPath(const QString& name) { return QStringLiteral(BAD_MAPS_DIR "/") + name; }

#ifndef Q_OS_WIN
// Keeps the writing end of a pipe closed unless the game is still stuck on
// it after a long while; then opens and closes it, so that a reader waiting
// for a writer gets the end of the file and the test fails instead of hanging.
class PipeWatchdog {
public:
    explicit PipeWatchdog(const QString& path)
        : path_(QFile::encodeName(path).toStdString()), thread_([this] { Watch(); }) {}
    ~PipeWatchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, std::chrono::seconds(30), [this] { return done_; })) return;
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }

    std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};
#endif

class BadMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTestSettings();
        CreateForms();
        ClearGameData(Game);
        savedOpen_ = GetOpenPictureFileName;
        form = FormSelectMap;
        form->show();
    }
    void TearDown() override {
        form->hide();
        GetOpenPictureFileName = savedOpen_;
        DestroyForms();
    }

    // "Выбрать" with the file dialog answering path; the texts of the boxes
    // that came up, each an error box answered with OK.
    QStringList Choose(const QString& path) { return ChooseMapFile(*form, path); }

    void ExpectNoMap() {
        EXPECT_TRUE(form->ImageMap->isHidden());
        EXPECT_FALSE(form->gbGamer->isEnabled());
        EXPECT_EQ(form->LQG->text(), QString());
        EXPECT_FALSE(form->btnOk->isEnabled());
        EXPECT_FALSE(form->MapAccepted());
    }

    // One box that names the file and gives the reason; then no map.
    void ExpectRefused(const QString& path, const QString& reason) {
        const QStringList boxes = Choose(path);
        ASSERT_EQ(boxes.size(), 1) << boxes.join(QStringLiteral(" | ")).toStdString();
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("«") + QDir::toNativeSeparators(path) + QStringLiteral("»")))
            << boxes[0].toStdString();
        EXPECT_TRUE(boxes[0].contains(reason)) << boxes[0].toStdString();
        EXPECT_EQ(form->LNameMap->text(), QDir::toNativeSeparators(path));
        ExpectNoMap();
    }

    // The dialog is still usable: the bundled map loads with its feuds.
    void ExpectBundledMapLoads() {
        EXPECT_EQ(Choose(BundledMap()), QStringList());
        EXPECT_EQ(Game.QuantityFeud, BundledFeuds);
        EXPECT_TRUE(form->ImageMap->isVisible());
        EXPECT_EQ(form->MapPicture().Width(), MapWidth);
        EXPECT_TRUE(form->gbGamer->isEnabled());
        EXPECT_EQ(form->TBQuantityGamer->maximum(), BundledFeuds);
        EXPECT_EQ(form->LQG->text(), QStringLiteral("1"));
        EXPECT_TRUE(form->btnOk->isEnabled());
        EXPECT_EQ(form->focusWidget(), form->btnOk);
    }

    TFormSelectMap* form = nullptr;
    QTemporaryDir dir;

private:
    OpenFileFunction savedOpen_;
};

TEST_F(BadMapTest, EveryBrokenFileIsNamedWithItsReasonAndTheDialogStaysUsable) {
    // Every file the script writes is tried here, and every one tried is there.
    QStringList onDisk = QDir(QStringLiteral(BAD_MAPS_DIR)).entryList({QStringLiteral("bad-*.bmp")}, QDir::Files);
    QStringList listed;
    for (const auto& [name, reason] : BrokenMaps()) listed << name;
    onDisk.sort();
    listed.sort();
    ASSERT_EQ(onDisk, listed);
    ASSERT_GE(listed.size(), 20);

    // The first one comes before any map was ever detected: still one box.
    ASSERT_EQ(Game.QuantityFeud, 0);
    for (const auto& [name, reason] : BrokenMaps()) {
        SCOPED_TRACE(name.toStdString());
        ExpectRefused(BrokenMapPath(name), reason);
        ExpectBundledMapLoads();
    }
}

TEST_F(BadMapTest, TheSoundMapsTheBrokenOnesWereMadeFromLoad) {
    const QStringList good = QDir(QStringLiteral(BAD_MAPS_DIR)).entryList({QStringLiteral("good-*.bmp")}, QDir::Files);
    ASSERT_EQ(good.size(), 4);
    for (const QString& name : good) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(Choose(BrokenMapPath(name)), QStringList());
        EXPECT_EQ(Game.QuantityFeud, 8);
        EXPECT_TRUE(form->btnOk->isEnabled());
    }
}

TEST_F(BadMapTest, WhatIsNoPlainReadableFileIsRefusedAtOnce) {
    struct Case {
        QString path;
        QString reason;
    };
    std::vector<Case> cases;

#ifndef Q_OS_WIN
    // Windows has no pipes among the files and no /dev/zero, and its owner can
    // always read a file whatever its permission bits: those cases are for Unix.

    // A pipe nobody writes to would keep an open for reading waiting for ever.
    const QString pipe = dir.filePath(QStringLiteral("pipe.bmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    cases.push_back({pipe, QStringLiteral("это не обычный файл")});
    // A device that never ends.
    cases.push_back({QStringLiteral("/dev/zero"), QStringLiteral("это не обычный файл")});
#endif

    // Larger than any map: refused before a byte of it is read (sparse, so
    // it takes no room on the disk).
    const QString huge = dir.filePath(QStringLiteral("huge.bmp"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM");
        ASSERT_TRUE(f.resize(qint64(200) * 1024 * 1024));
    }
    cases.push_back({huge, QStringLiteral("файл слишком велик")});

    // The name in the box is the file's own, letters and spaces as they are.
    const QString russian = dir.filePath(QStringLiteral("Моя карта (копия).bmp"));
    ASSERT_TRUE(QFile::copy(BrokenMapPath(QStringLiteral("bad-pixels-cut.bmp")), russian));
    cases.push_back({russian, QStringLiteral("данных рисунка меньше")});

#ifndef Q_OS_WIN
    if (geteuid() != 0) {  // the superuser reads any file
        const QString locked = dir.filePath(QStringLiteral("locked.bmp"));
        ASSERT_TRUE(QFile::copy(BundledMap(), locked));
        ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
        cases.push_back({locked, QStringLiteral("нет прав на чтение файла")});
    }
    const PipeWatchdog watchdog(pipe);
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        ExpectRefused(c.path, c.reason);
        ExpectBundledMapLoads();
    }
}

// ---- through the start menu's "Игра"

// The fourteen values of the first run, each as its line in the settings
// file; a name given in changes takes the raw text there instead (after the
// "="), or is left out when its text is absent.
void WriteStore(const std::map<QString, std::optional<QString>>& changes = {}) {
    const QString map = QStringLiteral("\"") + BundledMap() + QStringLiteral("\"");
    const std::pair<const char*, QString> firstRun[] = {
        {"CurrentPathToMap", map},   {"CurrentLennik", "100"},     {"CurrentGrain", "50000"},
        {"CurrentPeasant", "1000"},  {"CurrentCow", "100"},        {"CurrentHorse", "100"},
        {"CurrentIndependence", "50"}, {"DefaultPathToMap", map},  {"DefaultLennik", "100"},
        {"DefaultGrain", "50000"},   {"DefaultPeasant", "1000"},   {"DefaultCow", "100"},
        {"DefaultHorse", "100"},     {"DefaultIndependence", "50"}};
    QStringList lines;
    for (const auto& [name, value] : firstRun) {
        const QString key = QString::fromLatin1(name);
        const auto change = changes.find(key);
        if (change == changes.end())
            lines << key + u'=' + value;
        else if (change->second)
            lines << key + u'=' + *change->second;
    }
    WriteStoredSettings(lines);
}

QByteArray StoreBytes() { return StoredSnapshot(); }

// Creates the windows as the program does; the texts of the boxes meanwhile.
QStringList Start() {
    ModalDriver driver;
    driver.AnswerAllBoxes();
    CreateForms();
    return driver.BoxTexts();
}

struct StoreTest : ::testing::Test {
    void TearDown() override {
        DestroyForms();
        ResetTestSettings();
    }
};

TEST_F(StoreTest, AStoredMapThatCannotBeReadGivesOneBoxAndTheDialogOpensEmpty) {
    const QString broken = BrokenMapPath(QStringLiteral("bad-rle-cut.bmp"));
    WriteStore({{"CurrentPathToMap", QStringLiteral("\"") + broken + QStringLiteral("\"")}});
    ASSERT_EQ(Start(), QStringList());
    const OpenFileFunction savedOpen = GetOpenPictureFileName;
    GetOpenPictureFileName = [](QWidget*, const QString&, const QString&) { return BundledMap(); };

    bool dialogSeen = false;
    ModalDriver driver;
    driver.PressOnBox().Then([&](QWidget* w) {
        dialogSeen = true;
        EXPECT_EQ(w, FormSelectMap);
        EXPECT_EQ(FormSelectMap->LNameMap->text(), broken);
        EXPECT_TRUE(FormSelectMap->ImageMap->isHidden());
        EXPECT_FALSE(FormSelectMap->btnOk->isEnabled());
        // Another file can be chosen in it at once.
        FormSelectMap->ButtonSelectMap->click();
        EXPECT_EQ(Game.QuantityFeud, BundledFeuds);
        EXPECT_TRUE(FormSelectMap->btnOk->isEnabled());
        FormSelectMap->btn->click();
    });
    FormStartMenu->ButtonStart->click();
    GetOpenPictureFileName = savedOpen;

    EXPECT_TRUE(dialogSeen);
    ASSERT_EQ(driver.BoxTexts().size(), 1);
    EXPECT_TRUE(driver.BoxTexts()[0].contains(QDir::toNativeSeparators(broken)));
    EXPECT_TRUE(driver.BoxTexts()[0].contains(QStringLiteral("сжатые данные рисунка неполны")));
    EXPECT_TRUE(FormStartMenu->isVisible());
    EXPECT_FALSE(FormSelectMap->isVisible());
}

TEST_F(StoreTest, AStoredMapPathMissingOrOfTheWrongTypeOpensTheDialogEmpty) {
    const std::optional<QString> paths[] = {std::nullopt, QStringLiteral("a, b"), QStringLiteral("@ByteArray(x)"),
                                            QStringLiteral("@Invalid()")};
    for (const std::optional<QString>& path : paths) {
        SCOPED_TRACE(path.value_or(QStringLiteral("<missing>")).toStdString());
        WriteStore({{"CurrentPathToMap", path}});
        ASSERT_EQ(Start(), QStringList());
        ModalDriver driver;
        std::function<void(QWidget*)> handle = [&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {  // recorded, answered, and the dialog still awaited
                driver.Answer(box, QMessageBox::Ok);
                driver.Then(handle);
                return;
            }
            EXPECT_EQ(w, FormSelectMap);
            EXPECT_EQ(FormSelectMap->LNameMap->text(), QString());
            EXPECT_TRUE(FormSelectMap->ImageMap->isHidden());
            EXPECT_FALSE(FormSelectMap->btnOk->isEnabled());
            w->close();
        };
        driver.Then(handle);
        FormStartMenu->ButtonStart->click();
        EXPECT_EQ(driver.BoxTexts(), QStringList());
        EXPECT_TRUE(FormStartMenu->isVisible());
        DestroyForms();
    }
}

// ---- the settings dialog

const char* const RowNames[6] = {"Lennik", "Grain", "Peasant", "Cow", "Horse", "Independence"};
const QStringList FirstRunRows{"100", "50000", "1000", "100", "100", "50"};

QStringList Rows() {
    QStringList rows;
    for (QLineEdit* edit : {FormSetUp->EditLennik, FormSetUp->EditGrain, FormSetUp->EditPeasant, FormSetUp->EditCow,
                            FormSetUp->EditHorse})
        rows << edit->text();
    return rows << QString::number(FormSetUp->seIndependence->value());
}

// Texts a value of the wrong type or no number can have in the settings file,
// in the rows where they are tried.
struct BrokenValue {
    int row;
    const char* raw;
};
const BrokenValue BrokenValues[] = {
    {0, "сто"},                     // letters
    {1, ""},                        // nothing
    {1, "@Invalid()"},              // a value that holds nothing
    {2, "1.5"},                     // not whole
    {2, "0x10"},                    // not decimal
    {3, "99999999999"},             // beyond 32 bits
    {4, "1, 2"},                    // a list
    {5, "@ByteArray(50)"},          // bytes, not a number
    {5, "@Variant(\\0\\0\\0\\x7f)"},  // a damaged stored value
};

TEST_F(StoreTest, TheDialogsLoadStopsAtABrokenValueAndNamesIt) {
    for (const BrokenValue& b : BrokenValues) {
        const QString name = QStringLiteral("Current") + QLatin1String(RowNames[b.row]);
        SCOPED_TRACE((name + QStringLiteral("=") + QString::fromUtf8(b.raw)).toStdString());
        WriteStore({{name, QString::fromUtf8(b.raw)}});
        const QByteArray before = StoreBytes();

        const QStringList boxes = Start();
        ASSERT_EQ(boxes.size(), 1) << boxes.join(QStringLiteral(" | ")).toStdString();
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("\"") + name + QStringLiteral("\""))) << boxes[0].toStdString();
        // The rows above were loaded; the broken one and those below were not.
        QStringList expected = FirstRunRows.mid(0, b.row);
        while (expected.size() < 5) expected << QString();
        if (expected.size() < 6) expected << QStringLiteral("0");
        EXPECT_EQ(Rows(), expected);
        EXPECT_EQ(StoreBytes(), before);
        DestroyForms();
    }
}

TEST_F(StoreTest, DefaultsStopAtABrokenDefaultValueAndWriteNothing) {
    for (const BrokenValue& b : BrokenValues) {
        const QString name = QStringLiteral("Default") + QLatin1String(RowNames[b.row]);
        SCOPED_TRACE((name + QStringLiteral("=") + QString::fromUtf8(b.raw)).toStdString());
        WriteStore({{name, QString::fromUtf8(b.raw)}, {"CurrentLennik", "1"}, {"CurrentGrain", "2"},
                    {"CurrentPeasant", "3"}, {"CurrentCow", "4"}, {"CurrentHorse", "5"},
                    {"CurrentIndependence", "6"}});
        ASSERT_EQ(Start(), QStringList());
        const QStringList current{"1", "2", "3", "4", "5", "6"};
        ASSERT_EQ(Rows(), current);
        const QByteArray before = StoreBytes();

        ModalDriver driver;
        driver.PressOnBox();
        FormSetUp->btnDefault->click();
        ASSERT_EQ(driver.BoxTexts().size(), 1);
        EXPECT_TRUE(driver.BoxTexts()[0].contains(QStringLiteral("\"") + name + QStringLiteral("\"")))
            << driver.BoxTexts()[0].toStdString();
        // The defaults above it came in; from it on the rows keep what they showed.
        EXPECT_EQ(Rows(), FirstRunRows.mid(0, b.row) + current.mid(b.row));
        EXPECT_EQ(StoreBytes(), before);
        DestroyForms();
    }
}

// ---- the map dialog's "ОК", which reads the starting conditions

TEST_F(StoreTest, MapOkNamesABrokenStartingConditionAndGeneratesNothing) {
    const std::pair<const char*, std::optional<QString>> broken[] = {
        {"CurrentGrain", std::nullopt},          {"CurrentPeasant", QStringLiteral("тысяча")},
        {"CurrentCow", QStringLiteral("1e3")},   {"CurrentHorse", QStringLiteral("a, b")},
        {"CurrentIndependence", QString()},      {"CurrentLennik", QStringLiteral("-99999999999")}};
    for (const auto& [name, raw] : broken) {
        SCOPED_TRACE(name);
        WriteStore({{QString::fromLatin1(name), raw}});
        Start();  // the settings dialog may complain of its own row too
        ClearGameData(Game);
        const OpenFileFunction savedOpen = GetOpenPictureFileName;
        GetOpenPictureFileName = [](QWidget*, const QString&, const QString&) { return BundledMap(); };
        FormSelectMap->show();
        FormSelectMap->ButtonSelectMap->click();
        GetOpenPictureFileName = savedOpen;
        ASSERT_TRUE(FormSelectMap->btnOk->isEnabled());

        {
            ModalDriver driver;
            driver.PressOnBox();
            FormSelectMap->btnOk->click();
            ASSERT_EQ(driver.BoxTexts().size(), 1);
            EXPECT_TRUE(driver.BoxTexts()[0].contains(QStringLiteral("\"%1\"").arg(QLatin1String(name))))
                << driver.BoxTexts()[0].toStdString();
        }
        // Still open and usable, and no world was made.
        EXPECT_TRUE(FormSelectMap->isVisible());
        EXPECT_TRUE(FormSelectMap->btnOk->isEnabled());
        for (int k = 1; k <= BundledFeuds; ++k) EXPECT_EQ(Game.Feuds[k].Len, 0) << k;
        EXPECT_EQ(Game.Lenniks[1].Feud, 0);

        // Once the value is mended, the same "ОК" makes the world.
        BoxMessages msgs(FormSelectMap);
        ASSERT_TRUE(FormStartMenu->Reestr.WriteInteger(QString::fromLatin1(name), 50, msgs));
        ModalDriver quiet;
        quiet.AnswerAllBoxes();
        FormSelectMap->btnOk->click();
        EXPECT_EQ(quiet.BoxTexts(), QStringList());
        EXPECT_EQ(FormSelectMap->result(), QDialog::Accepted);
        EXPECT_GT(Game.Feuds[1].Len, 0);
        DestroyForms();
    }
}

// Counts what the week's ends report; nobody answers questions.
struct CountingMessages : Messages {
    int count = 0;
    void Info(const QString&) override { ++count; }
    void Error(const QString&) override { ++count; }
    bool Confirm(const QString&) override { return false; }
};

TEST_F(StoreTest, StartingConditionsAtTheLimitsOfTheirRangePlayWithoutFault) {
    // No range is checked on these: any 32-bit number is a starting condition.
    const QString highest = QStringLiteral("2147483647"), lowest = QStringLiteral("-2147483648");
    for (const QString& extreme : {highest, lowest}) {
        SCOPED_TRACE(extreme.toStdString());
        WriteStore({{"CurrentLennik", extreme}, {"CurrentGrain", extreme}, {"CurrentPeasant", extreme},
                    {"CurrentCow", extreme}, {"CurrentHorse", extreme}, {"CurrentIndependence", extreme}});
        Start();
        const OpenFileFunction savedOpen = GetOpenPictureFileName;
        GetOpenPictureFileName = [](QWidget*, const QString&, const QString&) { return BundledMap(); };
        FormSelectMap->ButtonSelectMap->click();
        GetOpenPictureFileName = savedOpen;
        {
            ModalDriver driver;
            driver.AnswerAllBoxes();
            FormSelectMap->btnOk->click();
            ASSERT_EQ(driver.BoxTexts(), QStringList());
        }
        ASSERT_EQ(FormSelectMap->result(), QDialog::Accepted);

        // Every feud to the computer, then three years of weeks.
        Game.QuantityGamer = 0;
        BeginSeating(Game);
        SettleCrown(Game, GameRandom);
        SettleVassalsAndRelations(Game, GameRandom);
        CountingMessages msgs;
        TurnHooks hooks;
        for (int week = 0; week < 21; ++week) EXPECT_EQ(EndTurn(Game, GameRandom, msgs, hooks), 0);
        EXPECT_EQ(Game.Year, 4);
        for (int k = 1; k <= Game.QuantityFeud; ++k) {
            const TFeud& f = Game.Feuds[k];
            EXPECT_GE(f.Lennik, 0) << k;
            EXPECT_LE(f.Lennik, f.Len) << k;
            if (extreme == highest) {
                EXPECT_EQ(f.Grain, INT32_MAX) << k;  // saturated, never wrapped
                EXPECT_EQ(f.Horse, INT32_MAX) << k;
            }
        }
        DestroyForms();
    }
}

}  // namespace
