#include "flow/class_summary.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <map>
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

// Who a row stands for, as the tables show it.
std::string whose(const SummaryRow& r) {
    return field(r.shared ? r.file + SUMMARY_SHARED : r.student.empty() ? r.file : r.student);
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
    const std::string why = summarizeRecordBytes(read.bytes, shownAs, rows, &out.warnings);
    if (!why.empty()) {
        out.errors.push_back(shownAs + ": " + why);
        return;
    }
    ++out.filesRead;
    for (SummaryRow& r : rows) out.rows.push_back(std::move(r));
}

// A stored count as the drill reads it: decimal, or hexadecimal after "0x" (0x10 is 16); a
// missing key is 0. Nothing for a value the drill would take as 0 without it being one: a
// negative number, a word, a number too large for the drill.
std::optional<int> storedCount(const std::optional<std::string>& raw) {
    if (!raw) return 0;
    std::string_view s(*raw);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.remove_prefix(2), base = 16;
    if (s.empty()) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        int d = c >= '0' && c <= '9' ? c - '0' : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return std::nullopt;
        v = v * base + d;
        if (v > std::numeric_limits<int>::max()) return std::nullopt;
    }
    return static_cast<int>(v);
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
        table.push_back({whose(r), field(r.unit), mostFrequent(r.mistakes)});
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

std::string summarizeRecordBytes(const std::string& stored, const std::string& file, std::vector<SummaryRow>& rows,
                                 std::vector<std::string>* warnings) {
    const auto warn = [&](const std::string& what) {
        if (warnings) warnings->push_back(file + ": " + what);
    };
    // A record written in UTF-8 (by hand, or by another tool) is read as what it says, with a
    // warning: as Shift-JIS its titles would come out garbled.
    std::string bytes = stored;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && firstInvalidUtf8(bytes) == bytes.size()) {
        bytes = toSjisReplacing(bytes, '?');
        warn(SUMMARY_UTF8);
    }
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
    // One value, or nothing after a warning when it is damaged.
    const auto count = [&](const std::string& unit, const std::string& key) {
        const std::optional<std::string> raw = doc.value(unit, key);
        const std::optional<int> n = storedCount(raw);
        if (!n) warn("「" + unit + "」の " + key + "=" + *raw + " はこわれています（数えません）");
        return n;
    };
    std::set<std::string> seen;
    const size_t before = rows.size();
    for (const std::string& unit : doc.sectionNames()) {
        // the first section of a name is the one the program reads and writes
        if (!seen.insert(foldName(unit)).second) continue;
        SummaryRow r;
        r.file = file;
        r.unit = unit;
        for (int q = 1; q <= kQuestions; ++q) {
            const std::optional<int> n = count(unit, std::to_string(q));
            // finishes after a hint are part of the count; a damaged H value counts none
            const int h = n ? std::clamp(count(unit, "H" + std::to_string(q)).value_or(0), 0, *n) : 0;
            r.hinted.push_back(h);
            r.hintedTotal += h;
            if (!n) r.counts.push_back("?");
            else if (*n == 0) r.counts.push_back("");
            else {
                r.counts.push_back(std::to_string(*n));
                r.total = *n > std::numeric_limits<int>::max() - r.total ? std::numeric_limits<int>::max() : r.total + *n;
            }
        }
        r.date = doc.value(unit, "DATE").value_or("");
        for (Mistake m : RECORDED_MISTAKES)
            for (int q = 1; q <= kQuestions; ++q)
                if (const int n = count(unit, mistakeKey(q, mistakeCode(m))).value_or(0); n > 0) addCount(r.mistakes, mistakeCode(m), n);
        rows.push_back(std::move(r));
    }
    // A record with no finishes yet still stands for its student.
    if (rows.size() == before) {
        SummaryRow r;
        r.file = file;
        r.counts.assign(kQuestions, "");
        r.hinted.assign(kQuestions, 0);
        rows.push_back(std::move(r));
    }
    return "";
}

