// Reading a saved game back: the record is decoded into a scratch state (the
// lennik slots, laid out in memory as in the record, are checked where they
// lie), checked against every range and invariant the rules rely on, and only
// then put in place of the game. A refusal says in Russian what is wrong and
// where.
#include "save/SaveGame.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include <QFile>
#include <QFileInfo>

#include "engine/Events.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr bool BlockCopies = std::endian::native == std::endian::little && std::numeric_limits<double>::is_iec559 &&
                             sizeof(double) == 8;

// ---------------------------------------------------------------- the words of a refusal

// "3 607 552": digits in groups of three.
QString Number(int64_t v) {
    const bool negative = v < 0;
    QString digits = QString::number(negative ? -static_cast<uint64_t>(v) : static_cast<uint64_t>(v));
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, QLatin1Char(' '));
    return negative ? QLatin1Char('-') + digits : digits;
}

// "1 024 байта", "3 607 552 байта", "21 байт", "1 байт".
QString Bytes(int64_t n) {
    const int64_t last = n % 10, lastTwo = n % 100;
    const bool few = last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14);
    return Number(n) + (few ? QStringLiteral(" байта") : QStringLiteral(" байт"));
}

// Sets the reason and reports the refusal.
struct Refusal {
    QString* reason;
    bool operator()(const QString& text) const {
        if (reason) *reason = text;
        return false;
    }
};

QString OfFeud(int n) { return QStringLiteral("у феода ") + Number(n) + QLatin1Char(' '); }
QString OfLennik(int k) { return QStringLiteral("у ленника ") + Number(k) + QLatin1Char(' '); }
QString FeudsOnMap(int q) { return QStringLiteral(", а феодов на карте ") + Number(q); }

// ---------------------------------------------------------------- little-endian fields

int32_t GetInt32(const uint8_t* p, size_t offset) {
    const uint32_t u = uint32_t(p[offset]) | uint32_t(p[offset + 1]) << 8 | uint32_t(p[offset + 2]) << 16 |
                       uint32_t(p[offset + 3]) << 24;
    return static_cast<int32_t>(u);
}

double GetDouble(const uint8_t* p, size_t offset) {
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = u << 8 | p[offset + static_cast<size_t>(i)];
    return std::bit_cast<double>(u);
}

// The feud record's reserved bytes: offset and length.
constexpr struct {
    size_t offset, size;
} FeudReserved[] = {{1, 3}, {16, 4}, {36, 4}, {65, 3}, {121, 3}, {134, 1}, {138, 2}, {264, 4}, {374, 2}};

// The 31 figures of the feudal from offset 140, as his pages name them.
constexpr const char* FigureNames[] = {
    "Уровень",          "Владение копьем",   "Владение мечом",   "Верховая езда",    "Здоровье",
    "Сила",             "Выносливость",      "Мораль",           "Дисциплина",       "Скорость коня",
    "Сила коня",        "Выносливость коня", "Размер коня",      "Броня головы коня", "Броня тела коня",
    "Копье",            "Меч",               "Шлем",             "Доспех",           "Щит",
    "Наручи",           "Перчатки",          "Поножи",           "Выигранные битвы", "Проигранные битвы",
    "Успешные осады",   "Безуспешные осады", "Убито врага",      "Убито своих",      "Пленено врагов",
    "Пленено своих",
};
static_assert(std::size(FigureNames) == 31);

// The ten figures of a lennik from offset 4, as the army page names them.
constexpr const char* LennikFigureNames[] = {"Владение копьем", "Владение мечом", "Верховая езда", "Здоровье",
                                             "Сила",            "Выносливость",   "Броня",         "Мораль",
                                             "Дисциплина",      "Битвы"};

// The four relation tables, as the diplomacy views name them, and where each starts.
constexpr struct {
    const char* name;
    size_t base;  // entry j at base + j
} RelationTables[] = {{"объявленное отношение к феоду", 271},
                      {"настоящее отношение к феоду", 291},
                      {"показываемое отношение феода", 311},
                      {"настоящее отношение феода", 331}};

// ---------------------------------------------------------------- decoding

