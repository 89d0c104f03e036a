#pragma once
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "engine/sjis.h"
#include "transform/canvas.h"

namespace solvari {

// A Canvas that draws nothing and records every call, for tests and benchmarks. Glyph
// advances are fixed, whatever the font and its size, so pixel positions can be asserted:
// a character that is one byte in Shift-JIS (ASCII, half-width katakana) advances 8 pixels,
// every other character (kanji, kana, full-width forms, circled numbers, the minus sign) 16
// pixels; a line's top lies the font's pixel size above its baseline.
class RecordingCanvas : public Canvas {
public:
    static constexpr int NARROW_ADVANCE = 8;
    static constexpr int WIDE_ADVANCE = 16;

    enum class Op { Font, Text, Line, Rectangle, Clear, Visible };

    struct Call {
        Op op;
        FontSpec font;      // the font in effect (the new one for Op::Font)
        std::string text;   // Op::Text
        int x1 = 0, y1 = 0; // Op::Text: top-left; Op::Line: start; Op::Rectangle: left, top
        int x2 = 0, y2 = 0; // Op::Text: pen x after the text; Op::Line: end; Op::Rectangle: right, bottom
        Color pen{};        // Op::Line, Op::Rectangle
        bool visible = true;  // Op::Visible
    };

    RecordingCanvas(int width, int height) : width_(width), height_(height) {}

    std::vector<Call> calls;
    bool visible = true;

    static int advance(const std::string& utf8) {
        int px = 0;
        for (size_t i = 0; i < utf8.size();) {
            const auto b = static_cast<unsigned char>(utf8[i]);
            const size_t len = utf8CharLength(utf8, i);
            unsigned cp = b;
            if (len == 3 && i + 2 < utf8.size())
                cp = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
                     (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
            const bool narrow = len == 1 || (cp >= 0xFF61 && cp <= 0xFF9F);
            px += narrow ? NARROW_ADVANCE : WIDE_ADVANCE;
            i += len;
        }
        return px;
    }

    void setFont(const FontSpec& font) override {
        font_ = font;
        calls.push_back(Call{Op::Font, font, {}, 0, 0, 0, 0, {}, true});
    }
    FontSpec font() const override { return font_; }
    int textOut(int x, int y, const std::string& utf8) override {
        const int after = x + advance(utf8);
        calls.push_back(Call{Op::Text, font_, utf8, x, y, after, y, {}, true});
        return after;
    }
    void line(int x1, int y1, int x2, int y2, Color pen) override {
        calls.push_back(Call{Op::Line, font_, {}, x1, y1, x2, y2, pen, true});
    }
    void rectangle(int left, int top, int right, int bottom, Color pen) override {
        calls.push_back(Call{Op::Rectangle, font_, {}, left, top, right, bottom, pen, true});
    }
    void clear() override { calls.push_back(Call{Op::Clear, font_, {}, 0, 0, 0, 0, {}, true}); }
    int textWidth(const std::string& utf8) const override { return advance(utf8); }
    int ascent() const override { return font_.pixelSize; }
    int width() const override { return width_; }
    int height() const override { return height_; }
    void setVisible(bool v) override {
        visible = v;
        calls.push_back(Call{Op::Visible, font_, {}, 0, 0, 0, 0, {}, v});
    }

    // The recorded calls of one kind, in order.
    std::vector<Call> only(Op op) const {
        std::vector<Call> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                     [op](const Call& c) { return c.op == op; });
        return out;
    }
    std::vector<Call> texts() const { return only(Op::Text); }
    // The texts written, in order: the pieces of a typeset line.
    std::vector<std::string> textStrings() const {
        std::vector<std::string> out;
        for (const Call& c : calls)
            if (c.op == Op::Text) out.push_back(c.text);
        return out;
    }
    void reset() { calls.clear(); }

private:
    int width_;
    int height_;
    FontSpec font_{};
};

}  // namespace solvari
