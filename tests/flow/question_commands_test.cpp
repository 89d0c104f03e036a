// "開く", "保存" and "編集" as plain logic: a scripted prompter and file chooser, no window.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "flow/question_commands.h"
#include "tests/support/fake_page.h"
#include "tests/support/fake_prompter.h"
#include "tests/support/files.h"

namespace solvari {
namespace {

using testing::FakeBoxes;
using testing::FakePrompter;
using testing::FakeView;

const std::vector<std::string> kStartSet = {"<<一次方程式（１）", "2x=6", "3x=9", ">>", "<<一次方程式（２）", "x+1=4", ">>"};
const std::vector<std::string> kOtherSet = {"<<別の単元", "7x=14", ">>"};

// Answers the dialogs from a script and writes down which ones were asked.
class ScriptedChooser : public FileChooser {
public:
    std::string openAnswer, saveAnswer;
    std::vector<std::string> asked;  // "open:" or "save:" + the preset
    std::string chooseOpenFile(const std::string& preset) override {
        asked.push_back("open:" + preset);
        return openAnswer;
    }
    std::string chooseSaveFile(const std::string& preset) override {
        asked.push_back("save:" + preset);
        return saveAnswer;
    }
};

class QuestionCommandsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakePrompter prompter;
    Session session;
    FakeBoxes boxes;
    Typesetter typesetter{session.engine, boxes};
    FakeView view;
    Practice practice{session.engine, session.document.set, typesetter, boxes, prompter, view, session};
    ScriptedChooser chooser;
    QuestionCommands commands{session.document, practice, prompter, chooser, view};
    std::vector<std::string> savedPaths;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(writeQuestionFile(path("Question.leq"), kStartSet).ok);
        ASSERT_TRUE(writeQuestionFile(path("other.LEQ"), kOtherSet).ok);
        ASSERT_TRUE(commands.useQuestionFile(path("Question.leq"), readQuestionFile(path("Question.leq"))));
        commands.pathSaved = [this](const std::string& p) { savedPaths.push_back(p); };
        // moved on, so that a restore can be told from a restart
        practice.currentUnit = 2;
        practice.currentQuestion[2] = 1;
        practice.currentQuestion[1] = 2;
        prompter.clear();
    }
    std::string path(const char* name) const { return (dir.path() + "/" + name).toStdString(); }
    void expectStartSetKept(const std::string& when) {
        EXPECT_EQ(session.document.lines, kStartSet) << when;
        EXPECT_EQ(practice.questionSet.unitTitle[1], "一次方程式（１）") << when;
        EXPECT_EQ(practice.questionSet.unitCount, 2) << when;
        EXPECT_EQ(practice.currentUnit, 2) << when;
        EXPECT_EQ(practice.currentQuestion[1], 2) << when;
    }
};

TEST_F(QuestionCommandsTest, OpenAsksToSaveUnsavedEditsOnlyAfterTheFileIsChosen) {
    struct Row {
        const char* name;
        Answer answer;
        std::vector<std::string> asked;
        bool writesSaved;
    };
    const Row rows[] = {
        {"Yes saves first", Answer::Yes, {"open:" + path("Question.leq"), "save:" + path("Question.leq")}, true},
        {"No goes straight on", Answer::No, {"open:" + path("Question.leq")}, false},
    };
    for (const Row& r : rows) {
        SetUp();
        chooser.asked.clear();
        chooser.openAnswer = path("other.LEQ");
        chooser.saveAnswer = path(r.writesSaved ? "saved-yes.LEQ" : "saved-no.LEQ");
        session.document.saved = false;
        prompter.answers = {r.answer};
        commands.open();

        EXPECT_EQ(chooser.asked, r.asked) << r.name;
        EXPECT_EQ(prompter.said, std::vector<std::string>{"確認|ファイルを保存しますか"}) << r.name;
        EXPECT_EQ(testing::readAll(QString::fromStdString(chooser.saveAnswer)) != "<missing>", r.writesSaved) << r.name;
        EXPECT_TRUE(session.document.saved) << r.name;
        EXPECT_EQ(session.document.path, path("other.LEQ")) << r.name;
        EXPECT_EQ(session.document.lines, kOtherSet) << r.name;
        EXPECT_EQ(practice.questionSet.unitTitle[1], "別の単元") << r.name;
        EXPECT_EQ(view.unitRuns, 1) << r.name;  // the unit window follows a successful open
        view.unitRuns = 0;
    }
}

