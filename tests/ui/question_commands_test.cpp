// "開く", "保存" and "編集" of the main window, driven through the real program.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "ui/question_editor_window.h"
#include "engine/format.h"
#include "engine/sjis.h"
#include "ui/main_window.h"
#include "flow/question_set.h"
#include "app/program.h"
#include "ui/page_window.h"
#include "ui/unit_selection_window.h"
#include "tests/support/files.h"
#include "tests/ui/modal.h"
#include "tests/ui/program_fixture.h"

namespace solvari {
namespace {

using testing::answerNextModal;

const std::vector<std::string> kStartSet = {
    "<<一次方程式（１）", "2x=6", "3x=9", ">>", "<<一次方程式（２）", "x+1=4", "x-2=3", "5x=10", ">>", "<<一次方程式（３）", "4x=8", ">>",
};

struct BoxSeen {
    std::string title, text;
};

// Answers the next message box with a button and keeps what it showed; then runs `then`
// (to schedule the answer to a box that follows this one).
void answerBox(QMessageBox::StandardButton button, std::vector<BoxSeen>& seen, std::function<void()> then = {}) {
    answerNextModal([button, &seen, then](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr) << "expected a message box, got " << w->windowTitle().toStdString();
        seen.push_back({box->windowTitle().toStdString(), box->text().toStdString()});
        if (then) then();
        ASSERT_NE(box->button(button), nullptr);
        box->button(button)->click();
    });
}

class QuestionCommands : public testing::ProgramInFolder {
protected:
    std::unique_ptr<testing::ScriptedUnitWindow> unitWindow;
    void SetUp() override {
        ProgramInFolder::SetUp();
        writeSet(kStartSet);
        start();
        ASSERT_NE(program->practice, nullptr);
        ASSERT_EQ(program->practice->questionSet.unitCount, 3);
        unitWindow = std::make_unique<testing::ScriptedUnitWindow>(*program);
        m->windows = unitWindow.get();
        // no real file dialog ever opens here
        m->openDialog = [](const std::string&) { return std::string(); };
        m->saveDialog = [](const std::string&) { return std::string(); };
    }
    // Moves practice away from its start so that a restore can be told from a restart.
    void moveOn() {
        program->practice->currentUnit = 2;
        program->practice->currentQuestion[2] = 3;
        program->practice->currentQuestion[3] = 1;
    }
    static void writeBytes(const std::string& p, const std::string& bytes) {
        QFile f(QString::fromStdString(p));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    void expectStartSetInUse(const char* when) {
        const QuestionSet& s = program->practice->questionSet;
        EXPECT_EQ(program->session->document.lines, kStartSet) << when;
        EXPECT_EQ(s.unitCount, 3) << when;
        EXPECT_EQ(s.unitTitle[2], "一次方程式（２）") << when;
        EXPECT_EQ(s.questionCount[2], 3) << when;
        EXPECT_EQ(s.questionText[2][3], "5x=10") << when;
        EXPECT_TRUE(s.unitTitle[4].empty()) << when;
    }
};

TEST_F(QuestionCommands, OpenWithUnsavedEditsAsksAfterTheFileIsChosen) {
    const std::vector<std::string> other = {"<<別の単元", "7x=14", ">>", "<<二つ目", "x=5", ">>"};
    ASSERT_TRUE(writeQuestionFile(path("other.LEQ"), other).ok);
    struct Row {
        const char* name;
        QMessageBox::StandardButton answer;
        std::vector<std::string> order;
    };
    const Row rows[] = {
        {"Yes saves first", QMessageBox::Yes, {"open", "ask", "save", "unit"}},
        {"No goes straight on", QMessageBox::No, {"open", "ask", "unit"}},
    };
    for (const Row& r : rows) {
        const std::string startPath = program->session->document.path;
        const std::string savedPath = path(QString("saved-%1.LEQ").arg(r.answer));
        std::vector<std::string> order;
        std::string openPreset;
        m->openDialog = [&](const std::string& preset) {
            order.push_back("open");
            openPreset = preset;
            return path("other.LEQ");
        };
        m->saveDialog = [&](const std::string&) {
            order.push_back("save");
            return savedPath;
        };
        unitWindow->unit = [&] {
            order.push_back("unit");
            return std::optional<UnitChoice>();
        };
        program->session->document.saved = false;
        std::vector<BoxSeen> seen;
        answerNextModal([&](QWidget* w) {
            order.push_back("ask");
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            seen.push_back({box->windowTitle().toStdString(), box->text().toStdString()});
            box->button(r.answer)->click();
        });
        m->mnuOpen->trigger();

        EXPECT_EQ(order, r.order) << r.name;
        ASSERT_EQ(seen.size(), 1u) << r.name;
        EXPECT_EQ(seen[0].title, "確認") << r.name;
        EXPECT_EQ(seen[0].text, "ファイルを保存しますか") << r.name;
        EXPECT_EQ(openPreset, startPath) << r.name;
        EXPECT_EQ(QFileInfo::exists(QString::fromStdString(savedPath)), r.answer == QMessageBox::Yes) << r.name;
        if (r.answer == QMessageBox::Yes) {
            EXPECT_EQ(fileBytes(savedPath), fileBytes(path("Question.leq"))) << r.name;
        }
        EXPECT_TRUE(program->session->document.saved) << r.name;
        EXPECT_EQ(program->session->document.path, path("other.LEQ")) << r.name;
        EXPECT_EQ(program->session->document.lines, other) << r.name;
        EXPECT_EQ(program->practice->questionSet.unitTitle[1], "別の単元") << r.name;
        EXPECT_EQ(lineToText(program->session->engine.line(1), false), "7x=14") << r.name;

        // back to the start set for the next row
        unitWindow->unit = [] { return std::optional<UnitChoice>(); };
        m->openDialog = [&](const std::string&) { return path("Question.leq"); };
        m->mnuOpen->trigger();
    }
}

TEST_F(QuestionCommands, OpenCancelledInTheDialogChangesNothing) {
    moveOn();
    program->session->document.saved = false;
    int unitRuns = 0;
    unitWindow->unit = [&] {
        ++unitRuns;
        return std::optional<UnitChoice>();
    };
    m->mnuOpen->trigger();  // the dialog answers ""
    EXPECT_EQ(unitRuns, 0);
    EXPECT_FALSE(program->session->document.saved);
    EXPECT_EQ(program->practice->currentUnit, 2);
    expectStartSetInUse("after a cancelled open");
}

TEST_F(QuestionCommands, OpenOfAFileWithTooManyUnitsRestoresEverything) {
    std::vector<std::string> tooMany;
    for (int u = 1; u <= 21; ++u) {
        tooMany.push_back("<<単元" + std::to_string(u));
        tooMany.push_back("x=" + std::to_string(u));
        tooMany.push_back(">>");
    }
    const std::string bad = path("many.LEQ");
    ASSERT_TRUE(writeQuestionFile(bad, tooMany).ok);
    moveOn();
    const std::string pageBefore = lineToText(program->session->engine.line(1), false);
    const std::string captionBefore = m->pageWindow->windowTitle().toStdString();
    int unitRuns = 0;
    unitWindow->unit = [&] {
        ++unitRuns;
        return std::optional<UnitChoice>(UnitChoice{1, 1});
    };
    m->openDialog = [&](const std::string&) { return bad; };
    std::vector<BoxSeen> seen;
    answerBox(QMessageBox::Ok, seen, [&] { answerBox(QMessageBox::Ok, seen); });
    m->mnuOpen->trigger();

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, "項目が多すぎます");
    EXPECT_EQ(seen[1].text, bad + ":問題が不正です");
    EXPECT_EQ(unitRuns, 0);
    expectStartSetInUse("after the failed open");
    EXPECT_EQ(program->practice->currentUnit, 2);
    EXPECT_EQ(program->practice->currentQuestion[2], 3);
    EXPECT_EQ(lineToText(program->session->engine.line(1), false), pageBefore);
    EXPECT_EQ(m->pageWindow->windowTitle().toStdString(), captionBefore);
    EXPECT_TRUE(program->session->document.saved);
    // the file existed: a later save proposes its name
    EXPECT_EQ(program->session->document.path, bad);
}

TEST_F(QuestionCommands, EditAndOkRestartsAtTheFirstQuestionAndOpensTheUnitWindow) {
    m->windows = program.get();  // the real unit window, answered below
    moveOn();
    std::vector<std::string> changed = kStartSet;
    changed[1] = "5x=15";
    TfrmEditQues* ed = program->frmEditQues;
    TfrmMondai* units = program->frmMondai;
    int shownUnit = 0, markedQuestion = 0;
    QString editorTitle;
    answerNextModal([&](QWidget* w) {
        ASSERT_EQ(w, ed);
        editorTitle = ed->windowTitle();
        EXPECT_EQ(ed->memQues->toPlainText(), TfrmEditQues::linesToText(kStartSet));
        ed->memQues->setPlainText(TfrmEditQues::linesToText(changed));
        ed->btnCompile->click();
        EXPECT_EQ(ed->edtTangen->text(), "3");
        answerNextModal([&](QWidget* next) {
            ASSERT_EQ(next, units);
            shownUnit = units->shownUnit;
            markedQuestion = units->markedQuestion;
            units->btnCancel->click();
        });
        ed->btnOk->click();
    });
    m->mnuEditCWare->trigger();

    EXPECT_EQ(editorTitle.toStdString(), "問題の編集：" + program->session->document.path);
    EXPECT_EQ(shownUnit, 1);
    EXPECT_EQ(markedQuestion, 1);
    EXPECT_EQ(program->session->document.lines, changed);
    EXPECT_EQ(program->practice->currentUnit, 1);
    EXPECT_EQ(program->practice->currentQuestion[2], 1);
    EXPECT_EQ(lineToText(program->session->engine.line(1), false), "5x=15");
    EXPECT_EQ(m->pageWindow->windowTitle(), "一次方程式（１）");
    EXPECT_FALSE(program->session->document.saved);

    std::vector<BoxSeen> seen;
    answerBox(QMessageBox::Cancel, seen);
    EXPECT_FALSE(m->close());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "確認");
    EXPECT_EQ(seen[0].text, "ファイルを保存しますか？");
    EXPECT_TRUE(m->isVisible());
}

