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

// Types text as a keyboard sends it, one character per key (QTest's key
// clicks know only ASCII).
void TypeText(QWidget* w, const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        const int n = text.at(i).isHighSurrogate() ? 2 : 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text.mid(i, n));
        QApplication::sendEvent(w, &press);
        i += n - 1;
    }
}

// The feud dialog over a generated five-strip world in the global game.
struct FeudDialog : ::testing::Test {
    void SetUp() override {
        ClearGameData(Game);
        FillNameTables(Game);
        GridStrips(Game, 5);
        GenerateWorld(Game, TStartingConditions{});
        BeginSeating(Game);
        dlg.SetMapPicture(StripMap(5));
    }

    static QPoint Middle(int k) { return QPoint((k - 1) * 80 + 40, 100); }
    Rgb ColourOf(int k) const { return dlg.MapPicture().GetPixel(Middle(k).x(), Middle(k).y()); }
    // What the flow does before each player.
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
    void SeatPlayer(const QString& name, int k, QRadioButton* status) {
        StartPlayer(name);
        Click(k);
        status->setChecked(true);
        dlg.btnOkClick();
    }

    TFormSelectFeud dlg;
};

}  // namespace

TEST(SeatRules, NameChecksAndFilter) {
    auto s = std::make_unique<TGameState>();
    s->QuantityFeud = 3;
    s->Feuds[2].NameFeudal.Assign(QStringLiteral("Анна"));
    s->Feuds[4].NameFeudal.Assign(QStringLiteral("Борис"));  // beyond this map: no clash
    EXPECT_EQ(CheckNameGamer(*s, QString()), QStringLiteral("Имя не может быть пустым."));
    EXPECT_EQ(CheckNameGamer(*s, QStringLiteral("Анна")), QStringLiteral("Имя уже существует."));
    for (const char* free : {"анна", "Анна ", " ", "Борис"})
        EXPECT_EQ(CheckNameGamer(*s, QString::fromUtf8(free)), QString()) << free;

    EXPECT_EQ(FilterNameGamer(QStringLiteral("Пётр №1 «Ў» Jean-Luc")), QStringLiteral("Пётр №1 «Ў» Jean-Luc"));
    EXPECT_EQ(FilterNameGamer(QStringLiteral("Łukasz 李😀Ω\tИв\n\x7f\x85")), QStringLiteral("ukasz Ив"));
}

