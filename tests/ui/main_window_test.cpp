// The drill from start-up to a finished unit, driven through the real windows.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QAccessible>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "engine/format.h"
#include "engine/sjis.h"
#include "ui/main_window.h"
#include "flow/question_set.h"
#include "app/program.h"
#include "ui/image_box.h"
#include "ui/page_window.h"
#include "ui/answer_choice_dialog.h"
#include "ui/greeting_window.h"
#include "tests/support/ink.h"
#include "tests/ui/modal.h"
#include "tests/ui/program_fixture.h"
#include "transform/solver.h"

namespace solvari {
namespace {

using testing::answerNextModal;

// Runs the program in a fresh folder holding the given question set (or none).
class Drill : public testing::ProgramInFolder {
protected:
    void copyBundledSet() {
        ASSERT_TRUE(QFile::copy(QString(SOLVARI_SOURCE_DIR) + "/data/Question.leq", dir.path() + "/Question.leq"));
    }
    // The record as 練習の記録 shows it: once the finishes on their way are written.
    std::string recordBytes() {
        if (m) program->session->settleRecords(std::chrono::seconds(10));
        return fileBytes(path("Miradosh.rec"));
    }
    // Starts the drill on a screen of that size (a 640-pixel screen first says that the page
    // is small, and that notice is answered); the size as text, for traces.
    std::string startOn(const QRect& screen) {
        setScreenForTesting(screen);
        if (screen.width() == 640) {
            answerNextModal([](QWidget* w) {
                if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(QMessageBox::Ok)->click();
            });
        }
        start();
        return std::to_string(screen.width()) + "x" + std::to_string(screen.height());
    }
    QPushButton* keyButton(const std::string& key) {
        if (key == "分の") return m->btnBunsu;
        if (key == ".") return m->btnDecimal;
        if (key == "-") return m->btnMinus;
        if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') return m->btnDigit[static_cast<size_t>(key[0] - '0')];
        return m->btnMoji;
    }
};

// The hidden windows are built after question 1 is painted, or before the first input that comes
// sooner: either way a choice asked by the first step finds its dialog.
TEST_F(Drill, HiddenWindowsFollowTheFirstPaintOrTheFirstInput) {
    copyBundledSet();
    struct Row { const char* name; bool keyFirst; };
    for (const Row row : {Row{"paint", false}, Row{"key before the paint", true}}) {
        SCOPED_TRACE(row.name);
        program = createProgram();
        m = program->frmMain;
        EXPECT_FALSE(program->otherWindowsBuilt());  // the main window alone before it is shown
        m->show();
        if (row.keyFirst) {
            QTest::keyClick(m, Qt::Key_Right);
            EXPECT_TRUE(program->otherWindowsBuilt());
        }
        for (int i = 0; i < 50 && !program->otherWindowsBuilt(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ASSERT_TRUE(program->otherWindowsBuilt());
        EXPECT_EQ(program->session->engine.targetLine, 1);
        ASSERT_NE(program->frmSentaku, nullptr);
        EXPECT_EQ(program->frmSentaku->parentWidget(), m);
        EXPECT_FALSE(program->frmSentaku->isVisible());
        program.reset();
    }
}

// The operand of a scaling step, as the sentence quotes it: ①式の両辺を10倍すると -> "10".
std::string operandOf(const std::string& sentence) {
    const std::string from = "両辺を";
    size_t a = sentence.find(from);
    if (a == std::string::npos) return "";
    a += from.size();
    size_t b = sentence.find("倍すると", a);
    if (b == std::string::npos) b = sentence.find("で割ると", a);
    return sentence.substr(a, b - a);
}

// Splits a keypad text into its keys: "-3分の2" -> "-", "3", "分の", "2".
std::vector<std::string> keysOf(const std::string& text) {
    std::vector<std::string> keys;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, std::string("分の").size(), "分の") == 0) {
            keys.push_back("分の");
            i += std::string("分の").size();
        } else {
            keys.push_back(text.substr(i, 1));
            ++i;
        }
    }
    return keys;
}

TEST_F(Drill, StartShowsQuestionOneOfUnitOne) {
    copyBundledSet();
    start();
    EXPECT_EQ(m->page->lblMess->text(), "式を指定してください");
    EXPECT_EQ(program->session->engine.targetLine, 1);
    EXPECT_EQ(program->session->engine.line(1).text, "（1） 次の方程式を解きなさい");
    EXPECT_EQ(lineToText(program->session->engine.line(1), false), "2x=6");
    EXPECT_EQ(m->btnMoji->text(), "x");
    EXPECT_EQ(m->pageWindow->windowTitle(), "一次方程式（１）基本");
    EXPECT_EQ(m->windowTitle(), "Nelvora １次方程式／Solvari");
    EXPECT_TRUE(m->btnShiki[1]->isEnabled());
    EXPECT_FALSE(m->btnShiki[2]->isEnabled());
    EXPECT_FALSE(m->btnJikkou->isEnabled());
    // the greeting has been released
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<TfrmGreet*>(w) && w->isVisible());
    // the question is drawn into box 1: something other than white stands there
    const QImage& img = m->page->imageBox(1)->image();
    bool inked = false;
    for (int y = 0; y < img.height() && !inked; ++y)
        for (int x = 0; x < img.width() && !inked; ++x) inked = img.pixelColor(x, y) != Qt::white;
    EXPECT_TRUE(inked);
    EXPECT_TRUE(m->close());  // nothing unsaved: no question asked
}

