// Writing the file: the whole record under the exact name, an earlier save
// replaced only by a complete new one, and every refusal of the system
// reported with its reason and nothing left behind.
#include <cerrno>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <climits>
#include <csignal>

#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "SaveTestSupport.h"

namespace {

class SaveFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        Chmod(tmp.path(), 0755);  // traversable by the unprivileged user some tests act as
        folder = tmp.path() + "/SaveGame";
        ASSERT_TRUE(QDir().mkpath(folder));
        path = folder + "/game.mcs";
    }

    static bool Write(const QString& path, const QByteArray& bytes, QString* reason = nullptr) {
        return WriteSaveFile(path, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), reason);
    }
#ifdef Q_OS_WIN
    static void Chmod(const QString&, int) {}  // no permission bits to set
#else
    static void Chmod(const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); }
#endif

    QTemporaryDir tmp;
    QString folder, path;
    const QByteArray first = QByteArray(qsizetype(SaveRecordSize), 'A');
    const QByteArray second = QByteArray(qsizetype(SaveRecordSize), 'B');
};

TEST_F(SaveFileTest, WritesUnderTheNameAsTypedAndReplacesAnEarlierSave) {
    ASSERT_TRUE(Write(folder + "/Моя игра", first));
    EXPECT_EQ(ReadWholeFile(folder + "/Моя игра"), first);  // no extension added

    ASSERT_TRUE(Write(path, first));
    Chmod(path, 0640);
    QString reason;
    ASSERT_TRUE(Write(path, second, &reason)) << reason.toStdString();
    EXPECT_EQ(ReadWholeFile(path), second);
#ifndef Q_OS_WIN  // Windows keeps no Unix permission bits and its links are shortcut files
    EXPECT_EQ(QFileInfo(path).permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);

    // Through a link the file it names is replaced and the link stays.
    const QString link = tmp.path() + "/link.mcs";
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(Write(link, first));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), path);
    EXPECT_EQ(ReadWholeFile(path), first);
#endif

    EXPECT_EQ(FolderEntries(folder), (QStringList{"game.mcs", "Моя игра"}));  // no temporary file left
}

TEST_F(SaveFileTest, PathsThatCannotHoldTheFileAreReported) {
    ASSERT_TRUE(Write(path, first));
    const std::pair<QString, QString> cases[] = {
        {tmp.path() + "/Нет такой/game.mcs", "Папка не найдена"},
        {path + "/game.mcs", "Часть пути не является папкой"},
        {folder, "Под этим именем уже есть папка"},
        {folder + "/" + QString(300, 'x'), "Слишком длинное имя файла"},
        {"/proc/x.mcs", "В этой папке нельзя создавать файлы"},  // the folder is there
    };
    for (const auto& [target, expected] : cases) {
        QString reason;
        EXPECT_FALSE(Write(target, second, &reason)) << target.toStdString();
#ifdef Q_OS_WIN
        EXPECT_FALSE(reason.isEmpty()) << target.toStdString();  // the system's own words there
#else
        EXPECT_EQ(reason, expected) << target.toStdString();
#endif
    }
    EXPECT_EQ(ReadWholeFile(path), first);
    EXPECT_EQ(FolderEntries(folder), QStringList{"game.mcs"});
}

TEST_F(SaveFileTest, ReadOnlyFolderIsWrittenInPlaceAndReadOnlyFileKept) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows has no Unix permission bits to make a folder read-only to the player";
#endif
    ASSERT_TRUE(Write(path, first));
    const QString other = tmp.path() + "/other.mcs";
    ASSERT_TRUE(Write(other, first));
    Chmod(path, 0666);    // the file would let anybody write it, its folder not
    Chmod(folder, 0555);
    Chmod(tmp.path(), 0777);
    Chmod(other, 0444);   // the folder would let us replace it, the file not
    bool written[4] = {};
    QString reasons[4];
    {
        Unprivileged user;
        if (!user.Active()) GTEST_SKIP() << "running as root and cannot act as an unprivileged user";
        written[0] = Write(path, second, &reasons[0]);
        written[1] = Write(other, second, &reasons[1]);
        written[2] = Write(folder + "/new.mcs", second, &reasons[2]);
        // Written in place, a failure part-way says the file is incomplete.
        FileSizeLimit limit(64 * 1024);
        written[3] = Write(path, first, &reasons[3]);
    }
    EXPECT_FALSE(written[3]);
    EXPECT_EQ(reasons[3], "Файл слишком велик; файл записан не полностью");
    EXPECT_EQ(ReadWholeFile(path).size(), 64 * 1024);
    ASSERT_TRUE(Write(path, second));
    Chmod(folder, 0755);
    EXPECT_TRUE(written[0]) << reasons[0].toStdString();
    EXPECT_EQ(ReadWholeFile(path), second);
    EXPECT_FALSE(written[1]);
    EXPECT_FALSE(written[2]);
    EXPECT_EQ(reasons[1], "Отказано в доступе");
    EXPECT_EQ(reasons[2], "Отказано в доступе");
    EXPECT_EQ(ReadWholeFile(other), first);
    EXPECT_EQ(FolderEntries(folder), QStringList{"game.mcs"});
    EXPECT_EQ(FolderEntries(tmp.path()), (QStringList{"SaveGame", "other.mcs"}));
}

