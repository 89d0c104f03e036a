#pragma once
// Measuring what a picture box drew, for window tests that judge what a student can read.
#include <QImage>
#include <algorithm>

namespace solvari::testing {

// How high the ink of a line box's middle row stands (its brackets, letters, signs and plain
// numbers), left of `right`: fraction bars, one pixel high, are left out.
inline int middleRowHeight(const QImage& img, int right) {
    int top = -1, bottom = -1;
    for (int y = 31; y < 58 && y < img.height(); ++y) {
        int dark = 0, longest = 0;
        for (int x = 0; x < right; ++x) {
            dark = qGray(img.pixel(x, y)) < 128 ? dark + 1 : 0;
            longest = std::max(longest, dark);
        }
        if (longest == 0 || longest >= 8) continue;  // nothing, or a bar
        if (top < 0) top = y;
        bottom = y;
    }
    return top < 0 ? 0 : bottom - top + 1;
}

}  // namespace solvari::testing
