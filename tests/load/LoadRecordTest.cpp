// The save reader on records and files: every harmful record and file is
// refused with its reason and changes nothing; the king and everything else
// the file does not hold come back as the game had them.
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <random>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "PlayedGame.h"
#include "core/Names.h"
#include "engine/Battle.h"
#include "save/SaveGame.h"
#include "support/TestSupport.h"

namespace {

using Record = TSaveRecord;

size_t FeudAt(int n, size_t offset) { return size_t(n - 1) * SaveFeudSize + offset; }
size_t LennikAt(int k, size_t offset) { return SaveLenniksOffset + size_t(k - 1) * SaveLennikSize + offset; }
void PutInt32(Record& r, size_t offset, int32_t v) { std::memcpy(r.data() + offset, &v, 4); }
// "3 742", as the reasons write numbers.
QString Grouped(int v) {
    QString s = QString::number(v);
    for (qsizetype i = s.size() - 3; i > 0; i -= 3) s.insert(i, QLatin1Char(' '));
    return s;
}
int32_t Int32(const Record& r, size_t offset) {
    int32_t v;
    std::memcpy(&v, r.data() + offset, 4);
    return v;
}

// A game on the bundled map of twelve feuds, the player at 2 its king and the
// one at 6 independent, four weeks on, at a player's turn; and another, of two
// feuds, as the game a refused record must leave alone.
class LoadRecordTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base = new TGameState();
        Random random(7);
        NoteMessages msgs;
        ASSERT_TRUE(NewGameOnMap(*base, "base.bmp", {{2, TSeatStatus::King}, {6, TSeatStatus::Independent}}, random,
                                 msgs));
        PlayWeeks(*base, 4, random, msgs);
        baseRecord = new Record;
        BuildSaveRecord(*base, *baseRecord);
        other = new TGameState();
        ASSERT_TRUE(NewGameOnMap(*other, "two.bmp", {{1, TSeatStatus::Independent}}, random, msgs));
    }
    static void TearDownTestSuite() {
        delete base;
        delete baseRecord;
        delete other;
    }

    static TGameState* base;
    static Record* baseRecord;
    static TGameState* other;
    std::unique_ptr<Record> record = std::make_unique<Record>();
};

TGameState* LoadRecordTest::base = nullptr;
Record* LoadRecordTest::baseRecord = nullptr;
TGameState* LoadRecordTest::other = nullptr;

