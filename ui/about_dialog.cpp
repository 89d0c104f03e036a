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
    pnlFrame = new QFrame(this);
    pnlFrame->setObjectName("pnlFrame");
    pnlFrame->setGeometry(19, 11, 462, 318);
    pnlFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    pnlFrame->setLineWidth(1);
    pnlFrame->setMidLineWidth(0);

    ProgramIcon = new QLabel(pnlFrame);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setGeometry(11, 11, 32, 32);
    // drawn from the SVG source at the screen's pixel ratio, so it stays sharp on HiDPI
    ProgramIcon->setPixmap(pictureIcon("icon").pixmap(QSize(32, 32), devicePixelRatioF()));

    lblProductName = new QLabel(APP_TITLE, pnlFrame);
    lblProductName->setObjectName("lblProductName");
    lblProductName->move(98, 22);
    lblProductName->adjustSize();

    lblVersion = new QLabel(QStringLiteral("Version " SOLVARI_VERSION " 04.02.24"), pnlFrame);
    lblVersion->setObjectName("lblVersion");
    lblVersion->move(98, 56);
    lblVersion->adjustSize();

    btnOK = new QPushButton(pictureIcon("ok"), "閉じる", pnlFrame);
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