TEST(NameDialog, FieldTakesOnly25StorableCharacters) {
    TFormInputNameGamer dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Ввод имени игрока"));
    EXPECT_TRUE(dlg.btnOk->isDefault());
    QLineEdit* edit = dlg.EditNameGamer;
    EXPECT_EQ(edit->objectName(), QStringLiteral("EditNameGamer"));
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

TEST(NameDialog, RefusesEmptyAndTakenNames) {
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

TEST_F(FeudDialog, LayoutAndHover) {
    EXPECT_EQ(dlg.gbInformation->title(), QStringLiteral(" Информация о феоде "));
    EXPECT_EQ(dlg.gbStatus->title(), QStringLiteral(" Статус игрока "));
    EXPECT_EQ(dlg.rbVassal->text(), QStringLiteral("Вассал короля"));
    EXPECT_EQ(dlg.rbIndependent->text(), QStringLiteral("Независимый"));
    EXPECT_EQ(dlg.LName->text() + dlg.LFeudal->text() + dlg.LLennikMax->text(),
              QStringLiteral("NameFeudalLennikMax"));
    EXPECT_TRUE(dlg.rbKing->isChecked());
    EXPECT_FALSE(dlg.btnOk->isEnabled());

    dlg.ImageMapMouseMove(80, 50);  // the border between strips 1 and 2
    EXPECT_EQ(dlg.LName->text(), QStringLiteral("Граница"));
    EXPECT_EQ(dlg.LFeudal->text() + dlg.LLennikMax->text(), QString());
    EXPECT_EQ(HoverFeudal(2), QStringLiteral("Нет"));
    EXPECT_EQ(dlg.LName->text(), QStringLiteral("Лотарингия"));
    EXPECT_EQ(dlg.LLennikMax->text(), QString::number(79 * 200 - 25));
}

TEST_F(FeudDialog, HoverWordsThePickByTheCheckedStatusAndEarlierSeatsByTheirs) {
    SeatPlayer(QStringLiteral("Ульрих"), 1, dlg.rbVassal);  // a vassal before any king is known
    SeatPlayer(QStringLiteral("Вольф"), 2, dlg.rbIndependent);
    StartPlayer(QStringLiteral("Хуго"));
    Click(3);
    const struct {
        QRadioButton* status;
        const char* text;
    } picks[] = {{dlg.rbKing, "Король Хуго"},
                 {dlg.rbVassal, "Вассал короля Хуго"},
                 {dlg.rbIndependent, "Независимый барон Хуго"}};
    for (const auto& p : picks) {
        p.status->setChecked(true);
        EXPECT_EQ(HoverFeudal(3), QString::fromUtf8(p.text));
    }
    EXPECT_EQ(HoverFeudal(1), QStringLiteral("Вассал короля Ульрих"));
    EXPECT_EQ(HoverFeudal(2), QStringLiteral("Независимый барон Вольф"));
    dlg.rbKing->setChecked(true);
    dlg.btnOkClick();
    StartPlayer(QStringLiteral("Четвёртый"));
    EXPECT_EQ(HoverFeudal(3), QStringLiteral("Король Хуго"));
}

TEST_F(FeudDialog, RepickingRepaintsWhiteAndClearsTheName) {
    StartPlayer(QStringLiteral("Агнесса"));
    QTest::mouseClick(dlg.ImageMap, Qt::LeftButton, {}, Middle(2));
    EXPECT_TRUE(dlg.btnOk->isEnabled());
    EXPECT_EQ(dlg.LFeud->text(), QStringLiteral("Лотарингия"));
    EXPECT_EQ(ColourOf(2), Colors::Red);
    Click(4);
    EXPECT_EQ(Game.SelectFeud, 4);
    EXPECT_EQ(dlg.LFeud->text(), QStringLiteral("Шампань"));
    EXPECT_EQ(ColourOf(2), Colors::White);
    EXPECT_TRUE(Game.Feuds[2].NameFeudal.IsEmpty());
    dlg.rbIndependent->setChecked(true);
    dlg.btnOkClick();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ColourOf(4), Colors::Purple);
    EXPECT_EQ(ColourOf(2), Colors::White);
    EXPECT_EQ(dlg.MapPicture().GetPixel(240, 100), Colors::Black);
    EXPECT_EQ(Game.Feuds[4].NameFeudal.ToQString(), QStringLiteral("Агнесса"));
    EXPECT_EQ(Game.Feuds[4].Senior, 0);
}

TEST_F(FeudDialog, IgnoredClicks) {
    SeatPlayer(QStringLiteral("Первый"), 3, dlg.rbIndependent);
    StartPlayer(QStringLiteral("Второй"));
    Click(2, Qt::RightButton);
    Click(3);  // taken by the first player
    for (QPoint p : {QPoint(160, 10), QPoint(400, 10), QPoint(-1, -1)})  // border, off the map
        dlg.ImageMapMouseDown(Qt::LeftButton, Qt::NoModifier, p.x(), p.y());
    EXPECT_EQ(Game.SelectFeud, 0);
    EXPECT_FALSE(dlg.btnOk->isEnabled());
    EXPECT_EQ(ColourOf(2), Colors::White);
    EXPECT_EQ(ColourOf(3), Colors::Purple);
    Click(5);
    Click(5);  // the own pick again changes nothing
    EXPECT_EQ(ColourOf(5), Colors::Red);
    EXPECT_EQ(Game.Feuds[5].NameFeudal.ToQString(), QStringLiteral("Второй"));
}

TEST_F(FeudDialog, TheCrownIsTakenOnce) {
    SeatPlayer(QStringLiteral("Первый"), 1, dlg.rbIndependent);
    EXPECT_TRUE(dlg.rbKing->isChecked());  // the crown is still on offer
    SeatPlayer(QStringLiteral("Второй"), 3, dlg.rbKing);
    EXPECT_EQ(Game.KingFeud, 3);
    EXPECT_EQ(Game.Feuds[3].Senior, 3);
    EXPECT_FALSE(dlg.rbKing->isEnabled());
    EXPECT_TRUE(dlg.rbVassal->isChecked());
    SeatPlayer(QStringLiteral("Третий"), 2, dlg.rbIndependent);
    EXPECT_TRUE(dlg.rbVassal->isChecked());
    SeatPlayer(QStringLiteral("Четвёртый"), 4, dlg.rbVassal);
    EXPECT_EQ(Game.Feuds[4].Senior, SeniorOfUnknownKing);
    EXPECT_EQ(Game.KingFeud, 3);

    // The next game's map dialog hands over a fresh picture and the crown.
    dlg.SetMapPicture(StripMap(5));
    dlg.EnableKing();
    EXPECT_TRUE(dlg.rbKing->isEnabled());
    EXPECT_EQ(ColourOf(3), Colors::White);
}
