#pragma once
#include <QDateTime>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <deque>
#include <memory>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "flow/finish_recorder.h"
#include "flow/question_set.h"  // FileResult

namespace solvari {

constexpr const char* RECORD_FILE_NAME = "Miradosh.rec";
// A record file holds one short section per unit; a file this large is not one of ours, and
// it is neither parsed nor overwritten.
constexpr std::size_t MAX_RECORD_FILE_BYTES = 16 * 1024 * 1024;

// A settings file in memory, with the rules of the Windows profile functions:
// - "[name]" opens a section, the name running to the last "]" of the line; "key=value" is an
//   entry; names are found without regard to ASCII letter case (compared on the decoded text,
//   never on raw Shift-JIS bytes) and with leading and trailing blanks removed on both sides,
//   the stored name and the one asked for; the first matching section and the first matching
//   key win; blanks around values are ignored;
// - writing a key replaces its value in place (a value written back unchanged leaves its line
//   as it is), or adds the entry after the last line of its
//   section; a new section is added at the end of the file;
// - lines are kept as their raw Shift-JIS bytes, so text this class does not touch (including
//   bytes that are not valid CP932) is written back unchanged; line ends become CR LF.
// How the record compares section names and keys: without leading and trailing blanks, ASCII
// letters in lower case.
std::string foldName(std::string_view name);

class ProfileDocument {
public:
    // CR LF, lone CR and lone LF end a line; a final line end adds no empty line.
    static ProfileDocument fromBytes(std::string_view bytes);
    std::string toBytes() const;

    // The value (UTF-8), or nullopt when the section or key is missing. An undecodable byte in
    // a stored value reads as '?'.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Section names in file order (duplicates included), keys of the first matching section.
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;

    // Returns "" on success, else why the entry cannot be written (a character Shift-JIS
    // cannot hold, a line end, '=' in a key, an empty key); the document is then unchanged.
    std::string setValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes every section of that name with all its lines; false when there was none.
    bool removeSection(std::string_view section);
    // Whether setValue or removeSection changed a line since the document was read (or, after
    // markWritten, since it was written).
    bool changed() const { return changed_; }
    void markWritten() { changed_ = false; }

    // One line: a view of its raw bytes and what they say, decoded once when first asked.
    struct Line {
        enum class Kind { Other, Header, Entry };
        std::string_view raw;  // Shift-JIS bytes, without the line end, held in the document's store
        Kind kind = Kind::Other;
        bool decoded = false;   // whether names_[names] holds what the line says
        std::uint32_t names = 0;
    };
    // What a header or an entry says, decoded and trimmed.
    struct Names {
        std::string name;    // section name or key
        std::string value;   // entry value
        std::string folded;  // name as compared: trimmed, ASCII letters in lower case
    };

private:
    void reindex();  // after every change of lines_
    // A line made from bytes the store holds, decoded now.
    Line makeLine(std::string_view raw) const;
    // What line i says: a finish looks at one section's entries, so the entries of all the
    // others are never decoded.
    const Names& names(std::size_t i) const;
    std::optional<std::pair<std::size_t, std::size_t>> findSection(const std::string& folded, std::size_t from = 0) const;
    // Keeps a new line's bytes where the views of lines_ can point at them.
    std::string_view keep(std::string raw);
    // The bytes read and every line written since, shared by copies; a deque never moves its
    // strings, so the views stay valid while lines are added.
    std::shared_ptr<std::deque<std::string>> store_ = std::make_shared<std::deque<std::string>>();
    mutable std::vector<Line> lines_;
    mutable std::vector<Names> names_;  // of the decoded lines
    bool changed_ = false;
    std::vector<std::size_t> headers_;  // indices of the header lines, in order
};

// Lookups in a record that is only read: the first section of every name, found by its folded
// name, so a listing of many units costs one pass over the file instead of one per lookup, and
// only header lines and the lines of the sections asked for are decoded. The same answers as
// ProfileDocument::fromBytes(bytes).value.
class ProfileIndex {
public:
    explicit ProfileIndex(std::string bytes);
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

private:
    std::string bytes_;
    std::unordered_map<std::string, std::size_t> sections_;  // folded name -> end of its header line
};

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

// "2024年05月03日09:05": the year in full, the rest with two digits, hours 0..23.
std::string formatRecordDate(const QDateTime& when);

// A stored count as writeRecord reads it: decimal, or hexadecimal after "0x"/"0X"; anything
// else (empty, damaged, negative, too large) is 0.
int parseRecordCount(std::string_view text);

// One more final verdict on question q of the unit titled title: its count + 1 and "DATE"
// (and, after a hint, "H" + q + 1), written together with one read and one replace. The count
// under q keeps counting every finish, so a record reads the same to a program without hints.
RecordResult writeRecord(RecordFile& file, const std::string& title, int q, const Clock& clock = systemClock,
                         Finish finish = Finish::Plain);

// The count as the record viewer shows it: a missing key is 0; a value that is not a decimal
// integer is nullopt (the viewer then shows no stars for that question).
std::optional<int> readCount(const RecordFile& file, const std::string& title, int q);
std::optional<int> readCount(const ProfileDocument& record, const std::string& title, int q);
std::optional<int> readCount(const ProfileIndex& record, const std::string& title, int q);
// The finishes of question q reached after a hint ("H" + q), read like readCount.
std::optional<int> readHintCount(const ProfileDocument& record, const std::string& title, int q);
std::optional<int> readHintCount(const ProfileIndex& record, const std::string& title, int q);

// Where the record file lives: workingDir when a file can be created there, else a folder of
// its own for that class folder in the user's data folder
// (QStandardPaths::AppDataLocation + "/classes/<name>-<hash of the path>", created when
// missing), which on first use gets a copy of workingDir's record. The folder has no trailing
// separator.
std::string dataDirectory(const std::string& workingDir);
// Why no file can be created in folder ("" when one can).
std::string folderWriteProblem(const std::string& folder);
// What the student is told once when the record of workingDir goes to dataDir instead:
// "<folder> に書き込めません（<reason>）。記録は <dataDir> に書きます。", or "" when it does not.
std::string fallbackNotice(const std::string& workingDir, const std::string& dataDir);

// dataDirectory + "/Miradosh.rec", or + "/<student>.rec" for a student's own record.
std::string recordFilePath(const std::string& directory, const std::string& student = "");

// A name a student entered, as the base name of a record file: blanks around it removed;
// "" when it cannot name one (empty, longer than 30 characters, a path or a hidden name,
// characters Windows shares refuse, or the shared record's own name).
std::string studentRecordName(const std::string& entered);
inline constexpr const char* STUDENT_NAME_QUESTION =
    "名前を入力してください。このクラスのフォルダに「名前.rec」として記録します。";
inline constexpr const char* STUDENT_NAME_CAPTION = "練習の記録";
inline constexpr const char* STUDENT_NAME_REFUSED =
    "その名前は記録のファイル名に使えません（/ \\ : * ? \" < > | や . で始まる名前、30文字を超える名前は使えません）。";

}  // namespace solvari
