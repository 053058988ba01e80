#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "core/DataPath.h"
#include "core/Forms.h"
#include "core/UnitStartMenu.h"
#include "settings/Reestr.h"
#include "settings/UnitSetUp.h"
#include "support/ModalDriver.h"
#include "support/TestSupport.h"

namespace {

// The settings folder, where they are kept in a file.
QString StoreFolder() { return TestConfigFolder() + QStringLiteral("/Tarvold"); }
QMap<QString, QString> StoredOnDisk() { return StoredSettings(); }

// Points the settings at a path under a plain file, where no folder can be made.
struct UnwritableStoreLocation {
    UnwritableStoreLocation() {
        QFile(TestConfigFolder() + QStringLiteral("/blocker")).open(QIODevice::WriteOnly);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, TestConfigFolder() + QStringLiteral("/blocker/x"));
    }
    ~UnwritableStoreLocation() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, TestConfigFolder());
        QFile::remove(TestConfigFolder() + QStringLiteral("/blocker"));
    }
};

struct RecordedMessages : Messages {
    void Info(const QString& text) override { errors << text; }
    void Error(const QString& text) override { errors << text; }
    bool Confirm(const QString& text) override {
        errors << text;
        return false;
    }
    QStringList errors;
};

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTestSettings(); }
    void TearDown() override {
        DestroyForms();
        ResetTestSettings();
    }
};

TEST(TextToIntegerTest, TakesOnlyDecimalIntegersThatFit) {
    const std::pair<const char*, int32_t> good[] = {{"0", 0},   {" 12 ", 12}, {"+7", 7},
                                                    {"-5", -5}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}};
    for (const auto& [text, expected] : good) {
        int32_t v = 0;
        EXPECT_TRUE(TextToInteger(QString::fromUtf8(text), v)) << text;
        EXPECT_EQ(v, expected) << text;
    }
    for (const char* text : {"", " ", "-", "2147483648", "-2147483649", "99999999999999999999", "5o000", "1 000",
                             "0x10", "1e3", "--1", "12.0", "١٢"}) {
        int32_t v = 3;
        EXPECT_FALSE(TextToInteger(QString::fromUtf8(text), v)) << text;
        EXPECT_EQ(v, 3);
    }
}

TEST_F(SettingsTest, StoreTellsTypesFromTheTextInTheFile) {
    WriteStoredSettings({"Letters=abc", "TooBig=2147483648", "Quoted=\"12\"", "List=a, b", "Path=\"/home/a, b/1.bmp\""});
    RecordedMessages msgs;
    TReestr reestr;
    reestr.OpenOrCreate(msgs);
    int32_t n = 1;
    for (const char* name : {"Letters", "TooBig", "List", "Path", "Missing"})
        EXPECT_FALSE(reestr.ReadInteger(QString::fromLatin1(name), n, msgs)) << name;
    EXPECT_EQ(n, 1);
    ASSERT_EQ(msgs.errors.size(), 5);
    EXPECT_TRUE(msgs.errors[1].contains(QStringLiteral("\"TooBig\"")));
    EXPECT_TRUE(msgs.errors[4].contains(QStringLiteral("\"Missing\"")));
    EXPECT_TRUE(reestr.ReadInteger(QStringLiteral("Quoted"), n, msgs));
    EXPECT_EQ(n, 12);
    QString s;
    EXPECT_FALSE(reestr.ReadString(QStringLiteral("List"), s, msgs));
    EXPECT_TRUE(reestr.ReadString(QStringLiteral("Path"), s, msgs));
    EXPECT_EQ(s, QStringLiteral("/home/a, b/1.bmp"));
    // The file is not completed with the first-run values.
    EXPECT_FALSE(StoredOnDisk().contains(QStringLiteral("CurrentLennik")));
}

