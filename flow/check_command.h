#pragma once
#include <functional>
#include <string>
#include <vector>

#include "flow/answer_sheet.h"
#include "flow/file_io.h"

namespace solvari {

// The command-line checker for question sets (solvari-check), as a function so that tests see
// exactly what the program prints and returns. main() only passes the arguments through and
// writes the two texts.
//
//   solvari-check FILE.leq          the editor's check of the whole set (every unit)
//   solvari-check --solve FILE.leq  a worked solution of every question
//   solvari-check --tsv FILE.leq    one tab-separated row per question
//   solvari-check [--answer-key K.pdf] [--worksheet W.pdf] [--answers A.pdf] [--units 1,3-5]
//                 [--per-page N] FILE.leq                                the teacher's PDFs
//   solvari-check --records [--tsv] FILE.rec… | FOLDER                    the class summary
//   solvari-check --judge FILE.tsv                                          lines students wrote, judged
//
// Exit codes: 0 the set is valid (and, with --solve, --tsv or a PDF, every question was solved);
// 1 the set or a question is faulty (then no PDF is written); 2 the file cannot be read or
// written, or the arguments are wrong (a unit list the set does not fit among them). With
// --records: 0 every record file was read, 1 some were skipped, 2 usage. With
// --judge: 0 every row judged, 1 a row INVALID, 2 usage or no such file.
enum class CheckMode { Validate, Solve, Tsv };

inline constexpr int CHECK_EXIT_OK = 0;
inline constexpr int CHECK_EXIT_INVALID = 1;
inline constexpr int CHECK_EXIT_UNREADABLE = 2;

struct CheckOutput {
    int exitCode = CHECK_EXIT_OK;
    std::string out;  // UTF-8, for standard output
    std::string err;  // UTF-8, for standard error
};

// Writes a sheet as a PDF at path. It needs QtGui, so the program passes it in; without one
// the PDF options are refused.
using SheetWriter = std::function<FileResult(const std::string& path, const SheetLayout& layout)>;

// args are the arguments after the program name.
CheckOutput runCheckCommand(const std::vector<std::string>& args, const SheetWriter& writeSheet = {});

// The work on lines already read; label names the file in the report.
CheckOutput checkQuestionLines(const std::vector<std::string>& lines, const std::string& label, CheckMode mode);

// Keeps a TSV row one row: tabs, line ends and other control bytes inside a field become blanks.
std::string tsvField(std::string s);

// 1-based number of the line at which the structure parse fails, 0 when it does not fail
// (an empty text fails at line 0 too, having no line).
int structureFaultLine(const std::vector<std::string>& lines);

}  // namespace solvari
