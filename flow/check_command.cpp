#include "flow/check_command.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>
#include <optional>

#include "flow/class_summary.h"
#include "flow/judge_rows.h"
#include "flow/syntax_check.h"
#include "engine/engine.h"
#include "engine/sjis.h"
#include "flow/question_set.h"
#include "transform/line_marks.h"
#include "transform/solver.h"
#include "solvari_version.h"

namespace solvari {
namespace {

const char* const kUsage =
    "使い方: solvari-check [--solve | --tsv] FILE.leq\n"
    "        solvari-check [--answer-key OUT.pdf] [--worksheet OUT.pdf] [--answers OUT.pdf]\n"
    "                      [--units LIST] [--per-page N] FILE.leq\n"
    "        solvari-check --records [--tsv | --csv | --grid [--unit TITLE] [--set FILE.leq]] FILE.rec... | FOLDER\n"
    "        solvari-check --judge FILE.tsv\n"
    "        solvari-check --help | --version\n"
    "  (なし)        問題集の構文チェック（すべての単元）\n"
    "  --solve       すべての問題の解き方を表示\n"
    "  --tsv         問題ごとに 単元・問題・問題文・答・エラーコード・メッセージ をタブ区切りで表示\n"
    "  --answer-key  解答集（すべての問題の解き方と【答】）を PDF に書く\n"
    "  --worksheet   問題用紙（問題と計算用の余白、組・番・名前と日付の欄）を PDF に書く\n"
    "  --answers     答えの一覧（問題と【答】を1行ずつ）を PDF に書く。丸つけ用\n"
    "  --units       PDF に載せる単元（例: 1,3-5）。なければすべての単元\n"
    "  --per-page    問題用紙の1ページの問題数（1〜12、なければ 6）\n"
    "  --records     練習記録ファイル（フォルダならその下の *.rec すべて）を 生徒・単元ごとに\n"
    "                問題別の完了回数・合計・最終日時 の表にする（--tsv でタブ区切り）\n"
    "                生徒は <名前>.rec の名前、集めた Miradosh.rec はそのフォルダの名前\n"
    "                ヒントを見てからの完了は最後の列に 問1☆1 のように、--tsv では h1..h7 の列に示す\n"
    "  --csv         --tsv と同じ列を日本語の見出しで CSV に（UTF-8、BOM つき。Excel でそのまま開ける）\n"
    "  --grid        単元ごとに 生徒×問題 の完了回数の表（--set FILE.leq で問題集の単元の順と問題数、\n"
    "                --unit TITLE でその単元だけ）\n"
    "                自分で計算するで書きまちがえた式は 単元ごとに多い順に表の後に、--tsv では\n"
    "                誤りの種類 (transpose-sign ... other) ごとの列に示す\n"
    "  --judge       生徒が書いた式をまとめて判定する。表の各行は 式<TAB>操作<TAB>数<TAB>書いた式\n"
    "                （操作は * / + - K(かっこ) S(整理) I(移項)、K S I の数は空）。1行目が line で\n"
    "                始まれば見出しとして飛ばす。行ごとに 行番号<TAB>OK|NG|INVALID<TAB>誤りの種類<TAB>メッセージ\n"
    "終了コード: 0 正常, 1 誤りあり, 2 読み込めない・書き込めない・引数の誤り\n"
    "  --records: 0 すべて読めた, 1 読めないファイルを飛ばした, 2 引数の誤り\n"
    "  --judge: 0 すべての行を判定した, 1 判定できない行 (INVALID) があった, 2 引数の誤り・ファイルがない\n";

std::string joined(const std::vector<std::string>& parts, const std::string& sep) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += sep;
        out += parts[i];
    }
    return out;
}

void reportStructure(const std::vector<std::string>& lines, const SyntaxCheckResult& r, CheckOutput& o) {
    o.out += "エラーチェックの結果: " + r.resultText + "\n";
    o.out += "エラーの単元: " + r.errorUnitText + "\n";
    const int at = structureFaultLine(lines);
    if (at > 0) {
        o.out += "  " + std::to_string(at) + "行目: " + quotedLine(lines[static_cast<size_t>(at - 1)]) + "\n";
    } else if (lines.empty()) {
        o.out += "  空のファイルです\n";
    }
    for (const std::string& m : r.structureMessages) o.out += "    " + m + "\n";
}