ClassSummary summarizeRecords(const std::vector<std::string>& paths) {
    ClassSummary out;
    const auto isShared = [](const QFileInfo& f) {
        return f.fileName().compare(QString::fromUtf8(RECORD_FILE_NAME), Qt::CaseInsensitive) == 0;
    };
    // folder of each row's file, to tell apart two files naming the same student
    std::vector<std::string> folders;
    // base: where the folder that tells two students apart is shown from
    const auto add = [&](const QFileInfo& f, bool classFolder, const QDir& base) {
        const std::string file = f.filePath().toStdString();
        const bool shared = isShared(f) && classFolder;
        const std::string student = !isShared(f) ? f.completeBaseName().toStdString()
                                    : shared     ? std::string()
                                                 : f.absoluteDir().dirName().toStdString();
        const std::size_t before = out.rows.size();
        readOne(file, file, out);
        for (std::size_t i = before; i < out.rows.size(); ++i) {
            out.rows[i].shared = shared;
            out.rows[i].student = student;
            folders.push_back(QDir::cleanPath(base.relativeFilePath(f.absolutePath())).toStdString());
        }
    };
    const auto holdsClass = [&](const QDir& d) {
        const QFileInfoList others = d.entryInfoList(QStringList{"*.rec", "*.leq"}, QDir::Files | QDir::Hidden | QDir::System);
        return std::any_of(others.begin(), others.end(), [&](const QFileInfo& f) { return !isShared(f); });
    };
    for (const std::string& path : paths) {
        const QFileInfo info(QString::fromStdString(path));
        if (!info.isDir()) {
            if (!info.exists()) {
                out.errors.push_back(path + ": " + SUMMARY_MISSING);
                continue;
            }
            add(info, holdsClass(info.absoluteDir()), QDir::current());
            continue;
        }
        // A class's folder of collected records: every *.rec below it, in path order.
        QStringList found;
        QDirIterator it(info.filePath(), QStringList{"*.rec"}, QDir::Files | QDir::Readable | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) found << it.next();
        std::sort(found.begin(), found.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        if (found.isEmpty()) out.errors.push_back(path + ": " + SUMMARY_NO_FILES);
        const QString root = QDir(info.filePath()).absolutePath();
        QDir above(root);
        above.cdUp();  // class/sub/hanako.rec is shown as hanako（class/sub）
        for (const QString& name : found) {
            const QFileInfo f(name);
            add(f, f.absolutePath() == root || holdsClass(f.absoluteDir()), above);
        }
    }
    // Two files naming one student in different folders: each is shown with its folder.
    std::map<std::string, std::set<std::string>> foldersOf;
    for (size_t i = 0; i < out.rows.size(); ++i)
        if (!out.rows[i].shared) foldersOf[foldName(out.rows[i].student)].insert(folders[i]);
    for (size_t i = 0; i < out.rows.size(); ++i) {
        SummaryRow& r = out.rows[i];
        if (!r.shared && foldersOf[foldName(r.student)].size() > 1)
            r.student += "（" + folders[i] + "）";
    }
    return out;
}

namespace {


// The finishes after a hint, for the last column: "問1☆1 問3☆2".
std::string hintCell(const SummaryRow& r) {
    std::string out;
    for (size_t q = 0; q < r.hinted.size(); ++q)
        if (r.hinted[q] > 0) out += (out.empty() ? "" : " ") + ("問" + std::to_string(q + 1)) + "☆" + std::to_string(r.hinted[q]);
    return out;
}

// Rows of cells aligned into columns; the last column is written as it is, so that characters a
// terminal may draw one or two cells wide (☆) stand only there.
std::string aligned(const std::vector<std::vector<std::string>>& table) {
    std::vector<int> width;
    for (const auto& row : table)
        for (size_t c = 0; c < row.size(); ++c) {
            if (width.size() <= c) width.push_back(0);
            width[c] = std::max(width[c], cells(row[c]));
        }
    std::string out;
    for (const auto& row : table) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) line += (c ? "  " : "") + (c + 1 < row.size() ? padded(row[c], width[c]) : row[c]);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + "\n";
    }
    return out;
}

// The columns --tsv and --csv share, header first.
std::vector<std::vector<std::string>> summaryColumns(const ClassSummary& summary, bool japanese) {
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> head{japanese ? "記録ファイル" : "file", japanese ? "単元" : "unit"};
    for (int q = 1; q <= kQuestions; ++q) head.push_back((japanese ? "問" : "q") + std::to_string(q));
    head.push_back(japanese ? "計" : "total");
    head.push_back(japanese ? "最終日時" : "latest");
    for (int q = 1; q <= kQuestions; ++q) head.push_back((japanese ? "ヒント後" : "h") + std::to_string(q));
    for (Mistake m : RECORDED_MISTAKES) head.push_back(japanese ? mistakeName(m) : mistakeCode(m));
    table.push_back(head);
    for (const SummaryRow& r : summary.rows) {
        std::vector<std::string> row{field(r.file), field(r.unit)};
        for (const std::string& c : r.counts) row.push_back(c.empty() ? std::string("0") : c);
        row.push_back(std::to_string(r.total));
        row.push_back(field(r.date));
        for (int h : r.hinted) row.push_back(std::to_string(h));
        for (Mistake m : RECORDED_MISTAKES) {
            const auto it = r.mistakes.find(mistakeCode(m));
            row.push_back(std::to_string(it == r.mistakes.end() ? 0 : it->second));
        }
        table.push_back(row);
    }
    return table;
}

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

}  // namespace

