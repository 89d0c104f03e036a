#include "ui/answer_choice_dialog.h"
#include "ui/window_frame.h"

#include <QFont>
#include <QLineEdit>
#include <QPushButton>

namespace solvari {

TfrmSentaku::TfrmSentaku(QWidget* parent) : QDialog(parent) {
    frameDialog(this, "frmSentaku", "特殊な解", designFont("ＭＳ Ｐゴシック", 12));
    setFixedSize(185, 207);

    edtPrompt = new QLineEdit("解の種類を選んでください", this);
    edtPrompt->setObjectName("edtPrompt");
    edtPrompt->setReadOnly(true);
    edtPrompt->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    edtPrompt->setGeometry(16, 16, 145, 20);

    btnMusu = new QPushButton("解は無数にある(&A)", this);
    btnMusu->setObjectName("btnMusu");
    btnMusu->setGeometry(32, 56, 121, 33);
    connect(btnMusu, &QPushButton::clicked, this, &TfrmSentaku::btnMusuClick);

    btnKainashi = new QPushButton("解なし(&B)", this);
    btnKainashi->setObjectName("btnKainashi");
    btnKainashi->setGeometry(32, 112, 121, 33);
    connect(btnKainashi, &QPushButton::clicked, this, &TfrmSentaku::btnKainashiClick);

    setTabOrder(btnMusu, btnKainashi);
    btnMusu->setFocus();
}

void TfrmSentaku::placeBeside(const QRect& line1BoxGlobal) {
    if (!line1BoxGlobal.isValid()) return;
    move(line1BoxGlobal.x() + line1BoxGlobal.width() + 8, line1BoxGlobal.y() + 30);
}

void TfrmSentaku::reject() { done(RESULT_CLOSED); }

void TfrmSentaku::btnMusuClick() { done(RESULT_INFINITE); }

void TfrmSentaku::btnKainashiClick() { done(RESULT_NO_SOLUTION); }

}  // namespace solvari
