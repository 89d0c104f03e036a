// The unit selection window on a practice screen whose other windows are faked.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "engine/format.h"
#include "flow/practice.h"
#include "ui/image_box.h"
#include "ui/unit_selection_window.h"
#include "ui/page_window.h"
#include <QScrollArea>
#include "ui/fonts.h"
#include "tests/support/fake_page.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/practice_rig.h"
#include "tests/support/ink.h"
#include "tests/ui/modal.h"

namespace solvari {
namespace {

using testing::answerNextModal;
using testing::FakeBoxes;
using testing::FakePrompter;
using testing::FakeView;

const QColor kGreen(0, 128, 0);

// One unit of a question set: header, questions, end.
std::vector<std::string> unit(const std::string& title, const std::vector<std::string>& questions) {
    std::vector<std::string> lines{"<<" + title};
    lines.insert(lines.end(), questions.begin(), questions.end());
    lines.push_back(">>");
    return lines;
}

std::vector<std::string> join(std::initializer_list<std::vector<std::string>> units) {
    std::vector<std::string> lines;
    for (const auto& u : units) lines.insert(lines.end(), u.begin(), u.end());
    return lines;
}

// n units titled 単元1.., each with `questions` questions.
std::vector<std::string> unitsOf(int n, int questions = 2) {
    std::vector<std::string> lines;
    for (int u = 1; u <= n; ++u) {
        std::vector<std::string> qs;
        for (int q = 1; q <= questions; ++q) qs.push_back(std::to_string(q) + "x=" + std::to_string(u));
        auto one = unit("単元" + std::to_string(u), qs);
        lines.insert(lines.end(), one.begin(), one.end());
    }
    return lines;
}

bool inked(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != Qt::white) return true;
    return false;
}

QStringList rowsOf(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
    return rows;
}

// The windows the unit window may open: the record viewer runs what the test gives it.
class RecordViewerStandIn : public OtherWindows {
public:
    std::function<void()> record = [] {};
    std::optional<UnitChoice> runUnitWindow() override { return std::nullopt; }
    int runEditorWindow() override { return 2; }
    void showRecordWindow() override { record(); }
    void showPrintWindow() override {}
    void showStackWindow() override {}
    void showVersionWindow() override {}
    void showHelpContents() override {}
    void showHelpPoint() override {}
};

class MondaiTest : public ::testing::Test, protected testing::PracticeRig<> {
protected:
    RecordViewerStandIn windows;
    TfrmMondai dlg{practice, windows};

