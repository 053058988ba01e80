#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "SeatsTestMaps.h"
#include "core/MapImage.h"
#include "core/Names.h"
#include "newgame/PlayerSeats.h"
#include "newgame/UnitInputNameGamer.h"
#include "newgame/UnitSelectFeud.h"
#include "newgame/WorldGeneration.h"
#include "support/ModalDriver.h"
#include "support/TestMaps.h"

namespace {

// Types text into a widget one character at a time, as a keyboard would send it
// (QTest's key clicks know only ASCII).
void TypeText(QWidget* w, const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString piece = text.mid(i, n);
        i += n - 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, piece);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, piece);
        QApplication::sendEvent(w, &release);
    }
}

// A generated five-strip world in the global game, no player seated yet.
struct SeatsTest : ::testing::Test {
    void SetUp() override {
        ClearGameData(Game);
        FillNameTables(Game);
        GridStrips(Game, 5);
        GenerateWorld(Game, TStartingConditions{});
        BeginSeating(Game);
        dlg.SetMapPicture(StripMap(5));
    }

    // A point in the middle of strip k, and its anchor.
    static QPoint Middle(int k) { return QPoint((k - 1) * 80 + 40, 100); }
    static QPoint Anchor(int k) { return QPoint(Game.Feuds[k].PosX, Game.Feuds[k].PosY); }
    Rgb ColourOf(int k) const { return dlg.MapPicture().GetPixel(Middle(k).x(), Middle(k).y()); }

    void StartPlayer(const QString& name) {
        Game.SelectFeud = 0;
        Game.NameGamer.Assign(name);
        dlg.btnOk->setEnabled(false);
        dlg.LFeud->clear();
    }
    void Click(int k, Qt::MouseButton button = Qt::LeftButton) {
        dlg.ImageMapMouseDown(button, Qt::NoModifier, Middle(k).x(), Middle(k).y());
    }
    QString HoverFeudal(int k) {
        dlg.ImageMapMouseMove(Middle(k).x(), Middle(k).y());
        return dlg.LFeudal->text();
    }
    // A whole seat: name, pick, status, OK.
    void SeatPlayer(const QString& name, int k, QRadioButton* status) {
        StartPlayer(name);
        Click(k);
        status->setChecked(true);
        dlg.btnOkClick();
    }

    TFormSelectFeud dlg;
};

}  // namespace

TEST(SeatRules, NameChecks) {
    auto s = std::make_unique<TGameState>();
    s->QuantityFeud = 3;
    s->Feuds[2].NameFeudal.Assign(QStringLiteral("Анна"));
    EXPECT_EQ(CheckNameGamer(*s, QString()), QStringLiteral("Имя не может быть пустым."));
    EXPECT_EQ(CheckNameGamer(*s, QStringLiteral("Анна")), QStringLiteral("Имя уже существует."));
    // Exact comparison: letter case and spaces count.
    EXPECT_EQ(CheckNameGamer(*s, QStringLiteral("анна")), QString());
    EXPECT_EQ(CheckNameGamer(*s, QStringLiteral("Анна ")), QString());
    EXPECT_EQ(CheckNameGamer(*s, QStringLiteral(" ")), QString());
    // A name on a feud beyond this map is no clash.
    s->Feuds[4].NameFeudal.Assign(QStringLiteral("Борис"));
    EXPECT_EQ(CheckNameGamer(*s, QStringLiteral("Борис")), QString());
}

TEST(SeatRules, NameFilterKeepsWhatWindows1251Holds) {
    EXPECT_EQ(FilterNameGamer(QStringLiteral("Пётр Ёжиков №1 «Ў» - Jean-Luc")),
              QStringLiteral("Пётр Ёжиков №1 «Ў» - Jean-Luc"));
    EXPECT_EQ(FilterNameGamer(QStringLiteral("Łukasz 李 😀 Ωmega")), QStringLiteral("ukasz   mega"));
    EXPECT_EQ(FilterNameGamer(QStringLiteral("Ив\tан\n\r\x7f\x85")), QStringLiteral("Иван"));
}