TEST_F(LoadRecordTest, HarmfulRecordsAreRefusedWithTheirReasonAndChangeNothing) {
    const TGameState& b = *base;
    ASSERT_EQ(b.QuantityFeud, 12);
    ASSERT_TRUE(b.Feuds[2].Gamer && b.Feuds[6].Gamer && !b.Feuds[3].Gamer);
    // Feud 3's fiefs, and a feud whose lenniks serve.
    const int32_t len = b.Feuds[3].Len;
    int serving = 0;
    for (int n = 1; n <= 12 && !serving; ++n)
        if (b.Feuds[n].LennikAppear > 0) serving = n;
    ASSERT_NE(serving, 0);
    int notNeighbour = 0;
    for (int n = 1; n <= 12 && !notNeighbour; ++n)
        if (!b.Feuds[3].Neighbour[n]) notNeighbour = n;
    ASSERT_NE(notNeighbour, 0);
    const QString x4 = QString::number(b.Feuds[4].PosX), y4 = QString::number(b.Feuds[4].PosY);
    const int first = b.TurnOrder[2];

    const struct {
        const char* what;
        std::function<void(Record&)> harm;
        QString reason;  // how the reason begins
    } cases[] = {
        {"one feud", [](Record& r) { r[SaveQuantityFeudOffset] = 1; }, "число феодов на карте 1, а оно бывает от 2 до 20"},
        {"21 feuds", [](Record& r) { r[SaveQuantityFeudOffset] = 21; }, "число феодов на карте 21, а оно бывает от 2 до 20"},
        {"reserved byte", [](Record& r) { r[3607543] = 7; }, "в зарезервированном байте 3 607 543 записано 7"},
        {"year 0", [](Record& r) { PutInt32(r, SaveYearOffset, 0); }, "год 0, а годы считаются с первого"},
        {"week 8", [](Record& r) { r[SaveWeekOffset] = 8; }, "неделя 8, а в году недели с 1 по 7"},
        {"turn order off the map", [](Record& r) { r[SaveTurnOrderOffset + 2] = 13; },
         "в очереди ходов на месте 3 феод 13, а феодов на карте 12"},
        {"turn order twice", [](Record& r) { r[SaveTurnOrderOffset + 2] = r[SaveTurnOrderOffset + 1]; },
         QStringLiteral("в очереди ходов феод %1 стоит дважды").arg(first)},
        {"moving feud off the map", [](Record& r) { r[SaveCurrentFeudOffset] = 13; }, "ходит феод 13, а феодов на карте 12"},
        {"the computer moving", [](Record& r) { r[SaveCurrentFeudOffset] = 3; },
         "ходит феод 3, а им правит компьютер; игру сохраняют в ход игрока"},
        {"king off the map", [](Record& r) { r[SaveKingFeudOffset] = 13; }, "король — феод 13, а феодов на карте 12"},
        {"grid byte off the map", [](Record& r) { r[SaveMapOffset + 5 * 400 + 17] = 13; },
         "на карте в строке 5, столбце 17 феод 13, а феодов на карте 12"},
        {"feud off the grid",
         [](Record& r) {
             for (size_t i = 0; i < 80000; ++i)
                 if (r[SaveMapOffset + i] == 12) r[SaveMapOffset + i] = 0;
         },
         "у феода 12 нет ни одной точки на карте"},
        {"feud's reserved byte", [](Record& r) { r[FeudAt(3, 1)] = 9; }, "у феода 3 в зарезервированном байте 1 записи записано 9"},
        {"name index", [](Record& r) { r[FeudAt(3, 0)] = 4; }, "у феода 3 номер названия 4, а должен быть 3"},
        {"name too long", [](Record& r) { r[FeudAt(3, 92)] = 26; },
         "у феода 3 длина имени феодала 26, а длиннее 25 букв имён не бывает"},
        {"fiefs", [&](Record& r) { PutInt32(r, FeudAt(3, 4), len + 1); },
         QStringLiteral("у феода 3 ленов %1, а по карте %2").arg(Grouped(len + 1), Grouped(len))},
        {"crossing time", [](Record& r) { r[FeudAt(3, 64)] += 1; }, "у феода 3 время перехода "},
        {"anchor off the map", [](Record& r) { PutInt32(r, FeudAt(3, 84), 400); },
         QStringLiteral("у феода 3 опорная точка (400, %1) лежит вне карты 400 на 200").arg(b.Feuds[3].PosY)},
        {"anchor on another feud",
         [](Record& r) {
             PutInt32(r, FeudAt(3, 84), Int32(r, FeudAt(4, 84)));
             PutInt32(r, FeudAt(3, 88), Int32(r, FeudAt(4, 88)));
         },
         QStringLiteral("у феода 3 опорная точка (%1, %2) лежит на земле феода 4").arg(x4, y4)},
        {"negative lenniks", [](Record& r) { PutInt32(r, FeudAt(3, 8), -1); }, "у феода 3 ленников -1, а их бывает от 0"},
        {"more lenniks than fiefs", [&](Record& r) { PutInt32(r, FeudAt(3, 8), len + 1); }, "у феода 3 ленников "},
        {"lenniks added", [](Record& r) { PutInt32(r, FeudAt(3, 68), -1); },
         "у феода 3 «Добавлено ленников» равно -1, а меньше нуля не бывает"},
        {"health", [](Record& r) { PutInt32(r, FeudAt(3, 156), -1); },
         "у феода 3 «Здоровье» равно -1, а меньше нуля не бывает"},
        {"prisoners", [](Record& r) { PutInt32(r, FeudAt(3, 260), INT32_MIN); },
         "у феода 3 «Пленено своих» равно -2 147 483 648, а меньше нуля не бывает"},
        {"authority", [](Record& r) { PutInt32(r, FeudAt(3, 124), 101); }, "у феода 3 авторитет 101, а он бывает от 0 до 100"},
        {"fertility",
         [](Record& r) {
             const double nan = std::nan("");
             std::memcpy(r.data() + FeudAt(3, 56), &nan, 8);
         },
         "у феода 3 плодородность — не конечное число"},
        {"player flag", [](Record& r) { r[FeudAt(3, 118)] = 2; }, "у феода 3 признак «игрок» равен 2, а бывает 0 или 1"},
        {"service flag", [](Record& r) { r[FeudAt(3, 132)] = 2; },
         "у феода 3 признак «ленники на службе» равен 2, а бывает 0 или 1"},
        {"diplomacy map flag", [](Record& r) { r[FeudAt(3, 372)] = 2; },
         "у феода 3 признак «карта дипломатии» равен 2, а бывает 0 или 1"},
        {"senior off the map", [](Record& r) { r[FeudAt(3, 119)] = 13; }, "у феода 3 сеньор 13, а феодов на карте 12"},
        {"senior of the seating", [](Record& r) { r[FeudAt(3, 119)] = 255; }, "у феода 3 сеньор 255, а феодов на карте 12"},
        {"army off the map", [](Record& r) { r[FeudAt(3, 268)] = 13; }, "у феода 3 войско стоит в феоде 13, а феодов на карте 12"},
        {"target off the map", [](Record& r) { r[FeudAt(3, 270)] = 13; },
         "у феода 3 приказ войску нацелен на феод 13, а феодов на карте 12"},
        {"army order", [](Record& r) { r[FeudAt(3, 269)] = 3; }, "у феода 3 приказ войску 3, а бывает от 0 до 2"},
        {"order without target",
         [](Record& r) {
             r[FeudAt(3, 269)] = 2;
             r[FeudAt(3, 270)] = 0;
         },
         "у феода 3 приказ войску без цели"},
        {"order without army",
         [](Record& r) {
             r[FeudAt(3, 268)] = 0;
             r[FeudAt(3, 269)] = 1;
             r[FeudAt(3, 270)] = 4;
         },
         "у феода 3 приказ войску, которого нет ни в одном феоде"},
        {"march time", [](Record& r) { r[FeudAt(3, 271)] = 1; }, "у феода 3 время марша 1, а между неделями оно 0"},
        {"declared relation", [](Record& r) { r[FeudAt(3, 271 + 5)] = 3; },
         "у феода 3 объявленное отношение к феоду 5 равно 3, а бывает от -2 до 2"},
        {"true relation of another", [](Record& r) { r[FeudAt(3, 331 + 12)] = uint8_t(-3); },
         "у феода 3 настоящее отношение феода 12 равно -3, а бывает от -2 до 2"},
        {"diplomacy view", [](Record& r) { r[FeudAt(3, 373)] = 4; }, "у феода 3 вид карты дипломатии 4, а бывает от 0 до 3"},
        {"neighbour", [&](Record& r) { r[FeudAt(3, 351 + size_t(notNeighbour))] = 1; },
         QStringLiteral("у феода 3 соседство с феодом %1 записано как 1, а по карте 0").arg(notNeighbour)},
        {"no player",
         [](Record& r) {
             r[FeudAt(2, 118)] = 0;
             r[FeudAt(6, 118)] = 0;
         },
         "ни одним феодом не правит игрок"},
        {"lennik's lord off the map", [](Record& r) { r[LennikAt(1, 0)] = 13; }, "у ленника 1 сеньор — феод 13, а феодов на карте 12"},
        {"lennik's service flag", [](Record& r) { r[LennikAt(1, 1)] = 2; }, "у ленника 1 признак «на службе» равен 2"},
        {"lennik's castle flag", [](Record& r) { r[LennikAt(1, 2)] = 2; }, "у ленника 1 признак «в замке» равен 2"},
        {"lennik's reserved byte", [](Record& r) { r[LennikAt(1, 3)] = 5; }, "у ленника 1 в зарезервированном байте 3 записано 5"},
        {"free slot serving", [](Record& r) { r[LennikAt(MaxLennik, 1)] = 1; }, "свободное место ленника 80 000 числится на службе"},
        {"free slot in the castle", [](Record& r) { r[LennikAt(MaxLennik, 2)] = 1; },
         "свободное место ленника 80 000 числится на службе"},
        {"lennik's battles", [](Record& r) { PutInt32(r, LennikAt(2, 40), -1); },
         "у ленника 2 «Битвы» равно -1, а меньше нуля не бывает"},
        {"serving count", [&](Record& r) { PutInt32(r, FeudAt(serving, 12), Int32(r, FeudAt(serving, 12)) + 1); },
         QStringLiteral("у феода %1 на службе %2 ленников, а по их записям %3")
             .arg(serving)
             .arg(b.Feuds[serving].LennikAppear + 1)
             .arg(b.Feuds[serving].LennikAppear)},
        {"serving without a call", [&](Record& r) { r[FeudAt(serving, 132)] = 0; },
         QStringLiteral("у феода %1 служат ленники, а признак «ленники на службе» равен 0").arg(serving)},
        {"more slots than fiefs",
         [&](Record& r) {
             // Free slots given to feud 3 until it holds one more lennik than fiefs.
             int held = 0;
             for (int k = 1; k <= MaxLennik; ++k) held += r[LennikAt(k, 0)] == 3;
             for (int k = MaxLennik; k >= 1 && held <= len; --k)
                 if (r[LennikAt(k, 0)] == 0) {
                     r[LennikAt(k, 0)] = 3;
                     ++held;
                 }
         },
         QStringLiteral("у феода 3 записей ленников %1, а ленов %2").arg(Grouped(len + 1), Grouped(len))},
    };

    auto target = std::make_unique<TGameState>();
    auto before = std::make_unique<TGameState>();
    QString reason;
    ASSERT_TRUE(ReadSaveRecord(*baseRecord, *target, &reason)) << reason.toStdString();  // the base is sound
    FillNameTables(*target);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The game in place is another one, with names of its own.
        BuildSaveRecord(*other, *record);
        ASSERT_TRUE(ReadSaveRecord(*record, *target, &reason)) << reason.toStdString();
        *before = *target;
        *record = *baseRecord;
        c.harm(*record);
        reason.clear();
        EXPECT_FALSE(ReadSaveRecord(*record, *target, &reason));
        EXPECT_TRUE(reason.startsWith(c.reason)) << reason.toStdString() << "\n  expected " << c.reason.toStdString();
        EXPECT_TRUE(SameGame(*target, *before));
    }
}

