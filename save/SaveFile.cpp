// Writing the save file so that a failure never costs the player his earlier
// save: the record goes to a temporary file beside the target, is flushed to
// the disk, and only then takes the target's name.
#include "save/SaveGame.h"

#include <cerrno>
#include <climits>

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

// ---------------------------------------------------------------- temporary files

namespace {

// The target's name as its temporary file carries it: cut, never inside a
// character, so that the whole name with the host (64 bytes at most), the
// process and the serial number stays within the 255 bytes a name may have.
QByteArray NameInTemp(const QByteArray& name) {
    constexpr qsizetype most = 160;
    if (name.size() <= most) return name;
    qsizetype n = most;
    while (n > 0 && (static_cast<uint8_t>(name[n]) & 0xC0) == 0x80) --n;
    return name.left(n);
}

// ".<name>.<host>.": what every temporary file of a save to name on this host
// begins with; "<process>-<serial>.tmp" follows.
QByteArray TempPrefix(const QByteArray& name, const QByteArray& host) {
    return '.' + NameInTemp(name) + '.' + host + '.';
}

}  // namespace

QByteArray SaveHostName() {
    static const QByteArray host = [] {
        QByteArray h = QSysInfo::machineHostName().toUtf8().left(64);
        for (char& c : h)
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-')) c = '_';
        return h;
    }();
    return host;
}

bool SweepsLeftover(const TLeftoverFile& file, const QByteArray& target, const QByteArray& host,
                    bool (*processRuns)(long long pid)) {
    if (host.isEmpty() || !file.regular || !file.ours) return false;
    const QByteArray prefix = TempPrefix(target, host);
    const QByteArray suffix = ".tmp";
    if (file.name.size() <= prefix.size() + suffix.size() || !file.name.startsWith(prefix) ||
        !file.name.endsWith(suffix))
        return false;
    // "<process>-<serial>", both plain decimal numbers.
    const QByteArray tail = file.name.mid(prefix.size(), file.name.size() - prefix.size() - suffix.size());
    const qsizetype dash = tail.indexOf('-');
    if (dash <= 0 || dash + 1 >= tail.size()) return false;
    for (qsizetype i = 0; i < tail.size(); ++i)
        if (i != dash && (tail[i] < '0' || tail[i] > '9')) return false;
    bool pidOk = false;
    const long long pid = tail.left(dash).toLongLong(&pidOk);
    if (!pidOk || pid <= 0 || pid > INT_MAX) return false;
    return !processRuns(pid);
}

#ifdef Q_OS_UNIX

#include <cstdlib>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// The outcome of a write: 0 or the cause, and whether a file written in
// place was left incomplete.
struct TWritten {
    int error = 0;
    bool partly = false;
};

// Writes everything, going on after partial writes and interruptions, in
// pieces of 256 KiB so that no single system call holds megabytes.
// Returns 0 or the error number.
int WriteAll(int fd, const uint8_t* data, size_t size) {
    constexpr size_t piece = 256 * 1024;
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size < piece ? size : piece);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

// Linux closes the descriptor even when close() reports an interruption.
int Close(int fd) { return ::close(fd) != 0 && errno != EINTR ? errno : 0; }

const char* FolderOrHere(const QByteArray& folder) { return folder.isEmpty() ? "." : folder.constData(); }

