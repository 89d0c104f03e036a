#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "flow/practice_folder.h"
#include "tests/support/files.h"

namespace solvari {
namespace {

using testing::readAll;
using testing::writeAll;

// Started without a set in the working folder, the drill works in the practice folder and
// seeds it once; a set in the working folder or an edited one in the practice folder wins.
TEST(PracticeFolder, ChoosesTheFolderAndSeedsItOnce) {
    struct Row {
        const char* name;
        bool setInWorking;
        bool setInPractice;
        bool bundled;
        bool practiceBlocked;  // a plain file stands where the folder should be
        const char* expectFolder;  // "work" or "practice"
        const char* expectPracticeSet;
        const char* expectError;
    };
    const Row rows[] = {
        {"working folder holds a set", true, false, true, false, "work", "<missing>", ""},
        {"first start seeds the practice folder", false, false, true, false, "practice", "bundled", ""},
        {"an edited set is never overwritten", false, true, true, false, "practice", "edited", ""},
        {"no bundled set anywhere", false, false, false, false, "work", "<missing>", PRACTICE_NO_BUNDLED_SET},
        {"practice folder cannot be made", false, false, true, true, "work", "<missing>", PRACTICE_CANNOT_SEED},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QTemporaryDir tmp;
        const QString work = tmp.filePath("work"), share = tmp.filePath("share"), practice = tmp.filePath("data/solvari");
        ASSERT_TRUE(QDir().mkpath(work) && QDir().mkpath(share));
        if (r.setInWorking) writeAll(work + "/Question.leq", "teacher");
        if (r.setInPractice) {
            ASSERT_TRUE(QDir().mkpath(practice));
            writeAll(practice + "/Question.leq", "edited");
        }
        if (r.bundled) writeAll(share + "/Question.leq", "bundled");
        if (r.practiceBlocked) writeAll(tmp.filePath("data"), "in the way");

        const PracticeFolderChoice c =
            choosePracticeFolder(work, practice, {tmp.filePath("nowhere/Question.leq"), share + "/Question.leq"});
        EXPECT_EQ(c.folder, QString(r.expectFolder) == "work" ? work : practice);
        EXPECT_EQ(readAll(practice + "/Question.leq"), r.expectPracticeSet);
        EXPECT_EQ(c.error.substr(0, std::string(r.expectError).size()), r.expectError);
        EXPECT_EQ(c.error.empty(), std::string(r.expectError).empty()) << c.error;
        EXPECT_EQ(c.seeded, std::string(r.expectPracticeSet) == "bundled");
        // no temporary file of an atomic write is left behind
        EXPECT_LE(QDir(practice).entryList(QDir::Files).size(), 1);
    }
}

// solvari FILE.leq: a set in a class folder keeps its record there; any other set is practised
// from the practice folder, which needs no bundled set then.
TEST(PracticeFolder, ASetNamedOnTheCommandLineChoosesWhereItsRecordGoes) {
    struct Row {
        const char* name;
        bool classFolder;      // the set's folder holds a Question.leq
        bool bundled;
        bool practiceBlocked;  // a plain file stands where the practice folder should be
        const char* expectFolder;       // "set" or "practice"
        const char* expectPracticeSet;  // what the practice folder's Question.leq holds
        const char* expectError;
    };
    const Row rows[] = {
        {"a set in a class folder", true, true, false, "set", "<missing>", ""},
        {"a set anywhere else", false, true, false, "practice", "bundled", ""},
        {"no bundled set to seed with", false, false, false, "practice", "<missing>", ""},
        {"the practice folder cannot be made", false, true, true, "set", "<missing>", PRACTICE_CANNOT_MAKE},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QTemporaryDir tmp;
        const QString sets = tmp.filePath("sets"), share = tmp.filePath("share"), practice = tmp.filePath("data/solvari");
        ASSERT_TRUE(QDir().mkpath(sets) && QDir().mkpath(share));
        writeAll(sets + "/2学期.LEQ", "term");
        if (r.classFolder) writeAll(sets + "/Question.leq", "teacher");
        if (r.bundled) writeAll(share + "/Question.leq", "bundled");
        if (r.practiceBlocked) writeAll(tmp.filePath("data"), "in the way");

        const PracticeFolderChoice c = chooseFolderForSet(sets + "/2学期.LEQ", practice, {share + "/Question.leq"});
        EXPECT_EQ(c.folder, QString(r.expectFolder) == "set" ? sets : practice);
        EXPECT_EQ(QFileInfo(practice).isDir(), QString(r.expectFolder) == "practice");
        EXPECT_EQ(readAll(practice + "/Question.leq"), r.expectPracticeSet);
        EXPECT_EQ(c.error.substr(0, std::string(r.expectError).size()), r.expectError);
        EXPECT_EQ(c.error.empty(), std::string(r.expectError).empty()) << c.error;
        EXPECT_EQ(readAll(sets + "/2学期.LEQ"), "term");
    }
}

// A class folder on a Windows share often holds the set as QUESTION.LEQ: it is the class's
// set all the same (the exact name wins when both are there).
TEST(PracticeFolder, TheSetsNameIsFoundInAnyLetterCase) {
    QTemporaryDir tmp;
    const QString work = tmp.filePath("work"), practice = tmp.filePath("data/solvari");
    ASSERT_TRUE(QDir().mkpath(work));
    EXPECT_EQ(findQuestionSet(work), QString());
    writeAll(work + "/QUESTION.LEQ", "teacher");
    const PracticeFolderChoice c = choosePracticeFolder(work, practice, {});
    EXPECT_EQ(c.folder, work);
    EXPECT_EQ(c.error, "");
    EXPECT_EQ(findQuestionSet(work), work + "/QUESTION.LEQ");
    writeAll(work + "/Question.leq", "exact");
    EXPECT_EQ(findQuestionSet(work), work + "/Question.leq");
}

TEST(PracticeFolder, TheBundledSetIsLookedForBesideTheExecutableFirst) {
    const QStringList c = bundledSetCandidates("/opt/solvari/bin");
    ASSERT_FALSE(c.isEmpty());
    EXPECT_EQ(c.first(), "/opt/solvari/share/solvari/Question.leq");
}

}  // namespace
}  // namespace solvari