TEST_F(QuestionCommands, EditCancelledAfterASuccessfulCheckPutsEverythingBack) {
    moveOn();
    TfrmEditQues* ed = program->frmEditQues;
    answerNextModal([&](QWidget* w) {
        ASSERT_EQ(w, ed);
        ed->memQues->setPlainText(TfrmEditQues::linesToText({"<<別", "9x=18", ">>"}));
        ed->btnCompile->click();
        EXPECT_EQ(program->practice->questionSet.unitCount, 1);  // the check replaced the set at once
        ed->btnCancel->click();
    });
    m->mnuEditCWare->trigger();
    expectStartSetInUse("after cancel");
    EXPECT_EQ(program->practice->currentUnit, 2);
    EXPECT_EQ(program->practice->currentQuestion[2], 3);
    EXPECT_TRUE(program->session->document.saved);
}

TEST_F(QuestionCommands, SaveUnderANewNameWritesShiftJisWithCrLf) {
    const std::string target = path("新しい問題.LEQ");
    std::vector<std::string> presets;
    m->saveDialog = [&](const std::string& preset) {
        presets.push_back(preset);
        return target;
    };
    const std::string before = program->session->document.path;
    program->session->document.saved = false;
    m->mnuSave->trigger();

    ASSERT_EQ(presets, std::vector<std::string>{before});
    std::string expected;
    for (const std::string& l : kStartSet) expected += *toSjis(l) + "\r\n";
    EXPECT_EQ(fileBytes(target), expected);
    EXPECT_TRUE(program->session->document.saved);
    EXPECT_EQ(program->session->document.path, target);
    EXPECT_EQ(program->frmEditQues->windowTitle().toStdString(), "問題の編集：" + target);

    // the next open dialog starts at the new name
    std::string openPreset;
    m->openDialog = [&](const std::string& preset) {
        openPreset = preset;
        return std::string();
    };
    m->mnuOpen->trigger();
    EXPECT_EQ(openPreset, target);
}

