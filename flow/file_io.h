#pragma once
#include <cstddef>
#include <functional>
#include <string>

namespace solvari {

// Whole-file access for the files the program writes. Paths are UTF-8.

// Outcome of a file operation, the one shape every file operation reports in. error is the text
// the window owner shows (empty when ok); reason adds a plain Japanese explanation for the
// command-line checker.
struct FileResult {
    bool ok = false;
    std::string error;
    std::string reason;
};

enum class ReadStatus { Ok, Missing, NotAFile, TooLarge, Failed };

// Reads the whole file unless it is larger than maxBytes (checked before reading).
ReadStatus readFileBytes(const std::string& path, std::size_t maxBytes, std::string& bytes);

// The absolute form of a path, as messages show it.
std::string absolutePath(const std::string& path);

// Why a write failed, in the words the user sees, from the system's error number.
std::string writeFailureReason(int errorNumber);

// Writes bytes through a temporary file in the same folder (".solvari-tmp-<name>-XXXXXX") that replaces the
// target only when every byte was written and synced, so the old file survives any failure
// (a full disk, a size limit, a read-only folder). On failure error is the full path +
// " に書き込めません", a line end and the reason, and reason the reason alone
// (writeFailureReason). After a successful
// replace, temporary files of ours for the same target left by an interrupted write and older
// than a minute are removed; no other file is ever removed.
// A file without any write permission bit is not replaced: error is its full path + " " +
// WRITE_PROTECTED.
FileResult writeFileAtomically(const std::string& path, const std::string& bytes);
inline constexpr const char* WRITE_PROTECTED = "は書き込み禁止になっています。保存できません。";
inline constexpr const char* WRITE_PROTECTED_REASON = "書き込み禁止になっています";

// The sync that makes a temporary file durable before it replaces its target. Tests set a hook
// that is called instead of fsync(2) with the temporary file's descriptor and path, and returns
// what fsync would (-1 with errno set to fail); an empty hook restores fsync.
using SyncHook = std::function<int(int fd, const std::string& temporary)>;
void setSyncHookForTests(SyncHook hook);

// Keeps the writers of one file apart, between processes and between machines sharing a
// folder: a lock file beside the target (".solvari-lock-<name>.lock"), created with O_CREAT|O_EXCL
// (atomic on local disks, NFS v3 and later, and SMB) and holding the holder's pid, host and
// time. A lock whose holder died on this machine, or that is older than staleAfter (a holder on
// another machine that crashed or lost the share), is broken. A writer that cannot get the lock
// within `wait` gives up with a message and writes nothing.
struct LockTiming {
    int waitMs = 10000;
    int staleAfterSeconds = 30;
};

class FileLock {
public:
    explicit FileLock(const std::string& target, LockTiming timing = {});
    ~FileLock();  // releases the lock when it is still this holder's
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return held_; }
    // Why the lock was not taken: the full path of the target + " に書き込めません", a line end
    // and the reason.
    const std::string& error() const { return error_; }
    static std::string lockPath(const std::string& target);

private:
    std::string path_;
    std::string content_;  // what this holder wrote into the lock file
    bool held_ = false;
    std::string error_;
};

// How many whole-file reads and replaces this process has made (benchmarks count them).
struct FileIoCounts {
    long reads = 0;
    long replaces = 0;
};
FileIoCounts fileIoCounts();

}  // namespace solvari
