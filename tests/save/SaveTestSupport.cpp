#include "SaveTestSupport.h"

#include <csignal>
#include <cstdlib>

#include <QDir>
#include <QFile>

#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <unistd.h>
#endif

int32_t Int32At(const uint8_t* p, size_t offset) {
    const uint32_t u = uint32_t(p[offset]) | uint32_t(p[offset + 1]) << 8 | uint32_t(p[offset + 2]) << 16 |
                       uint32_t(p[offset + 3]) << 24;
    return static_cast<int32_t>(u);
}

void FillGame(TGameState& s, int n) {
    ClearGameData(s);
    s.QuantityFeud = static_cast<uint8_t>(n);
    s.QuantityGamer = 1;
    const int strip = MapWidth / n;
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) s.Map[y][x] = static_cast<uint8_t>(x / strip < n ? x / strip + 1 : n);
    for (int f = 1; f <= n; ++f) {
        TFeud& d = s.Feuds[f];
        d.NameFeud = static_cast<uint8_t>(f);
        d.Len = strip * MapHeight - 25;
        d.Lennik = 1;
        d.Fertility = 1.0;
        d.Auth = 50;
        d.Senior = 1;  // feud 1 is the king, the rest his vassals
        d.Gamer = f == 1;
        d.NameFeudal.Assign(QStringLiteral("Феодал %1").arg(f));
        for (int j = 1; j <= n; ++j) d.Neighbour[j] = std::abs(j - f) <= 1;
        s.Lenniks[f].Feud = static_cast<uint8_t>(f);
        s.Lenniks[f].Health = 25;
        s.TurnOrder[f] = static_cast<uint8_t>(f);
    }
    s.KingFeud = 1;
    s.Year = 1;
    s.Week = 1;
    s.TurnIndex = 1;
    s.CurrentFeud = 1;
}

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

#ifdef Q_OS_WIN

// Windows has neither a superuser to step down from nor a limit on the size
// of the files a process writes: the helpers do nothing, Active() is false.
Unprivileged::Unprivileged() = default;
Unprivileged::~Unprivileged() = default;
FileSizeLimit::FileSizeLimit(uint64_t) {}
FileSizeLimit::~FileSizeLimit() = default;

#else

namespace {
constexpr uid_t NobodyId = 65534;
}

Unprivileged::Unprivileged() {
    if (::geteuid() != 0) {
        active_ = true;
        return;
    }
    if (::setegid(NobodyId) != 0) return;
    if (::seteuid(NobodyId) != 0) {
        [[maybe_unused]] const int back = ::setegid(0);
        return;
    }
    active_ = switched_ = true;
}

Unprivileged::~Unprivileged() {
    if (!switched_) return;
    [[maybe_unused]] const int user = ::seteuid(0);
    [[maybe_unused]] const int group = ::setegid(0);
}

FileSizeLimit::FileSizeLimit(uint64_t limit) {
    // Past the limit the system would also send a signal that ends the process.
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    soft_ = old.rlim_cur;
    hard_ = old.rlim_max;
    rlimit lowered {static_cast<rlim_t>(limit), old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &lowered);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit restored {static_cast<rlim_t>(soft_), static_cast<rlim_t>(hard_)};
    ::setrlimit(RLIMIT_FSIZE, &restored);
    std::signal(SIGXFSZ, oldHandler_);
}

#endif
