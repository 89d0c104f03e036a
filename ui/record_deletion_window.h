#pragma once
#include <QDialog>
#include <QPointer>
#include <string>

#include "flow/prompter.h"
#include "flow/question_set.h"
#include "flow/session.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace solvari {

// Where the record windows find the record file and the units: the session's record (the
// student's own in a class folder) and the question set in use. Both are read each time a window is
// shown: the data folder is fixed only after start-up and the question set changes when
// another one is opened or edited.
struct RecordSource {
    const Session& session;
    const QuestionSet& questionSet;
    std::string recordPath() const { return session.recordPath(); }
};

// "frmDelete": removes the whole record of one unit at a time. Shown modally by the record
// viewer only; returns 1 when a record was removed since it was shown, else 2.
class TfrmDelete : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* NO_SELECTION = "消去する単元を選んでください";

    TfrmDelete(const RecordSource& source, Prompter& prompter, QWidget* parent = nullptr);

    // The window it is shown beside (200 pixels right of its left edge, at its top).
    void setViewer(QWidget* viewer) { viewer_ = viewer; }

    QLabel* lblGuide;
    QListWidget* lstTitle;
    QPushButton* btnDeleteOne;
    QPushButton* btnClose;

    bool recordDeleted = false;

    void btnDeleteOneClick();
    void btnCloseClick();

public slots:
    void reject() override;  // the close box and Escape close like "閉じる"

protected:
    void showEvent(QShowEvent* event) override;

private:
    RecordSource source_;
    Prompter& prompter_;
    QPointer<QWidget> viewer_;
};

}  // namespace solvari