TEST_F(SaveFileTest, FullDeviceReportsDiskFull) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows has no full device to write to";
#else
    // As root, a full-device node of our own: were it ever replaced instead
    // of written, the system's /dev/full would be lost.
    QString device = "/dev/full";
    if (::geteuid() == 0) {
        device = tmp.path() + "/full";
        if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            GTEST_SKIP() << "cannot make a full device node";
    }
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) != 0 || !S_ISCHR(st.st_mode)) GTEST_SKIP() << "no full device";
    QString reason;
    EXPECT_FALSE(Write(device, first, &reason));
    EXPECT_EQ(reason, "Недостаточно места на диске");
    ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));  // written in place, never replaced by a file
#endif
}

TEST_F(SaveFileTest, FailureHalfwayKeepsTheEarlierFileAndLeavesNoTemporary) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows has no limit on a process's file size to make a write fail halfway";
#endif
    const QByteArray small(1000, 'S');
    ASSERT_TRUE(Write(path, small));
    bool written = true;
    QString reason;
    {
        FileSizeLimit limit(64 * 1024);  // the write stops 64 KiB into the new record
        written = Write(path, second, &reason);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(reason, "Файл слишком велик");
    EXPECT_EQ(ReadWholeFile(path), small);
    EXPECT_EQ(FolderEntries(folder), QStringList{"game.mcs"});
}

// The next save sweeps up a temporary file only when it is surely a killed
// save's of this machine and this player. The tests may run as root, where
// ownership proves nothing, so the decision is tried on its own.
TEST(SaveSweepTest, OnlyOurOwnDeadLeftoversAreSwept) {
    const auto runs = [](long long pid) { return pid == 100; };  // the one live process
    const QByteArray longName = QString(100, u'ж').toUtf8();       // 200 bytes, cut to 160 in the name
    const struct {
        const char* what;
        QByteArray target, file;
        bool regular, ours, swept;
    } rows[] = {
        {"a dead one of ours", "game.mcs", ".game.mcs.here.200-1.tmp", true, true, true},
        {"its process still writes", "game.mcs", ".game.mcs.here.100-7.tmp", true, true, false},
        {"another machine's", "game.mcs", ".game.mcs.there.200-1.tmp", true, true, false},
        {"a machine whose name begins as ours", "game.mcs", ".game.mcs.here-2.200-1.tmp", true, true, false},
        {"another player's", "game.mcs", ".game.mcs.here.200-1.tmp", true, false, false},
        {"not a plain file", "game.mcs", ".game.mcs.here.200-1.tmp", false, true, false},
        {"a save to another file", "other.mcs", ".game.mcs.here.200-1.tmp", true, true, false},
        {"not a process number", "game.mcs", ".game.mcs.here.2x0-1.tmp", true, true, false},
        {"no serial number", "game.mcs", ".game.mcs.here.200-.tmp", true, true, false},
        {"no process number", "game.mcs", ".game.mcs.here.-1.tmp", true, true, false},
        {"a long name, cut between characters", longName, "." + longName.left(160) + ".here.200-1.tmp", true, true,
         true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SweepsLeftover({row.file, row.regular, row.ours}, row.target, "here", runs), row.swept) << row.what;
    EXPECT_FALSE(SweepsLeftover({".game.mcs..200-1.tmp", true, true}, "game.mcs", "", runs));  // host unknown
}

// Every cause told in Russian as the system numbers it on Linux and on
// Windows, and one of them met for real.
TEST(SaveReasonTest, EveryCauseToldInRussian) {
    const QString space = "Недостаточно места на диске", files = "Слишком много открытых файлов",
                  readOnly = "Диск защищен от записи", longName = "Слишком длинное имя файла",
                  quota = "Превышена дисковая квота";
    const std::pair<int, QString> errors[] = {
        {ENOSPC, space}, {EMFILE, files}, {ENFILE, files}, {EROFS, readOnly}, {ENAMETOOLONG, longName},
        {SaveErrorNoFreeInode, "На диске не осталось свободных индексных дескрипторов для новых файлов"},
#ifdef EDQUOT
        {EDQUOT, quota},
#endif
    };
    for (const auto& [error, text] : errors) EXPECT_EQ(SaveErrorReason(error), text) << error;
    // ERROR_DISK_FULL, _HANDLE_DISK_FULL, _DISK_QUOTA_EXCEEDED, _TOO_MANY_OPEN_FILES, _WRITE_PROTECT,
    // _FILENAME_EXCED_RANGE, and one the game leaves to other means.
    const std::pair<uint32_t, QString> codes[] = {{112, space}, {39, space},    {1295, quota}, {4, files},
                                                  {19, readOnly}, {206, longName}, {87, ""}};
    for (const auto& [code, text] : codes) EXPECT_EQ(SaveErrorReasonWindows(code), text) << code;
#ifndef Q_OS_WIN
    // No descriptor left for the temporary file, nor for the file itself.
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/game.mcs";
    ASSERT_TRUE(WriteSaveFile(path, reinterpret_cast<const uint8_t*>("old"), 3, nullptr));
    QString reason;
    rlimit old {};
    ::getrlimit(RLIMIT_NOFILE, &old);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    const rlimit none {rlim_t(lowestFree), old.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &none);
    const bool written = WriteSaveFile(path, reinterpret_cast<const uint8_t*>("new"), 3, &reason);
    ::setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_FALSE(written);
    EXPECT_EQ(reason, files);
    EXPECT_EQ(ReadWholeFile(path), "old");
#endif
}

#ifdef Q_OS_WIN
TEST_F(SaveFileTest, KilledAtAnyMomentTheSaveIsTheOldOrTheNewRecord) {
    GTEST_SKIP() << "Windows has no fork and ptrace to stop the writer at each of its system calls";
}
#else
// The writer in a child process, stopped at each entry to and exit from a
// system call and killed at the stop-th of them. Returns true when it was
// killed, false when it finished first or (refused) could not be traced.
bool WriteKilledAt(const QString& path, const QByteArray& bytes, int stop, bool* refused) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) ::_exit(3);
        ::raise(SIGSTOP);
        ::_exit(WriteSaveFile(path, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), nullptr)
                    ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    *refused = WIFEXITED(status);
    if (*refused) return false;
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_EXITKILL);
    for (int i = 0; i < stop; ++i) {
        ::ptrace(PTRACE_SYSCALL, child, nullptr, nullptr);
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status)) return false;
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return true;
}