void GetFeud(const uint8_t* p, TFeud& f, int q) {
    std::memset(static_cast<void*>(&f), 0, sizeof f);
    f.NameFeud = p[0];
    f.Len = GetInt32(p, 4);
    f.Lennik = GetInt32(p, 8);
    f.LennikAppear = GetInt32(p, 12);
    f.Grain = GetInt32(p, 20);
    f.Peasant = GetInt32(p, 24);
    f.Cow = GetInt32(p, 28);
    f.Horse = GetInt32(p, 32);
    f.PastureCow = GetDouble(p, 40);
    f.PastureHorse = GetDouble(p, 48);
    f.Fertility = GetDouble(p, 56);
    f.CrossTime = p[64];
    f.AddLennik = GetInt32(p, 68);
    f.AddGrain = GetInt32(p, 72);
    f.AddCow = GetInt32(p, 76);
    f.AddHorse = GetInt32(p, 80);
    f.PosX = GetInt32(p, 84);
    f.PosY = GetInt32(p, 88);
    // Only the name's own bytes: what lies after its length is nobody's.
    const int length = p[92] <= sizeof f.NameFeudal.Data ? p[92] : 0;
    f.NameFeudal.Length = static_cast<uint8_t>(length);
    std::memcpy(f.NameFeudal.Data, p + 93, static_cast<size_t>(length));
    f.Gamer = p[118];
    f.Senior = p[119];
    f.Independence = p[120];
    f.Auth = GetInt32(p, 124);
    f.JobLennik = p[128];
    f.JobVassal = p[129];
    f.CallLennik = p[130];
    f.CallVassal = p[131];
    f.LennikInService = p[132];
    f.VassalInService = p[133];
    f.WeekJobLennik = p[135];
    f.DismissLennik = p[136];
    f.DismissVassal = p[137];
    int32_t* const figures[] = {
        &f.Level,       &f.LevelSpear,  &f.LevelSword,     &f.LevelRiding,     &f.Health,        &f.Strength,
        &f.Endurance,   &f.Morale,      &f.Discipline,     &f.HorseSpeed,      &f.HorseStrength, &f.HorseEndurance,
        &f.HorseSize,   &f.HorseArmourHead, &f.HorseArmourBody, &f.WeaponSpear, &f.WeaponSword,  &f.Helmet,
        &f.Defence,     &f.Shield,      &f.Hand,           &f.Glove,           &f.Leg,           &f.Victory,
        &f.Lose,        &f.VictorySiege, &f.LoseSiege,     &f.KillEnemy,       &f.KillOur,       &f.PrisonerEnemy,
        &f.PrisonerOur,
    };
    for (size_t i = 0; i < std::size(figures); ++i) *figures[i] = GetInt32(p, 140 + 4 * i);
    f.ArmyFeud = p[268];
    f.ArmyCommand = p[269];
    f.ArmyTarget = p[270];
    f.ArmyTime = p[271];
    // The columns of the map's feuds; those beyond stay zero.
    for (int j = 1; j <= q; ++j) {
        const size_t k = static_cast<size_t>(j);
        f.DipToFeudalShow[j] = static_cast<int8_t>(p[271 + k]);
        f.DipToFeudalTrue[j] = static_cast<int8_t>(p[291 + k]);
        f.DipFromFeudalShow[j] = static_cast<int8_t>(p[311 + k]);
        f.DipFromFeudalTrue[j] = static_cast<int8_t>(p[331 + k]);
        f.Neighbour[j] = p[351 + k];
    }
    f.DipMode = p[372];
    f.DipView = p[373];
}

void GetLennik(const uint8_t* p, TLennik& l) {
    std::memset(static_cast<void*>(&l), 0, sizeof l);
    l.Feud = p[0];
    l.Appear = p[1];
    l.InCastle = p[2];
    int32_t* const figures[] = {&l.Spear,    &l.Sword,  &l.Riding, &l.Health,     &l.Strength,
                                &l.Endurance, &l.Armour, &l.Morale, &l.Discipline, &l.Battle};
    for (size_t i = 0; i < std::size(figures); ++i) *figures[i] = GetInt32(p, 4 + 4 * i);
}

// ---------------------------------------------------------------- the checks

bool IsFlag(uint8_t v) { return v <= 1; }

QString FlagReason(int n, const char* what, int v) {
    return OfFeud(n) + QStringLiteral("признак «%1» равен %2, а бывает 0 или 1").arg(QString::fromUtf8(what)).arg(v);
}

// What the lennik slots say, per feud byte (0..255, so that a slot of a feud
// off the map is counted before it is refused).
struct SlotCounts {
    int32_t Occupied[256];
    int32_t Serving[256];
    int32_t InCastle[256];  // serving and in the castle
    // The runs of one feud's slots in slot order, from which the loaded game's
    // index of the feuds' slots is built without another pass.
    int32_t RunCount;
    TSlotRun Runs[MaxLennik];
};
SlotCounts Counts;  // of the record being read

