#include "flow/question_set.h"

#include "engine/sjis.h"
#include "flow/file_io.h"

namespace solvari {
namespace {

// Splits text on CR LF, lone CR and lone LF. CR and LF never occur inside a double-byte
// CP932 character (trail bytes start at 0x40), so splitting before or after decoding agrees.
std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    // A line end after the last line does not open another, empty line.
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

// Offset of the first byte where CP932 decoding fails; walks the text character by character.
std::size_t firstBadOffset(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        const std::size_t len = lead && i + 1 < bytes.size() ? 2 : 1;
        if (!fromSjis(bytes.substr(i, len))) return i;
        i += len;
    }
    return bytes.size();
}

}  // namespace

bool decodeQuestionBytes(std::string_view bytes, std::vector<std::string>& lines, std::size_t* errorOffset) {
    lines.clear();
    auto text = fromSjis(bytes);
    if (!text) {
        if (errorOffset) *errorOffset = firstBadOffset(bytes);
        return false;
    }
    lines = splitLines(*text);
    return true;
}

QuestionLinesResult readQuestionFile(const std::string& path) {
    QuestionLinesResult result;
    std::string bytes;
    const ReadStatus status = readFileBytes(path, MAX_QUESTION_FILE_BYTES, bytes);
    if (status != ReadStatus::Ok) {
        result.error = path + (status == ReadStatus::Missing ? ":FileNot Exists" : ":File Can't Load");
        switch (status) {
            case ReadStatus::Missing: result.reason = "ファイルがありません"; break;
            case ReadStatus::NotAFile: result.reason = "ファイルではありません（フォルダなど）"; break;
            case ReadStatus::TooLarge: result.reason = "ファイルが大きすぎます（1 MB まで）"; break;
            default: result.reason = "ファイルを読み込めません"; break;
        }
        return result;
    }
    std::size_t bad = 0;
    if (!decodeQuestionBytes(bytes, result.lines, &bad)) {
        result.error = path + ":File Can't Load";
        result.reason = "Shift-JIS として読めないバイトがあります（" + std::to_string(bad + 1) + "バイト目）";
        return result;
    }
    result.ok = true;
    return result;
}

bool parseQuestionSet(const std::vector<std::string>& lines, QuestionSet& inUse, Prompter& prompter) {
    if (lines.empty()) return false;
    QuestionSet set;
    int i = 0;  // questions stored in the open unit
    int j = 0;  // units opened
    for (const std::string& s : lines) {
        if (s.size() >= 2 && s.compare(0, 2, "<<") == 0) {
            if (i != 0) return false;  // the previous unit was not closed
            if (j >= MAX_UNITS) {
                prompter.inform("項目が多すぎます");
                return false;
            }
            ++j;
            set.unitTitle[static_cast<std::size_t>(j)] = s.substr(2);
        } else if (s == ">>") {
            if (i == 0) return false;  // no unit open, or a unit without questions
            set.questionCount[static_cast<std::size_t>(j)] = i;
            i = 0;
        } else {
            if (i >= MAX_QUESTIONS) {
                prompter.inform("問題は" + std::to_string(MAX_QUESTIONS) + "問以下です");
                return false;
            }
            if (s.empty()) return false;
            // A question before the first header belongs to no unit: the format allows nothing
            // before the first unit, so it is a structural fault like an empty line.
            if (j == 0) return false;
            // Question lines after the closing ">>" of the last unit are kept as the load has
            // always kept them: they overwrite questions 1, 2, ... of that unit without
            // changing its questionCount, and the parse succeeds. Teachers' existing files may
            // rely on it; the editor's check still validates only the counted questions.
            ++i;
            set.questionText[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] = s;
        }
    }
    set.unitCount = j;
    inUse = std::move(set);
    return true;
}

std::string unsavableLineMessage(int lineNumber) {
    return std::to_string(lineNumber) + "行目に Shift-JIS で保存できない文字があります";
}

bool encodeQuestionLines(const std::vector<std::string>& lines, std::string& bytes, int& badLine) {
    bytes.clear();
    badLine = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        auto encoded = toSjis(lines[n]);
        // A line end inside a line would split it in two on the next load.
        if (!encoded || lines[n].find_first_of("\r\n") != std::string::npos) {
            badLine = static_cast<int>(n) + 1;
            bytes.clear();
            return false;
        }
        bytes += *encoded;
        bytes += "\r\n";
    }
    return true;
}

FileResult writeQuestionFile(const std::string& path, const std::vector<std::string>& lines) {
    FileResult result;
    std::string bytes;
    int badLine = 0;
    if (!encodeQuestionLines(lines, bytes, badLine)) {
        result.error = unsavableLineMessage(badLine);
        return result;
    }
    result.error = writeFileAtomically(path, bytes);
    result.ok = result.error.empty();
    return result;
}

}  // namespace solvari