TEST(NameDialog, LayoutAndFieldFilter) {
    TFormInputNameGamer dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Ввод имени игрока"));
    EXPECT_EQ(dlg.findChild<QLineEdit*>("EditNameGamer"), dlg.EditNameGamer);
    EXPECT_EQ(dlg.findChild<QLabel*>("LInputName"), dlg.LInputName);
    EXPECT_EQ(dlg.btnOk->text(), QStringLiteral("ОК"));
    EXPECT_TRUE(dlg.btnOk->isDefault());

    // Typed, inserted and pasted text alike: at most 25 characters, none the
    // stored name could not hold.
    QLineEdit* edit = dlg.EditNameGamer;
    edit->insert(QStringLiteral("Абвгдежзийклмнопрстуфхцчшщ"));
    EXPECT_EQ(edit->text(), QStringLiteral("Абвгдежзийклмнопрстуфхцчш"));
    edit->clear();
    TypeText(edit, QStringLiteral("Иван😀Гр\u0151зный"));
    EXPECT_EQ(edit->text(), QStringLiteral("ИванГрзный"));
    edit->clear();
    QApplication::clipboard()->setText(QStringLiteral("Ol\u0101f 李 Нор\nвежский"));
    edit->paste();
    EXPECT_EQ(edit->text(), QStringLiteral("Olf  Норвежский"));
}

