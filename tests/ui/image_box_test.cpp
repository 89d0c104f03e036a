// The Qt picture box behind Canvas, and the font stand-ins for the Windows faces.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include "ui/fonts.h"
#include "ui/image_box.h"
#include "tests/support/fake_prompter.h"
#include "transform/typeset.h"
#include "tests/support/read_text.h"

namespace solvari {
namespace {

using testing::readEquation;

bool isWhite(const QImage& img, int x, int y) { return img.pixel(x, y) == qRgb(255, 255, 255); }
bool isDark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }
bool anyDark(const QImage& img, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (isDark(img, x, y)) return true;
    return false;
}

// ---- fonts ----

TEST(Fonts, BareFamilyDropsTheFoundry) {
    EXPECT_EQ(bareFamily("URW Bookman [UKWN]"), "URW Bookman");
    EXPECT_EQ(bareFamily("URW Bookman [urw]"), "URW Bookman");
    EXPECT_EQ(bareFamily("IPAPGothic"), "IPAPGothic");
}

TEST(Fonts, FirstPresentFamily) {
    struct Row {
        const char* name;
        QStringList candidates, families;
        QString expected;
    };
    const Row rows[] = {
        {"foundry suffix", {"URW Bookman"}, {"Arial", "URW Bookman [urw]"}, "URW Bookman"},
        {"case", {"ipapgothic"}, {"IPAPGothic"}, "IPAPGothic"},
        {"candidate order wins", {"B", "A"}, {"A", "B"}, "B"},
        {"falls back", {"Missing", "A"}, {"A"}, "A"},
        {"none present", {"Missing"}, {"A"}, ""},
        {"prefix is not a match", {"URW Bookman"}, {"URW Bookman L Extra"}, ""},
    };
    for (const Row& r : rows) EXPECT_EQ(firstPresentFamily(r.candidates, r.families), r.expected) << r.name;
}

TEST(Fonts, DesignFacesReachInstalledFonts) {
    const auto installed = installFontSubstitutions();
    const QStringList families = QFontDatabase::families();
    struct Row {
        const char* face;
        const char* family;
    };
    for (const Row& r : {Row{"ＭＳ Ｐゴシック", "IPAPGothic"}, Row{"ＭＳ ゴシック", "IPAGothic"},
                         Row{"ＭＳ 明朝", "IPAMincho"}, Row{"Bookman Old Style", "URW Bookman"}, Row{"Century", "C059"}}) {
        if (firstPresentFamily({r.family}, families).isEmpty()) continue;  // font not installed here
        EXPECT_EQ(installed.value(r.face), r.family) << r.face;
        const QFontInfo info(qfontFor(FontSpec{r.face, 16, CHARSET_ANSI, false, false}));
        EXPECT_EQ(bareFamily(info.family()), r.family) << r.face;
        EXPECT_EQ(info.pixelSize(), 16);
    }
}

TEST(Fonts, QFontForSpec) {
    const QFont f = qfontFor(FontSpec{"Bookman Old Style", 12, CHARSET_ANSI, true, true});
    EXPECT_EQ(f.pixelSize(), 12);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_FALSE(qfontFor(FontSpec{"ＭＳ Ｐゴシック", 16, CHARSET_SHIFTJIS, false, false}).italic());
}

// ---- the picture box ----

TEST(ImageBox, ImageFollowsTheWidgetSizeAndKeepsItsPicture) {
    ImageBox box;
    box.resize(309, 75);
    EXPECT_EQ(box.image().size(), QSize(309, 75));  // even before the box is shown
    Canvas& c = box;
    EXPECT_EQ(c.width(), 309);
    EXPECT_EQ(c.height(), 75);
    c.line(10, 10, 20, 10, BLACK);
    box.resize(400, 80);
    EXPECT_EQ(box.image().size(), QSize(400, 80));
    EXPECT_TRUE(isDark(box.image(), 15, 10));
    EXPECT_TRUE(isWhite(box.image(), 350, 78));
}

// A page holds many boxes that stay blank: they paint white without an image of their own,
// and the first drawing makes one that keeps what follows.
TEST(ImageBox, BlankBoxPaintsWhiteWithoutAnImage) {
    ImageBox box;
    box.resize(309, 75);
    box.clear();
    EXPECT_FALSE(box.holdsImage());
    const QImage shown = box.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(309, 75));
    EXPECT_TRUE(isWhite(shown, 0, 0));
    EXPECT_TRUE(isWhite(shown, 308, 74));
    box.line(10, 10, 20, 10, BLACK);
    EXPECT_TRUE(box.holdsImage());
    EXPECT_TRUE(isDark(box.grab().toImage(), 15, 10));
}

TEST(ImageBox, LineLeavesOutItsEndPoint) {
    ImageBox box;
    box.resize(100, 60);
    box.line(52, 43, 72, 43, BLACK);
    const QImage& img = box.image();
    EXPECT_TRUE(isWhite(img, 51, 43));
    EXPECT_TRUE(isDark(img, 52, 43));
    EXPECT_TRUE(isDark(img, 71, 43));
    EXPECT_TRUE(isWhite(img, 72, 43));
    EXPECT_TRUE(isWhite(img, 60, 42));
    EXPECT_TRUE(isWhite(img, 60, 44));
}