CheckOutput validate(const std::vector<std::string>& lines, const std::string& label) {
    CheckOutput o;
    QuestionSet set;
    const SyntaxCheckResult r = checkQuestionSet(lines, set);
    o.out += "ファイル: " + label + "\n";
    if (!r.structureOk) {
        reportStructure(lines, r, o);
        o.exitCode = CHECK_EXIT_INVALID;
        return o;
    }
    o.out += "エラーチェックの結果: " + r.resultText + "\n";
    o.out += "単元数: " + std::to_string(r.unitCount) + "\n";
    o.out += "エラーの単元: " + quotedLine(r.errorUnitText) + "\n";
    if (!r.faults.empty()) o.out += "誤りのある問題: " + std::to_string(r.faults.size()) + "\n";
    for (const QuestionFault& f : r.faults) {
        const std::string where = f.question == 0 ? "単元" + std::to_string(f.unit) + " 見出し" : questionPlace(f.unit, f.question);
        o.out += "  " + where + ": " + quotedLine(f.text) + "\n";
        for (const std::string& m : f.messages) o.out += "    " + m + "\n";
        if (f.engineError != 0) o.out += "    (エラーコード " + std::to_string(f.engineError) + ")\n";
    }
    for (const QuestionWarning& w : r.warnings) {
        o.out += "  " + questionPlace(w.unit, w.question) + " 警告: " + joined(w.messages, " | ") + "\n";
    }
    o.exitCode = r.ok ? CHECK_EXIT_OK : CHECK_EXIT_INVALID;
    return o;
}

CheckOutput solveAll(const std::vector<std::string>& lines, const std::string& label, CheckMode mode) {
    CheckOutput o;
    Engine engine;
    QuestionSetParse structure = readQuestionSetStructure(lines);
    if (!structure.ok) {
        // The structure is wrong: report it the way the plain check does.
        SyntaxCheckResult r;
        r.resultText = CHECK_STRUCTURE_FAILED;
        r.errorUnitText = CHECK_STRUCTURE_UNIT;
        for (const Diagnostic& d : structure.diagnostics) r.structureMessages.push_back(reportedText(d));
        o.out += "ファイル: " + label + "\n";
        reportStructure(lines, r, o);
        o.exitCode = CHECK_EXIT_INVALID;
        return o;
    }
    const QuestionSet& set = structure.set;
    if (mode == CheckMode::Tsv) o.out += "unit\tquestion\ttext\tanswer\terror\tmessages\n";
    bool allSolved = true;
    for (int u = 1; u <= set.unitCount; ++u) {
        const auto uu = static_cast<size_t>(u);
        if (mode == CheckMode::Solve) o.out += "[単元" + std::to_string(u) + "] " + quotedLine(set.unitTitle[uu]) + "\n";
        for (int q = 1; q <= set.questionCount[uu]; ++q) {
            const std::string& text = set.questionText[uu][static_cast<size_t>(q)];
            const Solution s = solveQuestion(engine, text);
            std::vector<std::string> messages;
            for (const Diagnostic& d : s.diagnostics) messages.push_back(reportedText(d));
            if (!fitsSjis(text)) messages.push_back(unsavableMessage(lines, text));
            if (!s.failure.empty()) messages.push_back(s.failure);
            const bool solved = s.kind != Outcome::Open && fitsSjis(text);
            allSolved = allSolved && solved;
            if (mode == CheckMode::Tsv) {
                const std::string answer = !s.parsed ? "ERROR" : s.kind == Outcome::Open ? "UNSOLVED" : s.answerValue;
                // texts alone: the column is split on " | ", and a caption before a bare "|"
                // would read as text
                std::vector<std::string> column;
                for (const Diagnostic& d : s.diagnostics) column.push_back(d.text);
                if (!fitsSjis(text)) column.push_back(unsavableMessage(lines, text));
                // "ERROR" already says the question did not parse
                if (!s.failure.empty() && !(!s.parsed && s.failure == SOLVE_NOT_PARSED)) column.push_back(s.failure);
                o.out += std::to_string(u) + "\t" + std::to_string(q) + "\t" + tsvField(text) + "\t" + answer + "\t" +
                         std::to_string(s.engineError) + "\t" + tsvField(joined(column, " | ")) + "\n";
                continue;
            }
            o.out += "問題" + std::to_string(q) + ": " + quotedLine(text) + "\n";
            for (const SolvedLine& l : s.lines) {
                if (!l.sentence.empty()) o.out += "  " + l.sentence + "\n";
                o.out += "    " + lineMark(l.line) + " " + l.text + "\n";
            }
            if (solved) o.out += "  " + s.answerText + "\n";
            for (const std::string& m : messages) o.out += "  ! " + m + "\n";
        }
    }
    o.exitCode = allSolved ? CHECK_EXIT_OK : CHECK_EXIT_INVALID;
    return o;
}