std::string summaryTable(const ClassSummary& summary) {
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> head{"生徒", "単元"};
    for (int q = 1; q <= kQuestions; ++q) head.push_back("問" + std::to_string(q));
    head.push_back("計");
    head.push_back("最終日時");
    head.push_back("ヒントのあと");
    table.push_back(head);
    for (const SummaryRow& r : summary.rows) {
        std::vector<std::string> row{whose(r), r.unit.empty() ? SUMMARY_EMPTY : field(r.unit)};
        for (const std::string& c : r.counts) row.push_back(c.empty() ? "-" : c);
        row.push_back(std::to_string(r.total));
        row.push_back(r.date.empty() ? "-" : field(r.date));
        row.push_back(hintCell(r));
        table.push_back(row);
    }
    return aligned(table) + mistakeTable(summary);
}

std::string summaryTsv(const ClassSummary& summary) {
    std::string out;
    for (const auto& row : summaryColumns(summary, false)) {
        for (size_t c = 0; c < row.size(); ++c) out += (c ? "\t" : "") + row[c];
        out += "\n";
    }
    return out;
}

std::string summaryCsv(const ClassSummary& summary) {
    std::string out = "\xEF\xBB\xBF";  // the BOM: Excel then reads UTF-8, not the system's code page
    for (const auto& row : summaryColumns(summary, true)) {
        for (size_t c = 0; c < row.size(); ++c) out += (c ? "," : "") + csvField(row[c]);
        out += "\r\n";
    }
    return out;
}

std::string summaryGrid(const ClassSummary& summary, const GridChoice& choice) {
    // The units in turn, each with its number of questions.
    std::vector<std::pair<std::string, int>> units;
    const auto known = [&](const std::string& t) {
        return std::any_of(units.begin(), units.end(), [&](const auto& u) { return foldName(u.first) == foldName(t); });
    };
    if (choice.set) {
        for (int u = 1; u <= choice.set->unitCount; ++u)
            units.emplace_back(choice.set->unitTitle.at(static_cast<size_t>(u)), choice.set->questionCount.at(static_cast<size_t>(u)));
    } else {
        for (const SummaryRow& r : summary.rows)
            if (!r.unit.empty() && !known(r.unit)) units.emplace_back(r.unit, kQuestions);
    }
    // students in the order first met, each once
    std::vector<std::string> students;
    for (const SummaryRow& r : summary.rows)
        if (std::find(students.begin(), students.end(), whose(r)) == students.end()) students.push_back(whose(r));
    std::string out;
    for (const auto& unitAndCount : units) {
        const std::string& title = unitAndCount.first;  // named, not bound: lambdas below take it
        const int questions = unitAndCount.second;
        if (!choice.unit.empty() && foldName(title) != foldName(choice.unit)) continue;
        std::vector<std::vector<std::string>> table;
        std::vector<std::string> head{"生徒"};
        for (int q = 1; q <= questions; ++q) head.push_back("問" + std::to_string(q));
        head.push_back("計");
        head.push_back("ヒントのあと");
        table.push_back(head);
        for (const std::string& s : students) {
            const auto r = std::find_if(summary.rows.begin(), summary.rows.end(),
                                        [&](const SummaryRow& x) { return whose(x) == s && foldName(x.unit) == foldName(title); });
            std::vector<std::string> row{s};
            for (int q = 1; q <= questions; ++q) {
                const std::string c = r == summary.rows.end() ? "" : r->counts.at(static_cast<size_t>(q - 1));
                row.push_back(c.empty() ? "-" : c);
            }
            row.push_back(r == summary.rows.end() ? "0" : std::to_string(r->total));
            row.push_back(r == summary.rows.end() ? "" : hintCell(*r));
            table.push_back(row);
        }
        out += (out.empty() ? "" : "\n") + ("■ " + field(title)) + "\n" + aligned(table);
    }
    return out;
}

}  // namespace solvari
