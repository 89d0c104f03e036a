#include "transform/sentences.h"

#include "transform/line_marks.h"

namespace solvari {

std::string stepSentence(Operation op, int lineA, int lineB, bool lineOperand, const std::string& operandText) {
    const std::string a = lineMark(lineA);
    const std::string b = lineMark(lineB);
    switch (op) {
        case Operation::Brackets: return a + "式のかっこをはずすと";
        case Operation::Transpose: return a + "式を移項すると";
        case Operation::Collect: return a + "式を整理すると";
        case Operation::Multiply: return a + "式の両辺を" + operandText + "倍すると";
        case Operation::Divide: return a + "式の両辺を" + operandText + "で割ると";
        // adding a number reads ①の両辺に, without 式
        case Operation::Add: return lineOperand ? a + "式と" + b + "式をたすと" : a + "の両辺に" + operandText + "をたすと";
        case Operation::Subtract: return lineOperand ? a + "式から" + b + "式をひくと" : a + "式の両辺から" + operandText + "をひくと";
        case Operation::None: break;
    }
    return "";
}

}  // namespace solvari
