#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace solvari {

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

}  // namespace solvari
