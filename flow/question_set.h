#pragma once
#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/diagnostic.h"
#include "flow/file_io.h"  // FileResult

namespace solvari {

constexpr int MAX_UNITS = 20;
constexpr int MAX_QUESTIONS = 7;
// A real question set is a few kilobytes; anything far larger is not one, and is refused
// before it is read so that a stray 50 MB file cannot stall the program.
constexpr std::size_t MAX_QUESTION_FILE_BYTES = 1024 * 1024;

// The tables a successful parse produces. Units and questions are numbered from 1; index 0 of
// every array is never used. Every entry above unitCount is empty (title "", count 0).
struct QuestionSet {
    int unitCount = 0;
    std::array<std::string, MAX_UNITS + 1> unitTitle{};
    std::array<int, MAX_UNITS + 1> questionCount{};
    std::array<std::array<std::string, MAX_QUESTIONS + 1>, MAX_UNITS + 1> questionText{};
};

// How the bytes of a question file were read. Saving always writes Shift-JIS.
enum class TextEncoding { ShiftJis, Utf8 };

// The decoded text of a question file. rawLines holds, for a Shift-JIS file, each line's own
// bytes (without its line end), so that a save can write an untouched line back byte for byte.
struct DecodedQuestionText {
    bool ok = false;
    TextEncoding encoding = TextEncoding::ShiftJis;
    std::vector<std::string> lines;     // UTF-8, without line ends
    std::vector<std::string> rawLines;  // Shift-JIS files only, parallel to lines
    std::size_t errorOffset = 0;        // on failure: the 0-based offset of the first bad byte
    int errorLine = 0;                  // on failure: its 1-based line
    std::string problem;                // on failure: what is wrong, in Japanese
};

// Bytes -> lines. UTF-8 when the bytes start with a UTF-8 byte order mark (dropped), or when
// they are valid UTF-8 and hold at least one non-ASCII byte (UTF-8 Japanese is often also a
// valid but garbled CP932 string, so UTF-8 is tried first) unless they are CP932 half-width kana
// that happen to be two-byte UTF-8 (only two-byte characters, one of them unsavable in CP932,
// and valid CP932); otherwise CP932. CR LF, a lone CR
// and a lone LF each end a line; a line end after the last line adds no empty line. The JIS
// forms that Linux editors write (toCp932Forms) become CP932's characters. Bytes that are
// neither are refused with the line and the offset of the first bad byte, and no lines.
DecodedQuestionText decodeQuestionText(std::string_view bytes);

// decodeQuestionText for callers that want the lines only.
bool decodeQuestionBytes(std::string_view bytes, std::vector<std::string>& lines,
                         std::size_t* errorOffset = nullptr);

struct QuestionLinesResult : FileResult {
    std::string bytes;               // the file as read (a save tells whether it changed since)
    std::vector<std::string> lines;  // UTF-8, without line ends
    std::vector<std::string> rawLines;  // a Shift-JIS file's bytes per line (see above)
    TextEncoding encoding = TextEncoding::ShiftJis;
};

// Reads a question set file. On failure error is path + ":FileNot Exists" (no such file) or
// path + ":File Can't Load" (a folder, too large, unreadable, or neither Shift-JIS nor UTF-8),
// reason says why ("3行目:..." for bad bytes), and lines is empty.
QuestionLinesResult readQuestionFile(const std::string& path);

// The bytes each line had in the file it was read from, by its text: a save writes a line
// whose text is among them with those bytes (the NEC and IBM duplicate codes survive), and
// every other line as toSjis gives it. The first of several lines with one text wins.
using OriginalLineBytes = std::map<std::string, std::string>;
OriginalLineBytes originalLineBytes(const QuestionLinesResult& read);

// The structure of a question set read from its lines, in one pass. On failure faultLine is
// the line (from 1) where the structure broke, and diagnostics hold what the user is told
// ("項目が多すぎます", "問題は7問以下です"; the other structural faults say nothing).
struct QuestionSetParse {
    bool ok = false;
    QuestionSet set;
    int faultLine = 0;
    std::vector<Diagnostic> diagnostics;
};
QuestionSetParse readQuestionSetStructure(const std::vector<std::string>& lines);

// Parses the lines of a question set into a new set; on success it replaces inUse, on failure
// inUse stays exactly as it was. Messages ("項目が多すぎます", "問題は7問以下です") are added to
// diagnostics for the caller to show; the other structural faults fail silently.
bool parseQuestionSet(const std::vector<std::string>& lines, QuestionSet& inUse, std::vector<Diagnostic>& diagnostics);

// True when at least one line is a question (not a header, not ">>", not empty).
bool holdsQuestion(const std::vector<std::string>& lines);

// "3行目に Shift-JIS で保存できない文字「😀」があります" for line 3 (1-based) holding 😀.
std::string unsavableLineMessage(int lineNumber, const std::string& character);

// Lines -> Shift-JIS bytes with CR LF after every line, the last included. False when a line
// holds a character CP932 cannot represent; badLine then gets its 1-based number. A line found
// in originals is written with its original bytes.
bool encodeQuestionLines(const std::vector<std::string>& lines, std::string& bytes, int& badLine,
                         const OriginalLineBytes* originals = nullptr);

// Writes the lines atomically. A line CP932 cannot hold is refused with
// unsavableLineMessage(n, character) and nothing is written, and so is a set larger than
// MAX_QUESTION_FILE_BYTES (the reader would refuse it); a refused write gives the full
// path + " に書き込めません" and leaves the old file as it was.
FileResult writeQuestionFile(const std::string& path, const std::vector<std::string>& lines,
                             const OriginalLineBytes* originals = nullptr);

}  // namespace solvari
