// The record image: fields at their places, in the byte order and width the
// file promises, whatever the state holds.
#include <algorithm>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "SaveTestSupport.h"

namespace {

class SaveRecordTest : public ::testing::Test {
protected:
    std::unique_ptr<TGameState> s = std::make_unique<TGameState>();
    std::unique_ptr<TSaveRecord> record = std::make_unique<TSaveRecord>();

    const uint8_t* Feud(int n) const { return record->data() + size_t(n - 1) * 376; }
    const uint8_t* Lennik(int k) const { return record->data() + 87520 + size_t(k - 1) * 44; }
    uint8_t At(size_t offset) const { return (*record)[offset]; }
};

TEST_F(SaveRecordTest, FieldsOfEveryTypeAtTheirOffsets) {
    TFeud& f = s->Feuds[7];
    f.NameFeud = 7;
    f.LennikAppear = -2;            // an int32 before a reserved gap ...
    f.Grain = 0x01020304;           // ... and one after it
    f.Fertility = 1.0;
    f.PastureHorse = -1.5;
    f.Auth = 50;
    f.WeekJobLennik = 4;            // after the reserved byte 134
    f.Level = 9;                    // first of the 31 figures
    f.Discipline = 11;              // Morale comes before Discipline
    f.PrisonerOur = -7;             // the last figure
    f.ArmyFeud = 6;
    f.DipToFeudalShow[1] = Enemy;
    f.DipToFeudalTrue[20] = PersEnemy;
    f.DipFromFeudalTrue[1] = Ally;
    f.Neighbour[20] = 1;
    f.DipView = 3;
    f.NameFeudal.Assign(QStringLiteral("Ярослав Ёж"));
    std::memset(f.NameFeudal.Data + 10, 'x', 15);  // left by a longer name; must not leak
    f.Gamer = 1;
    s->Feuds[8].NameFeudal.Assign(QStringLiteral("АбвгдежзийклмнопрстуфхцчшщЪ"));  // cut to 25

    BuildSaveRecord(*s, *record);
    const uint8_t* p = Feud(7);
    EXPECT_EQ(p - record->data(), 2256);
    EXPECT_EQ(p[0], 7);
    EXPECT_EQ(Int32At(p, 12), -2);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(p + 20), 4), QByteArray("\x04\x03\x02\x01"));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(p + 56), 8), QByteArray("\0\0\0\0\0\0\xF0\x3F", 8));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(p + 48), 8), QByteArray("\0\0\0\0\0\0\xF8\xBF", 8));
    EXPECT_EQ(Int32At(p, 124), 50);
    EXPECT_EQ(p[135], 4);
    EXPECT_EQ(Int32At(p, 140), 9);
    EXPECT_EQ(Int32At(p, 172), 11);
    EXPECT_EQ(Int32At(p, 260), -7);
    EXPECT_EQ(p[268], 6);
    EXPECT_EQ(p[272], 0xFF);
    EXPECT_EQ(p[311], 0xFE);
    EXPECT_EQ(p[332], 0x02);
    EXPECT_EQ(p[371], 1);
    EXPECT_EQ(p[373], 3);
    // The name in Windows-1251, zeros after it, Gamer right behind its 25 bytes.
    const QByteArray name("\x0A\xDF\xF0\xEE\xF1\xEB\xE0\xE2\x20\xA8\xE6", 11);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(p + 92), 26), name + QByteArray(15, '\0'));
    EXPECT_EQ(p[118], 1);
    EXPECT_EQ(Feud(8)[92], 25);
    EXPECT_EQ(Feud(8)[117], 0xF8);  // "ш", the 25th letter
    EXPECT_EQ(Feud(8)[118], 0);
}

