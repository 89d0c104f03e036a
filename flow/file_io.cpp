#include "flow/file_io.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QString>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cerrno>
#include <mutex>
#include <unordered_set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace solvari {
namespace {

std::atomic<long> readCount{0};
std::atomic<long> replaceCount{0};

std::mutex syncHookMutex;
SyncHook syncHook;

int syncTemporary(int fd, const std::string& temporary) {
    SyncHook hook;
    {
        const std::lock_guard<std::mutex> lock(syncHookMutex);
        hook = syncHook;
    }
    return hook ? hook(fd, temporary) : ::fsync(fd);
}

// Temporary files are ".solvari-tmp-<name>-XXXXXX": hidden, with the program's name in them,
// and never ending in the target's own extension, so that no copy a person makes beside the
// file ("Miradosh.rec.backup", "Question.leq.200901") can ever look like one of ours.
constexpr const char* kTemporaryPrefix = ".solvari-tmp-";
constexpr int kSuffixLength = 6;
constexpr const char* kSuffixChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string temporaryStem(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + kTemporaryPrefix + name + "-";
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {  // never expected from a regular file; do not loop for ever
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The temporary file: created exclusively with mode 0666 so that the umask applies as for any
// new file; an existing target's permissions are copied onto it.
int createTemporary(const std::string& target, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryStem(target);
        for (int i = 0; i < kSuffixLength; ++i) name += kSuffixChars[QRandomGenerator::global()->bounded(62)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

bool isLeftoverName(const QString& entry, const QString& stem) {
    if (entry.size() != stem.size() + kSuffixLength || !entry.startsWith(stem)) return false;
    for (QChar c : entry.right(kSuffixLength)) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128)) return false;
    }
    return true;
}

// A write killed between creating its temporary file and the rename leaves the temporary file
// behind; one older than a minute belongs to no write still running. Such files come from runs
// that ended, so the folder is looked through once per file and run: listing it with a name
// pattern on every write cost a finished question a fifth of its record write.
void removeLeftovers(const std::string& target) {
    static std::mutex mutex;
    static std::unordered_set<std::string> cleaned;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!cleaned.insert(target).second) return;
    }
    const QFileInfo info(QString::fromStdString(target));
    const QDir dir = info.absoluteDir();
    const QString stem = QString::fromUtf8(kTemporaryPrefix) + info.fileName() + '-';
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QStringList entries = dir.entryList({stem + "*"}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (!isLeftoverName(entry, stem)) continue;
        const QFileInfo leftover(dir.filePath(entry));
        if (leftover.isSymLink() || leftover.lastModified().toUTC() >= limit) continue;
        QFile::remove(leftover.filePath());
    }
}

}  // namespace

ReadStatus readFileBytes(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    const QString p = QString::fromStdString(path);
    const QFileInfo info(p);
    if (!info.exists()) return ReadStatus::Missing;
    if (!info.isFile()) return ReadStatus::NotAFile;
    if (static_cast<unsigned long long>(info.size()) > maxBytes) return ReadStatus::TooLarge;
    QFile file(p);
    if (!file.open(QIODevice::ReadOnly)) return ReadStatus::Failed;
    ++readCount;
    // One byte more than the size, then up to one byte more than allowed, in case the file grew
    // after the size check (a buffer of the whole allowance would be touched on every read).
    QByteArray data = file.read(info.size() + 1);
    if (static_cast<std::size_t>(data.size()) > static_cast<std::size_t>(info.size()) && file.error() == QFileDevice::NoError)
        data += file.read(static_cast<qint64>(maxBytes) + 1 - data.size());
    if (file.error() != QFileDevice::NoError) return ReadStatus::Failed;
    if (static_cast<std::size_t>(data.size()) > maxBytes) return ReadStatus::TooLarge;
    bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return ReadStatus::Ok;
}

std::string absolutePath(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}

std::string writeFailureReason(int errorNumber) {
    switch (errorNumber) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return "ディスクの空きがありません";
        case EACCES:
        case EPERM:
        case EROFS: return "書き込みが許可されていません";
        default: return "書き込みに失敗しました";
    }
}

FileResult writeFileAtomically(const std::string& path, const std::string& bytes) {
    // A link is written through: its target is replaced, the link stays a link.
    std::string target = path;
    const QFileInfo info(QString::fromStdString(path));
    if (info.isSymLink()) target = info.symLinkTarget().toStdString();
    auto failure = [&](int errorNumber) {
        const std::string reason = writeFailureReason(errorNumber);
        return FileResult{false, absolutePath(path) + " に書き込めません\n" + reason, reason};
    };

    // A file whose every write bit is off was made read-only on purpose (by the teacher, or by a
    // share's read-only attribute); replacing it through a rename in a writable folder would
    // ignore that, and root would even pass a permission check.
    struct stat current {};
    if (::stat(target.c_str(), &current) == 0 && S_ISREG(current.st_mode) && (current.st_mode & 0222) == 0)
        return FileResult{false, absolutePath(path) + " " + WRITE_PROTECTED, WRITE_PROTECTED_REASON};

    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) return failure(errno);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
    // Every step is checked: a write to a full disk or past a size limit may fail part-way,
    // and the data may first be refused at the sync or the close.
    // The rename is what replaces the old file, so it comes only after the new bytes are on the
    // disk, and its own failure (the target is a folder, the share went away) is a failure too.
    int errorNumber = 0;
    bool ok = writeAll(fd, bytes.data(), bytes.size()) && syncTemporary(fd, temporary) == 0;
    if (!ok) errorNumber = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        errorNumber = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        errorNumber = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return failure(errorNumber);
    }
    ++replaceCount;
    // The rename itself reaches the disk with the folder's sync; a failure here loses nothing.
    const std::string folder = QFileInfo(QString::fromStdString(target)).absolutePath().toStdString();
    if (const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    removeLeftovers(target);
    return FileResult{true, "", ""};
}