TEST(ImageBox, FrameRectangleAndErase) {
    ImageBox box;
    box.resize(309, 75);
    Typesetter::drawFrame(box, RED);
    const QRgb red = qRgb(255, 0, 0);
    QImage img = box.image();
    EXPECT_EQ(img.pixel(1, 0), red);
    EXPECT_EQ(img.pixel(307, 0), red);
    EXPECT_EQ(img.pixel(1, 73), red);
    EXPECT_EQ(img.pixel(307, 73), red);
    EXPECT_TRUE(isWhite(img, 0, 0));    // left of the frame
    EXPECT_TRUE(isWhite(img, 308, 0));  // right edge excluded
    EXPECT_TRUE(isWhite(img, 1, 74));   // bottom edge excluded
    EXPECT_TRUE(isWhite(img, 150, 37));  // unfilled
    Typesetter::drawFrame(box, WHITE);
    img = box.image();
    EXPECT_TRUE(isWhite(img, 1, 0));
    EXPECT_TRUE(isWhite(img, 307, 73));
}

TEST(ImageBox, TextOutReturnsThePenAfterTheText) {
    installFontSubstitutions();
    ImageBox box;
    box.resize(309, 75);
    const FontSpec font{"Bookman Old Style", 16, CHARSET_ANSI, false, true};
    box.setFont(font);
    EXPECT_EQ(box.font(), font);
    const QFontMetrics fm(qfontFor(font));
    const int end = box.textOut(10, 35, "2x");
    EXPECT_EQ(end, 10 + fm.horizontalAdvance("2x"));
    EXPECT_GT(end, 10);
    EXPECT_TRUE(anyDark(box.image(), QRect(10, 35, end - 10, fm.height())));
    EXPECT_FALSE(anyDark(box.image(), QRect(0, 0, 309, 30)));
    EXPECT_EQ(box.textOut(40, 0, ""), 40);
}

TEST(ImageBox, TextCellIsOpaque) {
    ImageBox box;
    box.resize(200, 60);
    box.setFont(FontSpec{"ＭＳ Ｐゴシック", 16, CHARSET_SHIFTJIS, false, false});
    box.line(0, 8, 200, 8, BLACK);
    const int end = box.textOut(0, 0, "．");  // a full stop: the cell centre stays blank
    EXPECT_GT(end, 4);
    EXPECT_TRUE(isWhite(box.image(), 2, 8));
    EXPECT_TRUE(isDark(box.image(), end + 5, 8));
}

TEST(ImageBox, ClearPaintsWhite) {
    ImageBox box;
    box.resize(50, 50);
    box.line(0, 0, 50, 0, BLACK);
    box.clear();
    EXPECT_FALSE(anyDark(box.image(), QRect(0, 0, 50, 50)));
}

TEST(ImageBox, VisibilityThroughTheCanvas) {
    QWidget parent;
    auto* box = new ImageBox(&parent);
    box->resize(50, 50);
    parent.show();
    Canvas& c = *box;
    c.setVisible(false);
    EXPECT_FALSE(box->isVisible());
    c.line(0, 0, 50, 0, BLACK);  // drawing into a hidden box keeps the picture
    c.setVisible(true);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(isDark(box->image(), 10, 0));
}

TEST(ImageBox, ClickAndMouseMoveSignals) {
    ImageBox box;
    box.resize(100, 50);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_TRUE(box.hasMouseTracking());
    QSignalSpy clicked(&box, &ImageBox::clicked);
    QSignalSpy moved(&box, &ImageBox::mouseMoved);
    QTest::mouseMove(&box, QPoint(20, 20));
    QTest::mouseMove(&box, QPoint(30, 25));
    EXPECT_GE(moved.count(), 1);
    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(clicked.count(), 1);
    QTest::mouseClick(&box, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(clicked.count(), 1);
}

// ---- typesetting onto real pixels ----

class OneBoxPage : public PageBoxes {
public:
    explicit OneBoxPage(ImageBox& box) : box_(box) {}
    Canvas* lineBox(int n) override { return n == 1 ? &box_ : nullptr; }

private:
    ImageBox& box_;
};

TEST(ImageBox, TypesetFractionBarLandsOnItsPixels) {
    installFontSubstitutions();
    Engine engine;
    ImageBox box;
    box.resize(309, 75);
    OneBoxPage page(box);
    Typesetter ts(engine, page);
    ASSERT_TRUE(readEquation(engine, 1, "1/2x=3"));
    const std::vector<Diagnostic> said = ts.drawLine(1);
    const QImage& img = box.image();
    // Column 1 at 10 pixels a cell: the bar runs from 12 to 31 at rowOffset 19 + 24.
    EXPECT_TRUE(isDark(img, 12, 43));
    EXPECT_TRUE(isDark(img, 31, 43));
    EXPECT_TRUE(anyDark(img, QRect(277, 35, 20, 16)));  // the label ① at width - 32
    EXPECT_TRUE(said.empty());
}

// Run at twice the scale by the ui_tests_hidpi entry (skipped at 1×): the picture holds one
// pixel per device pixel, so equations are as sharp as the menus, while every drawing call
// keeps its logical positions.
TEST(HiDpi, ImageBoxDrawsAtTheDevicePixelRatio) {
    QWidget window;
    auto* box = new ImageBox(&window);
    box->setGeometry(0, 0, 100, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const qreal ratio = box->devicePixelRatioF();
    if (ratio == 1) GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    box->line(10, 20, 60, 20, BLACK);
    const QImage& img = box->image();
    EXPECT_EQ(img.size(), QSize(100, 40) * ratio);
    EXPECT_EQ(img.devicePixelRatio(), ratio);
    // logical (30, 20) lies at device (60, 40); the line is as thin as one logical pixel
    EXPECT_TRUE(anyDark(img, QRect(60, 39, 1, 3)));
    EXPECT_FALSE(anyDark(img, QRect(60, 44, 1, 4)));
    EXPECT_TRUE(isWhite(img, 130, 40));
}

}  // namespace
}  // namespace solvari
