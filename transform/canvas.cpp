#include "transform/canvas.h"

#include <cmath>

#include "engine/sjis.h"

namespace solvari {

namespace {

// Advance in thousandths of the font size, a little over a serif face's own widths.
int estimatedAdvance(const std::string& utf8, size_t at, size_t length) {
    if (length != 1) return utf8.compare(at, length, "\u2212") == 0 ? 620 : 1000;  // minus; kanji and kana
    const char c = utf8[at];
    if (c >= '0' && c <= '9') return 560;
    switch (c) {
        case '(': case ')': case '[': case ']': return 350;
        case '{': case '}': return 400;
        case '.': case ',': case '/': case ' ': return 300;
        default: return 620;  // signs, '=', letters
    }
}

}  // namespace

int Canvas::textWidth(const std::string& utf8) const {
    long thousandths = 0;
    for (size_t i = 0; i < utf8.size();) {
        const size_t length = utf8CharLength(utf8, i);
        thousandths += estimatedAdvance(utf8, i, length);
        i += length;
    }
    return static_cast<int>(std::lround(static_cast<double>(thousandths) * font().pixelSize / 1000.0));
}

int Canvas::ascent() const { return font().pixelSize; }

}  // namespace solvari