// solvari 2学期.leq (a double click in the file manager) practises that set, and 保存 writes it
// back there; the class folder it lies in keeps the record.
TEST_F(Drill, StartedOnASetFileThatSetIsInUse) {
    copyBundledSet();
    ASSERT_TRUE(writeQuestionFile(path("2学期.leq"), {"<<二学期", "3x=9", ">>"}).ok);
    setFile = path("2学期.leq");
    start();
    EXPECT_EQ(lineToText(program->session->engine.line(1), false), "3x=9");
    EXPECT_EQ(m->pageWindow->windowTitle(), "二学期");
    EXPECT_EQ(program->session->document.path, setFile);
    EXPECT_EQ(program->session->dataDirectory, QDir::cleanPath(dir.path()).toStdString());
    EXPECT_TRUE(m->close());
}

TEST_F(Drill, MissingQuestionSetIsFatal) {
    QString shown;
    answerNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    start();
    QTest::qWait(50);
    EXPECT_EQ(shown, "問題が不正です0:致命的なエラーです");
    EXPECT_TRUE(m->fatalAtStart);
    EXPECT_FALSE(m->isVisible());
}

// A set that cannot be read: the first box says why, the second that the set is bad, and only
// then does the window close (before, the first close fired inside the second box and the
// program stayed without windows).
TEST_F(Drill, AnUnreadableSetShowsBothBoxesThenCloses) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("Question.leq"));
    std::vector<QString> shown;
    answerNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown.push_back(box->text());
        answerNextModal([&](QWidget* second) {
            auto* box2 = qobject_cast<QMessageBox*>(second);
            ASSERT_NE(box2, nullptr);
            shown.push_back(box2->text());
            EXPECT_TRUE(m->isVisible());  // not closed under the second box
            box2->button(QMessageBox::Ok)->click();
        });
        box->button(QMessageBox::Ok)->click();
    });
    start();
    QTest::qWait(100);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].toStdString(), path("Question.leq") + ":File Can't Load0:致命的なエラーです\n"
                                                             "ファイルではありません（フォルダなど）");
    EXPECT_EQ(shown[1], "問題が不正です0:致命的なエラーです");
    EXPECT_TRUE(m->fatalAtStart);
    EXPECT_FALSE(m->isVisible());
}

// The student cannot mend an unreadable record between two questions: the reason is told at
// the first try only, the finishes are kept for a later try, and the record is left as it is.
TEST_F(Drill, ARecordFailureIsToldOnceAndTheFinishesAreKept) {
    writeSet({"<<a", "2x=6", "3x=9", ">>"});
    ASSERT_TRUE(QDir(dir.path()).mkdir("Miradosh.rec"));
    start();
    std::vector<FileResult> told;
    const auto done = [&](const FileResult& r) { told.push_back(r); };
    program->session->recordFinish("a", 1, Finish::Plain, done);
    program->session->recordFinish("a", 2, Finish::Plain, done);
    const std::vector<PendingFinish> left = program->session->settleRecords(std::chrono::milliseconds(700));
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[1].question, 2);
    QCoreApplication::processEvents();
    ASSERT_GE(told.size(), 2u) << "a failed finish is tried again while the drill waits for it";
    EXPECT_FALSE(told[0].ok);
    EXPECT_EQ(told[0].error, QFileInfo(dir.path() + "/Miradosh.rec").absoluteFilePath().toStdString() +
                                 " に書き込めません\nファイルではありません（フォルダなど）");
    EXPECT_FALSE(told[1].ok);
    EXPECT_EQ(told[1].error, "");  // already told
    EXPECT_TRUE(QFileInfo(dir.path() + "/Miradosh.rec").isDir());
    EXPECT_EQ(unrecordedNotice(left), "次の問題はまだ記録できていません。\na　問1（" + formatRecordDate(left[0].when) +
                                          "）\na　問2（" + formatRecordDate(left[1].when) + "）");
}

