// The question editor on its own: the lines it edits, a set in use and a saved flag.
#include <gtest/gtest.h>

#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "ui/question_editor_window.h"
#include "ui/fonts.h"
#include "engine/engine.h"
#include "flow/question_set.h"
#include "tests/support/fake_prompter.h"
#include "tests/ui/modal.h"

namespace solvari {
namespace {

using testing::answerNextModal;
using testing::FakePrompter;

const std::vector<std::string> kFiveUnits = {
    "<<一", "2x=6",  "x+1=3", ">>",    "<<二", "3x=9", ">>",   "<<三", "x-4=1",
    ">>",   "<<四", "5x=10", "7=x+2", ">>",   "<<五", "x=1",  ">>",
};

QuestionDocument documentOf(const std::vector<std::string>& lines) {
    QuestionDocument d;
    d.lines = lines;
    return d;
}

QStringList rowsOf(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
    return rows;
}

class EditorTest : public ::testing::Test {
protected:
    FakePrompter prompter;
    QuestionDocument document = documentOf(kFiveUnits);
    std::vector<std::string>& lines = document.lines;
    bool& saved = document.saved;
    QuestionSet& inUse = document.set;
    TfrmEditQues ed{document, prompter};

    void SetUp() override {
        std::vector<Diagnostic> said;
        const bool parsed = parseQuestionSet(lines, inUse, said);
        showDiagnostics(said, prompter);
        ASSERT_TRUE(parsed);
        ed.setQuestionPath("/home/sensei/Question.leq");
    }
    // Runs the editor modally; act works on the open window and must close it.
    int run(std::function<void()> act) {
        answerNextModal([this, act](QWidget* w) {
            ASSERT_EQ(w, &ed);
            act();
        });
        return ed.exec();
    }
    // Types one character at the end of the first question ("2x=6").
    void typeChar(const char* key = "1") {
        QTextCursor c = ed.memQues->textCursor();
        c.movePosition(QTextCursor::Start);
        c.movePosition(QTextCursor::NextBlock);
        c.movePosition(QTextCursor::EndOfBlock);
        ed.memQues->setTextCursor(c);
        QTest::keyClicks(ed.memQues, key);
    }
    void setText(const std::vector<std::string>& text) { ed.memQues->setPlainText(TfrmEditQues::linesToText(text)); }
};

TEST_F(EditorTest, LooksAsDesigned) {
    EXPECT_EQ(ed.size(), QSize(680, 480));
    EXPECT_EQ(ed.windowTitle(), "問題の編集：/home/sensei/Question.leq");
    EXPECT_EQ(ed.memQues->font().family(), faceFont("ＭＳ Ｐゴシック").family());
    EXPECT_EQ(ed.memQues->font().pixelSize(), 15);
    struct Row {
        QString name;
        QRect geometry;  // a label gives only its top-left
        QString text;
    };
    const Row rows[] = {
        {"memQues", {288, 24, 337, 401}, ""},
        {"lblTangen", {24, 32, 0, 0}, "単元数"},
        {"edtTangen", {72, 24, 33, 21}, ""},
        {"lblCheck", {24, 72, 0, 0}, "エラーチェックの結果"},
        {"edtResult", {16, 104, 233, 21}, ""},
        {"lblErTangen", {24, 144, 0, 0}, "エラーの単元"},
        {"edtErTangen", {16, 168, 233, 21}, ""},
        {"lblErQues", {24, 200, 0, 0}, "エラーの問題"},
        {"lstErQues", {16, 224, 233, 73}, ""},
        {"btnCompile", {40, 320, 177, 41}, "エラーチェック"},
        {"btnOk", {40, 392, 73, 33}, "OK"},
        {"btnCancel", {144, 392, 73, 33}, "ｷｬﾝｾﾙ"},
    };
    for (const Row& r : rows) {
        QWidget* w = ed.findChild<QWidget*>(r.name);
        ASSERT_NE(w, nullptr) << r.name.toStdString();
        if (auto* l = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(l->pos(), r.geometry.topLeft()) << r.name.toStdString();
            EXPECT_EQ(l->text(), r.text) << r.name.toStdString();
        } else {
            EXPECT_EQ(w->geometry(), r.geometry) << r.name.toStdString();
        }
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(b->text(), r.text) << r.name.toStdString();
        }
    }
}

TEST_F(EditorTest, LinesAndTextConvertBothWays) {
    struct Row {
        const char* name;
        QString text;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"empty", "", {}},
        {"one line", "<<一", {"<<一"}},
        {"two lines", "<<一\n2x=6", {"<<一", "2x=6"}},
        {"a final line break adds no line", "<<一\n2x=6\n", {"<<一", "2x=6"}},
        {"an empty line inside stays", "<<一\n\n>>", {"<<一", "", ">>"}},
        {"two final line breaks leave one empty line", "a\n\n", {"a", ""}},
    };
    for (const Row& r : rows) EXPECT_EQ(TfrmEditQues::textToLines(r.text), r.lines) << r.name;
    EXPECT_EQ(TfrmEditQues::linesToText({"<<一", "2x=6", ">>"}), "<<一\n2x=6\n>>");
    EXPECT_EQ(TfrmEditQues::textToLines(TfrmEditQues::linesToText(kFiveUnits)), kFiveUnits);
}