    void load(const std::vector<std::string>& lines) {
        std::vector<Diagnostic> said;
        const bool parsed = parseQuestionSet(lines, practice.questionSet, said);
        showDiagnostics(said, prompter);
        ASSERT_TRUE(parsed);
        practice.currentUnit = 1;
        practice.currentQuestion.fill(1);
    }
    // Shows the window without a modal loop, as exec() would show it.
    void showWindow() {
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }
    void clickRow(int row) {
        QListWidgetItem* item = dlg.lstTangen->item(row);
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(dlg.lstTangen->viewport(), Qt::LeftButton, {}, dlg.lstTangen->visualItemRect(item).center());
    }
    bool marked(int n) { return dlg.markBox(n)->picture().pixelColor(10, 30) == kGreen; }
    int greenCount() {
        int count = 0;
        for (int n = 1; n <= 7; ++n) count += marked(n) ? 1 : 0;
        return count;
    }
    void TearDown() override { dlg.hide(); }
};

TEST_F(MondaiTest, LooksAsDesigned) {
    EXPECT_EQ(dlg.windowTitle(), "frmMondai");
    EXPECT_EQ(dlg.size(), QSize(758, 480));
    EXPECT_EQ(dlg.font().family(), faceFont("ＭＳ Ｐゴシック").family());
    EXPECT_EQ(dlg.font().pixelSize(), 12);
    struct Row {
        QString name;
        QRect geometry;
        QString text;  // caption of a button or label; empty for pictures
    };
    const Row rows[] = {
        {"lblMidashi", {24, 2, 321, 25}, ""},
        {"Image1", {48, 32, 297, 75}, ""},    {"Image2", {48, 112, 297, 75}, ""},  {"Image3", {48, 192, 297, 75}, ""},
        {"Image4", {48, 272, 297, 75}, ""},   {"Image5", {48, 352, 297, 75}, ""},  {"Image6", {423, 8, 297, 75}, ""},
        {"Image7", {423, 96, 297, 75}, ""},   {"imgKakko1", {24, 32, 25, 75}, ""}, {"imgKakko2", {24, 112, 25, 75}, ""},
        {"imgKakko3", {24, 192, 25, 75}, ""}, {"imgKakko4", {24, 272, 25, 75}, ""}, {"imgKakko5", {24, 352, 25, 75}, ""},
        {"imgKakko6", {400, 8, 25, 75}, ""},  {"imgKakko7", {400, 96, 25, 75}, ""},
        {"btnShiki1", {344, 56, 25, 25}, "①"}, {"btnShiki2", {344, 136, 25, 25}, "②"},
        {"btnShiki3", {344, 216, 25, 25}, "③"}, {"btnShiki4", {344, 296, 25, 25}, "④"},
        {"btnShiki5", {344, 376, 25, 25}, "⑤"}, {"btnShiki6", {719, 40, 25, 25}, "⑥"},
        {"btnShiki7", {719, 120, 25, 25}, "⑦"},
        {"lblGuide", {367, 184, 321, 25}, "単元を選んでください"},
        {"lstTangen", {367, 224, 321, 169}, ""},
        {"btnOK", {400, 392, 81, 33}, "Ｏ　Ｋ"},
        {"btnCancel", {512, 392, 81, 33}, "キャンセル"},
        {"btnShowRecord", {599, 392, 89, 33}, "練習の記録"},
    };
    for (const Row& r : rows) {
        QWidget* w = dlg.findChild<QWidget*>(r.name);
        ASSERT_NE(w, nullptr) << r.name.toStdString();
        EXPECT_EQ(w->geometry(), r.geometry) << r.name.toStdString();
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(b->text(), r.text) << r.name.toStdString();
        }
        if (auto* l = qobject_cast<QLabel*>(w); l && !r.text.isEmpty()) {
            EXPECT_EQ(l->text(), r.text) << r.name.toStdString();
        }
    }
    EXPECT_EQ(dlg.lstTangen->font().pixelSize(), 16);
    EXPECT_EQ(dlg.lblMidashi->font().pixelSize(), 16);
    EXPECT_EQ(dlg.lstTangen->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(dlg.imgKakkoB.pixelColor(0, 0), kGreen);
    EXPECT_EQ(dlg.imgKakkoB.size(), QSize(25, 76));
    EXPECT_EQ(dlg.imgKakkoW.pixelColor(0, 0), QColor(Qt::white));
    // a number without a control yields nothing
    EXPECT_EQ(dlg.questionBox(8), nullptr);
    EXPECT_EQ(dlg.markBox(0), nullptr);
    EXPECT_EQ(dlg.questionButton(8), nullptr);
}

TEST_F(MondaiTest, ListHoldsTheUnitsOfTheSetInUse) {
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        int rows;
    };
    const Row rows[] = {
        {"five units", unitsOf(5), 5},
        {"three units after five", unitsOf(3), 3},
        {"twenty units", unitsOf(20, 1), 20},
        {"an empty title ends the list", join({unit("一", {"x=1"}), unit("", {"x=2"}), unit("三", {"x=3"})}), 1},
    };
    for (const Row& r : rows) {
        load(r.lines);
        showWindow();
        EXPECT_EQ(dlg.lstTangen->count(), r.rows) << r.name;
        EXPECT_EQ(dlg.lstTangen->currentRow(), 0) << r.name;
        dlg.hide();
    }
    load(unitsOf(3));
    showWindow();
    EXPECT_EQ(rowsOf(dlg.lstTangen), (QStringList{"単元1", "単元2", "単元3"}));
}

