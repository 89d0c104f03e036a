#pragma once
#include <QDateTime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "flow/file_io.h"
#include "flow/finish_recorder.h"
#include "flow/record_rules.h"
#include "flow/settings_document.h"

namespace solvari {

// The record as read: ok with its bytes (empty when the file is missing), or not ok with
// why it cannot be read (a folder, too large, no permission).
struct RecordRead {
    bool ok = false;
    std::string reason;
    std::string bytes;
};

struct RecordResult : FileResult {
    bool unreadable = false;  // the file exists but cannot be read, so it was not replaced
    bool refused = false;     // the edit itself refused: trying again would refuse again
};

// The practice record file. Every operation opens, reads or writes, and closes the file;
// nothing stays open between calls. Writes are atomic.
//
// Failures are returned, not thrown: a refused write gives {false, full path + " に書き込めません",
// a line end and why} and the caller shows it; the old file is then untouched. (Returning keeps
// the logic layer free of exceptions, as everywhere else in the program.)
class RecordFile {
public:
    explicit RecordFile(std::string path, LockTiming lockTiming = {})
        : path_(std::move(path)), lockTiming_(lockTiming) {}
    const std::string& path() const { return path_; }

    RecordRead read() const;
    // The file as it stands, read once: empty when it is missing or unreadable.
    ProfileDocument load() const;
    // A missing or unreadable file, section or key gives defaultValue.
    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // One read, the edit, one atomic replace (none when the edit changed nothing), all under the
    // record's FileLock, so writers in other processes and on other machines never lose each
    // other's changes; a lock not had within its wait writes nothing and says so. The edit
    // returns "" or why it refused; a refusal writes nothing. Creates the file on the first write.
    RecordResult change(const std::function<std::string(ProfileDocument&)>& edit);
    RecordResult writeString(std::string_view section, std::string_view key, std::string_view value);
    // A missing file or section is not an error and writes nothing.
    RecordResult eraseSection(std::string_view section);

private:
    std::string path_;
    LockTiming lockTiming_;
    // The bytes this object last read or wrote, and their document. A change that finds the
    // file as it left it goes on from that document instead of decoding every section header
    // again. Each reuse leaves the replaced lines in the document's store, so the document is
    // read afresh now and then; a large file is not kept at all.
    struct Known {
        std::string bytes;
        ProfileDocument doc;
        int reuses = 0;
    };
    std::optional<Known> known_;
};

using Clock = std::function<QDateTime()>;
QDateTime systemClock();
RecordTime recordTime(const QDateTime& when);
inline std::string formatRecordDate(const QDateTime& when) { return formatRecordDate(recordTime(when)); }

// One finish into the record file (addFinish), with one read and one replace: a finish never
// leaves a count without its date, and costs one rewrite however large the file is.
RecordResult writeRecord(RecordFile& file, const std::string& title, int q, const Clock& clock = systemClock,
                         Finish finish = Finish::Plain, const MistakeTally& mistakes = {});
std::optional<int> readCount(const RecordFile& file, const std::string& title, int q);

}  // namespace solvari