TEST_F(Drill, SolveTheFirstUnitWithTheButtons) {
    copyBundledSet();
    start();
    Engine scratch;
    const int count = program->practice->questionSet.questionCount[1];
    ASSERT_GE(count, 5);
    for (int q = 1; q <= count; ++q) {
        Solution s = solveQuestion(scratch, program->practice->questionSet.questionText[1][static_cast<size_t>(q)]);
        ASSERT_EQ(s.kind, Outcome::Solved) << q;
        for (size_t k = 1; k < s.lines.size(); ++k) {
            const SolvedLine& step = s.lines[k];
            QTest::mouseClick(m->btnShiki[static_cast<size_t>(step.line - 1)], Qt::LeftButton);
            QPushButton* op = step.operation == Operation::Brackets ? m->btnKakko
                            : step.operation == Operation::Transpose ? m->btnIkou
                            : step.operation == Operation::Collect ? m->btnSeiri
                            : step.operation == Operation::Multiply ? m->btnKake : m->btnWaru;
            QTest::mouseClick(op, Qt::LeftButton);
            for (const std::string& key : keysOf(operandOf(step.sentence))) QTest::mouseClick(keyButton(key), Qt::LeftButton);
            QTest::mouseClick(m->btnJikkou, Qt::LeftButton);
            ASSERT_EQ(program->session->engine.line(step.line).text, step.sentence) << q;
            ASSERT_EQ(lineToText(program->session->engine.line(step.line), program->session->engine.hasDecimal), step.text) << q;
        }
        EXPECT_EQ(m->page->lblMess->text(), "解が出ました");
        EXPECT_TRUE(program->practice->questionFinished);
        EXPECT_TRUE(m->page->grbKai->isVisible());
        EXPECT_TRUE(m->timBlink->isActive());
        if (q == count) {
            answerNextModal([](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(box->text(), "終了しました。単元を変えますか");
                box->button(QMessageBox::No)->click();
            });
        }
        QTest::mouseClick(m->btnNext, Qt::LeftButton);
    }
    std::string expected = "[一次方程式（１）基本]\r\n1=1\r\nDATE=2026年12月07日09:05\r\n";
    for (int q = 2; q <= count; ++q) expected += std::to_string(q) + "=1\r\n";
    auto sjis = toSjis(expected);
    ASSERT_TRUE(sjis.has_value());
    EXPECT_EQ(recordBytes(), *sjis);
}

TEST_F(Drill, SolveWithTheKeyboardAlone) {
    writeSet({"<<かっこと分数", "2(x+3)=10", "1/2x-1=3", "0.5x+1=2", ">>"});
    start();
    for (int q = 1; q <= 3; ++q) {
        Engine scratch;
        Solution s = solveQuestion(scratch, program->practice->questionSet.questionText[1][static_cast<size_t>(q)]);
        ASSERT_EQ(s.kind, Outcome::Solved);
        for (size_t k = 1; k < s.lines.size(); ++k) {
            const SolvedLine& step = s.lines[k];
            QTest::keyClick(m, Qt::Key_Shift, Qt::ShiftModifier);  // picks the newest line
            const char opKey = static_cast<char>(step.operation);
            QTest::keyClick(m, opKey);
            for (const std::string& key : keysOf(operandOf(step.sentence))) QTest::keyClick(m, key == "分の" ? 'b' : key[0]);
            QTest::keyClick(m, Qt::Key_Return);
            ASSERT_EQ(program->session->engine.line(step.line).text, step.sentence) << q << " step " << k;
        }
        EXPECT_TRUE(program->practice->questionFinished) << q;
        EXPECT_EQ(m->page->lblMess->text(), "解が出ました");
        if (q < 3) QTest::keyClick(m->btnNext, Qt::Key_Space);
    }
    EXPECT_NE(recordBytes().find("3=1"), std::string::npos);
}

// '?' is typed with Shift, which alone picks the newest line: the key still gives the hint.
TEST_F(Drill, HintFromTheKeyAndTheButtonIsRecordedWithTheFinish) {
    writeSet({"<<一", "2x=6", ">>"});
    start();
    QTest::keyClick(m, '?', Qt::ShiftModifier);
    EXPECT_EQ(m->page->lblMess->text(), "ヒント：①式の両辺を2で割ってみましょう");
    EXPECT_EQ(program->practice->selectionStage, Stage::Nothing);
    m->page->lblMess->clear();
    QTest::mouseClick(m->btnHint, Qt::LeftButton);
    EXPECT_EQ(m->page->lblMess->text(), "ヒント：①式の両辺を2で割ってみましょう");
    EXPECT_EQ(program->session->engine.targetLine, 1) << "the hint does not do the step";
    QTest::keyClick(m, Qt::Key_Shift, Qt::ShiftModifier);
    for (char key : {'/', '2'}) QTest::keyClick(m, key);
    QTest::keyClick(m, Qt::Key_Return);
    ASSERT_TRUE(program->practice->questionFinished);
    EXPECT_NE(recordBytes().find("1=1\r\nDATE="), std::string::npos);
    EXPECT_NE(recordBytes().find("H1=1\r\n"), std::string::npos);
}

