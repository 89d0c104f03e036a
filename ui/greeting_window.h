#pragma once
#include <QWidget>

class QPushButton;

namespace solvari {

// The greeting picture shown while the program starts: borderless, centred, one flat
// picture button that does nothing. The main window creates it and releases it once the
// question set is loaded.
class TfrmGreet : public QWidget {
    Q_OBJECT
public:
    explicit TfrmGreet(QWidget* parent = nullptr);

    QPushButton* btnGreet;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace solvari
