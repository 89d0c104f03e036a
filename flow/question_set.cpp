#include "flow/question_set.h"

#include <algorithm>
#include <utility>

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

// 1-based line of a byte offset, counting line ends as splitLines does.
int lineOfOffset(std::string_view text, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
        } else if (text[i] == '\r') {
            ++line;
            if (i + 1 < offset && text[i + 1] == '\n') ++i;
        }
    }
    return line;
}

std::string hexByte(unsigned char c) {
    static const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[c >> 4] + digits[c & 0xF];
}

bool hasNonAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// CP932's half-width kana are the single bytes 0xA1-0xDF, so two of them can also form a
// two-byte UTF-8 character: "ﾏｲﾅｽ" (CF B2 C5 BD) is valid UTF-8 "ϲŽ". Japanese in UTF-8 takes
// three bytes a character; a text whose only non-ASCII characters are two-byte ones, that is
// valid CP932 as well, and that holds a character CP932 cannot hold (its UTF-8 reading could
// never be saved) was written in CP932.
bool isCp932LookingLikeUtf8(std::string_view body) {
    bool unsavable = false;
    for (std::size_t i = 0; i < body.size();) {
        if (static_cast<unsigned char>(body[i]) < 0x80) {
            ++i;
            continue;
        }
        if (utf8CharLength(body, i) != 2) return false;
        if (!toSjis(body.substr(i, 2))) unsavable = true;
        i += 2;
    }
    return unsavable && firstInvalidSjis(body) == body.size();
}

}  // namespace

DecodedQuestionText decodeQuestionText(std::string_view bytes) {
    DecodedQuestionText d;
    const bool bom = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
    const std::string_view body = bom ? bytes.substr(kUtf8Bom.size()) : bytes;
    const std::size_t utf8Bad = firstInvalidUtf8(body);
    if (bom || (utf8Bad == body.size() && hasNonAscii(body) && !isCp932LookingLikeUtf8(body))) {
        if (utf8Bad != body.size()) {
            d.errorOffset = utf8Bad + (bom ? kUtf8Bom.size() : 0);
            d.errorLine = lineOfOffset(body, utf8Bad);
            d.problem = "UTF-8 として読めないバイト(" + hexByte(static_cast<unsigned char>(body[utf8Bad])) + ")があります";
            return d;
        }
        d.encoding = TextEncoding::Utf8;
        for (const std::string& line : splitLines(body)) d.lines.push_back(toCp932Forms(line));
        d.ok = true;
        return d;
    }
    const std::size_t sjisBad = firstInvalidSjis(bytes);
    if (sjisBad != bytes.size()) {
        // Neither encoding reads it; the one that reads further shows where the damage is.
        const std::size_t at = std::max(sjisBad, utf8Bad);
        d.errorOffset = at;
        d.errorLine = lineOfOffset(bytes, at);
        d.problem = "Shift-JIS としても UTF-8 としても読めないバイト(" +
                    hexByte(static_cast<unsigned char>(bytes[at])) + ")があります";
        return d;
    }
    d.encoding = TextEncoding::ShiftJis;
    d.rawLines = splitLines(bytes);
    d.lines.reserve(d.rawLines.size());
    for (const std::string& raw : d.rawLines) d.lines.push_back(fromSjis(raw).value_or(std::string()));
    d.ok = true;
    return d;
}

bool decodeQuestionBytes(std::string_view bytes, std::vector<std::string>& lines, std::size_t* errorOffset) {
    DecodedQuestionText d = decodeQuestionText(bytes);
    if (!d.ok && errorOffset) *errorOffset = d.errorOffset;
    lines = std::move(d.lines);
    return d.ok;
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
    DecodedQuestionText d = decodeQuestionText(bytes);
    if (!d.ok) {
        result.error = path + ":File Can't Load";
        result.reason = std::to_string(d.errorLine) + "行目:" + d.problem;
        return result;
    }
    result.bytes = std::move(bytes);
    result.lines = std::move(d.lines);
    result.rawLines = std::move(d.rawLines);
    result.encoding = d.encoding;
    result.ok = true;
    return result;
}

OriginalLineBytes originalLineBytes(const QuestionLinesResult& read) {
    OriginalLineBytes originals;
    if (read.rawLines.size() != read.lines.size()) return originals;
    for (std::size_t i = 0; i < read.lines.size(); ++i) originals.emplace(read.lines[i], read.rawLines[i]);
    return originals;
}