TEST_F(SettingsTest, FailedWriteIsReportedAndTheOldValueStays) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the registry key cannot be made unwritable from inside the test (Wine lets every write through)";
#endif
    RecordedMessages msgs;
    TReestr reestr;
    reestr.OpenOrCreate(msgs);
    // The settings folder gives way to a plain file: nothing can be written.
    ASSERT_TRUE(QDir().rename(StoreFolder(), StoreFolder() + QStringLiteral(".aside")));
    QFile(StoreFolder()).open(QIODevice::WriteOnly);
    EXPECT_FALSE(reestr.WriteInteger(QStringLiteral("CurrentLennik"), 5, msgs));
    EXPECT_FALSE(reestr.WriteInteger(QStringLiteral("CurrentHorse"), 6, msgs));
    EXPECT_EQ(msgs.errors.size(), 2);
    int32_t n = 0;
    EXPECT_TRUE(reestr.ReadInteger(QStringLiteral("CurrentLennik"), n, msgs));
    EXPECT_EQ(n, 100);
    // Once the folder is back, writing works again, and only what was written is new.
    ASSERT_TRUE(QFile::remove(StoreFolder()));
    ASSERT_TRUE(QDir().rename(StoreFolder() + QStringLiteral(".aside"), StoreFolder()));
    EXPECT_TRUE(reestr.WriteInteger(QStringLiteral("CurrentLennik"), 8, msgs));
    EXPECT_EQ(msgs.errors.size(), 2);
    EXPECT_EQ(StoredOnDisk().value(QStringLiteral("CurrentLennik")), QStringLiteral("8"));
    EXPECT_EQ(StoredOnDisk().value(QStringLiteral("CurrentHorse")), QStringLiteral("100"));
}

// The settings dialog, driven as the player drives it.

const char* const EditNames[5] = {"EditLennik", "EditGrain", "EditPeasant", "EditCow", "EditHorse"};
const QStringList FirstRunRows{"100", "50000", "1000", "100", "100", "50"};

template <typename T>
T* Find(const QString& name) {
    T* w = FormSetUp ? FormSetUp->findChild<T*>(name) : nullptr;
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}
void Click(const char* name) { Find<QPushButton>(QString::fromLatin1(name))->click(); }

QStringList Rows() {
    QStringList rows;
    for (const char* name : EditNames) rows << Find<QLineEdit>(QString::fromLatin1(name))->text();
    return rows << QString::number(Find<QSpinBox>(QStringLiteral("seIndependence"))->value());
}
void Type(const QStringList& five, int independence) {
    for (int i = 0; i < 5; ++i) {
        QLineEdit* edit = Find<QLineEdit>(QString::fromLatin1(EditNames[i]));
        edit->clear();
        QTest::keyClicks(edit, five[i]);
    }
    Find<QSpinBox>(QStringLiteral("seIndependence"))->setValue(independence);
}
QStringList StoredCurrentSet() {
    QStringList values;
    for (const char* row : {"Lennik", "Grain", "Peasant", "Cow", "Horse", "Independence"})
        values << StoredOnDisk().value(QStringLiteral("Current") + QLatin1String(row), QStringLiteral("<missing>"));
    return values;
}

// Creates the windows as the program does; the texts of the boxes shown meanwhile.
QStringList Start() {
    ModalDriver driver;
    driver.AnswerAllBoxes();
    CreateForms();
    return driver.BoxTexts();
}
// Opens the dialog with the start menu's "Настройка"; handle must close it.
void OpenFromStartMenu(const std::function<void()>& handle) {
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
        EXPECT_EQ(w, FormSetUp);
        handle();
        EXPECT_FALSE(w->isVisible()) << "the dialog should have closed";
        w->close();
    });
    FormStartMenu->ButtonSetUp->click();
}

