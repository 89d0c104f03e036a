#pragma once
#include <QDialog>
#include <QRect>

class QLineEdit;
class QPushButton;

namespace solvari {

// The small modal dialog "特殊な解" in which the student says whether a line without a single
// solution has none or infinitely many. It only reports the button: the caller judges it.
class TfrmSentaku : public QDialog {
    Q_OBJECT
public:
    // Modal results (QtPrompter::chooseSpecialSolution reads them as Outcome).
    static constexpr int RESULT_INFINITE = 8;
    static constexpr int RESULT_NO_SOLUTION = 3;
    static constexpr int RESULT_CLOSED = 2;

    explicit TfrmSentaku(QWidget* parent = nullptr);

    // Puts the dialog to the right of the page's first line: top = box top + 30,
    // left = box right edge + 8 (box in global coordinates). An invalid rectangle (no page yet)
    // leaves the dialog where it last stood.
    void placeBeside(const QRect& line1BoxGlobal);

    QLineEdit* edtPrompt;
    QPushButton* btnMusu;
    QPushButton* btnKainashi;

public slots:
    // Escape and the close box end up here; they mean "no answer", which is 2, not QDialog's 0.
    void reject() override;

private:
    void btnMusuClick();
    void btnKainashiClick();
};

}  // namespace solvari