// After 単元変更 and キャンセル the focus sat on 単元変更; the key filter moved it to 次の問題
// between the Space's press and its release, so the first Space did nothing.
TEST_F(Drill, FirstSpaceAfterAPanelButtonMovesOn) {
    writeSet({"<<一", "2x=6", "3x=9", ">>"});
    start();
    m->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m));
    QTest::mouseClick(m->btnShiki[1], Qt::LeftButton);
    QTest::mouseClick(m->btnWaru, Qt::LeftButton);
    QTest::mouseClick(m->btnDigit[2], Qt::LeftButton);
    QTest::mouseClick(m->btnJikkou, Qt::LeftButton);
    ASSERT_TRUE(program->practice->questionFinished);
    answerNextModal([](QWidget* w) { w->close(); });
    m->btnChangeTangen->setFocus();
    QTest::mouseClick(m->btnChangeTangen, Qt::LeftButton);
    // where a click leaves it, once the main window is active again after the unit window
    ASSERT_TRUE(QTest::qWaitFor([&] {
        m->activateWindow();
        m->btnChangeTangen->setFocus();
        return QApplication::focusWidget() == m->btnChangeTangen;
    }, 5000));
    // press and release go to whatever has the focus at their moment, as from a keyboard
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(lineToText(program->session->engine.line(1), false), "3x=9");
    EXPECT_FALSE(m->btnChangeTangen->isDown());
}

// ①－① on 2x=6 reads 0=0; through the real buttons it is refused and nothing is recorded.
TEST_F(Drill, ALineMinusItselfIsRefused) {
    writeSet({"<<一", "2x=6", ">>"});
    start();
    answerNextModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "この計算をすると解が変わってしまいます");
        box->close();
    });
    QTest::mouseClick(m->btnShiki[1], Qt::LeftButton);
    QTest::mouseClick(m->btnHiku, Qt::LeftButton);
    QTest::mouseClick(m->btnShiki[1], Qt::LeftButton);
    QTest::mouseClick(m->btnJikkou, Qt::LeftButton);
    EXPECT_EQ(program->session->engine.targetLine, 1);
    EXPECT_FALSE(program->practice->questionFinished);
    EXPECT_FALSE(QFile::exists(dir.path() + "/Miradosh.rec"));
}

TEST_F(Drill, AltChordsAreLeftToTheMenus) {
    writeSet({"<<キー", "2x=6", ">>"});
    start();
    QTest::keyClick(m, Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(m, '*');
    ASSERT_EQ(program->practice->selectionStage, Stage::OperationChosen);
    QTest::keyClick(m, Qt::Key_5, Qt::AltModifier);
    QTest::keyClick(m, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(m->pnlNumber->text(), "");
    QTest::keyClick(m, '5');
    EXPECT_EQ(m->pnlNumber->text(), "5");
}

TEST_F(Drill, SpecialSolutionsThroughTheDialog) {
    writeSet({"<<特殊な解", "x+1=x+2", "2x+1=2x+1", ">>"});
    start();
    auto run = [&](QPushButton* op) {
        QTest::mouseClick(m->btnShiki[static_cast<size_t>(program->session->engine.targetLine)], Qt::LeftButton);
        QTest::mouseClick(op, Qt::LeftButton);
        QTest::mouseClick(m->btnJikkou, Qt::LeftButton);
    };
    run(m->btnIkou);
    // wrong answer first: the dialog explains and comes back; then the right one
    answerNextModal([](QWidget* w) {
        auto* d = qobject_cast<TfrmSentaku*>(w);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), "特殊な解");
        answerNextModal([](QWidget* box) {
            auto* mb = qobject_cast<QMessageBox*>(box);
            ASSERT_NE(mb, nullptr);
            EXPECT_EQ(mb->text(), "解が無数？？もう一度考えてみましょう");
            testing::answerNextModalOf<TfrmSentaku>([](TfrmSentaku* again) { again->btnKainashi->click(); });
            mb->button(QMessageBox::Ok)->click();
        });
        d->btnMusu->click();
    });
    run(m->btnSeiri);
    EXPECT_EQ(program->practice->questionResult, Outcome::NoSolution);
    EXPECT_TRUE(program->practice->questionFinished);
    QTest::mouseClick(m->btnNext, Qt::LeftButton);

    run(m->btnIkou);
    testing::answerNextModalOf<TfrmSentaku>([](TfrmSentaku* d) { d->btnMusu->click(); });
    run(m->btnSeiri);
    EXPECT_EQ(program->practice->questionResult, Outcome::AllValues);
    const std::string rec = recordBytes();
    EXPECT_NE(rec.find("1=1"), std::string::npos);
    EXPECT_NE(rec.find("2=1"), std::string::npos);
}