CheckOutput usageError(const std::string& what) {
    CheckOutput o;
    o.err = "solvari-check: " + what + "\n" + kUsage;
    o.exitCode = CHECK_EXIT_UNREADABLE;
    return o;
}

CheckOutput unreadable(const QuestionLinesResult& read) {
    CheckOutput o;
    o.err = "solvari-check: " + read.error + "\n  " + read.reason + "\n";
    o.exitCode = CHECK_EXIT_UNREADABLE;
    return o;
}

enum class RecordsView { Table, Tsv, Csv, Grid };

CheckOutput records(const QStringList& paths, RecordsView view, const std::string& unit, const std::string& setPath) {
    CheckOutput o;
    if (paths.isEmpty()) return usageError("記録ファイルかフォルダを指定してください");
    QuestionSet set;
    if (!setPath.empty()) {
        const QuestionLinesResult read = readQuestionFile(setPath);
        if (!read.ok) return usageError(read.error + (read.reason.empty() ? "" : "（" + read.reason + "）"));
        std::vector<Diagnostic> said;
        if (!parseQuestionSet(read.lines, set, said)) return usageError("問題集を読めません: " + setPath);
    }
    std::vector<std::string> list;
    for (const QString& p : paths) list.push_back(p.toStdString());
    const ClassSummary summary = summarizeRecords(list);
    switch (view) {
        case RecordsView::Table: o.out = summaryTable(summary); break;
        case RecordsView::Tsv: o.out = summaryTsv(summary); break;
        case RecordsView::Csv: o.out = summaryCsv(summary); break;
        case RecordsView::Grid:
            o.out = summaryGrid(summary, {setPath.empty() ? nullptr : &set, unit});
            if (!unit.empty() && o.out.empty()) return usageError("その単元はありません: " + unit);
            break;
    }
    for (const std::string& w : summary.warnings) o.err += "solvari-check: 注意: " + w + "\n";
    for (const std::string& e : summary.errors) o.err += "solvari-check: " + e + "\n";
    o.exitCode = summary.errors.empty() ? CHECK_EXIT_OK : CHECK_EXIT_INVALID;
    return o;
}

CheckOutput judgeFile(const QStringList& paths) {
    if (paths.size() != 1 || paths.front().isEmpty()) return usageError("判定する表のファイルを一つ指定してください");
    const std::string path = paths.front().toStdString();
    std::string bytes;
    switch (readFileBytes(path, 64 * 1024 * 1024, bytes)) {
        case ReadStatus::Ok: return judgeRows(bytes);
        case ReadStatus::Missing: return usageError("ファイルがありません: " + path);
        case ReadStatus::NotAFile: return usageError("ファイルではありません: " + path);
        case ReadStatus::TooLarge: return usageError("ファイルが大きすぎます: " + path);
        case ReadStatus::Failed: break;
    }
    return usageError("ファイルを読めません: " + path);
}

// What the PDF options ask for, as given.
struct SheetRequest {
    std::vector<std::pair<SheetKind, std::string>> outputs;
    std::optional<std::string> units;  // --units, not yet read against the set
    int perPage = WORKSHEET_PER_PAGE;
};