TEST_F(MondaiTest, ShowingStartsFromTheMainWindowsChoice) {
    load(unitsOf(4, 5));
    practice.currentUnit = 3;
    practice.currentQuestion[3] = 4;
    showWindow();
    EXPECT_EQ(dlg.shownUnit, 3);
    EXPECT_EQ(dlg.markedQuestion, 4);
    EXPECT_EQ(dlg.lblMidashi->text(), "単元3");
    EXPECT_EQ(dlg.lstTangen->currentRow(), 2);
    EXPECT_TRUE(dlg.lstTangen->item(2)->isSelected());
    EXPECT_TRUE(marked(4));
    EXPECT_EQ(greenCount(), 1);
    // the mark is copied at (1, 1): the box's top row and left column stay white
    EXPECT_EQ(dlg.markBox(4)->picture().pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(dlg.markBox(4)->picture().pixelColor(1, 1), kGreen);
    EXPECT_EQ(dlg.focusWidget(), dlg.lstTangen);
}

TEST_F(MondaiTest, SwitchingUnitsRedrawsAndDisablesButtons) {
    load(join({unit("五問", {"x=1", "2x=4", "3x=9", "x+1=5", "x-1=4"}), unit("二問", {"5x=10", "x+2=3"})}));
    showWindow();
    auto drawn = [&](int n) { return inked(dlg.questionBox(n)->image()); };
    auto enabled = [&](int n) { return dlg.questionButton(n)->isEnabled(); };
    for (int n = 1; n <= 5; ++n) {
        EXPECT_TRUE(drawn(n)) << n;
        EXPECT_TRUE(enabled(n)) << n;
    }
    for (int n = 6; n <= 7; ++n) {
        EXPECT_FALSE(drawn(n)) << n;
        EXPECT_FALSE(enabled(n)) << n;
    }
    EXPECT_EQ(dlg.drawnCount, 5);

    clickRow(1);
    EXPECT_EQ(dlg.shownUnit, 2);
    EXPECT_EQ(dlg.lblMidashi->text(), "二問");
    for (int n = 1; n <= 2; ++n) {
        EXPECT_TRUE(drawn(n)) << n;
        EXPECT_TRUE(enabled(n)) << n;
    }
    for (int n = 3; n <= 5; ++n) {
        EXPECT_FALSE(drawn(n)) << n;
        EXPECT_FALSE(enabled(n)) << n;
    }
    EXPECT_EQ(dlg.drawnCount, 2);

    clickRow(0);
    EXPECT_EQ(dlg.shownUnit, 1);
    for (int n = 1; n <= 5; ++n) {
        EXPECT_TRUE(drawn(n)) << n;
        EXPECT_TRUE(enabled(n)) << n;
    }
}

TEST_F(MondaiTest, ArrowKeysChangeTheUnitToo) {
    load(join({unit("一", {"x=1", "x=2", "x=3"}), unit("二", {"x=4"})}));
    showWindow();
    QTest::keyClick(dlg.lstTangen, Qt::Key_Down);
    EXPECT_EQ(dlg.shownUnit, 2);
    EXPECT_FALSE(dlg.questionButton(2)->isEnabled());
}

TEST_F(MondaiTest, ClicksBeyondTheQuestionCountAreIgnored) {
    load(unit("三問", {"x=1", "x=2", "x=3"}));
    showWindow();
    ASSERT_TRUE(marked(1));
    QTest::mouseClick(dlg.questionBox(4), Qt::LeftButton);
    QTest::mouseClick(dlg.markBox(4), Qt::LeftButton);
    dlg.markQuestion(7);
    dlg.markQuestion(8);
    EXPECT_EQ(dlg.markedQuestion, 1);
    EXPECT_TRUE(marked(1));
    EXPECT_EQ(greenCount(), 1);
    EXPECT_FALSE(dlg.questionButton(4)->isEnabled());
}

TEST_F(MondaiTest, PictureButtonAndMarkBoxOfAQuestionMarkIt) {
    load(unit("七問", {"x=1", "x=2", "x=3", "x=4", "x=5", "x=6", "x=7"}));
    showWindow();
    struct Row {
        const char* name;
        std::function<void()> click;
        int marked;
    };
    const Row rows[] = {
        {"picture 2", [&] { QTest::mouseClick(dlg.questionBox(2), Qt::LeftButton); }, 2},
        {"button 6", [&] { dlg.questionButton(6)->click(); }, 6},
        {"mark box 3", [&] { QTest::mouseClick(dlg.markBox(3), Qt::LeftButton); }, 3},
        {"mark box 7", [&] { QTest::mouseClick(dlg.markBox(7), Qt::LeftButton); }, 7},
        {"picture 5", [&] { QTest::mouseClick(dlg.questionBox(5), Qt::LeftButton); }, 5},
    };
    for (const Row& r : rows) {
        r.click();
        EXPECT_EQ(dlg.markedQuestion, r.marked) << r.name;
        EXPECT_TRUE(marked(r.marked)) << r.name;
        EXPECT_EQ(greenCount(), 1) << r.name;
    }
}

TEST_F(MondaiTest, ClickingARowMarksThatUnitsCurrentQuestion) {
    load(join({unit("一", {"x=1", "x=2", "x=3"}), unit("二", {"x=4", "x=5"})}));
    practice.currentQuestion[1] = 3;
    practice.currentQuestion[2] = 2;
    showWindow();
    ASSERT_TRUE(marked(3));
    dlg.questionButton(1)->click();
    ASSERT_TRUE(marked(1));
    clickRow(0);  // the row already shown
    EXPECT_EQ(dlg.markedQuestion, 3);
    EXPECT_TRUE(marked(3));
    EXPECT_EQ(greenCount(), 1);
    clickRow(1);
    EXPECT_EQ(dlg.markedQuestion, 2);
    EXPECT_TRUE(marked(2));
    EXPECT_EQ(greenCount(), 1);
}

TEST_F(MondaiTest, CancelKeepsTheCurrentQuestion) {
    load(join({unit("一", {"x=1", "x=2", "x=3"}), unit("二", {"x=4", "x=5"})}));
    practice.currentQuestion[1] = 2;
    struct Row {
        const char* name;
        std::function<void()> leave;
    };
    const Row rows[] = {
        {"キャンセル", [&] { dlg.btnCancel->click(); }},
        {"close box", [&] { dlg.close(); }},
        {"Escape", [&] { QTest::keyClick(&dlg, Qt::Key_Escape); }},
    };
    for (const Row& r : rows) {
        answerNextModal([&](QWidget* w) {
            ASSERT_EQ(w, &dlg);
            EXPECT_TRUE(marked(2)) << r.name;  // the main window's choice, again at every showing
            EXPECT_EQ(greenCount(), 1) << r.name;
            clickRow(1);
            dlg.questionButton(1)->click();
            r.leave();
        });
        EXPECT_FALSE(dlg.run()) << r.name;
        EXPECT_EQ(practice.currentUnit, 1) << r.name;
        EXPECT_EQ(practice.currentQuestion[1], 2) << r.name;
        EXPECT_EQ(practice.currentQuestion[2], 1) << r.name;
    }
}

TEST_F(MondaiTest, OkGivesTheMarkedQuestion) {
    load(join({unit("一", {"x=1", "x=2", "x=3"}), unit("二", {"x=4", "x=5"})}));
    answerNextModal([&](QWidget*) {
        clickRow(1);
        QTest::mouseClick(dlg.questionBox(2), Qt::LeftButton);
        dlg.btnOK->click();
    });
    const std::optional<UnitChoice> chosen = dlg.run();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->unit, 2);
    EXPECT_EQ(chosen->question, 2);
    EXPECT_EQ(practice.currentUnit, 1) << "the drill shows the question, not the window";
    EXPECT_EQ(greenCount(), 0);  // erased for the next showing
}

