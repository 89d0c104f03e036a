#include "ui/greeting_window.h"

#include <QPushButton>

#include "ui/window_frame.h"
#include "ui/pictures.h"

namespace solvari {

TfrmGreet::TfrmGreet(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("frmGreet");
    setFixedSize(179, 131);

    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(2, 0, 175, 129);
    BitBtn1->setFlat(true);
    BitBtn1->setFocusPolicy(Qt::NoFocus);
    // No padding, so the picture fills the button as a bitmap would.
    BitBtn1->setStyleSheet("QPushButton { border: none; padding: 0px; }");
    BitBtn1->setIcon(pictureIcon("greet"));
    BitBtn1->setIconSize(QSize(175, 129));
}

void TfrmGreet::showEvent(QShowEvent* event) {
    centreOnScreen(this);
    QWidget::showEvent(event);
}

}  // namespace solvari
