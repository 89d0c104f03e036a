#include "ui/window_frame.h"

#include <QLabel>
#include <QPushButton>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/fonts.h"

namespace solvari {

void centreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QFont designFont(const char* face, int pixelSize) {
    QFont f = faceFont(face);
    f.setPixelSize(pixelSize);
    return f;
}

void frameDialog(QDialog* dialog, const char* name, const QString& title, const QFont& font) {
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
    dialog->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setFont(font);
}

QLabel* placedLabel(QWidget* parent, const QString& name, const QString& text, int left, int top) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->move(left, top);
    l->adjustSize();
    return l;
}

QPushButton* placedButton(QWidget* parent, const QString& name, const QString& text, const QRect& place) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(place);
    return b;
}

}  // namespace solvari
