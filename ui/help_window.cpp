#include "ui/help_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/window_frame.h"

namespace solvari {

TfrmHelp::TfrmHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmHelp");
    setWindowTitle("ヘルプ");
    resize(640, 600);

    txtHelp = new QTextBrowser(this);
    txtHelp->setObjectName("txtHelp");
    txtHelp->setOpenExternalLinks(false);  // every page is ours; nothing leaves the program
    txtHelp->setSearchPaths({":/help"});

    btnContents = new QPushButton("目次", this);
    btnContents->setObjectName("btnContents");
    btnBack = new QPushButton("戻る", this);
    btnBack->setObjectName("btnBack");
    btnBack->setEnabled(false);
    btnForward = new QPushButton("進む", this);
    btnForward->setObjectName("btnForward");
    btnForward->setEnabled(false);
    btnClose = new QPushButton("閉じる", this);
    btnClose->setObjectName("btnClose");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnContents);
    buttons->addWidget(btnBack);
    buttons->addWidget(btnForward);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(txtHelp, 1);

    connect(btnContents, &QPushButton::clicked, this, [this] { txtHelp->setSource(QUrl(CONTENTS_PAGE)); });
    connect(btnBack, &QPushButton::clicked, txtHelp, &QTextBrowser::backward);
    connect(btnForward, &QPushButton::clicked, txtHelp, &QTextBrowser::forward);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(txtHelp, &QTextBrowser::backwardAvailable, btnBack, &QPushButton::setEnabled);
    connect(txtHelp, &QTextBrowser::forwardAvailable, btnForward, &QPushButton::setEnabled);
}

void TfrmHelp::showContents() { showPage(QUrl(CONTENTS_PAGE)); }

void TfrmHelp::showPoint() { showPage(QUrl(POINT_PAGE)); }

QUrl TfrmHelp::currentPage() const { return txtHelp->source(); }

void TfrmHelp::showPage(const QUrl& page) {
    if (txtHelp->source() != page) txtHelp->setSource(page);
    if (!isVisible()) fitOnScreen(this, true);
    show();
    raise();
    activateWindow();
}

}  // namespace solvari