TEST_F(SaveRecordTest, MapAllSlotsTurnOrderAndCalendarWhateverTheMap) {
    FillGame(*s, 5);
    s->Map[1][0] = 3;
    s->Map[199][399] = 4;
    // Left over from an earlier, larger game of the same run.
    s->Feuds[20].Len = 777;
    s->Lenniks[MaxLennik] = TLennik{4, 1, 1, 11, -12, 13, 14, 15, 16, 17, 18, 19, 20};
    s->TurnOrder[20] = 9;
    s->CurrentFeud = 3;

    BuildSaveRecord(*s, *record);
    EXPECT_EQ(At(7520 + 400), 3);
    EXPECT_EQ(At(7520 + 79999), 4);
    EXPECT_EQ(Int32At(Feud(20), 4), 777);
    EXPECT_EQ(Lennik(2)[0], 2);
    EXPECT_EQ(Int32At(Lennik(2), 16), 25);  // Health
    const uint8_t* last = Lennik(MaxLennik);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(last), 4), QByteArray("\x04\x01\x01\x00", 4));
    EXPECT_EQ(Int32At(last, 8), -12);
    EXPECT_EQ(Int32At(last, 40), 20);
    EXPECT_EQ(At(3607520), 1);
    EXPECT_EQ(At(3607539), 9);
    EXPECT_EQ(At(3607540), 3);
    EXPECT_EQ(At(3607541), 5);
    // Week 1 of year 1, between reserved zeros.
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(record->data() + 3607542), 10),
              QByteArray("\0\0\x01\0\0\0\x01\0\0\0", 10));
}

TEST_F(SaveRecordTest, ReservedBytesAreZeroWhateverTheState) {
    // Every byte of every feud record and lennik slot set, name lengths out of range.
    std::memset(static_cast<void*>(s->Feuds), 0xAB, sizeof s->Feuds);
    std::memset(static_cast<void*>(s->Lenniks), 0xAB, sizeof s->Lenniks);
    s->Week = 0xAB;

    BuildSaveRecord(*s, *record);
    const std::pair<size_t, size_t> reserved[] = {{1, 3}, {16, 4}, {36, 4}, {65, 3}, {121, 3}, {134, 1}, {138, 2}, {264, 4}, {374, 2}};
    for (int n = 1; n <= MaxFeud; ++n) {
        for (auto [offset, size] : reserved)
            for (size_t i = 0; i < size; ++i) ASSERT_EQ(Feud(n)[offset + i], 0) << "feud " << n << " byte " << offset + i;
        EXPECT_EQ(Feud(n)[92], 25);  // the length cut to the name's capacity
    }
    for (int k = 1; k <= MaxLennik; ++k) ASSERT_EQ(Lennik(k)[3], 0) << "lennik " << k;
    for (size_t i : {3607542, 3607543, 3607549, 3607550, 3607551}) EXPECT_EQ(At(i), 0) << i;

    // Building again from an empty state leaves nothing of the first build.
    ClearGameData(*s);
    BuildSaveRecord(*s, *record);
    EXPECT_EQ(std::count(record->begin(), record->end(), 0), long(SaveRecordSize));
}

// The block-copied record against the one written field by field: states of
// random bytes everywhere (padding, name tails and out-of-range name lengths
// included), written over a record full of other bytes, so that a byte the
// block copies forget to write shows too.
TEST_F(SaveRecordTest, BlockCopiesEqualTheFieldByFieldRecord) {
    auto expected = std::make_unique<TSaveRecord>();
    std::mt19937 rng(7321);
    auto randomise = [&](void* p, size_t n) {
        auto* b = static_cast<uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) b[i] = uint8_t(rng());
    };
    for (int round = 0; round < 12; ++round) {
        ClearGameData(*s);
        if (round > 0) {
            randomise(s->Feuds, sizeof s->Feuds);
            randomise(s->Lenniks, sizeof s->Lenniks);
            randomise(s->Map, sizeof s->Map);
            randomise(s->TurnOrder, sizeof s->TurnOrder);
            s->CurrentFeud = uint8_t(rng());
            s->QuantityFeud = uint8_t(rng());
            s->Year = int32_t(rng());
            s->Week = uint8_t(rng());
            for (int n = 1; n <= MaxFeud; ++n) {
                // Names of every length, the capacity and past it.
                s->Feuds[n].NameFeudal.Length = uint8_t(round % 3 == 0 ? rng() % 256 : rng() % 27);
                s->Feuds[n].PastureCow = double(int32_t(rng())) / 7.0;
            }
        }
        std::memset(record->data(), 0xCD, record->size());
        std::memset(expected->data(), 0x5A, expected->size());
        BuildSaveRecord(*s, *record);
        BuildSaveRecordByFields(*s, *expected);
        ASSERT_EQ(std::memcmp(record->data(), expected->data(), SaveRecordSize), 0)
            << "round " << round << ", first difference at byte "
            << std::mismatch(record->begin(), record->end(), expected->begin()).first - record->begin();
    }
}

}  // namespace