// The reason a slot is refused, or an empty text when it is sound.
QString LennikReason(const TLennik& l, const uint8_t* raw, int k, int q) {
    if (l.Feud > q) return OfLennik(k) + QStringLiteral("сеньор — феод ") + Number(l.Feud) + FeudsOnMap(q);
    if (!IsFlag(l.Appear))
        return OfLennik(k) + QStringLiteral("признак «на службе» равен %1, а бывает 0 или 1").arg(l.Appear);
    if (!IsFlag(l.InCastle))
        return OfLennik(k) + QStringLiteral("признак «в замке» равен %1, а бывает 0 или 1").arg(l.InCastle);
    if (raw[3] != 0) return OfLennik(k) + QStringLiteral("в зарезервированном байте 3 записано %1").arg(raw[3]);
    if (l.Feud == 0 && (l.Appear | l.InCastle) != 0)
        return QStringLiteral("свободное место ленника ") + Number(k) + QStringLiteral(" числится на службе");
    const int32_t figures[] = {l.Spear,     l.Sword,  l.Riding, l.Health,     l.Strength,
                               l.Endurance, l.Armour, l.Morale, l.Discipline, l.Battle};
    for (size_t i = 0; i < std::size(figures); ++i)
        if (figures[i] < 0)
            return OfLennik(k) + QStringLiteral("«%1» равно %2, а меньше нуля не бывает")
                                     .arg(QString::fromUtf8(LennikFigureNames[i]), Number(figures[i]));
    return {};
}

// Checks the 80,000 slots and counts them. The slots in memory are laid out
// as the record holds them, so they are checked where they lie in the record
// and copied into the game only once everything passed (PutLenniks). The
// usual case takes one pass with no branch per field; a slot in doubt is
// looked at again for its reason. Kept out of line, so that the loop has the
// registers to itself.
// The top bit of bytes 3 and 7 of eight bytes read as one number: the signs
// of the two little-endian 32-bit figures in them.
constexpr uint64_t SignBits =
    std::endian::native == std::endian::little ? 0x8000000080000000ull : 0x0000008000000080ull;

[[gnu::noinline]] bool CheckLenniks(const uint8_t* p, int q, SlotCounts& counts, const Refusal& refuse) {
    std::memset(counts.Occupied, 0, sizeof counts.Occupied);
    std::memset(counts.Serving, 0, sizeof counts.Serving);
    std::memset(counts.InCastle, 0, sizeof counts.InCastle);
    counts.RunCount = 0;
    const uint8_t* src = p + SaveLenniksOffset;
    // Slots of one lord come in runs: each run is counted in registers.
    unsigned runFeud = src[0];
    int32_t runStart = 1;
    int32_t occupied = 0, serving = 0, inCastle = 0;
    for (int i = 0; i < MaxLennik; ++i, src += SaveLennikSize) {
        // The lord, the two flags and the reserved byte in one word; the
        // signs of the ten figures, two at a time.
        const uint32_t head = uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 | uint32_t(src[3]) << 24;
        uint64_t w0, w1, w2, w3, w4;
        std::memcpy(&w0, src + 4, 8);
        std::memcpy(&w1, src + 12, 8);
        std::memcpy(&w2, src + 20, 8);
        std::memcpy(&w3, src + 28, 8);
        std::memcpy(&w4, src + 36, 8);
        const uint64_t signs = w0 | w1 | w2 | w3 | w4;
        const unsigned feud = head & 0xFF;
        const uint32_t flags = head >> 8;  // Appear, InCastle, the reserved byte
        const unsigned appear = flags & 1, castle = (flags >> 8) & 1;
        // Each figure's sign is the top bit of its last byte, whatever the machine.
        const bool bad = ((head & 0xFFFEFE00u) != 0) | (feud > unsigned(q)) | ((feud == 0) & (flags != 0)) |
                         ((signs & SignBits) != 0);
        if (bad) [[unlikely]] {
            TLennik whole;
            GetLennik(src, whole);
            return refuse(LennikReason(whole, src, i + 1, q));
        }
        if (feud != runFeud) {
            counts.Occupied[runFeud] += occupied;
            counts.Serving[runFeud] += serving;
            counts.InCastle[runFeud] += inCastle;
            counts.Runs[counts.RunCount++] = {runStart, i + 1, static_cast<uint8_t>(runFeud)};
            runFeud = feud;
            runStart = i + 1;
            occupied = serving = inCastle = 0;
        }
        ++occupied;
        serving += static_cast<int32_t>(appear);
        inCastle += static_cast<int32_t>(appear & castle);
    }
    counts.Occupied[runFeud] += occupied;
    counts.Serving[runFeud] += serving;
    counts.InCastle[runFeud] += inCastle;
    counts.Runs[counts.RunCount++] = {runStart, MaxLennik + 1, static_cast<uint8_t>(runFeud)};
    return true;
}

// The checked slots into the game: one block where memory holds them as the
// record does.
void PutLenniks(const uint8_t* p, TGameState& s) {
    const uint8_t* src = p + SaveLenniksOffset;
    if constexpr (BlockCopies) {
        static_assert(sizeof(TLennik) == SaveLennikSize && offsetof(TLennik, Spear) == 4);
        std::memcpy(static_cast<void*>(&s.Lenniks[1]), src, size_t(MaxLennik) * SaveLennikSize);
    } else {
        for (int k = 1; k <= MaxLennik; ++k, src += SaveLennikSize) GetLennik(src, s.Lenniks[k]);
    }
    s.Lenniks[0] = TLennik{};
}

