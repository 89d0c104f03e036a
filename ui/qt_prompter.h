#pragma once
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <string>

#include "flow/prompter.h"

namespace solvari {

class TfrmSentaku;

// The Prompter of the real program: the one place that shows QMessageBox. Button texts come
// from the installed Qt translation (qtbase_ja), so the boxes read はい / いいえ / キャンセル.
class QtPrompter : public Prompter {
public:
    // The caption of plain information boxes, as the application title.

    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the boxes are centred on and modal to; nullptr for none.
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    // The dialog that chooseSpecialSolution runs; without one it answers Closed.
    void setChoiceDialog(TfrmSentaku* dialog) { choice_ = dialog; }
    // Tells where the page's line box 1 stands in global coordinates, so the choice dialog
    // can stand beside it; an invalid rectangle leaves the dialog where it was.
    void setLineBoxLocator(std::function<QRect()> locate) { locate_ = std::move(locate); }

    void inform(const std::string& text) override;
    void warn(const std::string& text, const std::string& caption) override;
    Answer askYesNo(const std::string& text, const std::string& caption) override;
    Answer askYesNoCancel(const std::string& text, const std::string& caption) override;
    Answer askAbortRetryIgnore(const std::string& text, const std::string& caption) override;
    Outcome chooseSpecialSolution() override;
    std::optional<std::string> askText(const std::string& text, const std::string& caption,
                                       const std::string& initial) override;

private:
    QPointer<QWidget> parent_;
    QPointer<TfrmSentaku> choice_;
    std::function<QRect()> locate_;
};

}  // namespace solvari
