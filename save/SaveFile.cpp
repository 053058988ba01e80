// Writing the save file so that a failure never costs the player his earlier
// save: the record goes to a temporary file beside the target, is flushed to
// the disk, and only then takes the target's name.
#include "save/SaveGame.h"

#include <cerrno>

#include <QFile>

#ifdef Q_OS_UNIX

#include <climits>
#include <cstdlib>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A reason of our own, beside the system's error numbers: the folder exists
// but the system makes no new file in it (a folder of system information).
constexpr int NoNewFiles = -1;

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

// Makes the rename itself durable. Best effort: the file is already in place.
void SyncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Written in place, as the plain overwrite does: a device or another special
// file named by the player, as renaming over it would replace the device
// node; and a file in a folder that takes no new files.
int WriteInPlace(const QByteArray& target, const uint8_t* data, size_t size) {
    const int fd = ::open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = WriteAll(fd, data, size);
    // Character devices cannot be synced; that is no failure of the save.
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP && errno != EROFS) error = errno;
    const int closeError = Close(fd);
    return error ? error : closeError;
}

// The temporary file of a save to this target: hidden, beside it, named by
// the writing process and a serial number.
QByteArray TempPrefix(const QByteArray& folder, const QByteArray& name) { return folder + '.' + name.left(200) + '.'; }

// A save killed while writing (the program ended, the machine went down)
// leaves its temporary file behind. The next save to the same target sweeps
// up those whose process is gone; a live one may still be writing.
void SweepLeftovers(const QByteArray& folder, const QByteArray& name) {
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir) return;
    const QByteArray prefix = TempPrefix(QByteArray(), name);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray file(entry->d_name);
        if (!file.startsWith(prefix) || !file.endsWith(".tmp")) continue;
        const QByteArray tail = file.mid(prefix.size(), file.size() - prefix.size() - 4);  // "<pid>-<serial>"
        const qsizetype dash = tail.indexOf('-');
        bool pidOk = false, serialOk = false;
        const long long pid = tail.left(dash).toLongLong(&pidOk);
        tail.mid(dash + 1).toULongLong(&serialOk);
        if (dash <= 0 || !pidOk || !serialOk || pid <= 0 || pid > INT_MAX) continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
        ::unlink((folder + file).constData());
    }
    ::closedir(dir);
}

int WriteReplacing(QByteArray target, const uint8_t* data, size_t size) {
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
        if (S_ISDIR(st.st_mode)) return EISDIR;
        if (!S_ISREG(st.st_mode)) return WriteInPlace(target, data, size);
        // A file the player may not write stays as it is, although its folder
        // would let us replace it.
        if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0) return errno;
    } else if (errno != ENOENT) {
        return errno;
    }

    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? target.left(slash + 1) : QByteArray();
    const QByteArray name = target.mid(slash + 1);

    // The temporary file: hidden, beside the target, its name short enough for
    // any name the target itself may have.
    static unsigned serial = 0;
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = TempPrefix(folder, name) + QByteArray::number(static_cast<qlonglong>(::getpid())) + '-' +
               QByteArray::number(++serial) + ".tmp";
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        const int createError = errno;
        // No temporary file beside the target: a file the player may write
        // is overwritten where it stands, as a plain save would.
        if (exists) return WriteInPlace(target, data, size);
        // Some folders (system information) exist and make no new files;
        // the system then says the file is not found.
        struct stat folderStat {};
        if (createError == ENOENT && ::stat(folder.isEmpty() ? "." : folder.constData(), &folderStat) == 0 &&
            S_ISDIR(folderStat.st_mode))
            return NoNewFiles;
        return createError;
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
        return error;
    }
    SyncFolder(folder);
    SweepLeftovers(folder, name);
    return 0;
}

}  // namespace

bool WriteSaveFile(const QString& path, const uint8_t* data, size_t size, QString* reason) {
    const int error = path.isEmpty() ? ENOENT : WriteReplacing(QFile::encodeName(path), data, size);
    if (error != 0 && reason)
        *reason = error == NoNewFiles ? QStringLiteral("В этой папке нельзя создавать файлы") : SaveErrorReason(error);
    return error == 0;
}

#else  // not a Unix system

#include <QSaveFile>

bool WriteSaveFile(const QString& path, const uint8_t* data, size_t size, QString* reason) {
    // The toolkit's own replace-on-commit file: a temporary file that takes the
    // target's name only when everything was written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size) ||
        !file.commit()) {
        if (reason) *reason = file.errorString();
        return false;
    }
    return true;
}

#endif