// Only a regular file of the record's size is read, and nothing waits on a
// pipe or a device.
TEST_F(LoadRecordTest, OnlyAWholeRegularFileIsRead) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString good = tmp.filePath("игра.mcs");
    ASSERT_TRUE(WriteSaveFile(good, *baseRecord, nullptr));
    const auto file = [&](const char* name, qsizetype size) {
        QFile f(tmp.filePath(QString::fromUtf8(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, '\0'));
        return f.fileName();
    };
    const QString sizeReason = QStringLiteral(", а сохранённая игра занимает 3 607 552 байта");
    struct Case {
        QString what, path, reason;
    };
    QList<Case> cases = {
        {"a good file", good, QString()},
        {"no such file", tmp.filePath("нет.mcs"), "такого файла нет"},
        {"no name", QString(), "имя файла не задано"},
        {"a folder", tmp.path(), "это папка, а не файл"},
        {"empty", file("пусто.mcs", 0), "размер файла 0 байт" + sizeReason},
        {"1 KiB", file("мало.mcs", 1024), "размер файла 1 024 байта" + sizeReason},
        {"one byte more", file("много.mcs", 3607553), "размер файла 3 607 553 байта" + sizeReason},
        {"a file of another kind", file("картинка.mcs", 3607552), "число феодов на карте 0, а оно бывает от 2 до 20"},
    };
#ifndef Q_OS_WIN
    const QString fifo = tmp.filePath("канал.mcs");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString socketPath = tmp.filePath("гнездо");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(socketPath).constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closeSocket{sock};
    const QString link = tmp.filePath("ссылка.mcs");
    ASSERT_TRUE(QFile::link(good, link));
    const QString linkToFifo = tmp.filePath("ссылка на канал.mcs");
    ASSERT_TRUE(QFile::link(fifo, linkToFifo));
    cases += QList<Case>{
        {"a pipe", fifo, "это канал, а не файл"},
        {"a link to a pipe", linkToFifo, "это канал, а не файл"},
        {"a device", "/dev/zero", "это устройство, а не файл"},
        {"a socket", socketPath, "это сокет, а не файл"},
        {"a link to a good file", link, QString()},
        {"a path through a file", good + "/игра.mcs", "часть пути не является папкой"},
    };
    // Unreadable: the player may not read it, though he sees it. The
    // superuser reads anything, so the test steps down to an ordinary user
    // for this one.
    const QString locked = tmp.filePath("закрыто.mcs");
    ASSERT_TRUE(WriteSaveFile(locked, *baseRecord, nullptr));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                        QFileDevice::ExeOther));
    cases += Case{"unreadable", locked, "нет прав на чтение файла"};