TEST(NameDialog, RefusesEmptyAndTakenNamesThenCloses) {
    ClearGameData(Game);
    Game.QuantityFeud = 4;
    Game.Feuds[3].NameFeudal.Assign(QStringLiteral("Анна"));
    TFormInputNameGamer dlg;
    ModalDriver driver;
    driver.PressOnBox().PressOnBox();
    dlg.setResult(QDialog::Rejected);
    dlg.btnOkClick();
    dlg.EditNameGamer->setText(QStringLiteral("Анна"));
    dlg.btnOkClick();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(driver.BoxTexts(), (QStringList{"Имя не может быть пустым.", "Имя уже существует."}));
    EXPECT_EQ(driver.BoxIcons(), (QVector<QMessageBox::Icon>{QMessageBox::Critical, QMessageBox::Critical}));
    dlg.EditNameGamer->setText(QStringLiteral("АННА"));
    dlg.btnOkClick();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST(NameDialog, ExecEndsAcceptedOnOkAndRejectedOnCloseBox) {
    ClearGameData(Game);
    TFormInputNameGamer dlg;
    {
        ModalDriver driver;
        driver.Then([&dlg](QWidget* w) {
            EXPECT_EQ(w, &dlg);
            TypeText(dlg.EditNameGamer, QStringLiteral("Ольга"));
            QTest::keyClick(dlg.EditNameGamer, Qt::Key_Return);  // the default button
        });
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    }
    {
        ModalDriver driver;
        driver.Then([](QWidget* w) {
            QTest::keyClick(w, Qt::Key_Escape);  // no cancel button: Escape does nothing
            w->close();
        });
        EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    }
}

TEST_F(SeatsTest, LayoutAndInitialTexts) {
    EXPECT_EQ(dlg.ImageMap->size(), QSize(400, 200));
    EXPECT_EQ(dlg.gbInformation->title(), QStringLiteral(" Информация о феоде "));
    EXPECT_EQ(dlg.gbStatus->title(), QStringLiteral(" Статус игрока "));
    EXPECT_EQ(dlg.rbKing->text(), QStringLiteral("Король"));
    EXPECT_EQ(dlg.rbVassal->text(), QStringLiteral("Вассал короля"));
    EXPECT_EQ(dlg.rbIndependent->text(), QStringLiteral("Независимый"));
    EXPECT_EQ(dlg.LName->text(), QStringLiteral("Name"));
    EXPECT_EQ(dlg.LFeudal->text(), QStringLiteral("Feudal"));
    EXPECT_EQ(dlg.LLennikMax->text(), QStringLiteral("LennikMax"));
    EXPECT_TRUE(dlg.rbKing->isChecked());
    EXPECT_FALSE(dlg.btnOk->isEnabled());
    EXPECT_TRUE(dlg.btnOk->isDefault());
    for (const char* name : {"ImageMap", "LFeud", "LName", "LFeudal", "LLennikMax", "rbKing", "rbVassal",
                             "rbIndependent", "btnOk"})
        EXPECT_NE(dlg.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
}

TEST_F(SeatsTest, HoverShowsBorderAndFreeFeuds) {
    dlg.ImageMapMouseMove(80, 50);  // the border column between strips 1 and 2
    EXPECT_EQ(dlg.LName->text(), QStringLiteral("Граница"));
    EXPECT_EQ(dlg.LFeudal->text(), QString());
    EXPECT_EQ(dlg.LLennikMax->text(), QString());
    EXPECT_EQ(HoverFeudal(2), QStringLiteral("Нет"));
    EXPECT_EQ(dlg.LName->text(), QStringLiteral("Лотарингия"));
    EXPECT_EQ(dlg.LLennikMax->text(), QString::number(Game.Feuds[2].Len));
    EXPECT_EQ(Game.Feuds[2].Len, 79 * 200 - 25);
}

TEST_F(SeatsTest, HoverWordsThePickByTheCheckedStatusAndEarlierSeatsByTheirs) {
    SeatPlayer(QStringLiteral("Ульрих"), 1, dlg.rbVassal);  // vassal before any king is known
    SeatPlayer(QStringLiteral("Вольф"), 2, dlg.rbIndependent);
    StartPlayer(QStringLiteral("Хуго"));
    Click(3);
    dlg.rbKing->setChecked(true);
    EXPECT_EQ(HoverFeudal(3), QStringLiteral("Король Хуго"));
    dlg.rbVassal->setChecked(true);
    EXPECT_EQ(HoverFeudal(3), QStringLiteral("Вассал короля Хуго"));
    dlg.rbIndependent->setChecked(true);
    EXPECT_EQ(HoverFeudal(3), QStringLiteral("Независимый барон Хуго"));
    EXPECT_EQ(HoverFeudal(1), QStringLiteral("Вассал короля Ульрих"));
    EXPECT_EQ(HoverFeudal(2), QStringLiteral("Независимый барон Вольф"));
    dlg.rbKing->setChecked(true);
    dlg.btnOkClick();
    StartPlayer(QStringLiteral("Четвёртый"));  // the next player sees the crowned seat
    EXPECT_TRUE(dlg.rbVassal->isChecked());
    EXPECT_EQ(HoverFeudal(3), QStringLiteral("Король Хуго"));
    EXPECT_EQ(HoverFeudal(4), QStringLiteral("Нет"));
}

TEST_F(SeatsTest, RepickingRepaintsWhiteAndClearsTheName) {
    StartPlayer(QStringLiteral("Агнесса"));
    Click(2);
    EXPECT_TRUE(dlg.btnOk->isEnabled());
    EXPECT_EQ(dlg.LFeud->text(), QStringLiteral("Лотарингия"));
    EXPECT_EQ(ColourOf(2), Colors::Red);
    Click(4);
    EXPECT_EQ(Game.SelectFeud, 4);
    EXPECT_EQ(dlg.LFeud->text(), QStringLiteral("Шампань"));
    EXPECT_EQ(ColourOf(2), Colors::White);
    EXPECT_EQ(ColourOf(4), Colors::Red);
    EXPECT_TRUE(Game.Feuds[2].NameFeudal.IsEmpty());
    dlg.rbIndependent->setChecked(true);
    dlg.btnOkClick();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ColourOf(4), Colors::Purple);
    EXPECT_EQ(dlg.MapPicture().GetPixel(Anchor(4).x(), Anchor(4).y()), Colors::Purple);
    EXPECT_EQ(ColourOf(2), Colors::White);
    EXPECT_EQ(Game.Feuds[4].NameFeudal.ToQString(), QStringLiteral("Агнесса"));
    EXPECT_EQ(Game.Feuds[4].Senior, 0);
    // The borders were never painted.
    EXPECT_EQ(dlg.MapPicture().GetPixel(240, 100), Colors::Black);
}

TEST_F(SeatsTest, IgnoredClicks) {
    SeatPlayer(QStringLiteral("Первый"), 3, dlg.rbIndependent);
    StartPlayer(QStringLiteral("Второй"));
    Click(2, Qt::RightButton);
    Click(3);                               // taken by the first player
    dlg.ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, 160, 10);  // border
    dlg.ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, 400, 10);  // off the map
    dlg.ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, -1, -1);
    EXPECT_EQ(Game.SelectFeud, 0);
    EXPECT_FALSE(dlg.btnOk->isEnabled());
    EXPECT_EQ(ColourOf(2), Colors::White);
    EXPECT_EQ(ColourOf(3), Colors::Purple);
    Click(5);
    Click(5);  // the own pick again: nothing changes
    EXPECT_EQ(Game.SelectFeud, 5);
    EXPECT_EQ(ColourOf(5), Colors::Red);
    EXPECT_EQ(Game.Feuds[5].NameFeudal.ToQString(), QStringLiteral("Второй"));
}