TEST_F(Drill, HoverFrameFollowsTheMouseOverLines) {
    writeSet({"<<枠", "2x=6", ">>"});
    start();
    ImageBox* box1 = m->page->imageBox(1);
    ImageBox* box2 = m->page->imageBox(2);
    auto framed = [](ImageBox* b) { return b->image().pixelColor(1, 30) == QColor(255, 0, 0); };
    QTest::mouseMove(box1, QPoint(100, 30));
    EXPECT_TRUE(framed(box1));
    EXPECT_EQ(m->page->hoverLine, 1);
    QTest::mouseMove(box2, QPoint(100, 30));  // line 2 is not on the page yet
    EXPECT_FALSE(framed(box1));
    EXPECT_FALSE(framed(box2));
    EXPECT_EQ(m->page->hoverLine, -1);
    QTest::mouseMove(box1, QPoint(100, 30));
    QTest::mouseClick(m->btnShiki[1], Qt::LeftButton);  // a picked line keeps its frame
    QTest::mouseMove(m->page, QPoint(5, 600));
    EXPECT_TRUE(framed(box1));
    QTest::mouseClick(m->btnTeisei, Qt::LeftButton);  // correcting clears it
    EXPECT_FALSE(framed(box1));
    QTest::mouseClick(m->btnShiki[1], Qt::LeftButton);
    QTest::mouseClick(m->btnWaru, Qt::LeftButton);
    QTest::mouseClick(m->btnDigit[2], Qt::LeftButton);
    QTest::mouseClick(m->btnJikkou, Qt::LeftButton);
    ASSERT_TRUE(m->timBlink->isActive());
    QTest::mouseMove(box1, QPoint(100, 30));  // no frames while the answer blinks
    EXPECT_FALSE(framed(box1));
}

TEST_F(Drill, PageLayoutForScreenWidths) {
    copyBundledSet();
    struct Row { int width, height, capacity, column; };
    const Row rows[] = {{800, 600, 12, 309}, {1024, 768, 14, 421}, {1920, 1080, 12, 869}};
    for (const Row& r : rows) {
        setScreenForTesting(QRect(0, 0, r.width, r.height));
        TfrmPage page;
        page.resize(r.width - 153, r.height - 100);  // the screen less the frame, menu and title
        EXPECT_EQ(page.layoutForScreen(145, [](const std::string&) {}), r.capacity);
        const int half = r.capacity / 2;
        EXPECT_EQ(page.imageBox(1)->geometry(), QRect(8, 30, r.column, 75));
        EXPECT_EQ(page.imageBox(half + 1)->geometry(), QRect(r.column + 10, 30, r.column, 75));
        EXPECT_EQ(page.imageBox(half)->geometry().top(), (half - 1) * 76 + 30);
        if (r.capacity < 14) {
            EXPECT_TRUE(page.imageBox(14)->isHidden());
        }
        // the solution group: below box 4, at box 7 for lines 5 and 6, unmoved from 12 on
        page.placeSolutionBox(4);
        EXPECT_EQ(page.grbKai->pos(), QPoint(8, 3 * 76 + 30 + 75 + 3));
        page.placeSolutionBox(5);
        EXPECT_EQ(page.grbKai->pos(), page.imageBox(7)->pos());
        page.placeSolutionBox(6);
        EXPECT_EQ(page.grbKai->pos(), page.imageBox(7)->pos());
        page.placeSolutionBox(12);
        EXPECT_EQ(page.grbKai->pos(), page.imageBox(7)->pos());
    }
    setScreenForTesting(QRect(0, 0, 640, 600));
    TfrmPage small;
    std::string said;
    EXPECT_EQ(small.layoutForScreen(145, [&](const std::string& t) { said = t; }), 8);
    EXPECT_EQ(said, "できれば８００×６００以上の解像度にしてください");
    setScreenForTesting(QRect());
}