TEST_F(QuestionCommands, RefusedSavesLeaveFlagPathAndFilesAlone) {
    ASSERT_TRUE(QFile(dir.path() + "/plain").open(QIODevice::WriteOnly));
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        std::string target;
        std::string message;  // exact, or the end of it when it starts with '*'
    };
    std::vector<std::string> emoji = kStartSet;
    emoji[2] = "3x=9\xF0\x9F\x98\x80";
    const Row rows[] = {
        {"a character Shift-JIS cannot hold", emoji, path("emoji.LEQ"), "3行目の「\xF0\x9F\x98\x80」は Shift-JIS で保存できません"},
        // what a failed load might leave behind never empties a file
        {"no lines at all", {}, path("empty.LEQ"), TfrmMain::MSG_NOTHING_TO_SAVE},
        {"titles but no question", {"<<a", ">>"}, path("titles.LEQ"), TfrmMain::MSG_NOTHING_TO_SAVE},
        {"a folder that cannot exist", kStartSet, path("plain/x.LEQ"), "* に書き込めません\n書き込みに失敗しました"},
    };
    for (const Row& r : rows) {
        program->session->document.lines = r.lines;
        program->session->document.saved = false;
        const std::string before = program->session->document.path;
        const QString captionBefore = program->frmEditQues->windowTitle();
        m->saveDialog = [&](const std::string&) { return r.target; };
        std::vector<BoxSeen> seen;
        answerBox(QMessageBox::Ok, seen);
        EXPECT_FALSE(m->saveQuestionSet()) << r.name;
        ASSERT_EQ(seen.size(), 1u) << r.name;
        if (r.message[0] == '*') {
            const std::string tail = r.message.substr(1);
            EXPECT_TRUE(seen[0].text.size() > tail.size() &&
                        seen[0].text.compare(seen[0].text.size() - tail.size(), tail.size(), tail) == 0)
                << r.name << ": " << seen[0].text;
        } else {
            EXPECT_EQ(seen[0].text, r.message) << r.name;
        }
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(r.target))) << r.name;
        EXPECT_FALSE(program->session->document.saved) << r.name;
        EXPECT_EQ(program->session->document.path, before) << r.name;
        EXPECT_EQ(program->frmEditQues->windowTitle(), captionBefore) << r.name;
    }
    // the regular file in the way is untouched
    EXPECT_EQ(QFileInfo(dir.path() + "/plain").size(), 0);
}