// Makes the rename itself durable. Best effort: the file is already in place.
void SyncFolder(const QByteArray& folder) {
    const int fd = ::open(FolderOrHere(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// A disk that refuses a new file for want of room may have bytes to spare
// and no free entry for one more file.
int NoRoomCause(const QByteArray& folder) {
    struct statvfs disk {};
    if (::statvfs(FolderOrHere(folder), &disk) == 0 && disk.f_files > 0 && disk.f_favail == 0 && disk.f_bavail > 0)
        return SaveErrorNoFreeInode;
    return ENOSPC;
}

bool ProcessRuns(long long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH; }

// Written in place, as the plain overwrite does.
TWritten WriteInPlace(const QByteArray& target, bool regular, const uint8_t* data, size_t size) {
    const int fd = ::open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return {errno, false};
    int error = WriteAll(fd, data, size);
    // Character devices cannot be synced; that is no failure of the save.
    if (error == 0 && ::fsync(fd) != 0 && (regular || (errno != EINVAL && errno != ENOTSUP && errno != EROFS)))
        error = errno;
    const int closeError = Close(fd);
    if (error == 0) error = closeError;
    return {error, error != 0 && regular};
}

// A save killed while writing (the program ended, the machine went down)
// leaves its temporary file behind. The next save to the same target sweeps
// up those that are surely its own (see SweepsLeftover).
void SweepLeftovers(const QByteArray& folder, const QByteArray& name) {
    const QByteArray host = SaveHostName();
    if (host.isEmpty()) return;
    DIR* dir = ::opendir(FolderOrHere(folder));
    if (!dir) return;
    const QByteArray prefix = TempPrefix(name, host);
    const uid_t us = ::geteuid();
    while (const dirent* entry = ::readdir(dir)) {
        TLeftoverFile file;
        file.name = QByteArray(entry->d_name);
        if (!file.name.startsWith(prefix)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        file.regular = S_ISREG(st.st_mode);
        file.ours = st.st_uid == us;
        if (SweepsLeftover(file, name, host, ProcessRuns)) ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

TWritten WriteReplacing(QByteArray target, const uint8_t* data, size_t size) {
    // A link is followed, as creating the file through it would be: the file
    // it names gets the new content and the link stays.
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(target.constData(), resolved)) target = QByteArray(resolved);
    }

    bool exists = false;
    if (::stat(target.constData(), &st) == 0) {
        exists = true;
        if (S_ISDIR(st.st_mode)) return {EISDIR};
        if (!S_ISREG(st.st_mode)) return WriteInPlace(target, false, data, size);
        // A file the player may not write stays as it is, although its folder
        // would let us replace it.
        if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0) return {errno};
    } else if (errno != ENOENT) {
        return {errno};
    }

    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? target.left(slash + 1) : QByteArray();
    const QByteArray name = target.mid(slash + 1);
    const QByteArray host = SaveHostName();

    // The temporary file: hidden, beside the target, named by this host, this
    // process and a serial number.
    static unsigned serial = 0;
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + TempPrefix(name, host.isEmpty() ? QByteArray("unknown") : host) +
               QByteArray::number(static_cast<qlonglong>(::getpid())) + '-' + QByteArray::number(++serial) + ".tmp";
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        const int createError = errno;
        // No temporary file beside the target: a file the player may write
        // is overwritten where it stands, as a plain save would.
        if (exists) return WriteInPlace(target, true, data, size);
        if (createError == ENOSPC) return {NoRoomCause(folder)};
        // Some folders (system information) exist and make no new files;
        // the system then says the file is not found.
        struct stat folderStat {};
        if (createError == ENOENT && ::stat(FolderOrHere(folder), &folderStat) == 0 && S_ISDIR(folderStat.st_mode))
            return {SaveErrorNoNewFiles};
        return {createError};
    }

    if (exists) {
        // The replaced file keeps its permissions and, where we may, its owner.
        ::fchmod(fd, st.st_mode & 07777);
        [[maybe_unused]] const int owned = ::fchown(fd, st.st_uid, st.st_gid);
    }

    int error = WriteAll(fd, data, size);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    const int closeError = Close(fd);
    if (error == 0) error = closeError;
    if (error == 0 && ::rename(temp.constData(), target.constData()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        return {error};
    }
    SyncFolder(folder);
    SweepLeftovers(folder, name);
    return {};
}

}  // namespace

bool WriteSaveFile(const QString& path, const uint8_t* data, size_t size, QString* reason) {
    const TWritten result = path.isEmpty() ? TWritten{ENOENT} : WriteReplacing(QFile::encodeName(path), data, size);
    if (result.error != 0 && reason)
        *reason = SaveErrorReason(result.error) + (result.partly ? PartlyWrittenReason() : QString());
    return result.error == 0;
}

bool RenameSaveFile(const QString& from, const QString& to, QString* reason) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    if (reason) *reason = SaveErrorReason(errno);
    return false;
}

bool MakeSaveFolder(const QString& folder, QString* reason) {
    const QByteArray path = QFile::encodeName(folder);
    struct stat st {};
    int error = 0;
    if (::stat(path.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        error = ENOTDIR;  // a file holds the folder's name
    } else if (errno != ENOENT) {
        error = errno;
    } else {
        // The folder above first, then this one.
        const qsizetype slash = folder.lastIndexOf(u'/');
        if (slash > 0 && !MakeSaveFolder(folder.left(slash), reason)) return false;
        if (::mkdir(path.constData(), 0777) == 0 || errno == EEXIST) return MakeSaveFolder(folder, reason);
        error = errno == ENOSPC ? NoRoomCause(QFile::encodeName(folder.left(slash > 0 ? slash : 1))) : errno;
    }
    if (reason) *reason = SaveErrorReason(error);
    return false;
}

#else  // Windows

#include <string>

#include <QDir>
#include <QSaveFile>
#include <QStorageInfo>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// The cause of a failed step on Windows: the system's own code where the game
// knows it; otherwise what the target, its folder and its disk show now;
// otherwise the toolkit's words.
QString WindowsReason(DWORD code, const QString& target, size_t size, const QString& toolkitWords) {
    QString reason = SaveErrorReasonWindows(code);
    if (!reason.isEmpty()) return reason;
    const QFileInfo file(target);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists()) return SaveErrorReasonWindows(3);        // ERROR_PATH_NOT_FOUND
    if (!folder.isDir()) return SaveErrorReason(ENOTDIR);
    if (file.isDir()) return SaveErrorReason(EISDIR);
    if (file.exists() && !file.isWritable()) return SaveErrorReasonWindows(5);  // ERROR_ACCESS_DENIED
    const QStorageInfo disk(folder.absoluteFilePath());
    if (disk.isValid()) {
        if (disk.isReadOnly()) return SaveErrorReasonWindows(19);  // ERROR_WRITE_PROTECT
        // What the player may use is what his quota leaves of the free bytes.
        const qint64 need = static_cast<qint64>(size);
        if (disk.bytesAvailable() >= 0 && disk.bytesAvailable() < need)
            return SaveErrorReasonWindows(disk.bytesFree() >= need ? 1295 : 112);  // QUOTA_EXCEEDED, DISK_FULL
    }
    return toolkitWords;
}

}  // namespace