// Each control of the panel can be brought into view inside the usable screen and clicked,
// on small screens and on a 1280×1024 screen at twice the scale (640×512 logical pixels).
// 自分で計算する is kept for the next start; its keys fit the panel, and a line written on the
// keyboard is judged: refused with the mistake named, then taken.
TEST_F(Drill, WritingLinesIsKeptAndALineIsWrittenByKeys) {
    writeSet({"<<一", "2x=6", ">>"});
    start();
    EXPECT_FALSE(m->btnPlus->isVisible());
    m->mnuWriteLines->trigger();
    program.reset();
    start();
    ASSERT_TRUE(program->practice->writesLines);
    EXPECT_TRUE(m->mnuWriteLines->isChecked());
    EXPECT_TRUE(m->btnPlus->isVisible());
    EXPECT_FALSE(m->btnPlus->isEnabled()) << "nothing to write yet";
    EXPECT_GE(m->btnNext->y(), m->btnMiru->y() + m->btnMiru->height());

    QTest::keyClick(m, Qt::Key_Shift, Qt::ShiftModifier);
    for (char key : {'/', '2'}) QTest::keyClick(m, key);
    QTest::keyClick(m, Qt::Key_Return);
    ASSERT_TRUE(program->practice->writing());
    EXPECT_TRUE(m->btnPlus->isEnabled());
    for (char key : {'x', '=', '6'}) QTest::keyClick(m, key);
    EXPECT_EQ(m->pnlNumber->text(), "x=6");
    QTest::keyClick(m, Qt::Key_Return);
    EXPECT_NE(m->page->lblMess->text().indexOf("右辺"), -1) << m->page->lblMess->text().toStdString();
    // on a narrow page the strip still shows the whole message, in a smaller font if it must
    QLabel* strip = m->page->lblMess;
    strip->resize(360, strip->height());
    m->showMessage(strip->text().toStdString());
    EXPECT_LE(QFontMetrics(strip->font()).horizontalAdvance(strip->text()), strip->width());
    QTest::keyClick(m, Qt::Key_Backspace);
    QTest::keyClick(m, '3');
    QTest::keyClick(m, Qt::Key_Return);
    ASSERT_TRUE(program->practice->questionFinished);
    EXPECT_NE(recordBytes().find("M1.one-side=1\r\n"), std::string::npos);
}

TEST_F(Drill, EveryPanelControlIsReachableOnEveryScreen) {
    copyBundledSet();
    const QRect screens[] = {{0, 0, 640, 480}, {0, 0, 800, 600}, {0, 0, 1024, 768}, {0, 0, 640, 512}};
    for (const QRect& screen : screens) {
        const std::string size = std::to_string(screen.width()) + "x" + std::to_string(screen.height());
        setScreenForTesting(screen);
        if (screen.width() == 640) {
            answerNextModal([](QWidget* w) {  // the page's advice for 640-pixel screens
                if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(QMessageBox::Ok)->click();
            });
        }
        start();
        QTest::qWait(20);
        auto text = [](const QRect& r) {
            return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" + std::to_string(r.height());
        };
        EXPECT_TRUE(screen.contains(m->frameGeometry())) << size << " window frame " << text(m->frameGeometry());
        auto* area = m->findChild<QScrollArea*>();
        int checked = 0;
        for (QWidget* c : m->pnlMain->findChildren<QWidget*>()) {
            if ((!qobject_cast<QAbstractButton*>(c) && c != m->pnlNumber) || c->isHidden()) continue;
            if (area) area->ensureWidgetVisible(c, 0, 0);
            // what is left of the control once every parent has clipped it
            QRect seen(c->mapTo(m, QPoint(0, 0)), c->size());
            for (QWidget* parent = c->parentWidget(); parent && parent != m; parent = parent->parentWidget())
                seen &= QRect(parent->mapTo(m, QPoint(0, 0)), parent->size());
            seen &= m->rect();
            EXPECT_EQ(seen.size(), c->size()) << size << " " << c->objectName().toStdString();
            EXPECT_TRUE(screen.contains(seen.translated(m->geometry().topLeft()))) << size << " " << c->objectName().toStdString();
            ++checked;
        }
        EXPECT_EQ(checked, 12 + 7 + 2 + 15 + 1 + 5) << size;  // lines, operations, 実行 訂正, keys, display, commands and ヒント
        // the page stands beside the panel, not under it
        EXPECT_GE(m->pageWindow->mapTo(m, QPoint(0, 0)).x(), m->btnPrint->mapTo(m, QPoint(0, 0)).x() + m->btnPrint->width()) << size;
        program.reset();
    }
    setScreenForTesting(QRect());
}

// Ink rows and columns of a picture: the box around everything darker than mid grey.
QRect inkBounds(const QImage& img) {
    QRect ink;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 160) ink |= QRect(x, y, 1, 1);
    return ink;
}

using testing::middleRowHeight;