TEST_F(SettingsTest, FirstRunWritesBothSetsAndTheDialogShowsThem) {
    EXPECT_EQ(Start(), QStringList());
    const QString map = QDir::toNativeSeparators(DataFilePath(QStringLiteral("maps/base.bmp")));
    EXPECT_TRUE(QDir::isAbsolutePath(map));
    const QMap<QString, QString> expected{
        {"CurrentPathToMap", map}, {"CurrentLennik", "100"},     {"CurrentGrain", "50000"},
        {"CurrentPeasant", "1000"}, {"CurrentCow", "100"},       {"CurrentHorse", "100"},
        {"CurrentIndependence", "50"}, {"DefaultPathToMap", map}, {"DefaultLennik", "100"},
        {"DefaultGrain", "50000"},  {"DefaultPeasant", "1000"},  {"DefaultCow", "100"},
        {"DefaultHorse", "100"},    {"DefaultIndependence", "50"}};
    EXPECT_EQ(StoredOnDisk(), expected);
    EXPECT_EQ(Rows(), FirstRunRows);

    EXPECT_EQ(FormSetUp->windowTitle(), QStringLiteral("Настройка игры "));
    EXPECT_EQ(FormSetUp->size(), QSize(265, 185));
    EXPECT_EQ(Find<QGroupBox>(QStringLiteral("gbStart"))->title(), QStringLiteral(" Стартовые условия "));
    auto* spin = Find<QSpinBox>(QStringLiteral("seIndependence"));
    EXPECT_EQ(std::make_tuple(spin->minimum(), spin->maximum(), spin->findChild<QLineEdit*>()->maxLength()),
              std::make_tuple(0, 100, 3));
    EXPECT_TRUE(Find<QPushButton>(QStringLiteral("btnOk"))->isDefault());
    // Nothing clipped: every label and button shows its whole text inside the window.
    for (QLabel* label : FormSetUp->findChildren<QLabel*>()) {
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        EXPECT_LE(label->geometry().right(), label->buddy()->x()) << label->text().toStdString();
    }
    for (QPushButton* b : FormSetUp->findChildren<QPushButton*>()) {
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << b->text().toStdString();
        EXPECT_TRUE(FormSetUp->rect().contains(b->geometry()));
    }
}

// In the registry a number is a DWORD and a path a string, written as
// Windows writes paths, naming the map beside the program.
TEST_F(SettingsTest, RegistryHoldsNumbersAsDwordsAndTheMapPathWithBackslashes) {
#ifndef Q_OS_WIN
    GTEST_SKIP() << "the registry exists only on Windows";
#else
    EXPECT_EQ(Start(), QStringList());
    const QSettings key(ReestrKey(), QSettings::NativeFormat);
    ASSERT_EQ(key.childKeys().size(), 14);
    for (const QString& name : key.childKeys()) {
        const QVariant v = key.value(name);
        if (name.endsWith(QStringLiteral("PathToMap"))) {
            ASSERT_EQ(v.typeId(), QMetaType::QString) << name.toStdString();
            EXPECT_FALSE(v.toString().contains(u'/')) << v.toString().toStdString();
            EXPECT_TRUE(v.toString().endsWith(QStringLiteral("\\maps\\base.bmp"))) << v.toString().toStdString();
            EXPECT_TRUE(QFileInfo::exists(v.toString()));
        } else {
            EXPECT_EQ(v.typeId(), QMetaType::Int) << name.toStdString();
        }
    }
    // The game's own keys are left alone by the tests.
    EXPECT_TRUE(ReestrKey().startsWith(QStringLiteral("HKEY_CURRENT_USER\\Software\\Tarvold\\MarchfellTest")));
    EXPECT_TRUE(OldReestrKey().startsWith(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Tarvold\\MarchfellTest")));
#endif
}

// A player whose settings an earlier version kept for the whole machine finds
// them again in his own key, as they stood there: the same values with the
// same types, none added. The old key is read this once and never written.
TEST_F(SettingsTest, OldMachineWideKeyIsCopiedOnceAsItStands) {
#ifndef Q_OS_WIN
    GTEST_SKIP() << "the registry exists only on Windows";
#else
    // An old key with nothing in it but a subkey has nothing to give.
    QSettings(OldReestrKey() + QStringLiteral("\\Sub"), QSettings::NativeFormat).setValue(QStringLiteral("X"), 1);
    EXPECT_EQ(Start(), QStringList());
    EXPECT_EQ(Rows(), FirstRunRows);
    DestroyForms();
    ResetTestSettings();

    {
        QSettings old(OldReestrKey(), QSettings::NativeFormat);
        old.setValue(QStringLiteral("CurrentPathToMap"), QStringLiteral("C:\\Maps\\my map.bmp"));
        old.setValue(QStringLiteral("CurrentLennik"), 77);
        old.setValue(QStringLiteral("DefaultLennik"), 100);
    }
    const QStringList boxes = Start();
    ASSERT_EQ(boxes.size(), 1);  // the dialog's own load: "CurrentGrain" was never there
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("\"CurrentGrain\""))) << boxes[0].toStdString();
    EXPECT_EQ(Rows(), (QStringList{"77", "", "", "", "", "0"}));
    const auto types = [](const QString& key) {
        QMap<QString, int> t;
        const QSettings store(key, QSettings::NativeFormat);
        for (const QString& name : store.childKeys()) t.insert(name, store.value(name).typeId());
        return t;
    };
    const QMap<QString, int> expected{{"CurrentPathToMap", QMetaType::QString},
                                      {"CurrentLennik", QMetaType::Int},
                                      {"DefaultLennik", QMetaType::Int}};
    EXPECT_EQ(types(ReestrKey()), expected);
    EXPECT_EQ(StoredSettings().value(QStringLiteral("CurrentPathToMap")), QStringLiteral("C:\\Maps\\my map.bmp"));

    // Later starts use the player's key alone, whatever the old one holds.
    DestroyForms();
    QSettings(OldReestrKey(), QSettings::NativeFormat).setValue(QStringLiteral("CurrentGrain"), 5);
    EXPECT_EQ(Start(), boxes);
    OpenFromStartMenu([] {
        Type({"1", "2", "3", "4", "5"}, 6);
        Click("btnOk");
    });
    EXPECT_EQ(types(OldReestrKey()).size(), 4);
    EXPECT_EQ(QSettings(OldReestrKey(), QSettings::NativeFormat).value(QStringLiteral("CurrentLennik")).toInt(), 77);
    EXPECT_EQ(StoredCurrentSet(), (QStringList{"1", "2", "3", "4", "5", "6"}));
#endif
}