#endif
    auto target = std::make_unique<TGameState>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        BuildSaveRecord(*other, *record);
        ASSERT_TRUE(ReadSaveRecord(*record, *target, nullptr));
        auto before = std::make_unique<TGameState>(*target);
        QString reason;
#ifndef Q_OS_WIN
        const bool stepDown = c.what == "unreadable" && !ReadPermissionsApply();
        if (stepDown) {
            ASSERT_TRUE(::setegid(65534) == 0 && ::seteuid(65534) == 0);
        }
#endif
        EXPECT_EQ(ReadSaveFile(c.path, *target, &reason), c.reason.isEmpty());
#ifndef Q_OS_WIN
        if (stepDown) {
            ASSERT_TRUE(::seteuid(0) == 0 && ::setegid(0) == 0);
        }
#endif
        EXPECT_EQ(reason, c.reason);
        EXPECT_TRUE(SameGame(*target, c.reason.isEmpty() ? *base : *before));
    }
}

// The record shows who is his own senior; where that does not name the king,
// the reserved byte does, in both ways of building the record.
TEST_F(LoadRecordTest, TheKingComesBackWhateverTheBattlesDid) {
    ASSERT_EQ(base->KingFeud, 2);
    // Whatever the weeks played did: 2 the king, 6 independent, the rest his vassals.
    const auto crowned = [](TGameState& s) {
        for (int n = 1; n <= 12; ++n) s.Feuds[n].Senior = n == 6 ? 0 : 2;
    };
    const struct {
        const char* what;
        std::function<void(TGameState&)> play;
        uint8_t byte;
        int kingAfter;
    } cases[] = {
        {"the king as crowned", [](TGameState&) {}, 0, 2},
        {"the king beaten by an independent", [](TGameState& s) { Subordinate(s, 6, 2); }, 2, 2},
        {"a lower feud beaten by its own vassal",
         [](TGameState& s) {
             s.Feuds[4].Senior = 1;
             s.Feuds[1].Senior = 2;
             Subordinate(s, 4, 1);  // feud 1 becomes its own senior
         },
         2, 2},
        {"no king, nobody his own senior",
         [](TGameState& s) {
             s.KingFeud = 0;
             s.Feuds[2].Senior = 0;
             for (int n = 1; n <= 12; ++n)
                 if (s.Feuds[n].Senior == 2) s.Feuds[n].Senior = 6;
         },
         0, 0},
        {"no king, a feud beaten by its vassal",
         [](TGameState& s) {
             s.KingFeud = 0;
             s.Feuds[2].Senior = 2;
         },
         255, 0},
    };
    auto s = std::make_unique<TGameState>();
    auto read = std::make_unique<TGameState>();
    auto byFields = std::make_unique<Record>();
    auto again = std::make_unique<Record>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(ReadSaveRecord(*baseRecord, *s, nullptr));
        crowned(*s);
        c.play(*s);
        BuildSaveRecord(*s, *record);
        BuildSaveRecordByFields(*s, *byFields);
        EXPECT_EQ((*record)[SaveKingFeudOffset], c.byte);
        EXPECT_TRUE(*record == *byFields);
        QString reason;
        ASSERT_TRUE(ReadSaveRecord(*record, *read, &reason)) << reason.toStdString();
        EXPECT_EQ(read->KingFeud, c.kingAfter);
        BuildSaveRecord(*read, *again);
        EXPECT_TRUE(*again == *record);
    }
}

