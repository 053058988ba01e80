#include "save/SaveGame.h"

#include <bit>
#include <cstddef>
#include <limits>
#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFileInfo>

TSaveRecord SaveGame;

// ---------------------------------------------------------------- the record

int KingBySeniors(const TGameState& s) {
    const int q = s.QuantityFeud < MaxFeud ? s.QuantityFeud : MaxFeud;
    for (int n = 1; n <= q; ++n)
        if (s.Feuds[n].Senior == n) return n;
    return 0;
}

uint8_t KingFeudByte(const TGameState& s) {
    if (KingBySeniors(s) == s.KingFeud) return 0;
    return s.KingFeud != 0 ? s.KingFeud : uint8_t{255};
}

namespace {

void PutByte(uint8_t* p, size_t offset, uint8_t v) { p[offset] = v; }

void PutInt32(uint8_t* p, size_t offset, int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    p[offset] = static_cast<uint8_t>(u);
    p[offset + 1] = static_cast<uint8_t>(u >> 8);
    p[offset + 2] = static_cast<uint8_t>(u >> 16);
    p[offset + 3] = static_cast<uint8_t>(u >> 24);
}

void PutDouble(uint8_t* p, size_t offset, double v) {
    const uint64_t u = std::bit_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i) p[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(u >> (8 * i));
}

void PutFeud(uint8_t* p, const TFeud& f) {
    PutByte(p, 0, f.NameFeud);
    PutInt32(p, 4, f.Len);
    PutInt32(p, 8, f.Lennik);
    PutInt32(p, 12, f.LennikAppear);
    PutInt32(p, 20, f.Grain);
    PutInt32(p, 24, f.Peasant);
    PutInt32(p, 28, f.Cow);
    PutInt32(p, 32, f.Horse);
    PutDouble(p, 40, f.PastureCow);
    PutDouble(p, 48, f.PastureHorse);
    PutDouble(p, 56, f.Fertility);
    PutByte(p, 64, f.CrossTime);
    PutInt32(p, 68, f.AddLennik);
    PutInt32(p, 72, f.AddGrain);
    PutInt32(p, 76, f.AddCow);
    PutInt32(p, 80, f.AddHorse);
    PutInt32(p, 84, f.PosX);
    PutInt32(p, 88, f.PosY);

    // The name: its length, then only that many bytes; the rest stays zero.
    constexpr int nameCapacity = sizeof f.NameFeudal.Data;
    const int nameLength = f.NameFeudal.Length < nameCapacity ? f.NameFeudal.Length : nameCapacity;
    PutByte(p, 92, static_cast<uint8_t>(nameLength));
    std::memcpy(p + 93, f.NameFeudal.Data, static_cast<size_t>(nameLength));

    PutByte(p, 118, f.Gamer);
    PutByte(p, 119, f.Senior);
    PutByte(p, 120, f.Independence);
    PutInt32(p, 124, f.Auth);
    PutByte(p, 128, f.JobLennik);
    PutByte(p, 129, f.JobVassal);
    PutByte(p, 130, f.CallLennik);
    PutByte(p, 131, f.CallVassal);
    PutByte(p, 132, f.LennikInService);
    PutByte(p, 133, f.VassalInService);
    PutByte(p, 135, f.WeekJobLennik);
    PutByte(p, 136, f.DismissLennik);
    PutByte(p, 137, f.DismissVassal);

    // The feudal's figures, his horse, his equipment and his battle record:
    // 31 consecutive 32-bit fields from offset 140.
    const int32_t figures[] = {
        f.Level,         f.LevelSpear,    f.LevelSword,     f.LevelRiding,     f.Health,          f.Strength,
        f.Endurance,     f.Morale,        f.Discipline,     f.HorseSpeed,      f.HorseStrength,   f.HorseEndurance,
        f.HorseSize,     f.HorseArmourHead, f.HorseArmourBody, f.WeaponSpear,  f.WeaponSword,     f.Helmet,
        f.Defence,       f.Shield,        f.Hand,           f.Glove,           f.Leg,             f.Victory,
        f.Lose,          f.VictorySiege,  f.LoseSiege,      f.KillEnemy,       f.KillOur,         f.PrisonerEnemy,
        f.PrisonerOur,
    };
    static_assert(std::size(figures) == 31);
    for (size_t i = 0; i < std::size(figures); ++i) PutInt32(p, 140 + 4 * i, figures[i]);

    PutByte(p, 268, f.ArmyFeud);
    PutByte(p, 269, f.ArmyCommand);
    PutByte(p, 270, f.ArmyTarget);
    PutByte(p, 271, f.ArmyTime);
    // Rows indexed by the other feud's number: entry j of each row at base + j.
    for (int j = 1; j <= MaxFeud; ++j) {
        const size_t k = static_cast<size_t>(j);
        PutByte(p, 271 + k, static_cast<uint8_t>(f.DipToFeudalShow[j]));
        PutByte(p, 291 + k, static_cast<uint8_t>(f.DipToFeudalTrue[j]));
        PutByte(p, 311 + k, static_cast<uint8_t>(f.DipFromFeudalShow[j]));
        PutByte(p, 331 + k, static_cast<uint8_t>(f.DipFromFeudalTrue[j]));
        PutByte(p, 351 + k, f.Neighbour[j]);
    }
    PutByte(p, 372, f.DipMode);
    PutByte(p, 373, f.DipView);
}

void PutLennik(uint8_t* p, const TLennik& l) {
    PutByte(p, 0, l.Feud);
    PutByte(p, 1, l.Appear);
    PutByte(p, 2, l.InCastle);
    PutInt32(p, 4, l.Spear);
    PutInt32(p, 8, l.Sword);
    PutInt32(p, 12, l.Riding);
    PutInt32(p, 16, l.Health);
    PutInt32(p, 20, l.Strength);
    PutInt32(p, 24, l.Endurance);
    PutInt32(p, 28, l.Armour);
    PutInt32(p, 32, l.Morale);
    PutInt32(p, 36, l.Discipline);
    PutInt32(p, 40, l.Battle);
}

}  // namespace

