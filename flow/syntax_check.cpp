#include "flow/syntax_check.h"

#include "engine/sjis.h"

namespace solvari {

std::string reportedText(const Diagnostic& d) { return d.caption.empty() ? d.text : d.caption + "|" + d.text; }

namespace {

std::vector<std::string> reported(const std::vector<Diagnostic>& diagnostics) {
    std::vector<std::string> out;
    out.reserve(diagnostics.size());
    for (const Diagnostic& d : diagnostics) out.push_back(reportedText(d));
    return out;
}

}  // namespace

std::string unsavableMessage(const std::vector<std::string>& lines, const std::string& lineText) {
    std::size_t n = 0;
    while (n < lines.size() && lines[n] != lineText) ++n;
    return unsavableLineMessage(static_cast<int>(n) + 1, firstUnsavableCharacter(lineText));
}

SyntaxCheckResult checkQuestionSet(const std::vector<std::string>& lines, QuestionSet& inUse) {
    SyntaxCheckResult r;
    // An engine of its own: what the check parses never reaches the student's page.
    Engine engine;
    bool forwarding = true;  // the editor shows what it meets, up to the first faulty unit
    auto forward = [&](const std::vector<Diagnostic>& diagnostics) {
        if (forwarding) r.editorDiagnostics.insert(r.editorDiagnostics.end(), diagnostics.begin(), diagnostics.end());
    };

    QuestionSetParse structure = readQuestionSetStructure(lines);
    forward(structure.diagnostics);
    r.structureMessages = reported(structure.diagnostics);
    if (!structure.ok) {
        r.resultText = CHECK_STRUCTURE_FAILED;
        r.errorUnitText = CHECK_STRUCTURE_UNIT;
        return r;
    }
    inUse = std::move(structure.set);
    r.structureOk = true;
    r.unitCount = inUse.unitCount;

    int firstFaultyUnit = 0;
    for (int u = 1; u <= inUse.unitCount; ++u) {
        const auto uu = static_cast<std::size_t>(u);
        bool unitFaulty = false;
        if (!fitsSjis(inUse.unitTitle[uu])) {
            const std::string written = "<<" + inUse.unitTitle[uu];
            const Diagnostic unsavable = Diagnostic::information(unsavableMessage(lines, written));
            forward({unsavable});
            r.faults.push_back(QuestionFault{u, 0, written, {reportedText(unsavable)}, 0});
            unitFaulty = true;
        }
        for (int q = 1; q <= inUse.questionCount[uu]; ++q) {
            const std::string& text = inUse.questionText[uu][static_cast<std::size_t>(q)];
            std::vector<Diagnostic> diagnostics;
            const bool parsed = engine.parseEquation(SCRATCH_LINE, text, diagnostics);
            const bool savable = fitsSjis(text);
            if (!savable) diagnostics.push_back(Diagnostic::information(unsavableMessage(lines, text)));
            forward(diagnostics);
            std::vector<std::string> messages = reported(diagnostics);
            if (parsed && savable) {
                if (!messages.empty()) r.warnings.push_back(QuestionWarning{u, q, messages});
                continue;
            }
            r.faults.push_back(QuestionFault{u, q, text, messages, engine.engineError});
            unitFaulty = true;
        }
        if (unitFaulty && firstFaultyUnit == 0) {
            firstFaultyUnit = u;
            forwarding = false;  // the editor would have stopped here
        }
    }

    if (firstFaultyUnit == 0) {
        r.ok = true;
        r.unitCountText = std::to_string(inUse.unitCount);
        r.resultText = CHECK_SUCCESS;
        r.errorUnitText = CHECK_NONE;
        r.errorQuestions = {CHECK_NONE};
        return r;
    }
    r.resultText = CHECK_QUESTIONS_FAILED;
    r.errorUnitText = inUse.unitTitle[static_cast<std::size_t>(firstFaultyUnit)];
    for (const QuestionFault& f : r.faults) {
        if (f.unit == firstFaultyUnit) r.errorQuestions.push_back(f.text);
    }
    return r;
}

std::string quotedLine(const std::string& text) {
    constexpr size_t kMaxChars = 60;
    std::string out;
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); i += utf8CharLength(text, i)) {
        if (chars == kMaxChars) return out + "…";
        ++chars;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) out += '?';
        else out += text.substr(i, utf8CharLength(text, i));
    }
    return out;
}

std::string questionPlace(int unit, int question) {
    return "単元" + std::to_string(unit) + " 問題" + std::to_string(question);
}

}  // namespace solvari
