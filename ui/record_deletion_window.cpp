#include "ui/record_deletion_window.h"

#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include "flow/record_file.h"
#include "flow/record_listing.h"
#include "ui/window_frame.h"
#include "ui/fonts.h"

namespace solvari {

TfrmDelete::TfrmDelete(const RecordSource& source, Prompter& prompter, QWidget* parent)
    : QDialog(parent), source_(source), prompter_(prompter) {
    frameDialog(this, "frmDelete", "frmDelete", designFont("ＭＳ Ｐゴシック", 12));
    setFixedSize(500, 459);

    lblGuide = new QLabel("消去する項目を選んで［消去］ボタンをクリックします", this);
    lblGuide->setObjectName("lblGuide");
    lblGuide->setGeometry(80, 32, 345, 25);
    lblGuide->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblGuide->setAlignment(Qt::AlignCenter);
    QFont panelFont = faceFont("ＭＳ Ｐゴシック");
    panelFont.setPixelSize(15);
    lblGuide->setFont(panelFont);

    lstTitle = new QListWidget(this);
    lstTitle->setObjectName("lstTitle");
    lstTitle->setGeometry(168, 80, 265, 305);
    lstTitle->setSelectionMode(QAbstractItemView::SingleSelection);

    btnDeleteOne = new QPushButton("消去", this);
    btnDeleteOne->setObjectName("btnDeleteOne");
    btnDeleteOne->setGeometry(40, 160, 89, 41);
    connect(btnDeleteOne, &QPushButton::clicked, this, [this] { btnDeleteOneClick(); });

    btnClose = new QPushButton("閉じる", this);
    btnClose->setObjectName("btnClose");
    btnClose->setGeometry(40, 264, 89, 41);
    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
}

void TfrmDelete::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;  // restored by the window system, not shown anew
    if (viewer_) move(viewer_->x() + 200, viewer_->y());
    recordDeleted = false;
    lstTitle->clear();
    const RecordFile file(source_.recordPath());
    for (const std::string& title : deletableUnits(file, source_.questionSet)) lstTitle->addItem(QString::fromStdString(title));
}

void TfrmDelete::btnDeleteOneClick() {
    const QList<QListWidgetItem*> selected = lstTitle->selectedItems();
    if (selected.isEmpty()) {
        prompter_.inform(NO_SELECTION);
        return;
    }
    QListWidgetItem* item = selected.first();
    RecordFile file(source_.recordPath());
    const FileResult r = file.eraseSection(item->text().toStdString());
    if (!r.ok) {
        // The file is as it was, so the row stays and nothing counts as deleted.
        prompter_.inform(r.error);
        return;
    }
    delete lstTitle->takeItem(lstTitle->row(item));
    // No row stands selected after a deletion: the next "消去" needs a new choice.
    lstTitle->clearSelection();
    lstTitle->setCurrentRow(-1);
    recordDeleted = true;
}

void TfrmDelete::btnCloseClick() { done(recordDeleted ? 1 : 2); }

void TfrmDelete::reject() { btnCloseClick(); }

}  // namespace solvari