TEST_F(SettingsTest, TabFollowsTheFieldOrderNotTheRows) {
    Start();
    FormSetUp->show();
    FormSetUp->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormSetUp));
    auto current = [] {
        QWidget* w = QApplication::focusWidget();
        if (w && qobject_cast<QSpinBox*>(w->parentWidget())) w = w->parentWidget();  // the spin box's own edit
        return w ? w->objectName() : QString();
    };
    QStringList order{current()};
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << current();
    }
    EXPECT_EQ(order, (QStringList{"EditGrain", "EditCow", "EditHorse", "EditPeasant", "EditLennik", "seIndependence",
                                  "btnDefault", "btnApply", "btnOk", "btnCancel", "EditGrain"}));
}

TEST_F(SettingsTest, ApplyThenDefaultsWithCloseBoxOrOk) {
    Start();
    OpenFromStartMenu([] {
        Type({"1", "-2", "2147483647", "0", " 5"}, 6);
        Click("btnApply");
        EXPECT_TRUE(FormSetUp->isVisible());
        EXPECT_EQ(StoredCurrentSet(), (QStringList{"1", "-2", "2147483647", "0", "5", "6"}));
        Click("btnDefault");
        EXPECT_EQ(Rows(), FirstRunRows);
        FormSetUp->close();  // the close box: nothing written
    });
    EXPECT_EQ(StoredCurrentSet(), (QStringList{"1", "-2", "2147483647", "0", "5", "6"}));
    // No reload on opening: the defaults are still in the rows; "ОК" stores them.
    OpenFromStartMenu([] {
        EXPECT_EQ(Rows(), FirstRunRows);
        Click("btnOk");
    });
    EXPECT_EQ(StoredCurrentSet(), FirstRunRows);
}

