#include "web/question_sets.h"

#include <cctype>

#include "engine/sjis.h"
#include "flow/syntax_check.h"

namespace solvari::web {

SetCheck checkSetBytes(std::string_view bytes, const std::string& name) {
    SetCheck c;
    c.report.push_back("ファイル: " + quotedLine(name));
    if (bytes.size() > MAX_QUESTION_FILE_BYTES) {
        c.report.push_back("問題集としては大きすぎます（" + std::to_string(MAX_QUESTION_FILE_BYTES / 1024) + "KB まで）");
        return c;
    }
    const DecodedQuestionText text = decodeQuestionText(bytes);
    if (!text.ok) {
        c.report.push_back(std::to_string(text.errorLine) + "行目:" + text.problem);
        return c;
    }
    c.readAsUtf8 = text.encoding == TextEncoding::Utf8;
    const SyntaxCheckResult r = checkQuestionSet(text.lines, c.set);
    c.report.push_back("エラーチェックの結果: " + r.resultText);
    if (!r.structureOk) {
        c.report.push_back("エラーの単元: " + r.errorUnitText);
        const int at = readQuestionSetStructure(text.lines).faultLine;
        if (at > 0 && static_cast<size_t>(at) <= text.lines.size())
            c.report.push_back("  " + std::to_string(at) + "行目: " + quotedLine(text.lines[static_cast<size_t>(at - 1)]));
        else if (text.lines.empty())
            c.report.push_back("  空のファイルです");
        for (const std::string& m : r.structureMessages) c.report.push_back("    " + m);
        return c;
    }
    c.report.push_back("単元数: " + std::to_string(r.unitCount));
    c.report.push_back("エラーの単元: " + quotedLine(r.errorUnitText));
    if (!r.faults.empty()) c.report.push_back("誤りのある問題: " + std::to_string(r.faults.size()));
    for (const QuestionFault& f : r.faults) {
        const std::string where = f.question == 0 ? "単元" + std::to_string(f.unit) + " 見出し" : questionPlace(f.unit, f.question);
        c.report.push_back("  " + where + ": " + quotedLine(f.text));
        for (const std::string& m : f.messages) c.report.push_back("    " + m);
        if (f.engineError != 0) c.report.push_back("    (エラーコード " + std::to_string(f.engineError) + ")");
    }
    c.ok = r.ok;
    return c;
}

bool plainSetName(const std::string& name) {
    if (name.size() < 5 || name.size() > 200 || name[0] == '.' || firstInvalidUtf8(name) != name.size()) return false;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|#%&+;=").find(ch) != std::string_view::npos) return false;
    }
    std::string suffix = name.substr(name.size() - 4);
    for (char& ch : suffix) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return suffix == ".leq";
}

}  // namespace solvari::web
