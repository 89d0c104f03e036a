#include "transform/sentences.h"

#include "transform/line_marks.h"

namespace solvari {

std::string stepSentence(char op, int lineA, int lineB, bool lineOperand, const std::string& operandText) {
    const std::string a = lineMark(lineA);
    const std::string b = lineMark(lineB);
    switch (op) {
        case 'K': return a + "式のかっこをはずすと";
        case 'I': return a + "式を移項すると";
        case 'S': return a + "式を整理すると";
        case '*': return a + "式の両辺を" + operandText + "倍すると";
        case '/': return a + "式の両辺を" + operandText + "で割ると";
        // adding a number reads ①の両辺に, without 式
        case '+': return lineOperand ? a + "式と" + b + "式をたすと" : a + "の両辺に" + operandText + "をたすと";
        case '-': return lineOperand ? a + "式から" + b + "式をひくと" : a + "式の両辺から" + operandText + "をひくと";
        default: return "";
    }
}

}  // namespace solvari
