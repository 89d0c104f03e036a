#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace solvari {

// The about box "バージョン情報".
class TfrmVersion : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVersion(QWidget* parent = nullptr);

    QFrame* pnlFrame;
    QLabel* ProgramIcon;
    QLabel* lblProductName;
    QLabel* lblVersion;
    QPushButton* btnOK;

public slots:
    void reject() override;  // the close box: 2, as every dialog of the program

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace solvari