bool CheckFeud(const uint8_t* raw, const TFeud& f, int n, int q, const int32_t* area, const TGameState& s,
               const Refusal& refuse) {
    for (const auto& r : FeudReserved)
        for (size_t i = 0; i < r.size; ++i)
            if (raw[r.offset + i] != 0)
                return refuse(OfFeud(n) + QStringLiteral("в зарезервированном байте %1 записи записано %2")
                                              .arg(r.offset + i)
                                              .arg(raw[r.offset + i]));
    if (f.NameFeud != n)
        return refuse(OfFeud(n) + QStringLiteral("номер названия %1, а должен быть %2").arg(f.NameFeud).arg(n));
    if (raw[92] > sizeof f.NameFeudal.Data)
        return refuse(OfFeud(n) + QStringLiteral("длина имени феодала %1, а длиннее 25 букв имён не бывает").arg(raw[92]));

    // The land: its fiefs, the time to cross it, its anchor on the map.
    const int32_t len = area[n] > 25 ? area[n] - 25 : 0;
    if (f.Len != len)
        return refuse(OfFeud(n) + QStringLiteral("ленов ") + Number(f.Len) + QStringLiteral(", а по карте ") +
                      Number(len));
    const int cross = static_cast<int>((len + 500.0) / 1000.0) + 1;
    if (f.CrossTime != cross)
        return refuse(OfFeud(n) + QStringLiteral("время перехода %1, а по числу ленов %2").arg(f.CrossTime).arg(cross));
    if (f.PosX < 0 || f.PosX >= MapWidth || f.PosY < 0 || f.PosY >= MapHeight)
        return refuse(OfFeud(n) + QStringLiteral("опорная точка (%1, %2) лежит вне карты 400 на 200")
                                      .arg(Number(f.PosX), Number(f.PosY)));
    if (s.Map[f.PosY][f.PosX] != n)
        return refuse(OfFeud(n) + QStringLiteral("опорная точка (%1, %2) лежит на земле феода %3")
                                      .arg(f.PosX)
                                      .arg(f.PosY)
                                      .arg(s.Map[f.PosY][f.PosX]));

    // Counts the rules never take below zero.
    if (f.Lennik < 0 || f.Lennik > f.Len)
        return refuse(OfFeud(n) + QStringLiteral("ленников ") + Number(f.Lennik) +
                      QStringLiteral(", а их бывает от 0 до числа ленов, ") + Number(f.Len));
    if (f.AddLennik < 0)
        return refuse(OfFeud(n) + QStringLiteral("«Добавлено ленников» равно ") + Number(f.AddLennik) +
                      QStringLiteral(", а меньше нуля не бывает"));
    for (size_t i = 0; i < std::size(FigureNames); ++i) {
        const int32_t v = GetInt32(raw, 140 + 4 * i);
        if (v < 0)
            return refuse(OfFeud(n) + QStringLiteral("«%1» равно %2, а меньше нуля не бывает")
                                          .arg(QString::fromUtf8(FigureNames[i]), Number(v)));
    }
    if (f.Auth < 0 || f.Auth > 100)
        return refuse(OfFeud(n) + QStringLiteral("авторитет ") + Number(f.Auth) +
                      QStringLiteral(", а он бывает от 0 до 100"));
    const struct {
        double v;
        const char* name;
    } reals[] = {{f.PastureCow, "прирост коров"}, {f.PastureHorse, "прирост коней"}, {f.Fertility, "плодородность"}};
    for (const auto& r : reals)
        if (!std::isfinite(r.v)) return refuse(OfFeud(n) + QString::fromUtf8(r.name) + QStringLiteral(" — не конечное число"));

    // Flags.
    const struct {
        uint8_t v;
        const char* name;
    } flags[] = {{f.Gamer, "игрок"},
                 {f.CallLennik, "ленники призваны"},
                 {f.CallVassal, "вассалы призваны"},
                 {f.LennikInService, "ленники на службе"},
                 {f.VassalInService, "вассалы на службе"},
                 {f.DismissLennik, "ленники распущены"},
                 {f.DismissVassal, "вассалы распущены"},
                 {f.DipMode, "карта дипломатии"}};
    for (const auto& flag : flags)
        if (!IsFlag(flag.v)) return refuse(FlagReason(n, flag.name, flag.v));

    // Feud numbers.
    if (f.Senior > q) return refuse(OfFeud(n) + QStringLiteral("сеньор ") + Number(f.Senior) + FeudsOnMap(q));
    if (f.ArmyFeud > q)
        return refuse(OfFeud(n) + QStringLiteral("войско стоит в феоде ") + Number(f.ArmyFeud) + FeudsOnMap(q));
    if (f.ArmyTarget > q)
        return refuse(OfFeud(n) + QStringLiteral("приказ войску нацелен на феод ") + Number(f.ArmyTarget) +
                      FeudsOnMap(q));
    if (f.ArmyCommand > ArmyAttack)
        return refuse(OfFeud(n) + QStringLiteral("приказ войску %1, а бывает от 0 до 2").arg(f.ArmyCommand));
    if (f.ArmyCommand != ArmyNone && (f.ArmyTarget == 0 || f.ArmyFeud == 0))
        return refuse(OfFeud(n) + (f.ArmyTarget == 0 ? QStringLiteral("приказ войску без цели")
                                                      : QStringLiteral("приказ войску, которого нет ни в одном феоде")));
    // The march time lives only within the week's end.
    if (f.ArmyTime != 0)
        return refuse(OfFeud(n) + QStringLiteral("время марша %1, а между неделями оно 0").arg(f.ArmyTime));

    // Relations towards the map's feuds.
    for (const auto& table : RelationTables)
        for (int j = 1; j <= q; ++j) {
            const auto v = static_cast<int8_t>(raw[table.base + static_cast<size_t>(j)]);
            if (v < PersEnemy || v > Ally)
                return refuse(OfFeud(n) + QStringLiteral("%1 %2 равно %3, а бывает от -2 до 2")
                                              .arg(QString::fromUtf8(table.name))
                                              .arg(j)
                                              .arg(v));
        }
    if (f.DipView > 3)
        return refuse(OfFeud(n) + QStringLiteral("вид карты дипломатии %1, а бывает от 0 до 3").arg(f.DipView));
    return true;
}

