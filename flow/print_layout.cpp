#include "flow/print_layout.h"

#include <algorithm>

namespace solvari {

namespace {
constexpr int LAST_LINE_BOX = 14;
}

std::vector<PrintCommand> printLayout(int marginChars, int sizeStep, int image1Width, const PrintBoxes& boxes,
                                      int targetLine, bool questionFinished, const std::string& caption,
                                      const std::string& date) {
    const int margin = marginChars * PRINT_CHAR_WIDTH;
    const int scale = sizeStep + 1;
    int y = 40 * scale;
    std::vector<PrintCommand> out;

    out.push_back({PrintCommand::Kind::Text, image1Width * scale + margin, y, 0, 0, date, 0});
    y += 100 * scale;
    out.push_back({PrintCommand::Kind::Text, margin, y, 0, 0, caption, 0});
    y += 40 * scale;

    auto printBox = [&](int n) {
        const std::optional<BoxSize>& box = boxes[static_cast<size_t>(n)];
        if (!box) return;
        out.push_back({PrintCommand::Kind::Image, margin, y, box->width * scale, box->height * scale, {}, n});
        y += (box->height + 2) * scale;
    };
    // Only the line boxes belong to this loop: the answer box (16) is printed below, and only
    // for a finished question, even if an earlier verdict left a picture in it.
    for (int n = 1; n <= std::min(targetLine, LAST_LINE_BOX); ++n) printBox(n);
    if (questionFinished) printBox(ANSWER_BOX);
    return out;
}

std::string printDate(const QDateTime& when) { return when.toString("yyyy.MM.dd").toStdString(); }

std::string sampleText(int marginChars) { return std::string(static_cast<size_t>(std::max(0, marginChars)), ' ') + "ax+by=c"; }

int samplePointSize(int sizeStep) { return sizeStep * 4 + 10; }

}  // namespace solvari
