#include "flow/class_summary.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <set>

#include "engine/sjis.h"
#include "flow/record_file.h"
#include "flow/question_set.h"
#include "flow/record_rules.h"
#include "transform/line_judge.h"

namespace solvari {
namespace {

constexpr int kQuestions = MAX_QUESTIONS;

// Columns line up on a terminal with a fixed-width font: a wide character takes two cells.
int cells(const std::string& s) {
    int n = 0;
    for (size_t i = 0; i < s.size(); i += utf8CharLength(s, i)) n += utf8CharLength(s, i) == 1 ? 1 : 2;
    return n;
}

std::string padded(const std::string& s, int width) {
    return s + std::string(static_cast<size_t>(std::max(0, width - cells(s))), ' ');
}

std::string field(std::string s) {
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return s;
}

void readOne(const std::string& path, const std::string& shownAs, ClassSummary& out) {
    if (!QFileInfo::exists(QString::fromStdString(path))) {
        out.errors.push_back(shownAs + ": " + SUMMARY_MISSING);
        return;
    }
    const RecordRead read = RecordFile(path).read();
    if (!read.ok) {
        out.errors.push_back(shownAs + ": " + read.reason);
        return;
    }
    std::vector<SummaryRow> rows;
    const std::string why = summarizeRecordBytes(read.bytes, shownAs, rows);
    if (!why.empty()) {
        out.errors.push_back(shownAs + ": " + why);
        return;
    }
    ++out.filesRead;
    for (SummaryRow& r : rows) out.rows.push_back(std::move(r));
}

// "移項の符号 3・片方の辺だけ 1": the three most frequent, ties in the judge's order.
std::string mostFrequent(const std::map<std::string, int>& tally) {
    std::vector<std::pair<int, Mistake>> found;
    for (size_t i = 0; i < std::size(RECORDED_MISTAKES); ++i)
        if (auto it = tally.find(mistakeCode(RECORDED_MISTAKES[i])); it != tally.end() && it->second > 0)
            found.emplace_back(it->second, RECORDED_MISTAKES[i]);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::string out;
    for (size_t i = 0; i < found.size() && i < 3; ++i)
        out += (i ? "・" : "") + std::string(mistakeName(found[i].second)) + " " + std::to_string(found[i].first);
    return out;
}

// Counts add up to the largest int, never past it.
void addCount(std::map<std::string, int>& into, const std::string& code, int n) {
    int& sum = into[code];
    sum = n > std::numeric_limits<int>::max() - sum ? std::numeric_limits<int>::max() : sum + n;
}

void addTally(std::map<std::string, int>& into, const std::map<std::string, int>& more) {
    for (const auto& [code, n] : more) addCount(into, code, n);
}

// The written lines' mistakes (自分で計算する), per unit of each file, then per unit of them all.
std::string mistakeTable(const ClassSummary& summary) {
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> units;  // in the order first met
    std::map<std::string, std::map<std::string, int>> all;
    for (const SummaryRow& r : summary.rows) {
        if (r.mistakes.empty()) continue;
        table.push_back({field(r.shared ? r.file + SUMMARY_SHARED : r.file), field(r.unit), mostFrequent(r.mistakes)});
        if (!all.count(r.unit)) units.push_back(r.unit);
        addTally(all[r.unit], r.mistakes);
    }
    if (table.empty()) return "";
    for (const std::string& u : units) table.push_back({SUMMARY_ALL_FILES, field(u), mostFrequent(all[u])});
    size_t fileWidth = 0, unitWidth = 0;
    for (const auto& row : table) {
        fileWidth = std::max(fileWidth, static_cast<size_t>(cells(row[0])));
        unitWidth = std::max(unitWidth, static_cast<size_t>(cells(row[1])));
    }
    std::string out = std::string("\n") + SUMMARY_MISTAKES_TITLE + "\n";
    for (const auto& row : table)
        out += padded(row[0], static_cast<int>(fileWidth)) + "  " + padded(row[1], static_cast<int>(unitWidth)) + "  " + row[2] + "\n";
    return out;
}

}  // namespace

std::string summarizeRecordBytes(const std::string& bytes, const std::string& file, std::vector<SummaryRow>& rows) {
    // A record holds section headers and key=value lines only. Anything else (a NUL byte, text
    // before the first header, a line that is neither) means a foreign or damaged file, whose
    // numbers would be guesses.
    if (bytes.find('\0') != std::string::npos) return SUMMARY_NOT_RECORD;
    const ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    bool inSection = false;
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        const size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos) {
            if (line[first] == '[' && line.find(']') != std::string::npos) inSection = true;
            else if (!inSection || line.find('=') == std::string::npos) {
                if (line[first] != ';') return SUMMARY_NOT_RECORD;
            }
        }
        start = end + 1;
    }
    std::set<std::string> seen;
    for (const std::string& unit : doc.sectionNames()) {
        // the first section of a name is the one the program reads and writes
        if (!seen.insert(foldName(unit)).second) continue;
        SummaryRow r;
        r.file = file;
        r.unit = unit;
        for (int q = 1; q <= kQuestions; ++q) {
            const std::optional<int> n = readCount(doc, unit, q);
            // finishes after a hint are part of the count; a damaged H value counts none
            const int h = n ? std::clamp(readHintCount(doc, unit, q).value_or(0), 0, *n) : 0;
            r.hinted.push_back(h);
            r.hintedTotal += h;
            if (!n) r.counts.push_back("?");
            else if (*n == 0) r.counts.push_back("");
            else {
                r.counts.push_back(std::to_string(*n));
                r.total += *n;
            }
        }
        r.date = doc.value(unit, "DATE").value_or("");
        for (Mistake m : RECORDED_MISTAKES)
            for (int q = 1; q <= kQuestions; ++q)
                if (const int n = readMistakeCount(doc, unit, q, mistakeCode(m)).value_or(0); n > 0) addCount(r.mistakes, mistakeCode(m), n);
        rows.push_back(std::move(r));
    }
    return "";
}