TEST_F(MondaiTest, ChoosingAUnitStartsTheChosenQuestion) {
    load(join({unit("一", {"0.5x=6"}), unit("二", {"3y=9", "4a=8"})}));
    ASSERT_TRUE(practice.startQuestionSet());
    view.unitSelection = [&] { return dlg.run(); };
    answerNextModal([&](QWidget*) {
        clickRow(1);
        dlg.questionButton(2)->click();
        dlg.btnOK->click();
    });
    practice.chooseUnit();
    EXPECT_EQ(lineToText(engine.line(1), false), "4a=8");
    EXPECT_EQ(view.caption, "二");

    // browsing a decimal unit and cancelling leaves the page's letter and fractions alone
    answerNextModal([&](QWidget*) {
        clickRow(0);
        dlg.btnCancel->click();
    });
    practice.chooseUnit();
    EXPECT_EQ(engine.letter, 'a');
    EXPECT_FALSE(engine.hasDecimal);
    EXPECT_EQ(lineToText(engine.line(1), false), "4a=8");
}

TEST_F(MondaiTest, FaultyQuestionsAreDrawnWithoutAMessage) {
    load(unit("誤り", {"2x=6", "2x+3y=7", "x*2=3"}));
    showWindow();
    EXPECT_TRUE(prompter.said.empty());
    EXPECT_TRUE(inked(dlg.questionBox(1)->image()));
    EXPECT_TRUE(dlg.questionButton(2)->isEnabled());
    EXPECT_TRUE(dlg.questionButton(3)->isEnabled());
    QTest::mouseClick(dlg.questionBox(3), Qt::LeftButton);
    EXPECT_EQ(dlg.markedQuestion, 3);
}

TEST_F(MondaiTest, RecordButtonOpensTheViewerAboveTheWindow) {
    load(unitsOf(2));
    int shown = 0;
    bool openBeneath = false;
    windows.record = [&] {
        ++shown;
        openBeneath = dlg.isVisible();
    };
    answerNextModal([&](QWidget*) {
        dlg.btnShowRecord->click();
        EXPECT_TRUE(dlg.isVisible());
        dlg.btnCancel->click();
    });
    EXPECT_FALSE(dlg.run());
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(openBeneath);
}

