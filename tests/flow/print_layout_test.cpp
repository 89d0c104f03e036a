// The print layout: the printed page as commands in 1/600 inch, exactly. Plain logic, tested
// without a display.
#include <gtest/gtest.h>

#include <ostream>

#include "engine/engine.h"
#include "flow/print_layout.h"

namespace solvari {

// Found by GoogleTest through the argument's namespace, so failures name the command.
void PrintTo(const PrintCommand& c, std::ostream* os) {
    *os << (c.kind == PrintCommand::Kind::Text ? "Text" : "Image") << "{" << c.x << "," << c.y << "," << c.w << ","
        << c.h << ",\"" << c.text << "\",box " << c.box << "}";
}

namespace {

using Kind = PrintCommand::Kind;

PrintCommand text(int x, int y, const std::string& t) { return {Kind::Text, x, y, 0, 0, t, 0}; }
PrintCommand image(int box, int x, int y, int w, int h) { return {Kind::Image, x, y, w, h, {}, box}; }

const std::string TITLE = "一次方程式（１）";
const std::string DATE = "2004.03.09";

// A page of an 800-pixel screen: line boxes 309 × 75, the answer box 272 × 76.
PrintBoxes screenBoxes() {
    PrintBoxes boxes{};
    for (int n = 1; n <= 12; ++n) boxes[static_cast<size_t>(n)] = BoxSize{309, 75};
    boxes[ANSWER_BOX] = BoxSize{272, 76};
    return boxes;
}

// ---------------------------------------------------------------- geometry

TEST(PrintLayout, SizeThreeMarginSixDrawsFourTimesLargerFrom192) {
    const auto out = printLayout(6, 3, 309, screenBoxes(), 3, true, TITLE, DATE);
    const std::vector<PrintCommand> expected = {
        text(309 * 4 + 192, 160, DATE),
        text(192, 560, TITLE),
        image(1, 192, 720, 1236, 300),
        image(2, 192, 720 + 77 * 4, 1236, 300),
        image(3, 192, 720 + 2 * 77 * 4, 1236, 300),
        image(16, 192, 720 + 3 * 77 * 4, 272 * 4, 76 * 4),
    };
    EXPECT_EQ(out, expected);
}

TEST(PrintLayout, EveryMarginAndSize) {
    for (int margin = 0; margin <= 10; ++margin) {
        for (int size = 1; size <= 5; ++size) {
            const int scale = size + 1;
            const auto out = printLayout(margin, size, 309, screenBoxes(), 2, false, TITLE, DATE);
            const std::vector<PrintCommand> expected = {
                text(309 * scale + margin * 32, 40 * scale, DATE),
                text(margin * 32, 140 * scale, TITLE),
                image(1, margin * 32, 180 * scale, 309 * scale, 75 * scale),
                image(2, margin * 32, 257 * scale, 309 * scale, 75 * scale),
            };
            EXPECT_EQ(out, expected) << "margin " << margin << " size " << size;
        }
    }
}

TEST(PrintLayout, WhichBoxesArePrinted) {
    struct Row {
        const char* name;
        int targetLine;
        bool finished;
        std::vector<int> boxes;  // printed, in order
    };
    const Row rows[] = {
        {"only the question", 1, false, {1}},
        {"an unfinished question prints no answer box", 4, false, {1, 2, 3, 4}},
        {"a finished question ends with the answer box", 4, true, {1, 2, 3, 4, 16}},
        {"a finished question on line 1", 1, true, {1, 16}},
        {"nothing on the page", 0, false, {}},
        {"lines above the boxes are not printed", 16, false, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
    };
    for (const Row& r : rows) {
        const auto out = printLayout(6, 3, 309, screenBoxes(), r.targetLine, r.finished, TITLE, DATE);
        ASSERT_GE(out.size(), 2u) << r.name;
        std::vector<int> printed;
        for (size_t i = 2; i < out.size(); ++i) {
            EXPECT_EQ(out[i].kind, Kind::Image) << r.name;
            printed.push_back(out[i].box);
        }
        EXPECT_EQ(printed, r.boxes) << r.name;
    }
}

TEST(PrintLayout, AMissingBoxIsSkippedWithoutMovingTheRow) {
    PrintBoxes boxes = screenBoxes();
    boxes[2].reset();
    boxes[3] = BoxSize{100, 50};
    boxes[ANSWER_BOX].reset();
    const auto out = printLayout(1, 1, 309, boxes, 4, true, TITLE, DATE);
    const std::vector<PrintCommand> expected = {
        text(309 * 2 + 32, 80, DATE),     text(32, 280, TITLE),
        image(1, 32, 360, 618, 150),      image(3, 32, 360 + 77 * 2, 200, 100),
        image(4, 32, 514 + 52 * 2, 618, 150),
    };
    EXPECT_EQ(out, expected);
}

TEST(PrintLayout, DateAndPreviewTexts) {
    EXPECT_EQ(printDate(QDateTime(QDate(2004, 3, 9), QTime(23, 59))), "2004.03.09");
    EXPECT_EQ(printDate(QDateTime(QDate(2024, 12, 31), QTime(0, 0))), "2024.12.31");
    EXPECT_EQ(sampleText(0), "ax+by=c");
    EXPECT_EQ(sampleText(10), "          ax+by=c");
    const int points[] = {14, 18, 22, 26, 30};
    for (int size = 1; size <= 5; ++size) EXPECT_EQ(samplePointSize(size), points[size - 1]) << size;
}

}  // namespace
}  // namespace solvari