// What the file does not hold comes back as the turn had it; what lies
// beyond the map's feuds in the file is not taken.
TEST_F(LoadRecordTest, WhatTheFileDoesNotHoldIsDerived) {
    *record = *baseRecord;
    // Left by a larger game of the same run: a 13th record, columns 13..20
    // and turn-order places beyond the map, bytes after a name.
    for (size_t i = FeudAt(13, 0); i < FeudAt(21, 0); ++i) (*record)[i] = 0xA5;
    for (int n = 1; n <= 12; ++n)
        for (size_t table : {271, 291, 311, 331, 351}) (*record)[FeudAt(n, table + 13)] = 1;
    (*record)[SaveTurnOrderOffset + 12] = 13;
    const int c = base->CurrentFeud;
    (*record)[FeudAt(c, 93 + (*record)[FeudAt(c, 92)])] = 'x';

    auto s = std::make_unique<TGameState>();
    s->SelectFeud = 5;
    s->CursorFeud = 7;
    s->MapX = 100;
    s->BattleOrder[1] = 3;
    s->NameGamer.Assign(QStringLiteral("Кто-то"));
    FillNameTables(*s);
    IndexFeudSlots(*s);  // of an empty table
    QString reason;
    ASSERT_TRUE(ReadSaveRecord(*record, *s, &reason)) << reason.toStdString();
    EXPECT_TRUE(SameGame(*s, *base));  // players, turn index, king, diplomacy feud, garrison
    // Indexed as loaded, run for run as a pass over the loaded slots finds them.
    const auto indexedAsAPassFinds = [](TGameState& g) {
        auto loaded = std::make_unique<TFeudSlots>(g.FeudSlots);
        IndexFeudSlots(g);
        EXPECT_EQ(std::memcmp(loaded->First, g.FeudSlots.First, sizeof loaded->First), 0);
        const size_t runs = size_t(loaded->First[MaxFeud + 1]) * sizeof(int32_t);
        EXPECT_EQ(std::memcmp(loaded->Start, g.FeudSlots.Start, runs), 0);
        EXPECT_EQ(std::memcmp(loaded->End, g.FeudSlots.End, runs), 0);
    };
    indexedAsAPassFinds(*s);
    ASSERT_GT(s->FeudSlots.First[MaxFeud + 1], 12);  // the week's battles broke the feuds' runs
    EXPECT_EQ(s->QuantityGamer, 2);
    EXPECT_EQ(s->TurnOrder[s->TurnIndex], c);
    EXPECT_EQ(s->DipFeud, c);
    EXPECT_EQ(s->KingFeud, 2);
    int inCastle = 0;
    for (int k = 1; k <= MaxLennik; ++k)
        inCastle += s->Lenniks[k].Feud == c && s->Lenniks[k].Appear == 1 && s->Lenniks[k].InCastle == 1;
    EXPECT_EQ(s->ArmyToCastle, inCastle);
    EXPECT_EQ(s->SelectFeud + s->CursorFeud + s->MapX + s->MapY + s->BattleOrder[1], 0);
    EXPECT_TRUE(s->NameGamer.IsEmpty());
    EXPECT_EQ(s->NamesFeud[1].Name, base->NamesFeud[1].Name);  // the name tables are the program's
    auto again = std::make_unique<Record>();
    BuildSaveRecord(*s, *again);
    EXPECT_TRUE(*again == *baseRecord);

    // The table's last slot held by a feud: its run ends past the table.
    *record = *baseRecord;
    const size_t last = SaveLenniksOffset + size_t(MaxLennik - 1) * SaveLennikSize;
    ASSERT_EQ((*record)[last], 0);
    (*record)[last] = uint8_t(c);  // a new recruit at home
    ASSERT_TRUE(ReadSaveRecord(*record, *s, &reason)) << reason.toStdString();
    ASSERT_EQ(s->Lenniks[MaxLennik].Feud, c);
    indexedAsAPassFinds(*s);
}