TEST_F(QuestionCommands, OpenOfAFileThatCannotBeReadKeepsTheSetThePageAndTheEdits) {
    writeBytes(path("broken.LEQ"), "<<a\r\n\x80\xff\xfe\r\n>>\r\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.LEQ"));
    struct Row {
        std::string chosen, message;
    };
    const Row rows[] = {
        {path("broken.LEQ"), path("broken.LEQ") + ":2行目:Shift-JIS としても UTF-8 としても読めないバイト(0x80)があります"},
        {path("folder.LEQ"), path("folder.LEQ") + ":ファイルではありません（フォルダなど）"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.chosen);
        moveOn();
        program->session->document.saved = false;  // an accepted edit, not yet saved
        const std::string pathBefore = program->session->document.path;
        const std::string pageBefore = lineToText(program->session->engine.line(1), false);
        int saves = 0, unitRuns = 0;
        m->saveDialog = [&](const std::string&) {
            ++saves;
            return path("never.LEQ");
        };
        unitWindow->unit = [&] {
            ++unitRuns;
            return std::optional<UnitChoice>(UnitChoice{1, 1});
        };
        m->openDialog = [&](const std::string&) { return r.chosen; };
        std::vector<BoxSeen> seen;
        answerBox(QMessageBox::Ok, seen);
        m->mnuOpen->trigger();
        QCoreApplication::processEvents();

        ASSERT_EQ(seen.size(), 1u);  // no save question, no fatal box
        EXPECT_EQ(seen[0].text, r.message);
        EXPECT_EQ(saves, 0);
        EXPECT_EQ(unitRuns, 0);
        expectStartSetInUse("after an unreadable file");
        EXPECT_EQ(program->practice->currentUnit, 2);
        EXPECT_EQ(program->practice->currentQuestion[2], 3);
        EXPECT_EQ(lineToText(program->session->engine.line(1), false), pageBefore);
        EXPECT_FALSE(program->session->document.saved);
        EXPECT_EQ(program->session->document.path, pathBefore);
        EXPECT_TRUE(m->isVisible());
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path("never.LEQ"))));
    }
}