// ---------------------------------------------------------------- the record

// Static storage: loading allocates nothing for the game. The lennik slots
// are checked in the record itself and never pass through here.
TGameState Scratch;

bool DecodeRecord(const uint8_t* p, TGameState& s, const Refusal& refuse) {
    // ---- the calendar, the turn and the number of feuds
    const int q = p[SaveQuantityFeudOffset];
    if (q < 2 || q > MaxFeud)
        return refuse(QStringLiteral("число феодов на карте %1, а оно бывает от 2 до 20").arg(q));
    for (size_t offset : {SaveKingFeudOffset + 1, SaveWeekOffset + 1, SaveWeekOffset + 2, SaveWeekOffset + 3})
        if (p[offset] != 0)
            return refuse(QStringLiteral("в зарезервированном байте ") + Number(int64_t(offset)) +
                          QStringLiteral(" записано ") + Number(p[offset]));
    s.QuantityFeud = static_cast<uint8_t>(q);
    s.Year = GetInt32(p, SaveYearOffset);
    if (s.Year < 1) return refuse(QStringLiteral("год ") + Number(s.Year) + QStringLiteral(", а годы считаются с первого"));
    s.Week = p[SaveWeekOffset];
    if (s.Week < 1 || s.Week > 7) return refuse(QStringLiteral("неделя %1, а в году недели с 1 по 7").arg(s.Week));

    std::memset(s.TurnOrder, 0, sizeof s.TurnOrder);
    bool seen[MaxFeud + 1] = {};
    for (int i = 1; i <= q; ++i) {
        const int f = p[SaveTurnOrderOffset + static_cast<size_t>(i - 1)];
        if (f < 1 || f > q)
            return refuse(QStringLiteral("в очереди ходов на месте %1 феод %2").arg(i).arg(f) + FeudsOnMap(q));
        if (seen[f]) return refuse(QStringLiteral("в очереди ходов феод %1 стоит дважды").arg(f));
        seen[f] = true;
        s.TurnOrder[i] = static_cast<uint8_t>(f);
    }
    const int current = p[SaveCurrentFeudOffset];
    if (current < 1 || current > q) return refuse(QStringLiteral("ходит феод %1").arg(current) + FeudsOnMap(q));
    const int kingByte = p[SaveKingFeudOffset];
    if (kingByte != 0 && kingByte != 255 && kingByte > q)
        return refuse(QStringLiteral("король — феод %1").arg(kingByte) + FeudsOnMap(q));

    // ---- the grid: every byte a feud of the map or a border, every feud on it
    std::memcpy(s.Map, p + SaveMapOffset, sizeof s.Map);
    int32_t area[256] = {};
    // Eight cells at a time, most of them inside one feud.
    const uint8_t* cells = &s.Map[0][0];
    for (size_t i = 0; i < sizeof s.Map; i += 8) {
        uint64_t w;
        std::memcpy(&w, cells + i, sizeof w);
        if (w == (w & 0xFF) * 0x0101010101010101ull) {
            area[w & 0xFF] += 8;
        } else {
            for (size_t k = 0; k < 8; ++k) ++area[cells[i + k]];
        }
    }
    static_assert(sizeof(TGameState::Map) % 8 == 0);
    for (int v = q + 1; v < 256; ++v) {
        if (area[v] == 0) continue;
        for (int y = 0; y < MapHeight; ++y)
            for (int x = 0; x < MapWidth; ++x)
                if (s.Map[y][x] > q)
                    return refuse(QStringLiteral("на карте в строке %1, столбце %2 феод %3").arg(y).arg(x).arg(s.Map[y][x]) +
                                  FeudsOnMap(q));
    }
    for (int n = 1; n <= q; ++n)
        if (area[n] == 0) return refuse(OfFeud(n) + QStringLiteral("нет ни одной точки на карте"));

    // ---- the feud records of the map; the others stay empty
    std::memset(static_cast<void*>(s.Feuds), 0, sizeof s.Feuds);
    int players = 0;
    for (int n = 1; n <= q; ++n) {
        const uint8_t* raw = p + SaveFeudsOffset + static_cast<size_t>(n - 1) * SaveFeudSize;
        GetFeud(raw, s.Feuds[n], q);
        if (!CheckFeud(raw, s.Feuds[n], n, q, area, s, refuse)) return false;
        players += s.Feuds[n].Gamer;
    }
    if (players == 0) return refuse(QStringLiteral("ни одним феодом не правит игрок"));
    if (s.Feuds[current].Gamer != 1)
        return refuse(QStringLiteral("ходит феод %1, а им правит компьютер; игру сохраняют в ход игрока").arg(current));

    uint8_t neighbours[MaxFeud + 1][MaxFeud + 1];
    NeighboursOfGrid(s, neighbours);
    for (int a = 1; a <= q; ++a)
        for (int b = 1; b <= q; ++b)
            if (s.Feuds[a].Neighbour[b] != neighbours[a][b])
                return refuse(OfFeud(a) + QStringLiteral("соседство с феодом %1 записано как %2, а по карте %3")
                                              .arg(b)
                                              .arg(s.Feuds[a].Neighbour[b])
                                              .arg(neighbours[a][b]));

    // ---- the lennik slots, and the figures kept in step with them
    SlotCounts& counts = Counts;
    if (!CheckLenniks(p, q, counts, refuse)) return false;
    for (int n = 1; n <= q; ++n) {
        const TFeud& f = s.Feuds[n];
        if (f.LennikAppear != counts.Serving[n])
            return refuse(OfFeud(n) + QStringLiteral("на службе ") + Number(f.LennikAppear) +
                          QStringLiteral(" ленников, а по их записям ") + Number(counts.Serving[n]));
        if (counts.Serving[n] > 0 && f.LennikInService != 1)
            return refuse(OfFeud(n) + QStringLiteral("служат ленники, а признак «ленники на службе» равен 0"));
        if (counts.Occupied[n] > f.Len)
            return refuse(OfFeud(n) + QStringLiteral("записей ленников ") + Number(counts.Occupied[n]) +
                          QStringLiteral(", а ленов ") + Number(f.Len));
    }

    // ---- what the file does not hold
    s.QuantityGamer = static_cast<uint8_t>(players);
    s.CurrentFeud = static_cast<uint8_t>(current);
    for (int i = 1; i <= q; ++i)
        if (s.TurnOrder[i] == current) s.TurnIndex = static_cast<uint8_t>(i);
    s.KingFeud = static_cast<uint8_t>(kingByte == 0 ? KingBySeniors(s) : kingByte == 255 ? 0 : kingByte);
    // The garrison as the turn's preparation counts it: serving lenniks in the castle.
    s.ArmyToCastle = counts.InCastle[current];
    s.DipFeud = static_cast<uint8_t>(current);
    s.SelectFeud = 0;
    s.CursorFeud = 0;
    s.MapX = 0;
    s.MapY = 0;
    std::memset(s.BattleOrder, 0, sizeof s.BattleOrder);
    s.NameGamer.Clear();
    return true;
}