// The one-pass neighbours agree with the rule on every bundled map and on
// grids of every shape.
TEST_F(LoadRecordTest, NeighboursOfTheGridAsTheRuleFindsThem) {
    auto s = std::make_unique<TGameState>();
    std::mt19937 rng(4);
    const auto bundled = [](const char* map) {
        return [map](TGameState& g) {
            Random random(1);
            NoteMessages msgs;
            ASSERT_TRUE(NewGameOnMap(g, map, {{1, TSeatStatus::King}}, random, msgs));
        };
    };
    const std::function<void(TGameState&)> grids[] = {
        bundled("base.bmp"),
        bundled("two.bmp"),
        bundled("twenty.bmp"),
        [&](TGameState& g) {  // random cells: every pair at every distance
            g.QuantityFeud = 20;
            for (auto& row : g.Map)
                for (auto& cell : row) cell = uint8_t(rng() % 22);
        },
        [&](TGameState& g) {  // sparse specks in the corners and along the edges
            g.QuantityFeud = 9;
            std::memset(g.Map, 0, sizeof g.Map);
            for (int i = 0; i < 300; ++i) g.Map[rng() % 200 < 100 ? rng() % 3 : 197 + rng() % 3][rng() % 400] = uint8_t(1 + rng() % 9);
            g.Map[0][0] = 1, g.Map[2][2] = 2, g.Map[199][399] = 3, g.Map[197][399] = 3;
        },
        [](TGameState& g) {  // lone cells two apart only along a diagonal, down left and down right
            g.QuantityFeud = 4;
            std::memset(g.Map, 0, sizeof g.Map);
            g.Map[10][5] = 1, g.Map[12][3] = 2;
            g.Map[50][200] = 3, g.Map[52][202] = 4;
        },
        [](TGameState& g) {  // two bands the full width: a feud meets itself only where all it sees is its own
            g.QuantityFeud = 2;
            std::memset(g.Map[0], 1, sizeof g.Map / 2);
            std::memset(g.Map[MapHeight / 2], 2, sizeof g.Map / 2);
        },
        [&](TGameState& g) {  // blocks of 1 to 9 cells
            g.QuantityFeud = 20;
            std::memset(g.Map, 0, sizeof g.Map);
            for (int i = 0; i < 2000; ++i) {
                const int x = int(rng() % 398), y = int(rng() % 198), w = 1 + int(rng() % 3), h = 1 + int(rng() % 3);
                const uint8_t f = uint8_t(1 + rng() % 20);
                for (int dy = 0; dy < h && y + dy < 200; ++dy)
                    for (int dx = 0; dx < w && x + dx < 400; ++dx) g.Map[y + dy][x + dx] = f;
            }
        },
    };
    int shape = 0;
    for (const auto& make : grids) {
        SCOPED_TRACE(shape++);
        make(*s);
        uint8_t table[MaxFeud + 1][MaxFeud + 1];
        NeighboursOfGrid(*s, table);
        BuildNeighbours(*s);
        for (int a = 1; a <= s->QuantityFeud; ++a)
            for (int b = 1; b <= s->QuantityFeud; ++b) ASSERT_EQ(table[a][b], s->Feuds[a].Neighbour[b]) << a << " " << b;
    }
}

}  // namespace
