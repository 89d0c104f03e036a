#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "flow/prompter.h"
#include "flow/practice.h"
#include "flow/session.h"

namespace solvari {

// The open and save dialogs. Both return "" when cancelled.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::string chooseOpenFile(const std::string& preset) = 0;
    virtual std::string chooseSaveFile(const std::string& preset) = 0;
};

// A copy taken before "開く" and "編集": the text, the set and the positions in it.
struct QuestionSnapshot {
    std::vector<std::string> lines;
    OriginalLineBytes lineBytes;
    bool readAsUtf8 = false;
    QuestionSet set;
    int unit = 1;
    std::array<int, 21> questions{};
};
QuestionSnapshot takeSnapshot(const QuestionDocument& document, const Practice& practice);
void restoreSnapshot(const QuestionSnapshot& snapshot, QuestionDocument& document, Practice& practice);

// "開く", "保存" and "編集" of the question set, and loading a set at start: plain logic over
// the document and the practice loop, asking through the Prompter and the FileChooser.
class QuestionCommands {
public:
    // Said once, in the message strip and the editor's caption, when a set was read as UTF-8.
    static constexpr const char* UTF8_NOTICE = "UTF-8 のファイルとして読みました。保存すると Shift-JIS で書き込みます";
    static constexpr const char* UTF8_CAPTION_NOTE = "（UTF-8 から読込・保存は Shift-JIS）";
    static constexpr const char* MSG_NOTHING_TO_SAVE = "問題が1問もないので保存しません";
    static constexpr const char* MSG_CHANGED_ON_DISK = "ほかのプログラムが問題集を変更しました。上書きしますか？";

    QuestionCommands(QuestionDocument& document, Practice& practice, Prompter& prompter, FileChooser& files,
                     PracticeView& view);

    // Told the new name after a save: the editor's caption follows it.
    std::function<void(const std::string& path)> pathSaved;

    // Makes the read lines the document and starts the set; false when they are no set.
    bool useQuestionFile(const std::string& path, const QuestionLinesResult& read);
    // The UTF-8 notice in the message strip, when the set in use was read as UTF-8.
    void tellReadAsUtf8();
    // Loads the set at start. A missing file or lines that are no set fail with an empty
    // error; an unreadable file fails with the reader's error and reason, and the lines in use
    // stay (nothing a failed read leaves behind can be saved over a file).
    // A set whose name differs from path's only in letter case (QUESTION.LEQ) is the one loaded.
    FileResult load(const std::string& path);
    // Asked before the program ends: unsaved edits are saved, dropped or the end is cancelled.
    bool mayClose();
    // Saving over the set read, when its file has changed since, asks MSG_CHANGED_ON_DISK first.
    bool save();
    void open();
    // runEditor is the editor window, modal: 1 OK, 2 cancel.
    void edit(const std::function<int()>& runEditor);

private:
    // Whether the file at path is the one last read and no longer holds the bytes it was read
    // with (another teacher's drill or an editor saved it meanwhile).
    bool changedOnDisk(const std::string& path) const;

    QuestionDocument& document_;
    std::string readPath_;   // absolute path of the set last read or saved
    std::string readBytes_;  // its bytes then
    Practice& practice_;
    Prompter& prompter_;
    FileChooser& files_;
    PracticeView& view_;
};

}  // namespace solvari