// Every sheet from one reading of the set; an output that names the set itself is refused
// before anything is written, so the teacher's file cannot be replaced by a PDF, and a set
// that does not pass the check gets no sheet at all.
CheckOutput sheets(const std::string& path, const SheetRequest& request, const SheetWriter& writeSheet) {
    CheckOutput o;
    if (!writeSheet) return usageError("この solvari-check は PDF を書けません");
    const QString input = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    for (const auto& [kind, out] : request.outputs) {
        if (out.empty()) return usageError("PDF の出力先を指定してください");
        if (QFileInfo(QString::fromStdString(out)).absoluteFilePath() == input)
            return usageError(SHEET_OVER_SET + out);
    }
    const QuestionLinesResult read = readQuestionFile(path);
    if (!read.ok) return unreadable(read);
    QuestionSet set;
    if (!checkQuestionSet(read.lines, set).ok) {
        // Nothing is written for a set that does not pass: the check says why.
        o = validate(read.lines, path);
        o.err = "solvari-check: 問題集に誤りがあるため PDF を書きません\n";
        o.exitCode = CHECK_EXIT_INVALID;
        return o;
    }
    SheetOptions options;
    options.perPage = request.perPage;
    options.title = setTitleOf(path);
    if (request.units) {
        const UnitList units = parseUnitList(*request.units, set.unitCount);
        if (!units.ok) return usageError(units.error);
        options.units = units.units;
    }
    const int unitCount = options.units.empty() ? set.unitCount : static_cast<int>(options.units.size());
    bool told = false;  // the key and the answers both find the unsolved questions: said once
    for (const auto& [kind, out] : request.outputs) {
        const SheetLayout layout = sheetLayout(set, kind, options);
        const FileResult written = writeSheet(out, layout);
        if (!written.ok) {
            o.err += "solvari-check: " + written.error + "\n";
            o.exitCode = CHECK_EXIT_UNREADABLE;
            return o;
        }
        o.out += std::string(sheetName(kind)) + ": " + out + " (" + std::to_string(unitCount) + "単元, " +
                 std::to_string(layout.questions) + "問, " + std::to_string(layout.pageCount) + "ページ)\n";
        if (told || layout.unsolved.empty()) continue;
        told = true;
        for (const std::string& u : layout.unsolved) o.err += "solvari-check: 解けない問題: " + u + "\n";
        if (!layout.unsolved.empty()) o.exitCode = CHECK_EXIT_INVALID;
    }
    return o;
}

}  // namespace

