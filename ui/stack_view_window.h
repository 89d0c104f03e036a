#pragma once
#include <QDialog>

class QListWidget;
class QPushButton;

namespace solvari {

class Engine;

// "スタックの中身": lists the raw terms of the lines on the page, for teachers and for us. It
// changes nothing. The rows come from stackRows(), which is where the logic lives.
class TfrmDump : public QDialog {
    Q_OBJECT
public:
    // engine may be nullptr; then the list is filled only by fill().
    explicit TfrmDump(const Engine* engine = nullptr, QWidget* parent = nullptr);

    void setEngine(const Engine* engine) { engine_ = engine; }
    // Replaces the list with the rows of the lines 1..targetLine of engine.
    void fill(const Engine& engine);

    QListWidget* lstDump;
    QPushButton* btnClose;

public slots:
    void reject() override;  // the close box: 2, as every dialog of the program

protected:
    void showEvent(QShowEvent* event) override;

private:
    const Engine* engine_;
};

}  // namespace solvari
