#pragma once
#include <QDialog>
#include <optional>
#include <vector>

#include "flow/answer_sheet.h"

class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace solvari {

// "frmSheet": before a sheet is written, the teacher chooses its units (all of them to start
// with) and, for the worksheet, how many questions go on a page. A form: it reads and writes
// no file. The number per page keeps its last value while the program runs.
class TfrmSheet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSheet(QWidget* parent = nullptr);

    QLabel* lblTangen;
    QListWidget* lstTangen;  // one checkable row per unit of the set
    QPushButton* btnAll;
    QPushButton* btnNone;
    QLabel* lblPerPage;
    QSpinBox* spnPerPage;    // the worksheet only
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // Fills the list with the set's units, every one chosen, and names the sheet in the caption.
    void prepare(SheetKind kind, const QuestionSet& set);
    // The units chosen, in the set's order.
    std::vector<int> chosenUnits() const;
    int perPage() const;

    // prepare, then the window modally: the units and the number per page, nothing when closed.
    std::optional<SheetOptions> run(SheetKind kind, const QuestionSet& set);

private:
    void refreshOk();
};

}  // namespace solvari
