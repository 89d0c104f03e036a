#include "transform/operations.h"

#include "transform/line_marks.h"
#include "transform/sentences.h"

namespace solvari {

bool applyOperation(Engine& engine, Prompter& prompter, const Step& step) {
    const int a = step.firstLine;
    const Term& operand = step.operand;
    OpStatus status = OpStatus::Done;
    switch (step.operation) {
        case Operation::Brackets:
            status = engine.removeParentheses(a);
            if (status == OpStatus::NoChange) {
                prompter.inform(lineMark(a) + "式にはかっこがありません");
                return false;
            }
            break;
        case Operation::Transpose:
            status = engine.transposeTerms(a);
            if (status == OpStatus::NoChange &&
                prompter.askYesNo("移項する項はありません。訂正しますか", "確認") == Answer::Yes)
                return false;
            break;
        case Operation::Collect:
            status = engine.collectLikeTerms(a);
            break;
        case Operation::Multiply:
            if (operand.kind != KIND_NUMBER) {
                prompter.inform("文字式をかけることはできません");
                return false;
            }
            if (step.lineOperand) {
                prompter.inform("式をかけることはできません");
                return false;
            }
            if (operand.num == 0) {
                prompter.inform("０をかけることはできません");
                return false;
            }
            status = engine.scaleLine(a, '*', operand);
            break;
        case Operation::Divide:
            if (operand.kind != KIND_NUMBER) {
                prompter.inform("文字式で割ることはできません");
                return false;
            }
            if (operand.num == 0) {
                prompter.inform("０では割れません");
                return false;
            }
            status = engine.scaleLine(a, '/', operand);
            break;
        case Operation::Add:
        case Operation::Subtract:
            if (step.lineOperand)
                status = step.operation == Operation::Add ? engine.combineLines(a, step.secondLine)
                                               : engine.subtractLines(a, step.secondLine);
            else
                status = engine.addToBothSides(a, static_cast<char>(step.operation), operand);
            break;
        case Operation::None:
            return false;
    }
    if (status == OpStatus::Refused) return false;
    engine.line(engine.targetLine).text =
        stepSentence(step.operation, a, step.secondLine, step.lineOperand, step.operandText);
    return true;
}

}  // namespace solvari