void BuildSaveRecordByFields(const TGameState& s, TSaveRecord& record) {
    uint8_t* p = record.data();
    std::memset(p, 0, record.size());
    for (int n = 1; n <= MaxFeud; ++n)
        PutFeud(p + SaveFeudsOffset + static_cast<size_t>(n - 1) * SaveFeudSize, s.Feuds[n]);
    std::memcpy(p + SaveMapOffset, s.Map, sizeof s.Map);
    for (int k = 1; k <= MaxLennik; ++k)
        PutLennik(p + SaveLenniksOffset + static_cast<size_t>(k - 1) * SaveLennikSize, s.Lenniks[k]);
    for (int i = 1; i <= MaxFeud; ++i) PutByte(p, SaveTurnOrderOffset + static_cast<size_t>(i - 1), s.TurnOrder[i]);
    PutByte(p, SaveCurrentFeudOffset, s.CurrentFeud);
    PutByte(p, SaveQuantityFeudOffset, s.QuantityFeud);
    PutByte(p, SaveKingFeudOffset, KingFeudByte(s));
    PutInt32(p, SaveYearOffset, s.Year);
    PutByte(p, SaveWeekOffset, s.Week);
}

// ---------------------------------------------------------------- in blocks

// Where the state's memory already holds the bytes in the file's order (the
// feud record's runs of like fields, the grid, the lennik slots), they are
// copied in blocks; the checks below hold the two layouts together.
namespace {

constexpr bool BlockCopies = std::endian::native == std::endian::little && std::numeric_limits<double>::is_iec559 &&
                             sizeof(double) == 8;

// Bytes from the first byte of field First to the last byte of field Last.
#define SAVE_SPAN(Type, First, Last) (offsetof(Type, Last) + sizeof(Type::Last) - offsetof(Type, First))

static_assert(SAVE_SPAN(TFeud, Len, LennikAppear) == 3 * 4);
static_assert(SAVE_SPAN(TFeud, Grain, Horse) == 4 * 4);
static_assert(SAVE_SPAN(TFeud, PastureCow, Fertility) == 3 * 8);
static_assert(SAVE_SPAN(TFeud, AddLennik, PosY) == 6 * 4);
static_assert(SAVE_SPAN(TFeud, Gamer, Independence) == 3);
static_assert(SAVE_SPAN(TFeud, JobLennik, VassalInService) == 6);
static_assert(SAVE_SPAN(TFeud, WeekJobLennik, DismissVassal) == 3);
static_assert(SAVE_SPAN(TFeud, Level, PrisonerOur) == 31 * 4);
static_assert(SAVE_SPAN(TFeud, ArmyFeud, ArmyTime) == 4);
static_assert(SAVE_SPAN(TFeud, DipMode, DipView) == 2);
static_assert(sizeof(TFeud::DipToFeudalShow) == MaxFeud + 1 && sizeof(TFeud::Neighbour) == MaxFeud + 1);

// A lennik slot in memory is the file's slot, but for its padding byte.
static_assert(sizeof(TLennik) == SaveLennikSize);
static_assert(offsetof(TLennik, Feud) == 0 && offsetof(TLennik, Appear) == 1 && offsetof(TLennik, InCastle) == 2);
static_assert(offsetof(TLennik, Spear) == 4 && SAVE_SPAN(TLennik, Spear, Battle) == 10 * 4);
static_assert(sizeof(TGameState::Map) == size_t(MapHeight) * MapWidth);

// Bytes of the feud record from offset from on, read through the record's
// own bytes, so that a copy spanning several fields reads no field through
// the address of another.
void Block(uint8_t* p, size_t offset, const TFeud& f, size_t from, size_t bytes) {
    std::memcpy(p + offset, reinterpret_cast<const unsigned char*>(&f) + from, bytes);
}

// Where field First starts in the record, and the bytes to Last's end.
#define SAVE_FIELDS(First, Last) offsetof(TFeud, First), SAVE_SPAN(TFeud, First, Last)

void PutFeudInBlocks(uint8_t* p, const TFeud& f) {
    std::memset(p, 0, SaveFeudSize);
    p[0] = f.NameFeud;
    Block(p, 4, f, SAVE_FIELDS(Len, LennikAppear));
    Block(p, 20, f, SAVE_FIELDS(Grain, Horse));
    Block(p, 40, f, SAVE_FIELDS(PastureCow, Fertility));
    p[64] = f.CrossTime;
    Block(p, 68, f, SAVE_FIELDS(AddLennik, PosY));
    constexpr int nameCapacity = sizeof f.NameFeudal.Data;
    const int nameLength = f.NameFeudal.Length < nameCapacity ? f.NameFeudal.Length : nameCapacity;
    p[92] = static_cast<uint8_t>(nameLength);
    std::memcpy(p + 93, f.NameFeudal.Data, static_cast<size_t>(nameLength));
    Block(p, 118, f, SAVE_FIELDS(Gamer, Independence));
    Block(p, 124, f, SAVE_FIELDS(Auth, Auth));
    Block(p, 128, f, SAVE_FIELDS(JobLennik, VassalInService));
    Block(p, 135, f, SAVE_FIELDS(WeekJobLennik, DismissVassal));
    Block(p, 140, f, SAVE_FIELDS(Level, PrisonerOur));
    Block(p, 268, f, SAVE_FIELDS(ArmyFeud, ArmyTime));
    // The tables' entry 0 is not in the file.
    Block(p, 272, f, offsetof(TFeud, DipToFeudalShow) + 1, MaxFeud);
    Block(p, 292, f, offsetof(TFeud, DipToFeudalTrue) + 1, MaxFeud);
    Block(p, 312, f, offsetof(TFeud, DipFromFeudalShow) + 1, MaxFeud);
    Block(p, 332, f, offsetof(TFeud, DipFromFeudalTrue) + 1, MaxFeud);
    Block(p, 352, f, offsetof(TFeud, Neighbour) + 1, MaxFeud);
    Block(p, 372, f, SAVE_FIELDS(DipMode, DipView));
}

#undef SAVE_FIELDS

// The slots in pieces small enough to stay in the nearest cache while each
// piece's padding bytes are cleared.
void PutLenniksInBlocks(uint8_t* p, const TLennik* first, int count) {
    constexpr int piece = 512;
    for (int done = 0; done < count; done += piece) {
        const int n = count - done < piece ? count - done : piece;
        uint8_t* out = p + size_t(done) * SaveLennikSize;
        std::memcpy(out, first + done, size_t(n) * SaveLennikSize);
        for (int i = 0; i < n; ++i) out[size_t(i) * SaveLennikSize + 3] = 0;
    }
}

#undef SAVE_SPAN

}  // namespace

