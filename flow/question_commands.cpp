#include "flow/question_commands.h"

#include <QFileInfo>
#include <QString>

#include "flow/practice_folder.h"

namespace solvari {

QuestionSnapshot takeSnapshot(const QuestionDocument& document, const Practice& practice) {
    return {document.lines,       document.lineBytes,   document.readAsUtf8,
            document.set,         practice.currentUnit, practice.currentQuestion};
}

void restoreSnapshot(const QuestionSnapshot& snapshot, QuestionDocument& document, Practice& practice) {
    document.lines = snapshot.lines;
    document.lineBytes = snapshot.lineBytes;
    document.readAsUtf8 = snapshot.readAsUtf8;
    document.set = snapshot.set;
    practice.currentUnit = snapshot.unit;
    practice.currentQuestion = snapshot.questions;
}

QuestionCommands::QuestionCommands(QuestionDocument& document, Practice& practice, Prompter& prompter,
                                   FileChooser& files, PracticeView& view)
    : document_(document), practice_(practice), prompter_(prompter), files_(files), view_(view) {}

bool QuestionCommands::useQuestionFile(const std::string& path, const QuestionLinesResult& read) {
    document_.path = path;
    readPath_ = absolutePath(path);
    readBytes_ = read.bytes;
    document_.lines = read.lines;
    document_.lineBytes = originalLineBytes(read);
    document_.readAsUtf8 = read.encoding == TextEncoding::Utf8;
    std::vector<Diagnostic> said;
    const bool parsed = parseQuestionSet(document_.lines, document_.set, said);
    showDiagnostics(said, prompter_);
    if (!parsed) return false;
    return practice_.startQuestionSet();
}

void QuestionCommands::tellReadAsUtf8() {
    if (!document_.readAsUtf8) return;
    practice_.notice(UTF8_NOTICE);
}

FileResult QuestionCommands::load(const std::string& wanted) {
    FileResult result;
    // A class folder on a Windows share may hold the set as QUESTION.LEQ.
    const std::string path = existingPathIgnoringCase(wanted);
    if (!QFileInfo::exists(QString::fromStdString(path))) return result;
    QuestionLinesResult read = readQuestionFile(path);
    if (!read.ok) {
        result.error = read.error;
        result.reason = read.reason;
        return result;
    }
    if (!useQuestionFile(path, read)) return result;
    tellReadAsUtf8();
    result.ok = true;
    return result;
}

bool QuestionCommands::mayClose() {
    if (document_.saved) return true;
    const Answer a = prompter_.askYesNoCancel("ファイルを保存しますか？", "確認");
    return a == Answer::No || (a == Answer::Yes && save());
}

bool QuestionCommands::save() {
    // A text without a single question is no question set; writing it would empty a file.
    if (!holdsQuestion(document_.lines)) {
        prompter_.inform(MSG_NOTHING_TO_SAVE);
        return false;
    }
    const std::string chosen = files_.chooseSaveFile(document_.path);
    if (chosen.empty()) return false;
    // Teachers of one class share the set: a save over changes made since it was read asks.
    if (changedOnDisk(chosen) && prompter_.askYesNo(MSG_CHANGED_ON_DISK, "確認") != Answer::Yes) return false;
    FileResult r = writeQuestionFile(chosen, document_.lines, &document_.lineBytes);
    if (!r.ok) {
        prompter_.inform(r.error);
        return false;
    }
    readPath_ = absolutePath(chosen);
    if (readFileBytes(chosen, MAX_QUESTION_FILE_BYTES, readBytes_) != ReadStatus::Ok) readBytes_.clear();
    document_.saved = true;
    document_.readAsUtf8 = false;
    document_.path = chosen;
    if (pathSaved) pathSaved(chosen);
    return true;
}

bool QuestionCommands::changedOnDisk(const std::string& path) const {
    if (readPath_.empty() || absolutePath(path) != readPath_) return false;
    std::string now;
    switch (readFileBytes(path, MAX_QUESTION_FILE_BYTES, now)) {
        case ReadStatus::Ok: return now != readBytes_;
        case ReadStatus::Missing: return false;  // removed: nothing of anyone's is overwritten
        default: return true;                    // replaced by something we cannot read
    }
}

void QuestionCommands::open() {
    const QuestionSnapshot backup = takeSnapshot(document_, practice_);
    const std::string chosen = files_.chooseOpenFile(document_.path);
    if (chosen.empty()) return;
    const bool exists = QFileInfo::exists(QString::fromStdString(chosen));
    QuestionLinesResult read;
    // A file that cannot be read is reported before anything changes: the set, the page, the
    // path and the unsaved edits stay as they were, and the program goes on.
    auto readChosen = [&] {
        read = readQuestionFile(chosen);
        if (!read.ok) prompter_.inform(chosen + ":" + read.reason);
        return read.ok;
    };
    if (exists && !readChosen()) return;
    if (!document_.saved && prompter_.askYesNo("ファイルを保存しますか", "確認") == Answer::Yes) {
        // The save may have written the chosen file itself: load what is there now.
        if (save() && exists && !readChosen()) return;
    }
    if (exists && useQuestionFile(chosen, read)) {
        practice_.chooseUnit();
        document_.saved = true;
        tellReadAsUtf8();
    } else {
        prompter_.inform(chosen + ":問題が不正です");
        restoreSnapshot(backup, document_, practice_);
    }
}

void QuestionCommands::edit(const std::function<int()>& runEditor) {
    // The editor runs modally inside this call, so the copy to go back to lives only here.
    const QuestionSnapshot backup = takeSnapshot(document_, practice_);
    const int result = runEditor ? runEditor() : 2;
    if (result == 1) {
        if (practice_.startQuestionSet()) {
            view_.setPageCaption(practice_.questionSet.unitTitle[1]);
            practice_.chooseUnit();
        } else {
            prompter_.inform("RefreshSystem:エラー");
            restoreSnapshot(backup, document_, practice_);
        }
    } else if (result == 2) {
        restoreSnapshot(backup, document_, practice_);
    }
}

}  // namespace solvari