ClassSummary summarizeRecords(const std::vector<std::string>& paths) {
    ClassSummary out;
    for (const std::string& path : paths) {
        const QFileInfo info(QString::fromStdString(path));
        if (!info.isDir()) {
            readOne(path, path, out);
            continue;
        }
        const QFileInfoList files = QDir(info.filePath()).entryInfoList(
            QStringList{"*.rec"}, QDir::Files | QDir::Readable | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
        if (files.isEmpty()) out.errors.push_back(path + ": " + SUMMARY_NO_FILES);
        // A class folder holds one record per student; a Miradosh.rec there is the shared one
        // of drills from before, or of a folder the students did not name themselves in.
        for (const QFileInfo& f : files) {
            const std::string file = f.filePath().toStdString();
            const bool shared = f.fileName().compare(QString::fromUtf8(RECORD_FILE_NAME), Qt::CaseInsensitive) == 0;
            const std::size_t before = out.rows.size();
            readOne(file, file, out);
            for (std::size_t i = before; i < out.rows.size(); ++i) out.rows[i].shared = shared;
        }
    }
    return out;
}

std::string summaryTable(const ClassSummary& summary) {
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> head{"記録ファイル", "単元"};
    for (int q = 1; q <= kQuestions; ++q) head.push_back("問" + std::to_string(q));
    head.push_back("計");
    head.push_back("最終日時");
    table.push_back(head);
    for (const SummaryRow& r : summary.rows) {
        std::vector<std::string> row{field(r.shared ? r.file + SUMMARY_SHARED : r.file), field(r.unit)};
        for (size_t q = 0; q < r.counts.size(); ++q) {
            const std::string& c = r.counts[q];
            const int h = r.hinted[q];
            row.push_back(c.empty() ? "-" : h > 0 ? c + "(☆" + std::to_string(h) + ")" : c);
        }
        row.push_back(std::to_string(r.total));
        row.push_back(field(r.date));
        table.push_back(row);
    }
    std::vector<int> width(head.size(), 0);
    for (const auto& row : table)
        for (size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], cells(row[c]));
    std::string out;
    for (const auto& row : table) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) line += (c ? "  " : "") + (c + 1 < row.size() ? padded(row[c], width[c]) : row[c]);
        out += line + "\n";
    }
    return out + mistakeTable(summary);
}

std::string summaryTsv(const ClassSummary& summary) {
    std::string out = "file\tunit";
    for (int q = 1; q <= kQuestions; ++q) out += "\tq" + std::to_string(q);
    out += "\ttotal\tlatest";
    for (int q = 1; q <= kQuestions; ++q) out += "\th" + std::to_string(q);
    for (Mistake m : RECORDED_MISTAKES) out += std::string("\t") + mistakeCode(m);
    out += "\n";
    for (const SummaryRow& r : summary.rows) {
        out += field(r.file) + "\t" + field(r.unit);
        for (const std::string& c : r.counts) out += "\t" + (c.empty() ? std::string("0") : c);
        out += "\t" + std::to_string(r.total) + "\t" + field(r.date);
        for (int h : r.hinted) out += "\t" + std::to_string(h);
        for (Mistake m : RECORDED_MISTAKES) {
            const auto it = r.mistakes.find(mistakeCode(m));
            out += "\t" + std::to_string(it == r.mistakes.end() ? 0 : it->second);
        }
        out += "\n";
    }
    return out;
}

}  // namespace solvari
