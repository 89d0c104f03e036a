#include "ui/about_dialog.h"

#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/window_frame.h"
#include "solvari_version.h"
#include "ui/pictures.h"

namespace solvari {

TfrmVersion::TfrmVersion(QWidget* parent) : QDialog(parent) {
    frameDialog(this, "frmVersion", "バージョン情報", designFont("System", 13));
    setFixedSize(499, 351);

    // Box + Sunken draws a lowered outer and a raised inner line: the etched panel.
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(19, 11, 462, 318);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setMidLineWidth(0);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setGeometry(11, 11, 32, 32);
    // drawn from the SVG source at the screen's pixel ratio, so it stays sharp on HiDPI
    ProgramIcon->setPixmap(pictureIcon("icon").pixmap(QSize(32, 32), devicePixelRatioF()));

    lblProductName = new QLabel(APP_TITLE, Panel1);
    lblProductName->setObjectName("lblProductName");
    lblProductName->move(98, 22);
    lblProductName->adjustSize();

    lblVersion = new QLabel(QStringLiteral("Version " SOLVARI_VERSION " 04.02.24"), Panel1);
    lblVersion->setObjectName("lblVersion");
    lblVersion->move(98, 56);
    lblVersion->adjustSize();

    btnOK = new QPushButton(pictureIcon("ok"), "閉じる", Panel1);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(160, 264, 105, 33);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { done(1); });

    setWindowIcon(pictureIcon("icon"));
}

void TfrmVersion::reject() { done(2); }

void TfrmVersion::showEvent(QShowEvent* event) {
    centreOnScreen(this);
    QDialog::showEvent(event);
}

}  // namespace solvari