// The game becomes the checked scratch state with the record's slots; the
// name tables stay. The file keeps no events: whatever the game before had
// still to tell is dropped with it.
void ReplaceGame(const TGameState& from, const uint8_t* p, TGameState& to) {
    ClearAllEvents(to);
    CopyGameFields(from, to);
    PutLenniks(p, to);
    IndexFeudSlotsFromRuns(to, Counts.Runs, Counts.RunCount);
}

}  // namespace

bool ReadSaveRecord(const TSaveRecord& record, TGameState& state, QString* reason) {
    if (!DecodeRecord(record.data(), Scratch, Refusal{reason})) return false;
    ReplaceGame(Scratch, record.data(), state);
    return true;
}

// ---------------------------------------------------------------- neighbours

namespace {

// Sixteen cells side by side, compared all at once.
using Cells = uint8_t __attribute__((vector_size(16)));
using CellsCompared = signed char __attribute__((vector_size(16)));

Cells LoadCells(const uint8_t* p) {
    Cells c;
    std::memcpy(&c, p, sizeof c);
    return c;
}

// One bit per lane of a comparison's result, lane 0 lowest.
unsigned LaneBits(CellsCompared m) {
#if defined(__SSE2__)
    return static_cast<unsigned>(_mm_movemask_epi8(reinterpret_cast<__m128i>(m)));
#else
    unsigned bits = 0;
    for (int i = 0; i < 16; ++i) bits |= (m[i] != 0 ? 1u : 0u) << i;
    return bits;
#endif
}

// One row of the grid as runs of one value: run i holds value[i] from
// column start[i] up to start[i + 1].
struct RowRuns {
    int count;
    uint16_t start[MapWidth + 1];  // start[count] is MapWidth
    uint8_t value[MapWidth];
};

void FindRuns(const uint8_t* row, RowRuns& r) {
    int n = 0;
    r.start[n] = 0;
    r.value[n++] = row[0];
    // Where a cell differs from the one before it, sixteen at a time; the
    // last sixteen overlap the ones before, whose lanes are dropped.
    for (int x = 1; x < MapWidth; x += 16) {
        const int at = std::min(x, MapWidth - 16);
        unsigned bits = LaneBits(LoadCells(row + at) != LoadCells(row + at - 1));
        bits &= ~0u << (x - at);
        for (; bits != 0; bits &= bits - 1) {
            const int i = at + std::countr_zero(bits);
            r.start[n] = static_cast<uint16_t>(i);
            r.value[n++] = row[i];
        }
    }
    r.count = n;
    r.start[n] = MapWidth;
}

// The ring of cells at distance exactly 2, as the offsets into a row dy below
// (dy 0 to 2; the rows above give the same pairs from their other end):
// whether a run of row a from s to e meets a run of the lower row from t to u.
bool RunsMeet(int dy, int s, int e, int t, int u) {
    switch (dy) {
    case 0: return s + 2 < u && t < e + 2;                                  // two columns on
    case 1: return (s - 2 < u && t < e - 2) || (s + 2 < u && t < e + 2);   // two columns either way
    default: return s - 2 < u && t < e + 2;                                 // anywhere from two back to two on
    }
}

}  // namespace

