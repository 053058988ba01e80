#include <memory>

#include <gtest/gtest.h>

#include <QStringList>

#include "core/DataPath.h"
#include "core/GameState.h"
#include "core/Names.h"
#include "core/Picture.h"
#include "core/Random.h"
#include "newgame/RegionDetection.h"
#include "newgame/WorldGeneration.h"

namespace {

struct NamesTest : ::testing::Test {
    std::unique_ptr<TGameState> s = std::make_unique<TGameState>();
    void SetUp() override {
        FillNameTables(*s);
        s->QuantityFeud = 20;
    }
    void Name(int n, const QString& name) { s->Feuds[n].NameFeudal.Assign(name); }
};

TEST_F(NamesTest, TwentyFeudGameNamesEveryFeudAndEveryComputerFeudal) {
    // A new game on the bundled map of twenty feuds, every feudal played by
    // the computer; the king is drawn.
    Picture map;
    ASSERT_TRUE(map.Load(DataFilePath(QStringLiteral("maps/twenty.bmp"))));
    InitializeMap(*s, map);
    ASSERT_EQ(s->QuantityFeud, 20);
    GenerateWorld(*s, TStartingConditions{});
    BeginSeating(*s);
    Random random(20);
    SettleCrown(*s, random);
    SettleVassalsAndRelations(*s, random);
    ASSERT_TRUE(IsFeud(*s, s->KingFeud));
    const struct {
        int feud;
        const char* name;
        const char* title;
    } rows[] = {
        {1, "Бургундия", "Барон Карл Бургундский"},
        {2, "Лотарингия", "Барон Филипп Лотарингский"},
        {10, "Анжа", "Барон Фердинанд Анжуйский"},
        {11, "Бретань", "Барон Генрих Бретонский"},
        {12, "Булонь", "Барон Вильгельм Булонский"},
        {13, "Аквитания", "Барон Конрад Аквитанский"},
        {14, "Бавария", "Барон Рудольф Баварский"},
        {15, "Швабия", "Барон Эдуард Швабский"},
        {16, "Тюрингия", "Барон Альбрехт Тюрингский"},
        {17, "Прованс", "Барон Леопольд Провансальский"},
        {18, "Брабант", "Барон Сигизмунд Брабантский"},
        {19, "Моравия", "Барон Лотарь Моравский"},
        {20, "Савойя", "Барон Балдуин Савойский"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.feud);
        EXPECT_EQ(FeudName(*s, row.feud), QString::fromUtf8(row.name));
        const QString title = QString::fromUtf8(row.title);
        // The king drawn among them bears his title without the feud's adjective.
        EXPECT_EQ(GetFullNameFeudal(*s, row.feud),
                  row.feud == s->KingFeud ? QStringLiteral("Король ") + title.section(u' ', 1, 1) : title);
    }
    // No two feuds and no two computer feudals share a name.
    QStringList feuds, feudals;
    for (int i = 1; i <= 20; ++i) {
        feuds << s->NamesFeud[i].Name;
        feudals << s->NamesFeudal[i];
    }
    EXPECT_EQ(feuds.removeDuplicates() + feudals.removeDuplicates(), 0);
}

TEST_F(NamesTest, KingAndBarons) {
    Name(1, QStringLiteral("Карл"));
    Name(2, QStringLiteral("Филипп"));
    s->KingFeud = 1;
    EXPECT_EQ(GetFullNameFeudal(*s, 1), QStringLiteral("Король Карл"));
    EXPECT_EQ(GetFullNameFeudal(*s, 2), QStringLiteral("Барон Филипп Лотарингский"));
    // Before a king is chosen everybody is a baron.
    s->KingFeud = 0;
    EXPECT_EQ(GetFullNameFeudal(*s, 1), QStringLiteral("Барон Карл Бургундский"));
}

TEST_F(NamesTest, AnEmptyNameLeavesTwoSpaces) {
    // A game saved before every feud had a name keeps its nameless computer
    // feudals: their title reads the title word, two spaces and the adjective.
    EXPECT_EQ(GetFullNameFeudal(*s, 16), QStringLiteral("Барон  Тюрингский"));
}

TEST_F(NamesTest, LongestNamesAreNotCut) {
    const QString name25 = QStringLiteral("Абвгдежзийклмнопрстуфхцчш");
    ASSERT_EQ(name25.size(), 25);
    Name(3, name25);
    s->KingFeud = 3;
    const QString king = GetFullNameFeudal(*s, 3);
    EXPECT_EQ(king.size(), 32);
    EXPECT_EQ(king, QStringLiteral("Король ") + name25);
    s->KingFeud = 1;
    EXPECT_EQ(GetFullNameFeudal(*s, 3), QStringLiteral("Барон ") + name25 + QStringLiteral(" Саксонский"));
}

TEST_F(NamesTest, NameIsCutAtTwentyFiveAndStoredInCp1251) {
    Name(4, QStringLiteral("Ёжик ёлкин №1 и ещё много букв сверх меры"));
    EXPECT_EQ(s->Feuds[4].NameFeudal.Length, 25);
    EXPECT_EQ(static_cast<unsigned char>(s->Feuds[4].NameFeudal.Data[0]), 0xA8);  // Ё
    EXPECT_EQ(static_cast<unsigned char>(s->Feuds[4].NameFeudal.Data[5]), 0xB8);  // ё
    EXPECT_EQ(static_cast<unsigned char>(s->Feuds[4].NameFeudal.Data[11]), 0xB9); // №
    EXPECT_EQ(s->Feuds[4].NameFeudal.ToQString(), QStringLiteral("Ёжик ёлкин №1 и ещё много"));
}

TEST(Cp1251Test, RoundTripOfEveryDefinedByte) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) continue;
        const char c = static_cast<char>(b);
        const QString text = FromCp1251(&c, 1);
        ASSERT_TRUE(FitsCp1251(text)) << b;
        const QByteArray back = ToCp1251(text);
        ASSERT_EQ(back.size(), 1);
        EXPECT_EQ(static_cast<unsigned char>(back[0]), b);
    }
    EXPECT_FALSE(FitsCp1251(QStringLiteral("日本")));
    EXPECT_FALSE(FitsCp1251(QStringLiteral("Ł")));
    EXPECT_TRUE(FitsCp1251(QStringLiteral("Карл «Смелый» — €")));
}

}  // namespace