TEST_F(SeatsTest, TheCrownIsTakenOnce) {
    SeatPlayer(QStringLiteral("Первый"), 3, dlg.rbKing);
    EXPECT_EQ(Game.KingFeud, 3);
    EXPECT_EQ(Game.Feuds[3].Senior, 3);
    EXPECT_FALSE(dlg.rbKing->isEnabled());
    EXPECT_TRUE(dlg.rbVassal->isChecked());

    SeatPlayer(QStringLiteral("Второй"), 1, dlg.rbIndependent);
    EXPECT_EQ(Game.Feuds[1].Senior, 0);
    EXPECT_TRUE(dlg.rbVassal->isChecked());  // the crown is gone: vassal is the default

    SeatPlayer(QStringLiteral("Третий"), 2, dlg.rbVassal);
    EXPECT_EQ(Game.Feuds[2].Senior, SeniorOfUnknownKing);
    EXPECT_EQ(Game.KingFeud, 3);
    EXPECT_TRUE(dlg.rbVassal->isChecked());

    // The next game's map dialog hands a fresh picture and the crown again.
    dlg.SetMapPicture(StripMap(5));
    dlg.EnableKing();
    EXPECT_TRUE(dlg.rbKing->isEnabled());
    EXPECT_EQ(ColourOf(3), Colors::White);
}

TEST_F(SeatsTest, IndependentLeavesTheCrownOnOffer) {
    SeatPlayer(QStringLiteral("Первый"), 1, dlg.rbIndependent);
    EXPECT_TRUE(dlg.rbKing->isChecked());
    EXPECT_EQ(Game.KingFeud, 0);
}

TEST_F(SeatsTest, MouseOnTheMapPicksAndHovers) {
    StartPlayer(QStringLiteral("Мышь"));
    QTest::mouseMove(dlg.ImageMap, Middle(2));
    QTest::mouseClick(dlg.ImageMap, Qt::RightButton, {}, Middle(2));
    EXPECT_EQ(Game.SelectFeud, 0);
    QTest::mouseClick(dlg.ImageMap, Qt::LeftButton, {}, Middle(2));
    EXPECT_EQ(Game.SelectFeud, 2);
    EXPECT_TRUE(dlg.btnOk->isEnabled());
}

TEST_F(SeatsTest, CloseBoxRejectsOkAccepts) {
    StartPlayer(QStringLiteral("Беглец"));
    {
        ModalDriver driver;
        driver.Then([](QWidget* w) {
            QTest::keyClick(w, Qt::Key_Escape);
            w->close();
        });
        EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    }
    {
        ModalDriver driver;
        driver.Then([this](QWidget*) {
            Click(1);
            dlg.btnOk->click();
        });
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    }
    EXPECT_EQ(Game.KingFeud, 1);
}
