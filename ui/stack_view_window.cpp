#include "ui/stack_view_window.h"

#include <QListWidget>
#include <QPushButton>

#include "flow/stack_rows.h"
#include "engine/engine.h"
#include "ui/window_frame.h"

namespace solvari {

TfrmDump::TfrmDump(const Engine* engine, QWidget* parent) : QDialog(parent), engine_(engine) {
    setObjectName("frmDump");
    setWindowTitle("スタックの中身");
    setFixedSize(389, 450);

    lstDump = new QListWidget(this);
    lstDump->setObjectName("lstDump");
    lstDump->setGeometry(120, 8, 201, 401);

    btnClose = new QPushButton("閉じる", this);
    btnClose->setObjectName("btnClose");
    btnClose->setGeometry(24, 336, 73, 41);
    connect(btnClose, &QPushButton::clicked, this, [this] { done(1); });
}

void TfrmDump::fill(const Engine& engine) {
    lstDump->clear();
    for (const std::string& row : stackRows(engine)) lstDump->addItem(QString::fromStdString(row));
}

void TfrmDump::reject() { done(2); }

void TfrmDump::showEvent(QShowEvent* event) {
    if (engine_) fill(*engine_);
    centreOnScreen(this);
    QDialog::showEvent(event);
}

}  // namespace solvari
