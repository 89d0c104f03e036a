#include "flow/syntax_check.h"

#include "engine/sjis.h"

namespace solvari {

void RecordingPrompter::inform(const std::string& text) {
    said.push_back(text);
    if (forward_ && forwarding) forward_->inform(text);
}

void RecordingPrompter::warn(const std::string& text, const std::string& caption) {
    said.push_back(caption + "|" + text);
    if (forward_ && forwarding) forward_->warn(text, caption);
}

Answer RecordingPrompter::askYesNo(const std::string& text, const std::string& caption) {
    said.push_back(caption + "|" + text);
    return Answer::No;
}

Answer RecordingPrompter::askYesNoCancel(const std::string& text, const std::string& caption) {
    said.push_back(caption + "|" + text);
    return Answer::Cancel;
}

Answer RecordingPrompter::askAbortRetryIgnore(const std::string& text, const std::string& caption) {
    said.push_back(caption + "|" + text);
    return Answer::Ignore;
}

SpecialChoice RecordingPrompter::chooseSpecialSolution() { return SpecialChoice::Closed; }

std::string unsavableMessage(const std::vector<std::string>& lines, const std::string& lineText) {
    std::size_t n = 0;
    while (n < lines.size() && lines[n] != lineText) ++n;
    return unsavableLineMessage(static_cast<int>(n) + 1, firstUnsavableCharacter(lineText));
}

SyntaxCheckResult checkQuestionSet(const std::vector<std::string>& lines, QuestionSet& inUse, Prompter* forward) {
    SyntaxCheckResult r;
    RecordingPrompter recorder(forward);
    // An engine of its own: what the check parses never reaches the student's page.
    Engine engine(recorder);

    if (!parseQuestionSet(lines, inUse, recorder)) {
        r.structureMessages = recorder.said;
        r.resultText = CHECK_STRUCTURE_FAILED;
        r.errorUnitText = CHECK_STRUCTURE_UNIT;
        return r;
    }
    r.structureOk = true;
    r.unitCount = inUse.unitCount;
    r.structureMessages = recorder.said;

    int firstFaultyUnit = 0;
    for (int u = 1; u <= inUse.unitCount; ++u) {
        const auto uu = static_cast<std::size_t>(u);
        bool unitFaulty = false;
        if (!fitsSjis(inUse.unitTitle[uu])) {
            const std::string written = "<<" + inUse.unitTitle[uu];
            recorder.said.clear();
            recorder.inform(unsavableMessage(lines, written));
            r.faults.push_back(QuestionFault{u, 0, written, recorder.said, 0});
            unitFaulty = true;
        }
        for (int q = 1; q <= inUse.questionCount[uu]; ++q) {
            const std::string& text = inUse.questionText[uu][static_cast<std::size_t>(q)];
            recorder.said.clear();
            const bool parsed = engine.parseEquation(SCRATCH_LINE, text);
            const bool savable = fitsSjis(text);
            if (!savable) recorder.inform(unsavableMessage(lines, text));
            std::vector<std::string> messages = recorder.said;
            if (parsed && savable) {
                if (!messages.empty()) r.warnings.push_back(QuestionWarning{u, q, messages});
                continue;
            }
            r.faults.push_back(QuestionFault{u, q, text, messages, engine.engineError});
            unitFaulty = true;
        }
        if (unitFaulty && firstFaultyUnit == 0) {
            firstFaultyUnit = u;
            recorder.forwarding = false;  // the editor would have stopped here
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

}  // namespace solvari
