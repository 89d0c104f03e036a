#include "transform/line_marks.h"

#include <array>

namespace solvari {

std::string lineMark(int n) {
    static const std::array<const char*, 15> marks = {
        "0", "①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩", "⑪", "⑫", "⑬", "⑭"};
    if (n < 0 || n >= static_cast<int>(marks.size())) return "";
    return marks[static_cast<size_t>(n)];
}

}  // namespace solvari