std::string tsvField(std::string s) {
    for (char& c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return s;
}

int structureFaultLine(const std::vector<std::string>& lines) {
    return readQuestionSetStructure(lines).faultLine;
}

CheckOutput checkQuestionLines(const std::vector<std::string>& lines, const std::string& label, CheckMode mode) {
    if (mode == CheckMode::Validate) return validate(lines, label);
    return solveAll(lines, label, mode);
}

CheckOutput runCheckCommand(const std::vector<std::string>& args, const SheetWriter& writeSheet) {
    CheckOutput o;
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{"h", "help"}), version(QStringList{"v", "version"}), solve("solve"), tsv("tsv");
    const QCommandLineOption answerKey("answer-key", "", "OUT.pdf"), worksheet("worksheet", "", "OUT.pdf"), recordsOpt("records"),
        judge("judge");
    const QCommandLineOption csv("csv"), grid("grid"), unitOpt("unit", "", "TITLE"), setOpt("set", "", "FILE.leq");
    const QCommandLineOption answers("answers", "", "OUT.pdf"), units("units", "", "LIST"), perPage("per-page", "", "N");
    parser.addOptions({help, version, solve, tsv, answerKey, worksheet, recordsOpt, judge, csv, grid, unitOpt, setOpt, answers,
                       units, perPage});
    QStringList list{"solvari-check"};
    for (const std::string& a : args) list << QString::fromStdString(a);
    if (!parser.parse(list)) {
        const QStringList unknown = parser.unknownOptionNames();
        // Qt's own error texts are English: ours say the same in Japanese.
        const std::string what = unknown.isEmpty() ? "オプションの値が足りないか、余分です: " + list.mid(1).join(' ').toStdString()
                                                   : "不明なオプションです: " + unknown.join(' ').toStdString();
        o.err = "solvari-check: " + what + "\n" + kUsage;
        o.exitCode = CHECK_EXIT_UNREADABLE;
        return o;
    }
    if (parser.isSet(help)) {
        o.out = kUsage;
        return o;
    }
    if (parser.isSet(version)) {
        o.out = std::string("solvari-check ") + SOLVARI_VERSION + "\n";
        return o;
    }
    const bool pdf = parser.isSet(answerKey) || parser.isSet(worksheet) || parser.isSet(answers);
    if (parser.isSet(judge)) {
        if (pdf || parser.isSet(solve) || parser.isSet(tsv) || parser.isSet(recordsOpt) || parser.isSet(units) ||
            parser.isSet(perPage) || parser.isSet(csv) || parser.isSet(grid) || parser.isSet(unitOpt) || parser.isSet(setOpt))
            return usageError("--judge はほかのオプションと一緒に使えません");
        return judgeFile(parser.positionalArguments());
    }
    const bool recordsOnly = parser.isSet(csv) || parser.isSet(grid) || parser.isSet(unitOpt) || parser.isSet(setOpt);
    if (parser.isSet(recordsOpt)) {
        if (pdf || parser.isSet(solve) || parser.isSet(units) || parser.isSet(perPage))
            return usageError("--records は --tsv --csv --grid のほかのオプションと一緒に使えません");
        if (parser.isSet(tsv) + parser.isSet(csv) + parser.isSet(grid) > 1)
            return usageError("--tsv・--csv・--grid はどれか一つを指定してください");
        if ((parser.isSet(unitOpt) || parser.isSet(setOpt)) && !parser.isSet(grid))
            return usageError("--unit・--set は --grid と一緒に使います");
        const RecordsView view = parser.isSet(tsv) ? RecordsView::Tsv : parser.isSet(csv) ? RecordsView::Csv
                                 : parser.isSet(grid) ? RecordsView::Grid : RecordsView::Table;
        return records(parser.positionalArguments(), view, parser.value(unitOpt).toStdString(), parser.value(setOpt).toStdString());
    }
    if (recordsOnly) return usageError("--csv・--grid・--unit・--set は --records と一緒に使います");
    if (pdf && (parser.isSet(solve) || parser.isSet(tsv)))
        return usageError("--answer-key・--worksheet・--answers は --solve・--tsv と一緒に使えません");
    if (parser.values(answerKey).size() > 1 || parser.values(worksheet).size() > 1 || parser.values(answers).size() > 1)
        return usageError("PDF の出力先は一つずつ指定してください");
    if (parser.isSet(units) && !pdf) return usageError("--units は --answer-key・--worksheet・--answers と一緒に使います");
    if (parser.values(units).size() > 1) return usageError("--units は一つにまとめて指定してください（例: 1,3-5）");
    if (parser.isSet(perPage) && !parser.isSet(worksheet)) return usageError("--per-page は --worksheet と一緒に使います");
    SheetRequest request;
    if (parser.isSet(perPage)) {
        bool number = false;
        request.perPage = parser.value(perPage).toInt(&number);
        if (!number || request.perPage < 1 || request.perPage > WORKSHEET_MAX_PER_PAGE)
            return usageError("--per-page は 1〜" + std::to_string(WORKSHEET_MAX_PER_PAGE) + " の数で指定してください");
    }
    // with both, the later one counts
    CheckMode mode = CheckMode::Validate;
    for (const std::string& a : args) {
        if (a == "--solve") mode = CheckMode::Solve;
        else if (a == "--tsv") mode = CheckMode::Tsv;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        o.err = "solvari-check: ファイルは一つだけ指定してください\n" + std::string(kUsage);
        o.exitCode = CHECK_EXIT_UNREADABLE;
        return o;
    }
    if (files.isEmpty() || files.front().isEmpty()) {
        o.err = std::string("solvari-check: 問題集のファイルを指定してください\n") + kUsage;
        o.exitCode = CHECK_EXIT_UNREADABLE;
        return o;
    }
    const std::string path = files.front().toStdString();
    if (pdf) {
        if (parser.isSet(answerKey)) request.outputs.emplace_back(SheetKind::AnswerKey, parser.value(answerKey).toStdString());
        if (parser.isSet(worksheet)) request.outputs.emplace_back(SheetKind::Worksheet, parser.value(worksheet).toStdString());
        if (parser.isSet(answers)) request.outputs.emplace_back(SheetKind::Answers, parser.value(answers).toStdString());
        if (parser.isSet(units)) request.units = parser.value(units).toStdString();
        return sheets(path, request, writeSheet);
    }
    const QuestionLinesResult read = readQuestionFile(path);
    if (!read.ok) return unreadable(read);
    return checkQuestionLines(read.lines, path, mode);
}

}  // namespace solvari