TEST_F(EditorTest, ShowingFillsTheTextAndClearsTheFields) {
    lines = {"<<新", "x=2", ">>"};
    run([&] {
        EXPECT_EQ(ed.memQues->toPlainText(), "<<新\nx=2\n>>");
        EXPECT_FALSE(ed.textModified);
        EXPECT_TRUE(ed.checkPassed);
        EXPECT_TRUE(ed.edtResult->text().isEmpty());
        EXPECT_EQ(ed.lstErQues->count(), 0);
        EXPECT_EQ(ed.focusWidget(), ed.memQues);
        ed.btnCancel->click();
    });
    // the fill itself is no change
    EXPECT_EQ(lines, (std::vector<std::string>{"<<新", "x=2", ">>"}));
}

TEST_F(EditorTest, TypingWritesTheTextBackIntoTheLines) {
    run([&] {
        ed.btnCompile->click();
        ASSERT_EQ(ed.edtTangen->text(), "5");
        typeChar();
        EXPECT_EQ(lines[1], "2x=61");
        EXPECT_EQ(lines.size(), kFiveUnits.size());
        EXPECT_TRUE(ed.textModified);
        EXPECT_FALSE(ed.checkPassed);
        EXPECT_TRUE(ed.edtTangen->text().isEmpty());
        EXPECT_TRUE(ed.edtResult->text().isEmpty());
        EXPECT_TRUE(ed.edtErTangen->text().isEmpty());
        EXPECT_EQ(ed.lstErQues->count(), 0);
        ed.btnCancel->click();
    });
}

TEST_F(EditorTest, OkWithoutTypingClosesAndKeepsTheSavedFlag) {
    for (bool before : {true, false}) {
        saved = before;
        EXPECT_EQ(run([&] { ed.btnOk->click(); }), 1);
        EXPECT_EQ(saved, before);
        EXPECT_TRUE(prompter.said.empty());
    }
}

TEST_F(EditorTest, ChangedTextNeedsASuccessfulCheckBeforeOk) {
    const int result = run([&] {
        typeChar();
        ed.btnOk->click();
        EXPECT_EQ(prompter.last(), "エラーチェックしてください");
        EXPECT_TRUE(ed.isVisible());
        ed.btnCompile->click();
        EXPECT_EQ(ed.edtResult->text(), "☆☆☆　構文チェック成功　☆☆☆");
        ed.btnOk->click();
    });
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompter.said.size(), 1u);
}

