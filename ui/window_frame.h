#pragma once
#include <QFont>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QRect;
class QSize;
class QWidget;

namespace solvari {

// The program's name: the main window's title, the caption of its notices, the about box.
inline constexpr const char* APP_TITLE = "Nelvora １次方程式／Solvari";

// Moves a top-level window so that its frame stands in the middle of the screen it is on
// (the primary screen before it is first shown).
void centreOnScreen(QWidget* window);

// Keeps a top-level window, its frame included, inside the usable part of the screen: a
// window larger than that is made smaller (its contents scroll or lay themselves out again),
// then moved in, or to the middle when `centre`. Call it when the window is about to show.
void fitOnScreen(QWidget* window, bool centre = false);

// The fixed layout of a dialog, in its own pixels, on a surface that scrolls inside the
// dialog when the screen is smaller than the layout; the dialog is never larger than it.
// Returns the surface: the parent of every control of the layout.
QWidget* scrollingSurface(QDialog* dialog, const QSize& layoutSize);

// A Windows face at a pixel size; Qt's font substitution maps the face to what is installed.
QFont designFont(const char* face, int pixelSize);

// A named label with its top-left at (left, top), sized to its text.
QLabel* placedLabel(QWidget* parent, const QString& name, const QString& text, int left, int top);
// A named push button in its place.
QPushButton* placedButton(QWidget* parent, const QString& name, const QString& text, const QRect& place);

// What every dialog of the program shares: its name, its caption, a title bar with only the
// close box, and its window font.
void frameDialog(QDialog* dialog, const char* name, const QString& title, const QFont& font);

}  // namespace solvari
