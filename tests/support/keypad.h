#pragma once
// Types an operand's text on the practice keypad, key by key: "3分の2x", "-5", "CL".
#include <string>
#include <string_view>

#include "flow/practice.h"

namespace solvari::testing {

inline void press(Practice& practice, std::string_view typed) {
    if (typed == "CL") return practice.keypad(Key::Clear);
    const std::string_view fraction = "分の";
    for (std::size_t i = 0; i < typed.size();) {
        if (typed.substr(i, fraction.size()) == fraction) {
            practice.keypad(Key::Fraction);
            i += fraction.size();
            continue;
        }
        const char c = typed[i++];
        if (c >= '0' && c <= '9') practice.keypad(digitKey(c - '0'));
        else if (c == '.') practice.keypad(Key::Point);
        else if (c == '-') practice.keypad(Key::Minus);
        else practice.keypad(Key::Letter);
    }
}

}  // namespace solvari::testing