void BuildSaveRecord(const TGameState& s, TSaveRecord& record) {
    if constexpr (!BlockCopies) {
        BuildSaveRecordByFields(s, record);
    } else {
        uint8_t* p = record.data();
        for (int n = 1; n <= MaxFeud; ++n)
            PutFeudInBlocks(p + SaveFeudsOffset + static_cast<size_t>(n - 1) * SaveFeudSize, s.Feuds[n]);
        std::memcpy(p + SaveMapOffset, s.Map, sizeof s.Map);
        PutLenniksInBlocks(p + SaveLenniksOffset, &s.Lenniks[1], MaxLennik);
        std::memcpy(p + SaveTurnOrderOffset, &s.TurnOrder[1], MaxFeud);
        std::memset(p + SaveCurrentFeudOffset, 0, SaveRecordSize - SaveCurrentFeudOffset);
        p[SaveCurrentFeudOffset] = s.CurrentFeud;
        p[SaveQuantityFeudOffset] = s.QuantityFeud;
        p[SaveKingFeudOffset] = KingFeudByte(s);
        std::memcpy(p + SaveYearOffset, &s.Year, sizeof s.Year);
        p[SaveWeekOffset] = s.Week;
    }
}

// ---------------------------------------------------------------- reasons

namespace {
QString Access() { return QStringLiteral("Отказано в доступе"); }
QString ReadOnly() { return QStringLiteral("Диск защищен от записи"); }
QString NoSpace() { return QStringLiteral("Недостаточно места на диске"); }
QString Quota() { return QStringLiteral("Превышена дисковая квота"); }
QString NoFolder() { return QStringLiteral("Папка не найдена"); }
QString NameTooLong() { return QStringLiteral("Слишком длинное имя файла"); }
QString TooBig() { return QStringLiteral("Файл слишком велик"); }
QString InputOutput() { return QStringLiteral("Ошибка ввода-вывода"); }
QString TooManyOpen() { return QStringLiteral("Слишком много открытых файлов"); }
}  // namespace

