#include "ui/greeting_window.h"

#include <QPushButton>

#include "ui/window_frame.h"
#include "ui/pictures.h"

namespace solvari {

TfrmGreet::TfrmGreet(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("frmGreet");
    setFixedSize(179, 131);

    btnGreet = new QPushButton(this);
    btnGreet->setObjectName("btnGreet");
    btnGreet->setGeometry(2, 0, 175, 129);
    btnGreet->setFlat(true);
    btnGreet->setFocusPolicy(Qt::NoFocus);
    // No padding, so the picture fills the button as a bitmap would.
    btnGreet->setStyleSheet("QPushButton { border: none; padding: 0px; }");
    btnGreet->setIcon(pictureIcon("greet"));
    btnGreet->setIconSize(QSize(175, 129));
}

void TfrmGreet::showEvent(QShowEvent* event) {
    centreOnScreen(this);
    QWidget::showEvent(event);
}

}  // namespace solvari
