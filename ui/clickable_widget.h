#pragma once
#include <QWidget>

class QMouseEvent;

namespace solvari {

// A widget that is clicked like a button: the left button pressed and released over it.
// The page's line boxes and the unit window's mark boxes are such pictures.
class ClickableWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace solvari
