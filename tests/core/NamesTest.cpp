#include <memory>

#include <gtest/gtest.h>

#include "core/GameState.h"
#include "core/Names.h"

namespace {

struct NamesTest : ::testing::Test {
    std::unique_ptr<TGameState> s = std::make_unique<TGameState>();
    void SetUp() override {
        FillNameTables(*s);
        s->QuantityFeud = 20;
    }
    void Name(int n, const QString& name) { s->Feuds[n].NameFeudal.Assign(name); }
};

TEST_F(NamesTest, TablesHoldTwelveEntriesAndEmptyRest) {
    EXPECT_EQ(s->NamesFeud[1].Name, QStringLiteral("Бургундия"));
    EXPECT_EQ(s->NamesFeud[10].Name, QStringLiteral("Анжа"));
    EXPECT_EQ(s->NamesFeud[10].PossName, QStringLiteral("Анжуйский"));
    EXPECT_EQ(s->NamesFeud[12].PossName, QStringLiteral("Булонский"));
    EXPECT_EQ(s->NamesFeudal[12], QStringLiteral("Вильгельм"));
    for (int i = 13; i <= 20; ++i) {
        EXPECT_TRUE(s->NamesFeud[i].Name.isEmpty());
        EXPECT_TRUE(s->NamesFeud[i].PossName.isEmpty());
        EXPECT_TRUE(s->NamesFeudal[i].isEmpty());
    }
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

TEST_F(NamesTest, FeudsBeyondTheTableEndInTheAppendedSpace) {
    Name(15, QStringLiteral("Ян"));
    EXPECT_EQ(GetFullNameFeudal(*s, 15), QStringLiteral("Барон Ян "));
    // A computer feudal there has an empty name: two spaces after the title word.
    EXPECT_EQ(GetFullNameFeudal(*s, 16), QStringLiteral("Барон  "));
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
