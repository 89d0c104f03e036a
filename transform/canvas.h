#pragma once
#include <cstdint>
#include <string>

namespace solvari {

constexpr int CHARSET_ANSI = 0;
constexpr int CHARSET_SHIFTJIS = 128;

struct FontSpec {
    std::string face;  // a Windows face name ("Bookman Old Style", "ＭＳ Ｐゴシック"); Qt substitutes it
    int pixelSize = 16;
    int charset = CHARSET_ANSI;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontSpec&) const = default;
};

struct Color {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Color&) const = default;
};
constexpr Color BLACK{0, 0, 0};
constexpr Color WHITE{255, 255, 255};
constexpr Color RED{255, 0, 0};

// The drawing surface of one picture box. Qt draws into a QImage; tests record the calls with
// fixed glyph advances so every pixel position of the typesetting can be asserted.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void setFont(const FontSpec& font) = 0;
    virtual FontSpec font() const = 0;
    // Writes text with its top-left at (x, y) in the current font; returns the pen's x after it.
    virtual int textOut(int x, int y, const std::string& utf8) = 0;
    virtual void line(int x1, int y1, int x2, int y2, Color pen) = 0;
    virtual void rectangle(int left, int top, int right, int bottom, Color pen) = 0;  // unfilled
    virtual void clear() = 0;  // paint the whole box white
    virtual int width() const = 0;
    virtual int height() const = 0;
    // A box can be hidden and shown; drawing into a hidden box still keeps the picture.
    virtual void setVisible(bool visible) = 0;

    // How wide text would be in the current font, and how far the top of its line lies above
    // its baseline, without drawing it: the printed sheets place pieces by their own widths.
    // A canvas that cannot measure (the screen's boxes, which lay out in fixed cells) answers
    // with an estimate from the font's size that is never narrower than a serif face's type.
    virtual int textWidth(const std::string& utf8) const;
    virtual int ascent() const;
};

// The boxes of the equation page that the typesetting and the step flow draw into:
// lines 1..14 and the answer box 16. A number without a box yields nullptr.
class PageBoxes {
public:
    virtual ~PageBoxes() = default;
    virtual Canvas* lineBox(int n) = 0;
};

}  // namespace solvari
