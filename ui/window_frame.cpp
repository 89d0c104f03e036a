#include "ui/window_frame.h"

#include <QLabel>
#include <QPushButton>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

#include "ui/fonts.h"
#include "ui/page_window.h"

namespace solvari {

namespace {
// A title bar and borders, for a window whose frame the window system has not told yet.
const QMargins kAssumedFrame(4, 30, 4, 4);
}  // namespace

void fitOnScreen(QWidget* window, bool centre) {
    const QRect screen = availableScreenGeometry();
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                   outer.bottom() - inner.bottom());
    if (frame.isNull() && !(window->windowFlags() & Qt::FramelessWindowHint)) frame = kAssumedFrame;
    const QSize room(screen.width() - frame.left() - frame.right(), screen.height() - frame.top() - frame.bottom());
    // A dialog with a fixed layout comes back to the layout's size on a screen that has room again.
    const QSize wanted = window->maximumSize().width() < QWIDGETSIZE_MAX ? window->maximumSize() : window->size();
    const QSize size = wanted.boundedTo(room);
    if (size != window->size()) {
        window->setMinimumSize(window->minimumSize().boundedTo(size));
        window->resize(size);
    }
    const QSize whole(size.width() + frame.left() + frame.right(), size.height() + frame.top() + frame.bottom());
    QRect placed(centre ? QPoint() : outer.topLeft(), whole);
    if (centre) placed.moveCenter(screen.center());
    placed.moveLeft(std::clamp(placed.left(), screen.left(), screen.right() + 1 - whole.width()));
    placed.moveTop(std::clamp(placed.top(), screen.top(), screen.bottom() + 1 - whole.height()));
    window->move(placed.topLeft());  // a top-level window's position is its frame's
}

QWidget* scrollingSurface(QDialog* dialog, const QSize& layoutSize) {
    auto* area = new QScrollArea(dialog);
    area->setObjectName("scrLayout");
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(false);
    auto* surface = new QWidget;
    surface->setObjectName("surface");
    surface->setFixedSize(layoutSize);
    area->setWidget(surface);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    dialog->setMaximumSize(layoutSize);
    dialog->resize(layoutSize);
    return surface;
}

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
