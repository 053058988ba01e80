#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/MapImage.h"
#include "core/Messages.h"
#include "core/UnitStartMenu.h"
#include "newgame/UnitSelectMap.h"
#include "support/MapDialogDriver.h"
#include "support/ModalDriver.h"
#include "support/TestMaps.h"
#include "support/TestSupport.h"

namespace {

// Collects what a store read would have said in a box.
struct QuietMessages : Messages {
    QStringList texts;
    void Info(const QString& t) override { texts << t; }
    void Error(const QString& t) override { texts << t; }
    bool Confirm(const QString& t) override {
        texts << t;
        return false;
    }
};

QString StoredMapPath() {
    QuietMessages msgs;
    QString value;
    if (!FormStartMenu->Reestr.ReadString(QStringLiteral("CurrentPathToMap"), value, msgs)) return QStringLiteral("<none>");
    return value;
}

class SelectMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTestSettings();
        CreateForms();
        ClearGameData(Game);
        savedOpen_ = GetOpenPictureFileName;
        form = FormSelectMap;
    }
    void TearDown() override {
        GetOpenPictureFileName = savedOpen_;
        DestroyForms();
    }

    QString Write(const Picture& p, const QString& name) {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(SaveBmp24(p, path));
        return path;
    }
    QString WriteBytes(const QByteArray& bytes, const QString& name) {
        const QString path = dir_.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QByteArray Bytes(const Picture& p) {
        const QString path = Write(p, QStringLiteral("scratch.bmp"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

    // Picks the file in "Выбрать" as a player would and returns the texts of
    // the boxes that came up, answering each with OK.
    QStringList Choose(const QString& path) { return ChooseMapFile(*form, path, &lastInitial, &lastFilter); }

    void ExpectNoMap() {
        EXPECT_FALSE(form->ImageMap->isVisible());
        EXPECT_TRUE(form->ImageMap->isHidden());
        EXPECT_FALSE(form->gbGamer->isEnabled());
        EXPECT_FALSE(form->btnOk->isEnabled());
        EXPECT_EQ(form->LQG->text(), QString());
    }
    void ExpectMap(int feuds) {
        EXPECT_FALSE(form->ImageMap->isHidden());
        EXPECT_TRUE(form->gbGamer->isEnabled());
        EXPECT_TRUE(form->btnOk->isEnabled());
        EXPECT_EQ(Game.QuantityFeud, feuds);
        EXPECT_EQ(form->TBQuantityGamer->maximum(), feuds);
    }

    TFormSelectMap* form = nullptr;
    QString lastInitial, lastFilter;

private:
    QTemporaryDir dir_;
    OpenFileFunction savedOpen_;
};

TEST_F(SelectMapTest, ControlsAndStartingState) {
    EXPECT_EQ(form->objectName(), QStringLiteral("FormSelectMap"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Выбор карты и количества феодалов"));
    auto text = [&](const char* name) {
        auto* w = form->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
        return QString();
    };
    EXPECT_EQ(text("LabelMap"), QStringLiteral("Карта:"));
    EXPECT_EQ(text("gbGamer"), QStringLiteral(" Игроки "));
    EXPECT_EQ(text("LabelGamer"), QStringLiteral("Игроков:"));
    EXPECT_EQ(text("sbDown"), QStringLiteral("<"));
    EXPECT_EQ(text("sbUp"), QStringLiteral(">"));
    EXPECT_EQ(text("ButtonSelectMap"), QStringLiteral("Выбрать"));
    EXPECT_EQ(text("btnOk"), QStringLiteral("ОК"));
    EXPECT_EQ(text("btn"), QStringLiteral("Возврат"));
    EXPECT_TRUE(form->findChild<QPushButton*>(QStringLiteral("btnOk"))->isDefault());
    auto* image = form->findChild<MapImage*>(QStringLiteral("ImageMap"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), QSize(400, 200));
    auto* track = form->findChild<QSlider*>(QStringLiteral("TBQuantityGamer"));
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->tickInterval(), 1);
    ASSERT_NE(form->findChild<QLabel*>(QStringLiteral("LNameMap")), nullptr);
    ASSERT_NE(form->findChild<QLabel*>(QStringLiteral("LQG")), nullptr);
    ExpectNoMap();
}

TEST_F(SelectMapTest, ChosenMapIsCheckedShownInItsOwnColoursAndFocusesOk) {
    Picture map = StripMap(5);
    FillRect(map, 10, 10, 5, 5, Colors::Blue);
    FillRect(map, 390, 190, 3, 3, Colors::Yellow);
    const QString path = Write(map, QStringLiteral("five.bmp"));
    form->show();
    QApplication::setActiveWindow(form);
    form->ButtonSelectMap->setFocus();

    EXPECT_EQ(Choose(path), QStringList());
    EXPECT_EQ(lastFilter, QStringLiteral("Bitmaps (*.bmp)"));
    EXPECT_EQ(form->LNameMap->text(), QDir::toNativeSeparators(path));
    ExpectMap(5);
    EXPECT_EQ(form->LQG->text(), QStringLiteral("1"));
    EXPECT_EQ(Game.Map[192][391], 1);  // the yellow patch joined feud 1
    // The preview holds the file's colours, not the detection's markers.
    EXPECT_TRUE(form->MapPicture().SamePixels(map));
    EXPECT_EQ(form->focusWidget(), form->btnOk);

    // The next choice starts from the current file.
    Choose(path);
    EXPECT_EQ(lastInitial, QDir::toNativeSeparators(path));
}

TEST_F(SelectMapTest, CancellingTheFileDialogChangesNothing) {
    const QString path = Write(StripMap(4), QStringLiteral("four.bmp"));
    Choose(path);
    EXPECT_EQ(Choose(QString()), QStringList());
    EXPECT_EQ(form->OpenMapFileName(), QDir::toNativeSeparators(path));
    EXPECT_EQ(form->LNameMap->text(), QDir::toNativeSeparators(path));
    ExpectMap(4);
}

TEST_F(SelectMapTest, TrackBarStaysWithinOneAndTheFeudCount) {
    Choose(Write(StripMap(5), QStringLiteral("five.bmp")));
    EXPECT_FALSE(form->sbDown->isEnabled());
    EXPECT_TRUE(form->sbUp->isEnabled());
    for (int i = 0; i < 4; ++i) form->sbUp->click();
    EXPECT_EQ(form->LQG->text(), QStringLiteral("5"));
    EXPECT_FALSE(form->sbUp->isEnabled());
    EXPECT_TRUE(form->sbDown->isEnabled());
    form->sbUpClick();  // past the end: the track bar keeps its range
    EXPECT_EQ(form->TBQuantityGamer->value(), 5);
    EXPECT_EQ(form->LQG->text(), QStringLiteral("5"));
    form->sbDown->click();
    EXPECT_EQ(form->LQG->text(), QStringLiteral("4"));
    EXPECT_TRUE(form->sbUp->isEnabled());
    // Moving the track bar itself updates the label and the buttons too.
    form->TBQuantityGamer->setValue(1);
    EXPECT_EQ(form->LQG->text(), QStringLiteral("1"));
    EXPECT_FALSE(form->sbDown->isEnabled());
    form->sbDownClick();
    EXPECT_EQ(form->TBQuantityGamer->value(), 1);
    // A new file starts again at one player.
    form->TBQuantityGamer->setValue(3);
    Choose(Write(StripMap(2), QStringLiteral("two.bmp")));
    EXPECT_EQ(form->TBQuantityGamer->value(), 1);
    EXPECT_EQ(form->TBQuantityGamer->maximum(), 2);
}

TEST_F(SelectMapTest, WrongMapsRaiseTheirBoxesInOrder) {
    const QString narrow = Write(Picture(300, 200), QStringLiteral("narrow.bmp"));
    const QString good = Write(StripMap(3), QStringLiteral("three.bmp"));

    // First thing in the run: no map was ever detected, so the count is 0.
    EXPECT_EQ(Choose(narrow), (QStringList{"Размер карты не 400*200", "Слишком мало феодов."}));
    ExpectNoMap();
    EXPECT_EQ(form->LNameMap->text(), QDir::toNativeSeparators(narrow));

    EXPECT_EQ(Choose(good), QStringList());
    ExpectMap(3);
    // Right after a good map only the size is wrong.
    EXPECT_EQ(Choose(narrow), QStringList{"Размер карты не 400*200"});
    ExpectNoMap();
    EXPECT_EQ(Game.QuantityFeud, 3);

    EXPECT_EQ(Choose(Write(BlankMap(), QStringLiteral("one.bmp"))), QStringList{"Слишком мало феодов."});
    ExpectNoMap();
    EXPECT_EQ(Choose(Write(StripMap(21), QStringLiteral("many.bmp"))), QStringList{"Феодов больше 20."});
    ExpectNoMap();
    EXPECT_EQ(Game.QuantityFeud, 21);
    // After too many feuds an undersized file repeats the count's complaint.
    EXPECT_EQ(Choose(narrow), (QStringList{"Размер карты не 400*200", "Феодов больше 20."}));

    EXPECT_EQ(Choose(Write(StripMap(20), QStringLiteral("twenty.bmp"))), QStringList());
    ExpectMap(20);
}

TEST_F(SelectMapTest, AMissingFileAFolderOrEmptyPathIsQuiet) {
    const QString three = Write(StripMap(3), QStringLiteral("three.bmp"));
    const QString missing = QDir::temp().filePath(QStringLiteral("no-such-map-here.bmp"));
    for (const QString& none : {missing, QFileInfo(three).absolutePath()}) {
        Choose(three);
        EXPECT_EQ(Choose(none), QStringList());
        EXPECT_EQ(form->LNameMap->text(), QDir::toNativeSeparators(none));
        ExpectNoMap();
    }

    ModalDriver driver;
    driver.AnswerAllBoxes();
    form->SetOpenMapFileName(QString());
    form->Initialize();
    EXPECT_EQ(driver.BoxTexts(), QStringList());
    EXPECT_EQ(form->LNameMap->text(), QString());
    ExpectNoMap();
}

TEST_F(SelectMapTest, ALongPathKeepsItsTextAndShowsItsFileName) {
    const QString shortPath = Write(StripMap(3), QStringLiteral("three.bmp"));
    const QString folder = QFileInfo(shortPath).absolutePath() + "/" + QString(60, u'к') + "/" + QString(60, u'п');
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString longPath = folder + "/three.bmp";
    ASSERT_TRUE(QFile::copy(shortPath, longPath));
    for (const QString& chosen : {shortPath, longPath}) {
        SCOPED_TRACE(chosen.toStdString());
        Choose(chosen);
        const QString path = QDir::toNativeSeparators(chosen);  // as the system writes it
        EXPECT_EQ(form->LNameMap->text(), path);
        EXPECT_EQ(form->LNameMap->toolTip(), path);
        // Drawn as a plain label would draw the path with its middle left out.
        const QString shown =
            form->LNameMap->fontMetrics().elidedText(path, Qt::ElideMiddle, form->LNameMap->contentsRect().width());
        EXPECT_EQ(shown == path, chosen == shortPath);
        EXPECT_TRUE(shown.endsWith(QDir::toNativeSeparators(QStringLiteral("/three.bmp"))));
        QLabel plain(shown, form);
        plain.setGeometry(form->LNameMap->geometry());
        EXPECT_TRUE(form->LNameMap->grab().toImage() == plain.grab().toImage());
    }
}

TEST_F(SelectMapTest, UnreadableFilesAreNamedWithTheReasonAndTheDialogStaysUsable) {
    const QString good = Write(StripMap(4), QStringLiteral("four.bmp"));
    const QByteArray bytes = Bytes(StripMap(4));
    QByteArray absurd = bytes;
    absurd[21] = char(0x7F);  // width far beyond any picture
    QByteArray cut = bytes.left(bytes.size() / 2);
    struct Bad {
        QString path;
        const char* reason;
    };
    std::vector<Bad> bad = {
        {WriteBytes("это не рисунок", QStringLiteral("text.bmp")), "не является рисунком BMP"},
        {WriteBytes(QByteArray(), QStringLiteral("empty.bmp")), "не является рисунком BMP"},
        {WriteBytes(cut, QStringLiteral("cut.bmp")), "обрезан"},
        {WriteBytes(absurd, QStringLiteral("absurd.bmp")), "недопустимые размеры"},
    };
    if (ReadPermissionsApply()) {  // the superuser reads any file, Windows keeps no such bits
        const QString locked = WriteBytes(bytes, QStringLiteral("locked.bmp"));
        QFile::setPermissions(locked, QFileDevice::Permissions());
        bad.push_back({locked, "нет прав"});
    }
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.path.toStdString());
        ASSERT_EQ(Choose(good), QStringList());
        const int feuds = Game.QuantityFeud;
        const QStringList boxes = Choose(b.path);
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes[0].contains(QDir::toNativeSeparators(b.path)));
        EXPECT_TRUE(boxes[0].contains(QString::fromUtf8(b.reason))) << boxes[0].toStdString();
        EXPECT_EQ(form->LNameMap->text(), QDir::toNativeSeparators(b.path));
        ExpectNoMap();
        EXPECT_EQ(Game.QuantityFeud, feuds);
    }
    // And another file can still be chosen.
    EXPECT_EQ(Choose(good), QStringList());
    ExpectMap(4);
}

TEST_F(SelectMapTest, AFailedChoiceLeavesTheFocusWhereItWas) {
    form->show();
    QApplication::setActiveWindow(form);
    form->ButtonSelectMap->setFocus();
    ASSERT_TRUE(form->ButtonSelectMap->hasFocus());
    EXPECT_EQ(Choose(Write(BlankMap(), QStringLiteral("one.bmp"))), QStringList{"Слишком мало феодов."});
    // The box had the focus for a moment; the dialog gets back the control it had.
    EXPECT_EQ(form->focusWidget(), form->ButtonSelectMap);
}

TEST_F(SelectMapTest, StoredPathThatCannotBeReadOpensWithNoMap) {
    const QString broken = WriteBytes("BM", QStringLiteral("stored.bmp"));
    form->SetOpenMapFileName(broken);
    ModalDriver driver;
    driver.AnswerAllBoxes();
    form->Initialize();
    ASSERT_EQ(driver.BoxTexts().size(), 1);
    EXPECT_TRUE(driver.BoxTexts()[0].contains(QDir::toNativeSeparators(broken)));
    ExpectNoMap();
    EXPECT_FALSE(form->MapAccepted());
}

// The starting conditions the world is generated from, as the settings store keeps them.
void StoreStartingConditions() {
    QuietMessages msgs;
    for (const char* name : {"CurrentLennik", "CurrentGrain", "CurrentPeasant", "CurrentCow", "CurrentHorse"})
        FormStartMenu->Reestr.WriteInteger(QString::fromLatin1(name), 100, msgs);
    FormStartMenu->Reestr.WriteInteger(QStringLiteral("CurrentIndependence"), 50, msgs);
}

TEST_F(SelectMapTest, OkStoresThePathAndThePlayersAndGeneratesTheWorld) {
    StoreStartingConditions();
    const QString path = Write(StripMap(6), QStringLiteral("six.bmp"));
    Choose(path);
    form->show();
    form->sbUp->click();
    form->sbUp->click();
    ModalDriver driver;
    driver.AnswerAllBoxes();
    form->btnOk->click();
    EXPECT_EQ(driver.BoxTexts(), QStringList());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Game.QuantityGamer, 3);
    EXPECT_EQ(StoredMapPath(), QDir::toNativeSeparators(path));  // as the system writes paths
    // The world of the accepted map was generated in the same press.
    EXPECT_GT(Game.Feuds[6].Len, 0);
    EXPECT_EQ(Game.Feuds[6].Lennik, 100);
}

