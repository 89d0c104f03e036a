#pragma once
#include <string_view>

#include "flow/check_command.h"

namespace solvari {

// solvari-check --judge: lines students wrote, judged in a batch. Each row of the table is
// line<TAB>op<TAB>operand<TAB>written: op one of * / + - K (かっこ) S (整理) I (移項), the operand
// in question-set syntax (empty for K S I), the lines in question-set syntax of any length; a
// first row starting with "line" is a header. bytes are UTF-8 or Shift-JIS. One output row
// per data row: row<TAB>OK|NG|INVALID<TAB>code<TAB>message. Exit 1 when a row was INVALID.
CheckOutput judgeRows(std::string_view bytes);

}  // namespace solvari