bool WriteSaveFile(const QString& path, const uint8_t* data, size_t size, QString* reason) {
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        if (reason) *reason = SaveErrorReason(path.isEmpty() ? ENOENT : EISDIR);
        return false;
    }
    // The toolkit's own replace-on-commit file: a temporary file that takes the
    // target's name only when everything was written. Each step's code is
    // taken at once, before anything else can set another.
    QSaveFile file(path);
    ::SetLastError(0);
    bool ok = file.open(QIODevice::WriteOnly);
    DWORD code = ok ? 0 : ::GetLastError();
    if (ok) {
        ::SetLastError(0);
        ok = file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == static_cast<qint64>(size);
        code = ok ? 0 : ::GetLastError();
    }
    if (ok) {
        ::SetLastError(0);
        ok = file.commit();
        code = ok ? 0 : ::GetLastError();
    }
    if (!ok && reason) *reason = WindowsReason(code, path, size, file.errorString());
    return ok;
}

bool RenameSaveFile(const QString& from, const QString& to, QString* reason) {
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD code = ::GetLastError();
    if (reason) *reason = WindowsReason(code, to, 0, QStringLiteral("Не удалось переименовать файл (код %1)").arg(code));
    return false;
}

bool MakeSaveFolder(const QString& folder, QString* reason) {
    const QFileInfo info(folder);
    if (info.isDir()) return true;
    if (info.exists()) {
        if (reason) *reason = SaveErrorReason(ENOTDIR);
        return false;
    }
    ::SetLastError(0);
    if (QDir().mkpath(folder)) return true;
    const DWORD code = ::GetLastError();
    if (reason)
        *reason = WindowsReason(code, folder, 0, QStringLiteral("Не удалось создать папку (код %1)").arg(code));
    return false;
}

#endif