TEST_F(SettingsTest, EditsSurviveARestartAndEscapeRestoresTheStoredRows) {
    Start();
    OpenFromStartMenu([] {
        QLineEdit* cow = Find<QLineEdit>(QStringLiteral("EditCow"));
        cow->clear();
        QTest::keyClicks(cow, QStringLiteral("42"));
        QTest::keyClick(cow, Qt::Key_Return);  // "ОК" is the default button
    });
    DestroyForms();
    EXPECT_EQ(Start(), QStringList());
    const QStringList stored{"100", "50000", "1000", "42", "100", "50"};
    EXPECT_EQ(Rows(), stored);
    OpenFromStartMenu([] {
        QTest::keyClicks(Find<QLineEdit>(QStringLiteral("EditHorse")), QStringLiteral("999"));
        QTest::keyClick(Find<QLineEdit>(QStringLiteral("EditHorse")), Qt::Key_Escape);
    });
    EXPECT_EQ(Rows(), stored);
    EXPECT_EQ(StoredCurrentSet(), stored);
}

TEST_F(SettingsTest, LetterInGrainWritesOnlyTheLennikRowAndOkStaysOpen) {
    Start();
    FormSetUp->show();
    Type({"7", "5o000", "3", "4", "5"}, 6);
    ModalDriver driver;
    driver.PressOnBox();
    Click("btnOk");
    EXPECT_EQ(driver.BoxTexts(), QStringList{QStringLiteral("\"5o000\" не является целым числом.")});
    EXPECT_EQ(driver.BoxIcons(), QVector<QMessageBox::Icon>{QMessageBox::Critical});
    EXPECT_TRUE(FormSetUp->isVisible());
    EXPECT_EQ(Find<QLineEdit>(QStringLiteral("EditGrain"))->selectedText(), QStringLiteral("5o000"));  // to type again
    EXPECT_EQ(StoredCurrentSet(), (QStringList{"7", "50000", "1000", "100", "100", "50"}));
}

TEST_F(SettingsTest, DeletedValueStaysMissingAndItsReaderFailsCleanly) {
    Start();
    DestroyForms();
    RemoveStoredSetting(QStringLiteral("CurrentPeasant"));

    const QStringList boxes = Start();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("\"CurrentPeasant\""))) << boxes[0].toStdString();
    EXPECT_EQ(Rows(), (QStringList{"100", "50000", "", "", "", "0"}));  // the rest of the load skipped
    EXPECT_FALSE(StoredOnDisk().contains(QStringLiteral("CurrentPeasant")));
    Click("btnDefault");
    EXPECT_EQ(Rows(), FirstRunRows);
}

TEST_F(SettingsTest, UnwritableStoreGivesTheKeyErrorAndTheProgramStillStarts) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the registry key cannot be made unwritable from inside the test (Wine lets every write through)";
#endif
    UnwritableStoreLocation blocked;
    const QStringList boxes = Start();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0], QStringLiteral("Не могу создать ключ в реестре."));
    EXPECT_TRUE(boxes[1].contains(QStringLiteral("\"CurrentLennik\"")));  // the dialog's own load
    ASSERT_NE(FormFeudalSetup, nullptr);

    OpenFromStartMenu([] {
        Type({"1", "2", "3", "4", "5"}, 6);
        ModalDriver boxes;
        boxes.PressOnBox().PressOnBox();
        Click("btnOk");
        EXPECT_TRUE(FormSetUp->isVisible());
        // "Отмена" cannot reload and says so; the rows keep what was typed,
        // so the dialog stays open and only the close box leaves.
        Click("btnCancel");
        ASSERT_EQ(boxes.BoxTexts().size(), 2);
        EXPECT_TRUE(boxes.BoxTexts()[0].contains(QStringLiteral("\"CurrentLennik\"")));
        EXPECT_TRUE(boxes.BoxTexts()[1].contains(QStringLiteral("\"CurrentLennik\"")));
        EXPECT_TRUE(FormSetUp->isVisible());
        EXPECT_EQ(Rows(), (QStringList{"1", "2", "3", "4", "5", "6"}));
        FormSetUp->close();
    });
}

}  // namespace