TEST_F(SelectMapTest, OkKeepsTheDialogOpenWhenTheWorldCannotBeGenerated) {
    // A starting condition that is no number: generation reports and refuses.
    StoreStartingConditions();
    QuietMessages msgs;
    FormStartMenu->Reestr.WriteString(QStringLiteral("CurrentGrain"), QStringLiteral("много"), msgs);
    const QString path = Write(StripMap(4), QStringLiteral("four.bmp"));
    Choose(path);
    form->show();
    ModalDriver driver;
    driver.AnswerAllBoxes();
    form->btnOk->click();
    EXPECT_FALSE(driver.BoxTexts().isEmpty());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->btnOk->isEnabled());
    form->hide();
}

TEST_F(SelectMapTest, ReturnAndEscapeWriteNothing) {
    const QString before = StoredMapPath();
    Choose(Write(StripMap(6), QStringLiteral("six.bmp")));
    form->sbUp->click();

    form->show();
    form->btn->click();
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_FALSE(form->isVisible());

    form->show();
    form->setResult(QDialog::Accepted);
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_FALSE(form->isVisible());

    EXPECT_EQ(Game.QuantityGamer, 0);
    EXPECT_EQ(StoredMapPath(), before);
    // The detection of the chosen file stays.
    EXPECT_EQ(Game.QuantityFeud, 6);
}

}  // namespace