TEST_F(EditorTest, FailedCheckThenOkStillRefuses) {
    const int result = run([&] {
        typeChar("*");
        ed.btnCompile->click();
        EXPECT_EQ(ed.edtResult->text(), "??? 誤りがあります ???");
        EXPECT_EQ(rowsOf(ed.lstErQues), QStringList{"2x=6*"});
        ed.btnOk->click();
        EXPECT_EQ(prompter.last(), "エラーチェックしてください");
        EXPECT_TRUE(ed.isVisible());
        ed.btnCancel->click();
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(saved);
}

TEST_F(EditorTest, OnlyTheFirstFaultyUnitIsReported) {
    const std::vector<std::string> text = {
        "<<一", "2x=6", ">>", "<<二", "x++1=3", "3x=9", "2x+3y=7", ">>", "<<三", "x=1", ">>", "<<四", "x**2=1", ">>",
    };
    run([&] {
        setText(text);
        ed.btnCompile->click();
        ed.btnCancel->click();
    });
    EXPECT_EQ(ed.edtResult->text(), "??? 誤りがあります ???");
    EXPECT_EQ(ed.edtErTangen->text(), "二");
    EXPECT_EQ(rowsOf(ed.lstErQues), (QStringList{"x++1=3", "2x+3y=7"}));
    EXPECT_TRUE(ed.edtTangen->text().isEmpty());
    EXPECT_FALSE(ed.checkPassed);
    // the parser's messages of unit 2 were shown; unit 4 was never looked at for them
    EXPECT_EQ(prompter.said, (std::vector<std::string>{"文字が多すぎます"}));
    // a sound structure replaces the set in use at once
    EXPECT_EQ(inUse.unitCount, 4);
    EXPECT_EQ(inUse.unitTitle[2], "二");
}

TEST_F(EditorTest, SuccessfulCheckOfFiveUnits) {
    inUse = QuestionSet{};
    run([&] {
        ed.btnCompile->click();
        ed.btnCancel->click();
    });
    EXPECT_EQ(ed.edtTangen->text(), "5");
    EXPECT_EQ(ed.edtResult->text(), "☆☆☆　構文チェック成功　☆☆☆");
    EXPECT_EQ(ed.edtErTangen->text(), "なし");
    EXPECT_EQ(rowsOf(ed.lstErQues), QStringList{"なし"});
    EXPECT_TRUE(ed.checkPassed);
    EXPECT_EQ(inUse.unitCount, 5);
}

TEST_F(EditorTest, StructuralFaultKeepsTheSetInUse) {
    struct Row {
        const char* name;
        std::vector<std::string> text;
        std::vector<std::string> said;
    };
    const Row rows[] = {
        {"empty line", {"<<一", "2x=6", "", ">>"}, {}},
        {"unit not closed before the next", {"<<一", "2x=6", "<<二", "x=1", ">>"}, {}},
        {"eight questions", {"<<一", "x=1", "x=2", "x=3", "x=4", "x=5", "x=6", "x=7", "x=8", ">>"}, {"問題は7問以下です"}},
    };
    for (const Row& r : rows) {
        prompter.clear();
        run([&] {
            setText(r.text);
            ed.btnCompile->click();
            ed.btnCancel->click();
        });
        EXPECT_EQ(ed.edtResult->text(), "??? 問題に誤りがあります") << r.name;
        EXPECT_EQ(ed.edtErTangen->text(), "問題に誤りです") << r.name;
        EXPECT_EQ(ed.lstErQues->count(), 0) << r.name;
        EXPECT_EQ(prompter.said, r.said) << r.name;
        EXPECT_EQ(inUse.unitCount, 5) << r.name;
        EXPECT_EQ(inUse.unitTitle[1], "一") << r.name;
        lines = kFiveUnits;
    }
}

TEST_F(EditorTest, TextShiftJisCannotHoldIsAnError) {
    run([&] {
        setText({"<<一", "2x=6", ">>", "<<二", "x=1", "x=\xF0\x9F\x98\x80", ">>"});
        ed.btnCompile->click();
        ed.btnOk->click();
        EXPECT_EQ(prompter.last(), "エラーチェックしてください");
        ed.btnCancel->click();
    });
    EXPECT_EQ(ed.edtResult->text(), "??? 誤りがあります ???");
    EXPECT_EQ(ed.edtErTangen->text(), "二");
    EXPECT_EQ(rowsOf(ed.lstErQues), QStringList{QString::fromUtf8("x=\xF0\x9F\x98\x80")});
    // the refusal names the character and its line
    EXPECT_NE(std::find(prompter.said.begin(), prompter.said.end(), "6行目の「\xF0\x9F\x98\x80」は Shift-JIS で保存できません"),
              prompter.said.end());
    // a title too
    prompter.clear();
    run([&] {
        setText({"<<一\xF0\x9F\x98\x80", "2x=6", ">>"});
        ed.btnCompile->click();
        ed.btnCancel->click();
    });
    EXPECT_EQ(ed.edtResult->text(), "??? 誤りがあります ???");
    EXPECT_EQ(prompter.said, std::vector<std::string>{"1行目の「\xF0\x9F\x98\x80」は Shift-JIS で保存できません"});
    EXPECT_FALSE(ed.checkPassed);
}

TEST_F(EditorTest, CharactersTypedOnLinuxAreTheirCp932Forms) {
    // 〜 ‖ − ¢ £ ¬ as a Linux input method types them: the title passes the check
    run([&] {
        setText({"<<一次〜‖−¢£¬", "2x=6", ">>"});
        ed.btnCompile->click();
        ed.btnCancel->click();
    });
    EXPECT_EQ(ed.edtResult->text(), "☆☆☆　構文チェック成功　☆☆☆");
    EXPECT_EQ(lines[0], "<<一次～∥－￠￡￢");
    EXPECT_EQ(inUse.unitTitle[1], "一次～∥－￠￡￢");
}

TEST_F(EditorTest, EscapeAndTheCloseBoxAskBeforeDroppingEdits) {
    const std::string ask = "確認|編集内容を破棄しますか？";
    struct Row {
        const char* name;
        std::function<void()> close;
    };
    const Row rows[] = {
        {"close box", [&] { ed.close(); }},
        {"Escape", [&] { QTest::keyClick(ed.memQues, Qt::Key_Escape); }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        // unchanged, or changed and changed back: no question
        prompter.clear();
        EXPECT_EQ(run(r.close), 2);
        EXPECT_EQ(run([&] {
                      typeChar();
                      QTest::keyClick(ed.memQues, Qt::Key_Backspace);
                      r.close();
                  }),
                  2);
        EXPECT_TRUE(prompter.said.empty());
        // changed: いいえ goes back to the text, はい discards
        prompter.answers = {Answer::No, Answer::Yes};
        EXPECT_EQ(run([&] {
                      typeChar("9");
                      r.close();
                      EXPECT_TRUE(ed.isVisible());
                      EXPECT_EQ(lines[1], "2x=69");
                      r.close();
                  }),
                  2);
        EXPECT_EQ(prompter.said, (std::vector<std::string>{ask, ask}));
        lines = kFiveUnits;
    }
    // ｷｬﾝｾﾙ keeps its meaning: it closes without asking
    prompter.clear();
    EXPECT_EQ(run([&] {
                  typeChar();
                  ed.btnCancel->click();
              }),
              2);
    EXPECT_TRUE(prompter.said.empty());
    EXPECT_TRUE(saved);
}

TEST_F(EditorTest, TabMovesOnAndTypesNothing) {
    run([&] {
        typeChar("1");
        QTest::keyClick(ed.memQues, Qt::Key_Tab);
        EXPECT_EQ(ed.memQues->toPlainText().indexOf('\t'), -1);
        EXPECT_EQ(lines[1], "2x=61");
        ed.btnCancel->click();
    });
}

TEST_F(EditorTest, CaptionFollowsThePath) {
    ed.setQuestionPath("/tmp/新しい.LEQ");
    EXPECT_EQ(ed.windowTitle(), "問題の編集：/tmp/新しい.LEQ");
    run([&] {
        EXPECT_EQ(ed.windowTitle(), "問題の編集：/tmp/新しい.LEQ");
        ed.btnCancel->click();
    });
}

}  // namespace
}  // namespace solvari
