#include "ui/question_editor_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>

#include "flow/syntax_check.h"
#include "engine/engine.h"
#include "flow/prompter.h"
#include "engine/sjis.h"
#include "ui/window_frame.h"
#include "ui/fonts.h"

namespace solvari {

namespace {

QLineEdit* resultField(QWidget* parent, const char* name, QRect geometry) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(geometry);
    e->setReadOnly(true);  // they report the check; typing into them would mean nothing
    return e;
}

}  // namespace

TfrmEditQues::TfrmEditQues(QuestionDocument& document, Prompter& prompter, QWidget* parent)
    : QDialog(parent), document_(document), lines_(document.lines), prompter_(prompter) {
    frameDialog(this, "frmEditQues", CAPTION_PREFIX, designFont("ＭＳ Ｐゴシック", 12));
    resize(680, 480);
    centreOnScreen(this);

    memQues = new QPlainTextEdit(this);
    memQues->setObjectName("memQues");
    memQues->setGeometry(288, 24, 337, 401);
    memQues->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memQues->setLineWrapMode(QPlainTextEdit::NoWrap);  // one line of the file is one row
    // A tab in a question is invisible in the error list and fails the check; Tab moves on.
    memQues->setTabChangesFocus(true);
    QFont textFont = faceFont("ＭＳ Ｐゴシック");
    textFont.setPixelSize(15);
    memQues->setFont(textFont);
    connect(memQues, &QPlainTextEdit::textChanged, this, [this] {
        if (!filling_) memQuesChange();
    });

    lblTangen = placedLabel(this, "lblTangen", "単元数", 24, 32);
    edtTangen = resultField(this, "edtTangen", QRect(72, 24, 33, 21));
    lblCheck = placedLabel(this, "lblCheck", "エラーチェックの結果", 24, 72);
    edtResult = resultField(this, "edtResult", QRect(16, 104, 233, 21));
    lblErTangen = placedLabel(this, "lblErTangen", "エラーの単元", 24, 144);
    edtErTangen = resultField(this, "edtErTangen", QRect(16, 168, 233, 21));
    lblErQues = placedLabel(this, "lblErQues", "エラーの問題", 24, 200);
    lstErQues = new QListWidget(this);
    lstErQues->setObjectName("lstErQues");
    lstErQues->setGeometry(16, 224, 233, 73);

    btnCompile = new QPushButton("エラーチェック", this);
    btnCompile->setObjectName("btnCompile");
    btnCompile->setGeometry(40, 320, 177, 41);
    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setGeometry(40, 392, 73, 33);
    btnCancel = new QPushButton("ｷｬﾝｾﾙ", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(144, 392, 73, 33);
    for (QPushButton* b : {btnCompile, btnOk, btnCancel}) b->setAutoDefault(false);
    connect(btnCompile, &QPushButton::clicked, this, &TfrmEditQues::btnCompileClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmEditQues::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmEditQues::btnCancelClick);
}



void TfrmEditQues::setQuestionPath(const std::string& path) {
    path_ = path;
    setWindowTitle(QString(CAPTION_PREFIX) + QString::fromStdString(path + note_));
}

void TfrmEditQues::setCaptionNote(const std::string& note) {
    note_ = note;
    setQuestionPath(path_);
}

std::vector<std::string> TfrmEditQues::textToLines(const QString& text) {
    QStringList rows = text.split(QChar('\n'));
    if (!rows.isEmpty() && rows.back().isEmpty()) rows.removeLast();
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(rows.size()));
    for (const QString& r : rows) lines.push_back(r.toStdString());
    return lines;
}

QString TfrmEditQues::linesToText(const std::vector<std::string>& lines) {
    QStringList rows;
    for (const std::string& l : lines) rows << QString::fromStdString(l);
    return rows.join(QChar('\n'));
}

void TfrmEditQues::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) formShow();
}

void TfrmEditQues::clearResults() {
    edtTangen->clear();
    edtResult->clear();
    edtErTangen->clear();
    lstErQues->clear();
}

void TfrmEditQues::formShow() {
    filling_ = true;
    memQues->setPlainText(linesToText(lines_));
    filling_ = false;
    shownText_ = memQues->toPlainText();
    textModified = false;
    setQuestionPath(path_);
    clearResults();
    memQues->setFocus();
    checkPassed = true;
}

void TfrmEditQues::memQuesChange() {
    lines_ = textToLines(memQues->toPlainText());
    // Linux input methods type 〜 ‖ − ¢ £ ¬ in their JIS forms; the file holds CP932's.
    for (std::string& line : lines_) line = toCp932Forms(line);
    clearResults();
    textModified = true;
    checkPassed = false;
}

void TfrmEditQues::btnCompileClick() {
    edtErTangen->clear();
    lstErQues->clear();
    const SyntaxCheckResult r = checkQuestionSet(lines_, document_.set);
    showDiagnostics(r.editorDiagnostics, prompter_);
    edtResult->setText(QString::fromStdString(r.resultText));
    edtErTangen->setText(QString::fromStdString(r.errorUnitText));
    if (!r.structureOk) {
        memQues->setFocus();
        return;
    }
    for (const std::string& text : r.errorQuestions) lstErQues->addItem(QString::fromStdString(text));
    edtTangen->setText(QString::fromStdString(r.unitCountText));
    if (!r.ok) {
        memQues->setFocus();
        return;
    }
    checkPassed = true;
}

void TfrmEditQues::btnOkClick() {
    if (!textModified) {
        done(RESULT_OK);
        return;
    }
    if (checkPassed) {
        document_.saved = false;
        done(RESULT_OK);
        return;
    }
    prompter_.inform(MSG_CHECK_FIRST);
}

void TfrmEditQues::btnCancelClick() { done(RESULT_CANCEL); }

void TfrmEditQues::reject() {
    if (memQues->toPlainText() != shownText_ && prompter_.askYesNo(MSG_DISCARD, "確認") != Answer::Yes) {
        memQues->setFocus();
        return;
    }
    done(RESULT_CANCEL);
}

}  // namespace solvari