TEST_F(QuestionCommandsTest, AnOpenThatFailsChangesNothing) {
    testing::writeAll(QString::fromStdString(path("bad-bytes.LEQ")), "<<a\r\n2x=6\r\n\x82\r\n>>\r\n");
    ASSERT_TRUE(writeQuestionFile(path("no-set.LEQ"), {"2x=", ">>"}).ok);
    struct Row {
        const char* name;
        std::string file;
        std::string said;
    };
    const Row rows[] = {
        {"cancelled", "", ""},
        {"unreadable bytes", path("bad-bytes.LEQ"), path("bad-bytes.LEQ") + ":3行目:"},
        {"no set in it", path("no-set.LEQ"), path("no-set.LEQ") + ":問題が不正です"},
        {"no such file", path("missing.LEQ"), path("missing.LEQ") + ":問題が不正です"},
    };
    for (const Row& r : rows) {
        prompter.clear();
        session.document.saved = false;
        chooser.openAnswer = r.file;
        commands.open();
        if (r.said.empty()) {
            EXPECT_TRUE(prompter.said.empty()) << r.name;
        } else {
            ASSERT_FALSE(prompter.said.empty()) << r.name;
            EXPECT_EQ(prompter.said.back().rfind(r.said, 0), 0u) << r.name << ": " << prompter.said.back();
        }
        expectStartSetKept(r.name);
        EXPECT_EQ(view.unitRuns, 0) << r.name;
        EXPECT_FALSE(session.document.saved) << r.name;  // the unsaved edits are still unsaved
    }
}

TEST_F(QuestionCommandsTest, SaveWritesTheDocumentOrSaysWhyNot) {
    chooser.saveAnswer = path("saved.LEQ");
    session.document.readAsUtf8 = true;
    session.document.saved = false;
    ASSERT_TRUE(commands.save());
    EXPECT_EQ(readQuestionFile(path("saved.LEQ")).lines, kStartSet);
    EXPECT_EQ(session.document.path, path("saved.LEQ"));
    EXPECT_TRUE(session.document.saved);
    EXPECT_FALSE(session.document.readAsUtf8);  // written in Shift-JIS now
    EXPECT_EQ(savedPaths, std::vector<std::string>{path("saved.LEQ")});

    // a text without a question is never written, and no dialog is shown for it
    chooser.asked.clear();
    session.document.lines = {"<<a", ">>"};
    session.document.saved = false;
    EXPECT_FALSE(commands.save());
    EXPECT_EQ(prompter.said, std::vector<std::string>{QuestionCommands::MSG_NOTHING_TO_SAVE});
    EXPECT_TRUE(chooser.asked.empty());
    EXPECT_FALSE(session.document.saved);
}

// A set the teacher made read-only stays as it is, root or not, and the edits stay unsaved.
TEST_F(QuestionCommandsTest, SaveLeavesAWriteProtectedSetAndSaysWhy) {
    const QString target = QString::fromStdString(path("Question.leq"));
    const std::string before = testing::readAll(target);
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    chooser.saveAnswer = path("Question.leq");
    session.document.lines = kOtherSet;
    session.document.saved = false;
    EXPECT_FALSE(commands.save());
    EXPECT_EQ(prompter.said, std::vector<std::string>{path("Question.leq") + " は書き込み禁止になっています。保存できません。"});
    EXPECT_EQ(testing::readAll(target), before);
    EXPECT_FALSE(session.document.saved);
}

// Started in a class folder whose set is named QUESTION.LEQ, the drill loads it and later
// saves under that name.
TEST_F(QuestionCommandsTest, LoadAtStartFindsTheSetInAnyLetterCase) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("class"));
    ASSERT_TRUE(writeQuestionFile(path("class/QUESTION.LEQ"), kOtherSet).ok);
    const FileResult r = commands.load(path("class/Question.leq"));
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(session.document.path, path("class/QUESTION.LEQ"));
    EXPECT_EQ(session.document.lines, kOtherSet);
}