void NeighboursOfGrid(const TGameState& s, uint8_t table[MaxFeud + 1][MaxFeud + 1]) {
    std::memset(table, 0, sizeof(uint8_t) * (MaxFeud + 1) * (MaxFeud + 1));
    const unsigned q = s.QuantityFeud < MaxFeud ? s.QuantityFeud : MaxFeud;
    // The rows as runs of one feud: a row of a drawn map holds a few dozen,
    // so that runs meet runs rather than cells cells. Three rows at a time.
    RowRuns rows[3];
    for (int d = 0; d < 3; ++d) FindRuns(s.Map[d], rows[d]);
    const auto meet = [&](const RowRuns& A, const RowRuns& B, int dy) {
        int j = 0;  // the first run of B that may still meet a run of A
        for (int i = 0; i < A.count; ++i) {
            const unsigned a = A.value[i];
            if (a - 1 >= q) continue;  // a border, or a value off the map
            const int s0 = A.start[i], e0 = A.start[i + 1];
            while (B.start[j + 1] <= s0 - 2) ++j;
            for (int k = j; k < B.count && B.start[k] < e0 + 2; ++k) {
                const unsigned b = B.value[k];
                if (b - 1 < q && RunsMeet(dy, s0, e0, B.start[k], B.start[k + 1])) table[a][b] = table[b][a] = 1;
            }
        }
    };
    for (int y = 0; y < MapHeight; ++y) {
        const RowRuns& row = rows[y % 3];
        meet(row, row, 0);
        if (y + 1 < MapHeight) meet(row, rows[(y + 1) % 3], 1);
        if (y + 2 < MapHeight) meet(row, rows[(y + 2) % 3], 2);
        if (y + 3 < MapHeight) FindRuns(s.Map[y + 3], rows[y % 3]);
    }
}

// ---------------------------------------------------------------- the file

namespace {

TSaveRecord FileRecord;  // the file's bytes, read whole before they are decoded

QString SizeReason(int64_t size) {
    return QStringLiteral("размер файла ") + Bytes(size) + QStringLiteral(", а сохранённая игра занимает ") +
           Bytes(int64_t(SaveRecordSize));
}

}  // namespace

#ifdef Q_OS_UNIX

