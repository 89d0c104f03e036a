#pragma once
#include <QDialog>
#include <QPointer>

#include "ui/record_deletion_window.h"

class QListWidget;
class QPushButton;

namespace solvari {

// "練習の記録": the practice record of every unit of the question set in use, relisted from the
// file each time it is shown and after a deletion. Shown modally; always returns 1.
class TfrmKiroku : public QDialog {
    Q_OBJECT
public:
    // deleteWindow is the "記録消去" window (created before this one); it may be null.
    TfrmKiroku(const RecordSource& source, TfrmDelete* deleteWindow, QWidget* parent = nullptr);

    QListWidget* lstTitle;
    QPushButton* btnDelete;
    QPushButton* btnClose;

    void listRecords();
    void btnDeleteClick();
    void btnCloseClick();

public slots:
    void reject() override;  // the close box and Escape: 1, like "閉じる"

protected:
    void showEvent(QShowEvent* event) override;

private:
    RecordSource source_;
    QPointer<TfrmDelete> deleteWindow_;
};

}  // namespace solvari