void setSyncHookForTests(SyncHook hook) {
    const std::lock_guard<std::mutex> lock(syncHookMutex);
    syncHook = std::move(hook);
}

// ---------------------------------------------------------------- the lock

namespace {

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "?";
    return name;
}

// "pid=…\nhost=…\ntime=…\ntoken=…\n"; the token tells this holder's lock from a later one of
// the same process.
std::string lockContent() {
    return "pid=" + std::to_string(::getpid()) + "\nhost=" + hostName() + "\ntime=" +
           std::to_string(QDateTime::currentSecsSinceEpoch()) + "\ntoken=" +
           std::to_string(QRandomGenerator::global()->generate64()) + "\n";
}

std::string field(const std::string& content, const std::string& name) {
    const std::string key = name + "=";
    std::size_t at = content.rfind("\n" + key);
    at = content.compare(0, key.size(), key) == 0 ? 0 : at == std::string::npos ? at : at + 1;
    if (at == std::string::npos) return "";
    const std::size_t end = content.find('\n', at);
    if (end == std::string::npos) return "";  // still being written
    return content.substr(at + key.size(), end - at - key.size());
}

bool readLock(const std::string& path, std::string& content, qint64& modifiedSecs) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    ::fstat(fd, &st);
    modifiedSecs = st.st_mtime;
    char buffer[512];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    content.assign(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    return true;
}

// Whether the lock in content can be taken over: its holder was a process of this machine that
// no longer runs, or it has been held longer than any write takes.
bool isStale(const std::string& content, qint64 modifiedSecs, int staleAfterSeconds) {
    const std::string pid = field(content, "pid");
    if (!pid.empty() && field(content, "host") == hostName()) {
        const long id = std::strtol(pid.c_str(), nullptr, 10);
        if (id > 0 && ::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH) return true;
    }
    // The holder's clock and the file server's (the file's time) must both say it is old: one
    // machine whose clock runs behind must not make a live lock look stale. A lock still empty
    // (its holder is between creating and writing it) has only the file's time.
    const std::string time = field(content, "time");
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const qint64 byFile = now - modifiedSecs;
    const qint64 byHolder = time.empty() ? byFile : now - std::strtoll(time.c_str(), nullptr, 10);
    return std::min(byFile, byHolder) > staleAfterSeconds;
}

// Moves the stale lock aside under a name of this waiter's own and removes it. Another waiter
// may have broken it and taken the lock in between: a lock moved aside that is not the one
// judged stale is put back (unless yet another has been taken meanwhile).
void breakLock(const std::string& path, const std::string& staleContent) {
    const std::string aside = path + ".stale-" + std::to_string(::getpid()) + "-" +
                              std::to_string(QRandomGenerator::global()->generate());
    if (::rename(path.c_str(), aside.c_str()) != 0) return;
    std::string moved;
    qint64 modified = 0;
    // When the link fails, yet another waiter holds the name now; the lock moved aside goes.
    if (readLock(aside, moved, modified) && moved != staleContent) {
        // (a cast to void does not quiet the fortified declaration's unused-result warning)
        const int relinked = ::link(aside.c_str(), path.c_str());
        static_cast<void>(relinked);
    }
    ::unlink(aside.c_str());
}

void waitBeforeRetry(int attempt) {
    // From 5 ms up to 50 ms, with some spread so that waiters do not poll in step.
    const int ms = std::min(50, 5 + 5 * attempt) + static_cast<int>(QRandomGenerator::global()->bounded(5));
    ::usleep(static_cast<useconds_t>(ms) * 1000);
}

}  // namespace

std::string FileLock::lockPath(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // Not ending in ".rec": whatever gathers a class's *.rec files must never take it for a record.
    return folder + ".solvari-lock-" + name + ".lock";
}

FileLock::FileLock(const std::string& target, LockTiming timing) : path_(lockPath(target)) {
    content_ = lockContent();
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + timing.waitMs;
    for (int attempt = 0;; ++attempt) {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            const bool written = writeAll(fd, content_.data(), content_.size());
            const int errorNumber = errno;
            ::close(fd);
            if (written) {
                held_ = true;
                return;
            }
            // A disk too full for the lock's few bytes has no room for the record either.
            ::unlink(path_.c_str());
            error_ = absolutePath(target) + " に書き込めません\n" + writeFailureReason(errorNumber);
            return;
        }
        if (errno != EEXIST) {
            const std::string reason = writeFailureReason(errno);
            error_ = absolutePath(target) + " に書き込めません\n" + reason;
            return;
        }
        std::string content;
        qint64 modified = 0;
        if (!readLock(path_, content, modified)) continue;  // released in between: try again at once
        if (isStale(content, modified, timing.staleAfterSeconds)) {
            breakLock(path_, content);
            continue;
        }
        if (QDateTime::currentMSecsSinceEpoch() >= deadline) {
            error_ = absolutePath(target) + " に書き込めません\nほかのプログラムが書き込み中のまま終わりません（" +
                     std::to_string((timing.waitMs + 999) / 1000) + " 秒待ちました）";
            return;
        }
        waitBeforeRetry(attempt);
    }
}

FileLock::~FileLock() {
    if (!held_) return;
    // Only a lock that is still ours goes: one broken as stale and taken by another stays.
    std::string content;
    qint64 modified = 0;
    if (readLock(path_, content, modified) && content == content_) ::unlink(path_.c_str());
}

FileIoCounts fileIoCounts() { return FileIoCounts{readCount.load(), replaceCount.load()}; }

}  // namespace solvari
