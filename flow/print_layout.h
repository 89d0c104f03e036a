#pragma once
#include <QDateTime>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace solvari {

// Geometry of the printed work, in printer pixels of 1/600 inch whatever the device's own
// resolution (the print window scales them), so the page has one size on every printer. Plain
// logic, so that every position can be checked without a printer.
constexpr int PRINT_LAYOUT_DPI = 600;
constexpr int PRINT_CHAR_WIDTH = 32;      // one character of left margin
constexpr int PRINT_FONT_POINT_SIZE = 14;  // the date and the caption
constexpr int ANSWER_BOX = 16;

// The screen size of one page box in pixels.
struct BoxSize {
    int width = 0;
    int height = 0;
};

// Indexed by line number: 1..14 the line boxes, 16 the answer box; a missing box (15 always)
// is nullopt and is skipped without moving the print row.
using PrintBoxes = std::array<std::optional<BoxSize>, ANSWER_BOX + 1>;

struct PrintCommand {
    enum class Kind { Text, Image };
    Kind kind = Kind::Text;
    int x = 0;  // left edge
    int y = 0;  // top edge (of the text's line, not its baseline)
    int w = 0;  // Image: the stretched size; Text: 0
    int h = 0;
    std::string text;  // Text only
    int box = 0;       // Image only: the line number of the box whose picture is drawn

    bool operator==(const PrintCommand&) const = default;
};

// What the print button prints, top to bottom: the date at the right of the first box's width,
// the caption, the boxes of lines 1..targetLine enlarged (sizeStep + 1) times, and the answer
// box when the question is finished. marginChars is the left margin in characters (0..10),
// sizeStep the size control's value (1..5).
std::vector<PrintCommand> printLayout(int marginChars, int sizeStep, int image1Width, const PrintBoxes& boxes,
                                      int targetLine, bool questionFinished, const std::string& caption,
                                      const std::string& date);

// "2004.03.09".
std::string printDate(const QDateTime& when);

// The preview of the print window: marginChars blanks then "ax+by=c", in sizeStep × 4 + 10 points.
std::string sampleText(int marginChars);
int samplePointSize(int sizeStep);

}  // namespace solvari