// Two teachers edit the class's set: a save over a file that changed since it was read asks
// first; No keeps the other's file, Yes writes. Saving over one's own save, or under a new
// name, asks nothing.
TEST_F(QuestionCommandsTest, SaveOverASetChangedOnDiskAsksFirst) {
    const QString target = QString::fromStdString(path("Question.leq"));
    const std::string theirs = "<<theirs\r\n5x=5\r\n>>\r\n";
    testing::writeAll(target, theirs);
    chooser.saveAnswer = path("Question.leq");
    session.document.saved = false;
    const std::string asked = std::string("確認|") + QuestionCommands::MSG_CHANGED_ON_DISK;
    EXPECT_FALSE(commands.save());
    EXPECT_EQ(prompter.said, std::vector<std::string>{asked});
    EXPECT_EQ(testing::readAll(target), theirs);
    EXPECT_FALSE(session.document.saved);

    prompter.clear();
    prompter.answers = {Answer::Yes};
    EXPECT_TRUE(commands.save());
    EXPECT_EQ(prompter.said, std::vector<std::string>{asked});
    EXPECT_EQ(readQuestionFile(path("Question.leq")).lines, kStartSet);

    prompter.clear();
    EXPECT_TRUE(commands.save());
    testing::writeAll(target, theirs);
    chooser.saveAnswer = path("other.LEQ");
    EXPECT_TRUE(commands.save());
    EXPECT_EQ(prompter.said, std::vector<std::string>{});
}

TEST_F(QuestionCommandsTest, LoadAtStartTellsAnUnreadableFileFromAMissingOne) {
    testing::writeAll(QString::fromStdString(path("bad-bytes.LEQ")), "<<a\r\n\x82\r\n>>\r\n");
    struct Row {
        const char* name;
        std::string file;
        bool ok;
        std::string error;  // the start-up's fatal box shows it when not empty
    };
    const Row rows[] = {
        {"missing", path("missing.LEQ"), false, ""},
        {"unreadable", path("bad-bytes.LEQ"), false, path("bad-bytes.LEQ") + ":File Can't Load"},
        {"readable", path("other.LEQ"), true, ""},
    };
    for (const Row& r : rows) {
        const FileResult result = commands.load(r.file);
        EXPECT_EQ(result.ok, r.ok) << r.name;
        EXPECT_EQ(result.error, r.error) << r.name;
        EXPECT_EQ(session.document.lines, r.ok ? kOtherSet : kStartSet) << r.name;
    }
}

TEST_F(QuestionCommandsTest, UnsavedEditsAreSavedDroppedOrKeepTheProgramOpen) {
    struct Row {
        const char* name;
        bool saved;
        Answer answer;
        std::string saveTo;  // "" cancels the save dialog
        bool closes;
    };
    const Row rows[] = {
        {"nothing unsaved", true, Answer::Cancel, "", true},
        {"dropped", false, Answer::No, "", true},
        {"saved", false, Answer::Yes, path("closing.LEQ"), true},
        {"save cancelled", false, Answer::Yes, "", false},
        {"cancelled", false, Answer::Cancel, path("never.LEQ"), false},
    };
    for (const Row& r : rows) {
        prompter.clear();
        session.document.saved = r.saved;
        prompter.answers = {r.answer};
        chooser.saveAnswer = r.saveTo;
        EXPECT_EQ(commands.mayClose(), r.closes) << r.name;
        EXPECT_EQ(prompter.said, r.saved ? std::vector<std::string>{} : std::vector<std::string>{"確認|ファイルを保存しますか？"})
            << r.name;
    }
    EXPECT_EQ(testing::readAll(QString::fromStdString(path("never.LEQ"))), "<missing>");
    EXPECT_EQ(readQuestionFile(path("closing.LEQ")).lines, kStartSet);
}

TEST_F(QuestionCommandsTest, EditRestoresTheSetWhenCancelledOrUnusable) {
    struct Row {
        const char* name;
        int result;
        std::string said;
    };
    const Row rows[] = {
        {"cancelled", 2, ""},
        {"accepted but its first question does not parse", 1, "RefreshSystem:エラー"},
    };
    for (const Row& r : rows) {
        prompter.clear();
        commands.edit([&] {
            session.document.lines = {"<<x", "2x==", ">>"};
            practice.questionSet.unitTitle[1] = "x";
            practice.questionSet.questionText[1][1] = "2x==";
            return r.result;
        });
        EXPECT_EQ(prompter.last(), r.said) << r.name;
        expectStartSetKept(r.name);
    }
    // accepted and sound: the set starts over from its first unit
    commands.edit([&] {
        session.document.lines = kOtherSet;
        practice.questionSet.unitTitle[1] = "別の単元";
        practice.questionSet.questionText[1][1] = "7x=14";
        return 1;
    });
    EXPECT_EQ(view.caption, "別の単元");
    EXPECT_EQ(practice.currentUnit, 1);
    EXPECT_EQ(view.unitRuns, 1);
}

}  // namespace
}  // namespace solvari