TEST_F(SaveFileTest, KilledAtAnyMomentTheSaveIsTheOldOrTheNewRecord) {
    const QByteArray* records[2] = {&first, &second};
    int old = 0;
    ASSERT_TRUE(Write(path, first));
    int stop = 1;
    for (bool killed = true; killed; ++stop) {
        SCOPED_TRACE(stop);
        bool refused = false;
        killed = WriteKilledAt(path, *records[1 - old], stop, &refused);
        if (refused) GTEST_SKIP() << "the system refuses to trace a child process";
        const QByteArray now = ReadWholeFile(path);
        ASSERT_TRUE(now == *records[old] || now == *records[1 - old]) << now.size() << " bytes";
        if (!killed) {
            EXPECT_TRUE(now == *records[1 - old]);
        }
        // What a kill leaves is hidden and not a saved game to the dialog.
        EXPECT_EQ(QDir(folder).entryList({"*.mcs"}, QDir::Files), QStringList{"game.mcs"});
        for (const QString& entry : FolderEntries(folder))
            EXPECT_TRUE(entry == "game.mcs" || entry.startsWith('.')) << entry.toStdString();
        // The next save works as ever, and sweeps up what the killed one left.
        old = now == second;
        ASSERT_TRUE(Write(path, *records[1 - old]));
        EXPECT_TRUE(ReadWholeFile(path) == *records[1 - old]);
        EXPECT_EQ(FolderEntries(folder), QStringList{"game.mcs"});
        old = 1 - old;
    }
    EXPECT_GT(stop, 30);  // killed at every step: the writes, the flush, the rename

    // A save still being written by a live process is left alone, and so is
    // one from another machine sharing the folder.
    const QString host = QString::fromUtf8(SaveHostName());
    const QString live = ".game.mcs." + host + "." + QString::number(::getpid()) + "-999.tmp";
    const QString gone = ".game.mcs." + host + "." + QString::number(INT_MAX) + "-1.tmp";  // beyond any process number
    const QString elsewhere = ".game.mcs.elsewhere-" + host + "." + QString::number(INT_MAX) + "-1.tmp";
    for (const QString& file : {live, gone, elsewhere}) ASSERT_TRUE(Write(folder + "/" + file, first));
    ASSERT_TRUE(Write(path, second));
    QStringList entries = FolderEntries(folder), kept{live, elsewhere, "game.mcs"};
    entries.sort();
    kept.sort();
    EXPECT_EQ(entries, kept);
}
#endif

}  // namespace
