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
FileResult writeFileAtomically(const std::string& path, const std::string& bytes);

// The sync that makes a temporary file durable before it replaces its target. Tests set a hook
// that is called instead of fsync(2) with the temporary file's descriptor and path, and returns
// what fsync would (-1 with errno set to fail); an empty hook restores fsync.
using SyncHook = std::function<int(int fd, const std::string& temporary)>;
void setSyncHookForTests(SyncHook hook);

// How many whole-file reads and replaces this process has made (benchmarks count them).
struct FileIoCounts {
    long reads = 0;
    long replaces = 0;
};
FileIoCounts fileIoCounts();

}  // namespace solvari
