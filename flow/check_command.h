#pragma once
#include <string>
#include <vector>

namespace solvari {

// The command-line checker for question sets (solvari-check), as a function so that tests see
// exactly what the program prints and returns. main() only passes the arguments through and
// writes the two texts.
//
//   solvari-check FILE.leq          the editor's check of the whole set (every unit)
//   solvari-check --solve FILE.leq  a worked solution of every question
//   solvari-check --tsv FILE.leq    one tab-separated row per question
//
// Exit codes: 0 the set is valid (and, with --solve or --tsv, every question was solved);
// 1 the set or a question is faulty; 2 the file cannot be read, or the arguments are wrong.
enum class CheckMode { Validate, Solve, Tsv };

inline constexpr int CHECK_EXIT_OK = 0;
inline constexpr int CHECK_EXIT_INVALID = 1;
inline constexpr int CHECK_EXIT_UNREADABLE = 2;

struct CheckOutput {
    int exitCode = CHECK_EXIT_OK;
    std::string out;  // UTF-8, for standard output
    std::string err;  // UTF-8, for standard error
};

// args are the arguments after the program name.
CheckOutput runCheckCommand(const std::vector<std::string>& args);

// The work on lines already read; label names the file in the report.
CheckOutput checkQuestionLines(const std::vector<std::string>& lines, const std::string& label, CheckMode mode);

// 1-based number of the line at which the structure parse fails, 0 when it does not fail
// (an empty text fails at line 0 too, having no line).
int structureFaultLine(const std::vector<std::string>& lines);

}  // namespace solvari
