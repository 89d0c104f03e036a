#pragma once
#include <QLabel>
#include <QGroupBox>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "transform/canvas.h"

namespace solvari {

class ImageBox;
class Practice;
class Typesetter;

// Screen width in pixels, which fixes the page's layout.
int screenWidth();
// The part of the primary screen that windows may use (no task bars), in logical pixels.
QRect availableScreenGeometry();
// Tests stand a screen of this usable area in for the real one (both values above come from
// it); an empty rectangle returns to the real screen.
void setScreenForTesting(const QRect& area);

// The equation page: one picture box per line in two columns, the message strip lblMess, and
// the solution group "解". It lays itself out for the screen, frames the line under the mouse,
// and passes clicks and keys on to the practice logic.
class TfrmPage : public QWidget, public PageBoxes {
    Q_OBJECT
public:
    explicit TfrmPage(QWidget* parent = nullptr);
    ~TfrmPage() override;
    // The message strip's font: its designed size, and the least a long message is shrunk to.
    static constexpr int MESSAGE_PIXELS = 21;
    static constexpr int MESSAGE_MIN_PIXELS = 12;

    void attach(Practice* practice, Typesetter* typesetter);
    // Places the boxes for the screen width and fixes lineCapacity; message boxes for a small
    // screen go through `inform`.
    int layoutForScreen(int panelWidth, const std::function<void(const std::string&)>& inform);

    Canvas* lineBox(int n) override;
    ImageBox* imageBox(int n);  // Image1..14, Image16
    QLabel* lblMess = nullptr;
    QGroupBox* grbKai = nullptr;
    QLabel* lblStarX = nullptr;
    QLabel* lblStarY = nullptr;
    // 検算 below the answer picture: the check is written into the answer box's canvas, and
    // this label shows it on rows of its own, wrapped to the group's width, so it never
    // covers the answer (a fraction's numerator, 解なし).
    QLabel* lblKensan = nullptr;

    int lineCapacity = 12;
    int hoverLine = -1;

    void placeSolutionBox(int n);
    void clearHoverFrames();
    void hoverOver(int n);   // the mouse moves over line box n
    void hoverOutside();     // the mouse moves over the window outside the boxes

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    class AnswerCanvas;

    std::array<ImageBox*, 17> boxes_{};  // index = line number; 15 has none
    std::unique_ptr<AnswerCanvas> answerCanvas_;
    Practice* practice_ = nullptr;
    Typesetter* typesetter_ = nullptr;
    // Boxes that may carry a red frame: only these need erasing. Erasing every line on each
    // step redrew the whole page for frames that were not there.
    std::array<bool, 15> redFrame_{};
    void frame(int n, bool on);
    void layoutSolutionGroup();  // stars, answer, 検算 and stars, top to bottom
};

}  // namespace solvari
