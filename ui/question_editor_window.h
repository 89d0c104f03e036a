#pragma once
#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "flow/question_set.h"
#include "flow/session.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace solvari {

class Prompter;

// "問題の編集": the teacher edits the question-set text and checks it. The text area mirrors
// the question document's lines, the one list that the loader fills and the saver writes:
// it is filled from them each time the window is shown, and every change of the text is
// written back at once, so the check, "OK" and a later save all see the same lines. The
// window never touches a file. Result 1 ("OK", the text is accepted) or 2 ("ｷｬﾝｾﾙ", close box).
class TfrmEditQues : public QDialog {
    Q_OBJECT
public:
    static constexpr int RESULT_OK = 1;
    static constexpr int RESULT_CANCEL = 2;
    static constexpr const char* CAPTION_PREFIX = "問題の編集：";
    static constexpr const char* MSG_CHECK_FIRST = "エラーチェックしてください";
    static constexpr const char* MSG_DISCARD = "編集内容を破棄しますか？";

    // document must outlive the window: its lines are the text edited, its saved flag is
    // cleared when a changed, checked text is accepted, and its set (the set in use) is replaced
    // at once by a check with a sound structure. The check parses with an engine of its own;
    // the window's message and the parsers' messages go to prompter.
    TfrmEditQues(QuestionDocument& document, Prompter& prompter, QWidget* parent = nullptr);

    // The file named in the caption ("問題の編集：" + path), now and at every showing.
    void setQuestionPath(const std::string& path);
    // Added after the path in the caption (the set was read as UTF-8 and will be saved in
    // Shift-JIS); "" for none.
    void setCaptionNote(const std::string& note);

    // The text area's text as lines and back. A line break after the last line adds no empty
    // line (as when the file is read); an empty text is no lines at all.
    static std::vector<std::string> textToLines(const QString& text);
    static QString linesToText(const std::vector<std::string>& lines);

    // --- state, by its Windows-era names (glossary in ui/README.md) ---
    bool textModified = false;  // the text changed since the window was shown
    bool checkPassed = true;    // the last check succeeded and the text has not changed since

    // --- controls, by their Windows-era names (glossary in ui/README.md) ---
    QPlainTextEdit* memQues = nullptr;
    QLabel* lblErTangen = nullptr;
    QLabel* lblErQues = nullptr;
    QLabel* lblTangen = nullptr;
    QLabel* lblCheck = nullptr;
    QLineEdit* edtTangen = nullptr;
    QLineEdit* edtResult = nullptr;
    QLineEdit* edtErTangen = nullptr;
    QListWidget* lstErQues = nullptr;
    QPushButton* btnCompile = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // --- handlers ---
    void formShow();
    void memQuesChange();
    void btnCompileClick();
    void btnOkClick();
    void btnCancelClick();

public slots:
    // The close box and Escape: result 2, after asking MSG_DISCARD when the text differs from
    // what was shown (いいえ goes back to the text). "ｷｬﾝｾﾙ" closes without asking.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QuestionDocument& document_;
    std::vector<std::string>& lines_;  // document_.lines
    Prompter& prompter_;

    std::string path_;
    std::string note_;
    QString shownText_;  // the text as the window was shown
    bool filling_ = false;  // the window itself is putting the lines into the text area

    void clearResults();
};

}  // namespace solvari
