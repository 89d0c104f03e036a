#pragma once

namespace solvari {

// The operation of a step. The values are the characters the step's sentence and the engine's
// line operations use ('*', '/', '+', '-'), so static_cast<char> hands one to the engine.
enum class Operation : char {
    None = '?',
    Multiply = '*',
    Divide = '/',
    Add = '+',
    Subtract = '-',
    Brackets = 'K',   // かっこ: remove the innermost brackets
    Transpose = 'I',  // 移項
    Collect = 'S',    // 整理
};

}  // namespace solvari
