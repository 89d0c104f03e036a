#include "ui/record_viewer_window.h"

#include <QFont>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>

#include "flow/record_file.h"
#include "flow/record_listing.h"
#include "ui/window_frame.h"
#include "ui/fonts.h"

namespace solvari {

TfrmKiroku::TfrmKiroku(const RecordSource& source, TfrmDelete* deleteWindow, QWidget* parent)
    : QDialog(parent), source_(source), deleteWindow_(deleteWindow) {
    frameDialog(this, "frmKiroku", "練習の記録", designFont("ＭＳ Ｐゴシック", 12));
    // The fixed 700 × 450 layout scrolls inside the window on a smaller screen.
    QWidget* surface = scrollingSurface(this, QSize(700, 450));

    lstTitle = new QListWidget(surface);
    lstTitle->setObjectName("lstTitle");
    lstTitle->setGeometry(24, 8, 529, 400);
    QFont listFont = faceFont("ＭＳ Ｐゴシック");
    listFont.setPixelSize(15);
    lstTitle->setFont(listFont);
    QPalette pal = lstTitle->palette();
    pal.setColor(QPalette::Text, Qt::black);
    lstTitle->setPalette(pal);

    btnDelete = new QPushButton("記録消去", surface);
    btnDelete->setObjectName("btnDelete");
    btnDelete->setGeometry(592, 160, 65, 41);
    connect(btnDelete, &QPushButton::clicked, this, [this] { btnDeleteClick(); });

    btnClose = new QPushButton("閉じる", surface);
    btnClose->setObjectName("btnClose");
    btnClose->setGeometry(592, 224, 65, 41);
    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });

    if (deleteWindow_) deleteWindow_->setViewer(this);
}

void TfrmKiroku::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        fitOnScreen(this, true);
        listRecords();
    }
    QDialog::showEvent(event);
}

void TfrmKiroku::listRecords() {
    lstTitle->clear();
    const RecordFile file(source_.recordPath());
    for (const std::string& row : recordListing(file, source_.questionSet)) lstTitle->addItem(QString::fromStdString(row));
}

void TfrmKiroku::btnDeleteClick() {
    if (!deleteWindow_) return;
    if (deleteWindow_->exec() == 1) listRecords();
}

void TfrmKiroku::btnCloseClick() { done(1); }

void TfrmKiroku::reject() { btnCloseClick(); }

}  // namespace solvari
