#pragma once
#include <map>
#include <string>
#include <vector>

#include "flow/question_set.h"

namespace solvari {

// The class summary of practice records: the teacher collects the record file of every
// student's machine and sees, per file and unit, how often each question was finished and
// when the unit was last practised. Only reads.

struct SummaryRow {
    std::string file;     // the path as given, or as found in a folder
    std::string student;  // whose: "<名前>.rec" names 名前, a collected Miradosh.rec its folder
    bool shared = false;  // a class folder's own Miradosh.rec: the shared record, not a student's
    std::string unit;     // the section name: the unit's title; "" for a record with no finishes
    std::vector<std::string> counts;  // questions 1..7: the count, "" when never finished, "?" when damaged
    std::vector<int> hinted;          // questions 1..7: of those finishes, how many came after a hint
    int total = 0;      // sum of the readable counts
    int hintedTotal = 0;
    std::string date;   // "DATE", "" when missing
    std::map<std::string, int> mistakes;  // the unit's wrong written lines by mistake code (自分で計算する)
};

struct ClassSummary {
    std::vector<SummaryRow> rows;       // file by file, units in file order
    std::vector<std::string> errors;    // one line per file that was skipped, or path that held none
    std::vector<std::string> warnings;  // read all the same: a damaged value, a record in UTF-8
    int filesRead = 0;
};

// paths: record files, or folders searched through (subfolders too) for *.rec in any letter
// case, sorted by path. A Miradosh.rec is the record collected from one student's PC, named by
// its folder (class/3-2-05/Miradosh.rec is 3-2-05), unless it lies in a folder given here or in
// one holding other records or a question set: then it is that class folder's shared record.
// Two files that name the same student are told apart by their folder.
ClassSummary summarizeRecords(const std::vector<std::string>& paths);

// The summary of one record's bytes; "" when it reads, else why it is not a record file.
// Values it reads all the same (a damaged count, a record in UTF-8) are told in warnings.
std::string summarizeRecordBytes(const std::string& bytes, const std::string& file, std::vector<SummaryRow>& rows,
                                 std::vector<std::string>* warnings = nullptr);

// A table aligned for the terminal: the counts, then in the last column the finishes after a
// hint ("問1☆1"), so that the columns line up however wide a terminal draws ☆; followed, when
// any were recorded, by the most frequent mistakes per unit of each file and of all files.
// Or tab-separated values with a header row (the finishes after a hint in columns h1..h7, then
// one column per mistake code, at the end); or the same columns as CSV for a spreadsheet
// (UTF-8 with a BOM first, Japanese headers).
std::string summaryTable(const ClassSummary& summary);
std::string summaryTsv(const ClassSummary& summary);
std::string summaryCsv(const ClassSummary& summary);

// Students × questions, one block per unit: the units of `set` in its order when given (else
// in the order first met), only the one titled `unit` when that is not empty.
struct GridChoice {
    const QuestionSet* set = nullptr;
    std::string unit;
};
std::string summaryGrid(const ClassSummary& summary, const GridChoice& choice);

inline constexpr const char* SUMMARY_NOT_RECORD = "練習記録のファイルではありません";
inline constexpr const char* SUMMARY_MISSING = "ファイルがありません";
inline constexpr const char* SUMMARY_NO_FILES = "記録ファイル (*.rec) がありません";
inline constexpr const char* SUMMARY_SHARED = "（共有の記録）";
inline constexpr const char* SUMMARY_MISTAKES_TITLE = "自分で計算する：よくあるまちがい（単元ごと、多い順）";
inline constexpr const char* SUMMARY_ALL_FILES = "全体";
inline constexpr const char* SUMMARY_EMPTY = "（記録なし）";
inline constexpr const char* SUMMARY_UTF8 = "UTF-8 で書かれた記録です。読みましたが、ドリルはこの記録を正しく読めません";

}  // namespace solvari
