#include "ui/qt_prompter.h"

#include <QInputDialog>
#include <QMessageBox>

#include "ui/answer_choice_dialog.h"
#include "ui/window_frame.h"

namespace solvari {

namespace {

QMessageBox::StandardButton runBox(QWidget* parent, QMessageBox::Icon icon, const std::string& caption,
                                   const std::string& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromStdString(caption), QString::fromStdString(text), buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void QtPrompter::inform(const std::string& text) {
    runBox(parent_, QMessageBox::NoIcon, APP_TITLE, text, QMessageBox::Ok);
}

void QtPrompter::warn(const std::string& text, const std::string& caption) {
    runBox(parent_, QMessageBox::Information, caption, text, QMessageBox::Ok);
}

Answer QtPrompter::askYesNo(const std::string& text, const std::string& caption) {
    // Escape and the close box answer No, the safe choice.
    return runBox(parent_, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No) ==
                   QMessageBox::Yes
               ? Answer::Yes
               : Answer::No;
}

Answer QtPrompter::askYesNoCancel(const std::string& text, const std::string& caption) {
    switch (runBox(parent_, QMessageBox::Question, caption, text,
                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;  // Cancel, Escape or the close box
    }
}

Answer QtPrompter::askAbortRetryIgnore(const std::string& text, const std::string& caption) {
    switch (runBox(parent_, QMessageBox::Warning, caption, text,
                   QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore)) {
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Ignore: return Answer::Ignore;
    default: return Answer::Abort;  // Abort is the box's escape button
    }
}

std::optional<std::string> QtPrompter::askText(const std::string& text, const std::string& caption,
                                               const std::string& initial) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setLabelText(QString::fromStdString(text));
    dialog.setTextValue(QString::fromStdString(initial));
    dialog.setOkButtonText("ＯＫ");
    dialog.setCancelButtonText("キャンセル");
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

Outcome QtPrompter::chooseSpecialSolution() {
    if (!choice_) return Outcome::Open;
    if (locate_) choice_->placeBeside(locate_());
    switch (choice_->exec()) {
    case TfrmSentaku::RESULT_INFINITE: return Outcome::AllValues;
    case TfrmSentaku::RESULT_NO_SOLUTION: return Outcome::NoSolution;
    default: return Outcome::Open;
    }
}

}  // namespace solvari