// The 検算 line was written over the answer: it hid the numerator of x=1/2 and cut the top of
// 【答】解なし. For every kind of answer and on small, large and doubled screens, the answer's
// ink and the check's rows stand apart, the check shows every row of its text, and the whole
// group stays on the page.
TEST_F(Drill, AnswerAndItsCheckStandApart) {
    writeSet({"<<答え", "2x=1", "13x=43", "-7x=1", "x+1=x+2", "2x+1=2x+1", ">>"});
    const QRect screens[] = {{0, 0, 640, 480}, {0, 0, 1024, 768}, {0, 0, 640, 512}};
    for (const QRect& screen : screens) {
        const std::string size = startOn(screen);
        auto run = [&](QPushButton* op) {
            QTest::mouseClick(m->btnShiki[static_cast<size_t>(program->session->engine.targetLine)], Qt::LeftButton);
            QTest::mouseClick(op, Qt::LeftButton);
            QTest::mouseClick(m->btnJikkou, Qt::LeftButton);
        };
        for (int q = 1; q <= 5; ++q) {
            const std::string question = program->practice->questionSet.questionText[1][static_cast<size_t>(q)];
            SCOPED_TRACE(size + " " + question);
            if (q <= 3) {
                Engine scratch;
                const Solution s = solveQuestion(scratch, question);
                ASSERT_EQ(s.kind, Outcome::Solved);
                for (size_t k = 1; k < s.lines.size(); ++k) {
                    QTest::mouseClick(m->btnShiki[static_cast<size_t>(s.lines[k].line - 1)], Qt::LeftButton);
                    QTest::mouseClick(s.lines[k].operation == Operation::Multiply ? m->btnKake : m->btnWaru, Qt::LeftButton);
                    for (const std::string& key : keysOf(operandOf(s.lines[k].sentence)))
                        QTest::mouseClick(keyButton(key), Qt::LeftButton);
                    QTest::mouseClick(m->btnJikkou, Qt::LeftButton);
                }
            } else {
                run(m->btnIkou);
                answerNextModal([q](QWidget* w) {
                    auto* d = qobject_cast<TfrmSentaku*>(w);
                    (q == 4 ? d->btnKainashi : d->btnMusu)->click();
                });
                run(m->btnSeiri);
            }
            ASSERT_TRUE(program->practice->questionFinished);
            TfrmPage* page = m->page;
            ASSERT_TRUE(page->grbKai->isVisible());
            EXPECT_TRUE(page->rect().contains(page->grbKai->geometry())) << "the group runs off the page";
            ImageBox* answer = page->imageBox(ANSWER_LINE);
            const QRect ink = inkBounds(answer->grab().toImage()).translated(answer->pos());
            ASSERT_FALSE(ink.isEmpty());
            EXPECT_GE(ink.height(), 12) << "the answer is cut";
            EXPECT_GT(ink.top(), page->lblStarX->geometry().bottom());
            QLabel* check = page->lblKensan;
            EXPECT_FALSE(check->text().isEmpty());
            EXPECT_TRUE(check->isVisible());
            EXPECT_GT(check->geometry().top(), ink.bottom()) << "the check covers the answer";
            EXPECT_GE(check->height(), check->heightForWidth(check->width())) << "a row of the check is cut";
            EXPECT_LT(check->geometry().bottom(), page->lblStarY->geometry().top());
            EXPECT_LE(page->lblStarY->geometry().bottom(), page->grbKai->height());
            if (q < 5) QTest::mouseClick(m->btnNext, Qt::LeftButton);
        }
        program.reset();
    }
    setScreenForTesting(QRect());
}

// On a 640-pixel screen 4(2x-1)=3(x+2) was drawn about 7 pixels high, and on 800×600 a long
// question ran under its ① label. On every screen a long question and the longer lines made
// from it keep a readable size; the box scrolls the rest into view, the last ink stands inside
// the box once scrolled, and the label's strip shows nothing of the line at any scroll.
TEST_F(Drill, LongLinesStayReadableBesideTheirLabels) {
    const QRect screens[] = {{0, 0, 640, 480}, {0, 0, 800, 600}, {0, 0, 1024, 768}};
    for (const char* question : {"-12345/9999x+0.1234=99999(x-1234.5)", "4(2x-1)=3(x+2)"}) {
        writeSet({"<<長い", question, ">>"});
        for (const QRect& screen : screens) {
            const std::string size = startOn(screen);
            // the brackets removed: a longer line below the question
            QTest::mouseClick(m->btnShiki[1], Qt::LeftButton);
            QTest::mouseClick(m->btnKakko, Qt::LeftButton);
            QTest::mouseClick(m->btnJikkou, Qt::LeftButton);
            ASSERT_EQ(program->session->engine.targetLine, 2) << size;
            for (int n = 1; n <= 2; ++n) {
                SCOPED_TRACE(size + " " + question + " line " + std::to_string(n));
                ImageBox* box = m->page->imageBox(n);
                const QRect view = box->lineViewport();
                ASSERT_LT(view.width(), box->width());  // a strip is kept for the label
                const QRect strip(view.width(), 19, box->width() - view.width(), box->height() - 19);
                box->setScrollOffset(0);
                const QImage start = box->grab().toImage();
                EXPECT_GE(middleRowHeight(start, view.width()), 8) << "glyphs too small to read";  // 12-pixel type of a long line gives 8, compact type 6
                EXPECT_FALSE(inkBounds(start.copy(strip)).isEmpty()) << "the label is missing";
                box->setScrollOffset(box->scrollRange());
                const QImage end = box->grab().toImage();
                EXPECT_EQ(end.copy(strip), start.copy(strip)) << "the line shows under the label";
                const QRect rows(0, 19, view.width(), box->height() - 19 - 6);  // the equation, above the scroll bar
                const QRect last = inkBounds(end.copy(rows));
                EXPECT_LT(last.right(), view.width() - 1) << "cut at the right";
                if (box->scrollRange() > 0) {
                    EXPECT_GT(last.right(), view.width() / 2) << "scrolled past the end";
                }
            }
            program.reset();
        }
    }
    setScreenForTesting(QRect());
}