QString SaveErrorReason(int errorNumber) {
    switch (errorNumber) {
    case SaveErrorNoNewFiles:
        return QStringLiteral("В этой папке нельзя создавать файлы");
    case SaveErrorNoFreeInode:
        return QStringLiteral("На диске не осталось свободных индексных дескрипторов для новых файлов");
    case EACCES:
    case EPERM:
        return Access();
    case EROFS:
        return ReadOnly();
    case ENOSPC:
        return NoSpace();
#ifdef EDQUOT
    case EDQUOT:
        return Quota();
#endif
    case ENOENT:
        return NoFolder();
    case ENOTDIR:
        return QStringLiteral("Часть пути не является папкой");
    case EISDIR:
        return QStringLiteral("Под этим именем уже есть папка");
    case ENAMETOOLONG:
        return NameTooLong();
    case EFBIG:
        return TooBig();
    case EIO:
        return InputOutput();
    case EMFILE:
    case ENFILE:
        return TooManyOpen();
    default:
        return QStringLiteral("%1 (код %2)").arg(QString::fromLocal8Bit(std::strerror(errorNumber))).arg(errorNumber);
    }
}

QString SaveErrorReasonWindows(uint32_t code) {
    // The codes as the system's headers number them; here so that the table
    // is the same on every system the game is built on.
    switch (code) {
    case 5:     // ERROR_ACCESS_DENIED
        return Access();
    case 32:    // ERROR_SHARING_VIOLATION
    case 33:    // ERROR_LOCK_VIOLATION
        return QStringLiteral("Файл занят другой программой");
    case 19:    // ERROR_WRITE_PROTECT
        return ReadOnly();
    case 39:    // ERROR_HANDLE_DISK_FULL
    case 112:   // ERROR_DISK_FULL
        return NoSpace();
    case 1295:  // ERROR_DISK_QUOTA_EXCEEDED
        return Quota();
    case 2:     // ERROR_FILE_NOT_FOUND
    case 3:     // ERROR_PATH_NOT_FOUND
    case 15:    // ERROR_INVALID_DRIVE
        return NoFolder();
    case 111:   // ERROR_BUFFER_OVERFLOW: a name longer than the system takes
    case 206:   // ERROR_FILENAME_EXCED_RANGE
        return NameTooLong();
    case 123:   // ERROR_INVALID_NAME
        return QStringLiteral("Недопустимое имя файла");
    case 223:   // ERROR_FILE_TOO_LARGE
        return TooBig();
    case 21:    // ERROR_NOT_READY
        return QStringLiteral("Устройство не готово");
    case 23:    // ERROR_CRC
    case 29:    // ERROR_WRITE_FAULT
    case 1117:  // ERROR_IO_DEVICE
        return InputOutput();
    case 4:     // ERROR_TOO_MANY_OPEN_FILES
        return TooManyOpen();
    default:
        return QString();
    }
}

// ---------------------------------------------------------------- the folder

QString SaveGameFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\Marchfell\\SaveGame");
#else
    return QDir::homePath() + QStringLiteral("/Marchfell/SaveGame");
#endif
}

QString SaveDialogFolder() {
    const QString folder = SaveGameFolder();
    return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}
