#include "transform/operations.h"

#include <utility>

#include "transform/line_marks.h"
#include "transform/sentences.h"

namespace solvari {

StepResult applyOperation(Engine& engine, const Step& step) {
    const int a = step.firstLine;
    const Term& operand = step.operand;
    StepResult result;
    // What the engine says comes before anything said after it.
    auto heard = [&](OpStatus st) {
        for (Diagnostic& d : engine.takeDiagnostics()) result.diagnostics.push_back(std::move(d));
        return st;
    };
    auto refuse = [&](std::string text) {
        result.diagnostics.push_back(Diagnostic::information(std::move(text)));
        return result;
    };
    OpStatus status = OpStatus::Done;
    switch (step.operation) {
        case Operation::Brackets:
            status = heard(engine.removeParentheses(a));
            if (status == OpStatus::NoChange) return refuse(lineMark(a) + "式にはかっこがありません");
            break;
        case Operation::Transpose:
            status = heard(engine.transposeTerms(a));
            result.askCorrection = status == OpStatus::NoChange;
            break;
        case Operation::Collect:
            status = heard(engine.collectLikeTerms(a));
            break;
        case Operation::Multiply:
            if (operand.kind != KIND_NUMBER) return refuse("文字式をかけることはできません");
            if (step.lineOperand) return refuse("式をかけることはできません");
            if (operand.num == 0) return refuse("０をかけることはできません");
            status = heard(engine.scaleLine(a, '*', operand));
            break;
        case Operation::Divide:
            if (operand.kind != KIND_NUMBER) return refuse("文字式で割ることはできません");
            if (operand.num == 0) return refuse("０では割れません");
            status = heard(engine.scaleLine(a, '/', operand));
            break;
        case Operation::Add:
        case Operation::Subtract:
            if (step.lineOperand)
                status = heard(step.operation == Operation::Add ? engine.combineLines(a, step.secondLine)
                                                     : engine.subtractLines(a, step.secondLine));
            else
                status = heard(engine.addToBothSides(a, static_cast<char>(step.operation), operand));
            break;
        case Operation::None:
            return result;
    }
    if (status == OpStatus::Refused) {
        result.askCorrection = false;
        return result;
    }
    engine.line(engine.targetLine).text =
        stepSentence(step.operation, a, step.secondLine, step.lineOperand, step.operandText);
    result.written = true;
    return result;
}

}  // namespace solvari
