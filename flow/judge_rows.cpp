#include "flow/judge_rows.h"

#include <optional>
#include <string>
#include <vector>

#include "flow/question_set.h"
#include "transform/line_judge.h"

namespace solvari {
namespace {

constexpr size_t kAnyLength = 4096;

std::vector<std::string> fields(const std::string& row) {
    std::vector<std::string> out(1);
    for (char c : row) {
        if (c == '\t') out.emplace_back();
        else out.back() += c;
    }
    return out;
}

std::string said(const std::vector<Diagnostic>& diagnostics, const std::string& otherwise) {
    std::string text;
    for (const Diagnostic& d : diagnostics) text += (text.empty() ? "" : " ") + d.text;
    return text.empty() ? otherwise : text;
}

struct Row {
    std::string verdict, code, message;
};

Row invalid(const std::string& why) { return {"INVALID", "", why}; }

// The operand as the question set writes it (2, -12, 2/3, 0.5, 3x): the one term of "operand=0".
std::optional<Term> operandOf(Engine& e, const std::string& text, std::string& why) {
    std::vector<Diagnostic> d;
    e.letterRequired = false;
    const bool read = e.parseEquation(SCRATCH_LINE, text + "=0", d);
    e.letterRequired = true;
    const EquationLine& l = e.line(SCRATCH_LINE);
    if (!read || l.count != 3 || !carriesValue(l.terms[0].kind)) {
        why = "数を読み取れません: " + text + (d.empty() ? "" : "（" + said(d, "") + "）");
        return std::nullopt;
    }
    return l.terms[0];
}

Row judgeRow(const std::vector<std::string>& f) {
    if (f.size() < 4) return invalid("列が足りません（式・操作・数・書いた式の4列）");
    Engine e;
    e.maxEquationBytes = kAnyLength;
    std::vector<Diagnostic> d;
    if (!e.parseEquation(SCRATCH_LINE, f[0], d)) return invalid("式を読み取れません: " + said(d, f[0]));
    const EquationLine source = e.line(SCRATCH_LINE);
    const char letter = e.letter;
    const bool decimals = e.hasDecimal;
    if (f[1].size() != 1 || std::string("*/+-KSI").find(f[1][0]) == std::string::npos)
        return invalid("操作は * / + - K S I のどれかです: " + f[1]);
    const auto op = static_cast<Operation>(f[1][0]);
    const bool needsOperand = op == Operation::Multiply || op == Operation::Divide || op == Operation::Add || op == Operation::Subtract;
    Term operand = ZERO_TERM;
    if (needsOperand) {
        if (f[2].empty()) return invalid("この操作には数が必要です");
        std::string why;
        const auto t = operandOf(e, f[2], why);
        if (!t) return invalid(why);
        operand = *t;
    } else if (!f[2].empty()) {
        return invalid("かっこ・整理・移項には数を書きません");
    }
    e.letter = letter;
    e.hasDecimal = decimals || f[2].find('.') != std::string::npos;
    const LineJudgement j = judgeWrittenLine(e, source, op, operand, f[3]);
    switch (j.verdict) {
        case LineJudgement::Verdict::Accepted:
        case LineJudgement::Verdict::Noted: return {"OK", "", j.message};
        case LineJudgement::Verdict::Refused: return {"NG", mistakeCode(j.mistake), j.message};
        case LineJudgement::Verdict::Invalid: break;
    }
    return invalid(j.message);
}

}  // namespace

CheckOutput judgeRows(std::string_view bytes) {
    CheckOutput o;
    std::vector<std::string> lines;
    std::size_t bad = 0;
    if (!decodeQuestionBytes(bytes, lines, &bad)) {
        o.err = "solvari-check: 表を読み取れません（" + std::to_string(bad + 1) + "バイト目が UTF-8 でも Shift-JIS でもありません）\n";
        o.exitCode = CHECK_EXIT_UNREADABLE;
        return o;
    }
    int row = 0;
    bool first = true;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        if (first && line.rfind("line", 0) == 0) {
            first = false;
            continue;
        }
        first = false;
        const Row r = judgeRow(fields(line));
        o.out += std::to_string(++row) + "\t" + r.verdict + "\t" + r.code + "\t" + tsvField(r.message) + "\n";
        if (r.verdict == "INVALID") o.exitCode = CHECK_EXIT_INVALID;
    }
    return o;
}

}  // namespace solvari