TEST_F(QuestionCommands, Utf8SetsAreReadAndSavedInShiftJis) {
    const std::string body = "<<\u4e00\u6b21\u301c\n2x=6\n>>\n";  // 一次〜 as a Linux editor writes it
    const std::string shiftJis = "<<\x88\xea\x8e\x9f\x81\x60\r\n2x=6\r\n>>\r\n";
    struct Row {
        const char* name;
        std::string bytes;
    };
    for (const Row& r : {Row{"without a byte order mark", body}, Row{"with one", "\xef\xbb\xbf" + body}}) {
        SCOPED_TRACE(r.name);
        const std::string file = path("utf8.LEQ");
        writeBytes(file, r.bytes);
        m->openDialog = [&](const std::string&) { return file; };
        unitWindow->unit = [] { return std::optional<UnitChoice>(); };
        m->mnuOpen->trigger();  // no box: the notice goes to the message strip
        EXPECT_EQ(program->session->document.lines, (std::vector<std::string>{"<<一次～", "2x=6", ">>"}));
        EXPECT_EQ(m->page->lblMess->text().toStdString(), TfrmMain::UTF8_NOTICE);

        QString caption;
        answerNextModal([&](QWidget* w) {
            caption = w->windowTitle();
            program->frmEditQues->btnCancel->click();
        });
        m->mnuEditCWare->trigger();
        EXPECT_EQ(caption.toStdString(), "問題の編集：" + file + TfrmMain::UTF8_CAPTION_NOTE);

        const std::string saved = path("saved.LEQ");
        m->saveDialog = [&](const std::string&) { return saved; };
        m->mnuSave->trigger();
        EXPECT_EQ(fileBytes(saved), shiftJis);
        EXPECT_FALSE(program->session->document.readAsUtf8);
        EXPECT_EQ(program->frmEditQues->windowTitle().toStdString(), "問題の編集：" + saved);
    }
}

TEST_F(QuestionCommands, OpenAndSaveKeepTheNecAndIbmCodesOfUntouchedLines) {
    const std::string title = "<<\x87\x9a\xfa\x54\xed\x40\xee\xef";  // CP932 itself would write 81 E6 81 CA FA 5C FA 40
    writeBytes(path("nec.LEQ"), title + "\n2x=6\n>>");
    m->openDialog = [&](const std::string&) { return path("nec.LEQ"); };
    unitWindow->unit = [] { return std::optional<UnitChoice>(); };
    m->mnuOpen->trigger();
    ASSERT_EQ(program->session->document.lines.size(), 3u);
    m->saveDialog = [&](const std::string&) { return path("nec-saved.LEQ"); };
    m->mnuSave->trigger();
    EXPECT_EQ(fileBytes(path("nec-saved.LEQ")), title + "\r\n2x=6\r\n>>\r\n");
}

// 保存 on a disk that fills up: the old file stays whole (it used to become 0 bytes, and the
// next start was fatal), the reason is shown, and the set still counts as unsaved.
TEST_F(QuestionCommands, ASaveOnAFullDiskKeepsTheOldFile) {
    const std::string target = path("Question.leq");
    const std::string before = fileBytes(target);
    ASSERT_FALSE(before.empty());
    program->session->document.saved = false;
    m->saveDialog = [&](const std::string&) { return target; };
    std::vector<BoxSeen> seen;
    answerBox(QMessageBox::Ok, seen);
    {
        testing::FileSizeLimit limit(4);
        ASSERT_TRUE(limit.ok());
        EXPECT_FALSE(m->saveQuestionSet());
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, target + " に書き込めません\nディスクの空きがありません");
    EXPECT_EQ(fileBytes(target), before);
    EXPECT_FALSE(program->session->document.saved);
}

TEST_F(QuestionCommands, SaveCancelledInTheDialogWritesNothing) {
    program->session->document.saved = false;
    EXPECT_FALSE(m->saveQuestionSet());
    EXPECT_FALSE(program->session->document.saved);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Question.leq"});
}

}  // namespace
}  // namespace solvari

namespace solvari {
namespace {

class StartWithUtf8Set : public testing::ProgramInFolder {};

TEST_F(StartWithUtf8Set, ReadsItWithoutABox) {
    QFile f(dir.path() + "/Question.leq");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xef\xbb\xbf<<\xe4\xb8\x80\r\n2x=6\r\n>>\r\n");
    f.close();
    start();  // a box here would block: the notice goes to the message strip
    EXPECT_FALSE(m->fatalAtStart);
    EXPECT_EQ(program->session->document.lines, (std::vector<std::string>{"<<一", "2x=6", ">>"}));
    EXPECT_EQ(m->page->lblMess->text().toStdString(), TfrmMain::UTF8_NOTICE);
    EXPECT_TRUE(program->session->document.saved);
}

}  // namespace
}  // namespace solvari
