#pragma once
#include <map>
#include <string>
#include <vector>

namespace solvari {

// The class summary of practice records: the teacher collects the record file of every
// student's machine and sees, per file and unit, how often each question was finished and
// when the unit was last practised. Only reads.

struct SummaryRow {
    std::string file;   // the path as given, or the folder + file name
    bool shared = false;  // a Miradosh.rec found in a folder: the shared record, not a student's
    std::string unit;   // the section name: the unit's title
    std::vector<std::string> counts;  // questions 1..7: the count, "" when never finished, "?" when damaged
    std::vector<int> hinted;          // questions 1..7: of those finishes, how many came after a hint
    int total = 0;      // sum of the readable counts
    int hintedTotal = 0;
    std::string date;   // "DATE", "" when missing
    std::map<std::string, int> mistakes;  // the unit's wrong written lines by mistake code (自分で計算する)
};

struct ClassSummary {
    std::vector<SummaryRow> rows;     // file by file, units in file order
    std::vector<std::string> errors;  // one line per file that was skipped, or path that held none
    int filesRead = 0;
};

// paths: record files, or folders whose *.rec files (any case of the suffix, sorted by name)
// are read.
ClassSummary summarizeRecords(const std::vector<std::string>& paths);

// The summary of one record's bytes; "" when it reads, else why it is not a record file.
std::string summarizeRecordBytes(const std::string& bytes, const std::string& file, std::vector<SummaryRow>& rows);

// A table aligned for the terminal (a count with finishes after a hint reads "3(☆1)"), followed,
// when any were recorded, by the most frequent mistakes per unit of each file and of all files;
// or tab-separated values with a header row (the finishes after a hint in columns h1..h7, then
// one column per mistake code, at the end).
std::string summaryTable(const ClassSummary& summary);
std::string summaryTsv(const ClassSummary& summary);

inline constexpr const char* SUMMARY_NOT_RECORD = "練習記録のファイルではありません";
inline constexpr const char* SUMMARY_MISSING = "ファイルがありません";
inline constexpr const char* SUMMARY_NO_FILES = "記録ファイル (*.rec) がありません";
inline constexpr const char* SUMMARY_SHARED = "（共有の記録）";
inline constexpr const char* SUMMARY_MISTAKES_TITLE = "自分で計算する：よくあるまちがい（単元ごと、多い順）";
inline constexpr const char* SUMMARY_ALL_FILES = "全体";

}  // namespace solvari
