#pragma once
#include <string_view>

namespace solvari::web {

// The bytes of data/Question.leq, compiled into the module.
std::string_view bundledQuestionSet();

}  // namespace solvari::web