// At 640×480 and at twice the scale the panel started scrolled down to 次の問題, hiding ① to ④
// and × ÷. It starts at the top; a control that takes the focus after a key comes into view.
TEST_F(Drill, PanelStartsAtTheTopAndFollowsTheKeyboard) {
    copyBundledSet();
    for (const QRect& screen : {QRect(0, 0, 640, 480), QRect(0, 0, 640, 512)}) {
        const std::string size = std::to_string(screen.width()) + "x" + std::to_string(screen.height());
        setScreenForTesting(screen);
        answerNextModal([](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(QMessageBox::Ok)->click();
        });
        start();
        QTest::qWait(20);
        QScrollBar* bar = m->scrPanel->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 0) << size << ": the panel should scroll on this screen";
        EXPECT_EQ(bar->value(), 0) << size;
        // solved by the keyboard: 次の問題 takes the focus and is scrolled to
        QTest::keyClick(m, Qt::Key_Shift, Qt::ShiftModifier);
        for (char key : {'/', '2'}) QTest::keyClick(m, key);
        QTest::keyClick(m, Qt::Key_Return);
        ASSERT_TRUE(program->practice->questionFinished);
        QWidget* now = QApplication::focusWidget();
        ASSERT_EQ(now, m->btnNext) << size;
        const QRect seen(now->mapTo(m->scrPanel->viewport(), QPoint(0, 0)), now->size());
        EXPECT_TRUE(m->scrPanel->viewport()->rect().contains(seen)) << size << " " << now->objectName().toStdString();
        program.reset();
    }
    setScreenForTesting(QRect());
}

// A screen reader names every control of the panel, the picture buttons and symbols included.
TEST_F(Drill, PanelControlsHaveAccessibleNames) {
    copyBundledSet();
    start();
    auto spoken = [](QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Name) : QString();
    };
    const std::pair<QWidget*, QString> named[] = {
        {m->btnKake, "掛ける"}, {m->btnWaru, "割る"}, {m->btnTasu, "足す"}, {m->btnHiku, "引く"},
        {m->btnShiki[1], "式①"}, {m->btnShiki[12], "式⑫"}, {m->btnMinus, "マイナス"}, {m->btnDecimal, "小数点"},
        {m->btnHint, "ヒント"},
    };
    for (const auto& [w, name] : named) EXPECT_EQ(spoken(w), name) << w->objectName().toStdString();
    QStringList names;
    for (QAbstractButton* b : m->pnlMain->findChildren<QAbstractButton*>()) {
        EXPECT_FALSE(spoken(b).trimmed().isEmpty()) << b->objectName().toStdString();
        EXPECT_FALSE(names.contains(spoken(b))) << b->objectName().toStdString();
        names << spoken(b);
    }
}

// The solution group hides the line boxes beneath it, and its caption stands inside its frame.
TEST_F(Drill, SolutionGroupIsOpaque) {
    setScreenForTesting(QRect(0, 0, 800, 600));
    QWidget frame;
    auto* page = new TfrmPage(&frame);
    page->resize(650, 550);
    page->layoutForScreen(145, [](const std::string&) {});
    QImage teal(page->imageBox(5)->size(), QImage::Format_RGB32);
    teal.fill(QColor(0, 128, 128));
    page->imageBox(5)->setImage(teal);
    page->placeSolutionBox(4);  // 3 pixels below box 4: over box 5
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const QRect group = page->grbKai->geometry();
    ASSERT_TRUE(group.intersects(page->imageBox(5)->geometry()));
    const QImage shot = page->grab().toImage();
    int seeThrough = 0;
    for (int y = group.top(); y <= group.bottom(); ++y)
        for (int x = group.left(); x <= group.right(); ++x)
            if (shot.pixelColor(x, y) == QColor(0, 128, 128)) ++seeThrough;
    EXPECT_EQ(seeThrough, 0);
    setScreenForTesting(QRect());
}

}  // namespace
}  // namespace solvari