namespace {

QString ReadErrorReason(int error) {
    switch (error) {
    case ENOENT: return QStringLiteral("такого файла нет");
    case EACCES:
    case EPERM: return QStringLiteral("нет прав на чтение файла");
    case ENOTDIR: return QStringLiteral("часть пути не является папкой");
    case ENAMETOOLONG: return QStringLiteral("слишком длинное имя файла");
    case ELOOP: return QStringLiteral("символические ссылки на пути замыкаются в круг");
    case EIO: return QStringLiteral("ошибка ввода-вывода");
    case EMFILE:
    case ENFILE: return QStringLiteral("слишком много открытых файлов");
    default:
        return QStringLiteral("%1 (код %2)").arg(QString::fromLocal8Bit(std::strerror(error))).arg(error);
    }
}

// Anything but a regular file is refused by what it is.
QString KindReason(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("это папка, а не файл");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("это устройство, а не файл");
    if (S_ISFIFO(mode)) return QStringLiteral("это канал, а не файл");
    if (S_ISSOCK(mode)) return QStringLiteral("это сокет, а не файл");
    return QStringLiteral("это не обычный файл");
}

bool ReadRecordFile(const QString& path, uint8_t* out, const Refusal& refuse) {
    if (path.isEmpty()) return refuse(QStringLiteral("имя файла не задано"));
    const QByteArray name = QFile::encodeName(path);
    // What the name is, before anything is opened: a pipe or a device would
    // keep a reader waiting, or never end.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) return refuse(ReadErrorReason(errno));
    if (!S_ISREG(st.st_mode)) return refuse(KindReason(st.st_mode));
    if (st.st_size != off_t(SaveRecordSize)) return refuse(SizeReason(st.st_size));

    // Opened without waiting, and looked at again through the descriptor, in
    // case the name was given to something else meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refuse(errno == ENOENT ? QStringLiteral("файл исчез, пока его открывали") : ReadErrorReason(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0) return refuse(ReadErrorReason(errno));
    if (!S_ISREG(st.st_mode)) return refuse(KindReason(st.st_mode));
    if (st.st_size != off_t(SaveRecordSize)) return refuse(SizeReason(st.st_size));

    size_t done = 0;
    while (done < SaveRecordSize) {
        const ssize_t n = ::read(fd, out + done, SaveRecordSize - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return refuse(QStringLiteral("файл не читается: ") + ReadErrorReason(errno));
        }
        if (n == 0)
            return refuse(QStringLiteral("файл укоротился, пока его читали: прочитано ") + Bytes(int64_t(done)) +
                          QStringLiteral(" из ") + Bytes(int64_t(SaveRecordSize)));
        done += static_cast<size_t>(n);
    }
    uint8_t more = 0;
    ssize_t n;
    do n = ::read(fd, &more, 1);
    while (n < 0 && errno == EINTR);
    if (n > 0) return refuse(QStringLiteral("файл вырос, пока его читали"));
    return true;
}

}  // namespace

#else  // not a Unix system

namespace {

bool ReadRecordFile(const QString& path, uint8_t* out, const Refusal& refuse) {
    if (path.isEmpty()) return refuse(QStringLiteral("имя файла не задано"));
    const QFileInfo info(path);
    if (!info.exists()) return refuse(QStringLiteral("такого файла нет"));
    if (info.isDir()) return refuse(QStringLiteral("это папка, а не файл"));
    if (!info.isFile()) return refuse(QStringLiteral("это не обычный файл"));
    if (info.size() != qint64(SaveRecordSize)) return refuse(SizeReason(info.size()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QFileInfo::exists(path) ? QStringLiteral("нет прав на чтение файла: ") + file.errorString()
                                              : QStringLiteral("файл исчез, пока его открывали"));
    if (file.size() != qint64(SaveRecordSize)) return refuse(SizeReason(file.size()));
    const qint64 n = file.read(reinterpret_cast<char*>(out), qint64(SaveRecordSize));
    if (n < 0) return refuse(QStringLiteral("файл не читается: ") + file.errorString());
    if (n != qint64(SaveRecordSize))
        return refuse(QStringLiteral("файл укоротился, пока его читали: прочитано ") + Bytes(n) +
                      QStringLiteral(" из ") + Bytes(int64_t(SaveRecordSize)));
    char more;
    if (file.read(&more, 1) > 0) return refuse(QStringLiteral("файл вырос, пока его читали"));
    return true;
}

}  // namespace

#endif

bool ReadSaveFile(const QString& path, TSaveRecord& bytes, TGameState& state, QString* reason) {
    if (!ReadRecordFile(path, bytes.data(), Refusal{reason})) return false;
    return ReadSaveRecord(bytes, state, reason);
}

bool ReadSaveFile(const QString& path, TGameState& state, QString* reason) {
    return ReadSaveFile(path, FileRecord, state, reason);
}