QuestionSetParse readQuestionSetStructure(const std::vector<std::string>& lines) {
    QuestionSetParse result;
    if (lines.empty()) return result;
    QuestionSet& set = result.set;
    int i = 0;  // questions stored in the open unit
    int j = 0;  // units opened
    int n = 0;  // the line being read, from 1
    auto fault = [&](const char* text = nullptr) {
        result.faultLine = n;
        if (text) result.diagnostics.push_back({0, text, "", Severity::Error, n, -1});
        result.set = QuestionSet();
        return result;
    };
    for (const std::string& s : lines) {
        ++n;
        if (s.size() >= 2 && s.compare(0, 2, "<<") == 0) {
            if (i != 0) return fault();  // the previous unit was not closed
            if (j >= MAX_UNITS) return fault("項目が多すぎます");
            ++j;
            set.unitTitle[static_cast<std::size_t>(j)] = s.substr(2);
        } else if (s == ">>") {
            if (i == 0) return fault();  // no unit open, or a unit without questions
            set.questionCount[static_cast<std::size_t>(j)] = i;
            i = 0;
        } else {
            if (i >= MAX_QUESTIONS) {
                const std::string text = "問題は" + std::to_string(MAX_QUESTIONS) + "問以下です";
                return fault(text.c_str());
            }
            if (s.empty()) return fault();
            // A question before the first header belongs to no unit: the format allows nothing
            // before the first unit, so it is a structural fault like an empty line.
            if (j == 0) return fault();
            // Question lines after the closing ">>" of the last unit are kept as the load has
            // always kept them: they overwrite questions 1, 2, ... of that unit without
            // changing its questionCount, and the parse succeeds. Teachers' existing files may
            // rely on it; the editor's check still validates only the counted questions.
            ++i;
            set.questionText[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] = s;
        }
    }
    set.unitCount = j;
    result.ok = true;
    return result;
}

bool parseQuestionSet(const std::vector<std::string>& lines, QuestionSet& inUse, std::vector<Diagnostic>& diagnostics) {
    QuestionSetParse parsed = readQuestionSetStructure(lines);
    for (Diagnostic& d : parsed.diagnostics) diagnostics.push_back(std::move(d));
    if (!parsed.ok) return false;
    inUse = std::move(parsed.set);
    return true;
}

bool holdsQuestion(const std::vector<std::string>& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const std::string& s) { return !s.empty() && s != ">>" && s.compare(0, 2, "<<") != 0; });
}

std::string unsavableLineMessage(int lineNumber, const std::string& character) {
    if (character.empty()) return std::to_string(lineNumber) + "行目に Shift-JIS で保存できない文字があります";
    return std::to_string(lineNumber) + "行目の「" + character + "」は Shift-JIS で保存できません";
}

namespace {
// The character that keeps a line from being saved: a line end inside it, or the first
// character CP932 cannot hold.
std::string unsavableCharacterOf(const std::string& line) {
    if (line.find_first_of("\r\n") != std::string::npos) return "";
    return firstUnsavableCharacter(line);
}
}  // namespace

bool encodeQuestionLines(const std::vector<std::string>& lines, std::string& bytes, int& badLine,
                         const OriginalLineBytes* originals) {
    bytes.clear();
    badLine = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        // A line end inside a line would split it in two on the next load.
        if (line.find_first_of("\r\n") != std::string::npos) {
            badLine = static_cast<int>(n) + 1;
            bytes.clear();
            return false;
        }
        if (originals) {
            if (auto it = originals->find(line); it != originals->end()) {
                bytes += it->second;
                bytes += "\r\n";
                continue;
            }
        }
        auto encoded = toSjis(line);
        if (!encoded) {
            badLine = static_cast<int>(n) + 1;
            bytes.clear();
            return false;
        }
        bytes += *encoded;
        bytes += "\r\n";
    }
    return true;
}

FileResult writeQuestionFile(const std::string& path, const std::vector<std::string>& lines,
                             const OriginalLineBytes* originals) {
    FileResult result;
    std::string bytes;
    int badLine = 0;
    if (!encodeQuestionLines(lines, bytes, badLine, originals)) {
        result.error = unsavableLineMessage(badLine, unsavableCharacterOf(lines[static_cast<std::size_t>(badLine) - 1]));
        return result;
    }
    // The reader refuses sets over its limit: a set it could not read back is not written.
    if (bytes.size() > MAX_QUESTION_FILE_BYTES) {
        result.error = "問題集が " + std::to_string((bytes.size() + 1023) / 1024) +
                       " KB になり、1 MB を超えるので保存しません（1 MB を超える問題集は読み込めません）";
        return result;
    }
    result.error = writeFileAtomically(path, bytes).error;
    result.ok = result.error.empty();
    return result;
}

}  // namespace solvari
