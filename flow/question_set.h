#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/prompter.h"

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

// Outcome of a file operation. error is the text the window owner shows (empty when ok);
// reason adds a plain Japanese explanation for the command-line checker.
struct FileResult {
    bool ok = false;
    std::string error;
    std::string reason;
};

struct QuestionLinesResult : FileResult {
    std::vector<std::string> lines;  // UTF-8, without line ends
};

// Shift-JIS bytes -> lines. CR LF, a lone CR and a lone LF each end a line; a line end after
// the last line adds no empty line. False (and no lines) when the bytes are not valid CP932:
// a damaged file is refused, never shown as garbage. errorOffset gets the 0-based offset of
// the first bad byte when it is given.
bool decodeQuestionBytes(std::string_view bytes, std::vector<std::string>& lines,
                         std::size_t* errorOffset = nullptr);

// Reads a question set file. On failure error is path + ":FileNot Exists" (no such file) or
// path + ":File Can't Load" (a folder, too large, unreadable, or not valid Shift-JIS), and lines
// is empty.
QuestionLinesResult readQuestionFile(const std::string& path);

// Parses the lines of a question set into a new set; on success it replaces inUse, on failure
// inUse stays exactly as it was. Messages ("項目が多すぎます", "問題は7問以下です") go to the
// prompter; the other structural faults fail silently.
bool parseQuestionSet(const std::vector<std::string>& lines, QuestionSet& inUse, Prompter& prompter);

// "3行目に保存できない文字があります" for line 3 (1-based).
std::string unsavableLineMessage(int lineNumber);

// Lines -> Shift-JIS bytes with CR LF after every line, the last included. False when a line
// holds a character CP932 cannot represent; badLine then gets its 1-based number.
bool encodeQuestionLines(const std::vector<std::string>& lines, std::string& bytes, int& badLine);

// Writes the lines atomically. A line CP932 cannot hold is refused with
// unsavableLineMessage(n) and nothing is written; a refused write gives the full path +
// " に書き込めません" and leaves the old file as it was.
FileResult writeQuestionFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace solvari