TEST_F(MondaiTest, EnterAcceptsAndEscapeCancels) {
    load(join({unit("一", {"x=1", "x=2"})}));
    answerNextModal([&](QWidget*) {
        dlg.questionButton(2)->click();
        QTest::keyClick(dlg.lstTangen, Qt::Key_Return);  // the list has the focus
    });
    const std::optional<UnitChoice> chosen = dlg.run();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->question, 2);
    answerNextModal([&](QWidget*) {
        dlg.questionButton(1)->click();
        QTest::keyClick(dlg.lstTangen, Qt::Key_Escape);
    });
    EXPECT_FALSE(dlg.run());
}

// At 640×480 and at twice the scale on 1280×1024 the window ran off the screen. It fits every
// screen, frame included, and what it holds scrolls into view inside it.
TEST_F(MondaiTest, FitsEveryScreen) {
    load(unitsOf(3, 7));
    const QRect screens[] = {{0, 0, 640, 480}, {0, 0, 640, 512}, {0, 0, 800, 600}, {0, 0, 1024, 768}};
    for (const QRect& screen : screens) {
        const std::string size = std::to_string(screen.width()) + "x" + std::to_string(screen.height());
        setScreenForTesting(screen);
        showWindow();
        EXPECT_TRUE(screen.contains(dlg.frameGeometry())) << size;
        auto* area = dlg.findChild<QScrollArea*>();
        for (QWidget* w : {static_cast<QWidget*>(dlg.btnOK), static_cast<QWidget*>(dlg.questionBox(5)),
                           static_cast<QWidget*>(dlg.questionButton(7))}) {
            if (area) area->ensureWidgetVisible(w, 0, 0);
            EXPECT_TRUE(dlg.rect().contains(QRect(w->mapTo(&dlg, QPoint(0, 0)), w->size()))) << size << " " << w->objectName().toStdString();
        }
        dlg.hide();
    }
    setScreenForTesting(QRect());
    showWindow();
    EXPECT_EQ(dlg.size(), QSize(758, 480));  // a screen with room again: the layout's own size
}

using testing::middleRowHeight;

// Rightmost column with ink in the rows of `area`, or -1.
int rightmostInk(const QImage& img, const QRect& area) {
    for (int x = area.right(); x >= area.left(); --x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (qGray(img.pixel(x, y)) < 160) return x;
    return -1;
}

// Long questions were shrunk to the compact size (glyphs about 6 pixels high) and, from about
// 28 bytes on, still cut at the right edge. Every question up to the 38-byte limit keeps a
// readable size; the part past the box is reached by scrolling the box, and no ink stands
// under the question's numbered button.
TEST_F(MondaiTest, ALongQuestionKeepsItsSizeAndScrollsIntoViewWhole) {
    const std::vector<std::string> questions{
        "4(2x-1)=3(x+2)",
        "-12345/9999x+0.1234=99999(x-1234.5)",
        "-12345/9999x+1234/5678=99999(x-12345)",
        "0.1234x-0.5678=-1234.5(0.25x-1.5)+99",
        "-2(3x-4)+5(6x-7)=-8(9x-10)+11(x-12)",
    };
    load(join({unit("長い", questions)}));
    showWindow();
    for (int n = 1; n <= static_cast<int>(questions.size()); ++n) {
        SCOPED_TRACE(questions[static_cast<size_t>(n - 1)]);
        ImageBox* box = dlg.questionBox(n);
        const QRect view = box->lineViewport();
        // the visible line never reaches under the button beside the box
        const QRect shown(box->mapTo(dlg.questionButton(n)->parentWidget(), view.topLeft()), view.size());
        EXPECT_FALSE(shown.intersects(dlg.questionButton(n)->geometry()));
        box->setScrollOffset(0);
        const QImage start = box->grab().toImage();
        const QRect rows(0, 0, view.width(), view.height() - 6);  // above the scroll bar
        EXPECT_GE(middleRowHeight(start, view.width()), 8) << "glyphs too small to read";  // 12-pixel type of a long line gives 8, compact type 6
        // scrolled to its end, the line's last ink stands inside the box
        box->setScrollOffset(box->scrollRange());
        const QImage end = box->grab().toImage();
        const int last = rightmostInk(end, rows);
        EXPECT_GT(last, view.width() / 2);
        EXPECT_LT(last, view.width() - 1);
        const QImage whole = box->image();
        EXPECT_EQ(rightmostInk(whole, QRect(0, 0, whole.width(), whole.height())) - box->scrollRange(), last);
    }
}

}  // namespace
}  // namespace solvari
