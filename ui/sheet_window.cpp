#include "ui/sheet_window.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include "ui/window_frame.h"

namespace solvari {

TfrmSheet::TfrmSheet(QWidget* parent) : QDialog(parent) {
    frameDialog(this, "frmSheet", "印刷", designFont("ＭＳ Ｐゴシック", 12));
    setFixedSize(330, 364);

    lblTangen = placedLabel(this, "lblTangen", "印刷する単元", 16, 12);
    lstTangen = new QListWidget(this);
    lstTangen->setObjectName("lstTangen");
    lstTangen->setGeometry(16, 32, 298, 200);
    connect(lstTangen, &QListWidget::itemChanged, this, [this] { refreshOk(); });

    btnAll = placedButton(this, "btnAll", "すべて選ぶ(&A)", QRect(16, 240, 104, 28));
    btnNone = placedButton(this, "btnNone", "すべて外す(&N)", QRect(128, 240, 104, 28));
    auto checkAll = [this](Qt::CheckState state) {
        for (int i = 0; i < lstTangen->count(); ++i) lstTangen->item(i)->setCheckState(state);
    };
    connect(btnAll, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Checked); });
    connect(btnNone, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Unchecked); });

    lblPerPage = placedLabel(this, "lblPerPage", "1ページの問題数", 16, 288);
    spnPerPage = new QSpinBox(this);
    spnPerPage->setObjectName("spnPerPage");
    spnPerPage->setRange(1, WORKSHEET_MAX_PER_PAGE);
    spnPerPage->setValue(WORKSHEET_PER_PAGE);
    spnPerPage->setGeometry(128, 283, 64, 26);

    btnOk = placedButton(this, "btnOk", "PDF に書く(&P)...", QRect(104, 322, 112, 30));
    btnCancel = placedButton(this, "btnCancel", "閉じる", QRect(224, 322, 90, 30));
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmSheet::prepare(SheetKind kind, const QuestionSet& set) {
    setWindowTitle(QString::fromUtf8(sheetName(kind)) + "の印刷");
    lstTangen->clear();
    for (int u = 1; u <= set.unitCount; ++u) {
        auto* row = new QListWidgetItem(QString("単元%1　").arg(u) + QString::fromStdString(set.unitTitle[static_cast<size_t>(u)]),
                                        lstTangen);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Checked);
    }
    const bool worksheet = kind == SheetKind::Worksheet;
    lblPerPage->setVisible(worksheet);
    spnPerPage->setVisible(worksheet);
    refreshOk();
}

std::vector<int> TfrmSheet::chosenUnits() const {
    std::vector<int> units;
    for (int i = 0; i < lstTangen->count(); ++i)
        if (lstTangen->item(i)->checkState() == Qt::Checked) units.push_back(i + 1);
    return units;
}

int TfrmSheet::perPage() const { return spnPerPage->value(); }

// A sheet of no unit would be a page of headers.
void TfrmSheet::refreshOk() { btnOk->setEnabled(!chosenUnits().empty()); }

std::optional<SheetOptions> TfrmSheet::run(SheetKind kind, const QuestionSet& set) {
    prepare(kind, set);
    btnOk->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    SheetOptions options;
    options.units = chosenUnits();
    options.perPage = perPage();
    return options;
}

}  // namespace solvari
