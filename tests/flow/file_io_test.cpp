#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <unistd.h>
#include <vector>
#include <string>

#include "flow/file_io.h"
#include "flow/question_set.h"
#include "flow/record_file.h"

#include "tests/support/files.h"

namespace solvari {
namespace {

using testing::FileSizeLimit;
using testing::readAll;
using testing::writeAll;

const std::string FULL = " に書き込めません\nディスクの空きがありません";

// Every writer of the program, on a disk that fills up part-way through the new file: each must
// report it with the reason, leave the old file byte for byte, and leave no temporary file.
TEST(AtomicWrites, AFullDiskLeavesTheOldFileAndSaysWhy) {
    const std::string oldRecord = "[A]\r\n1=4\r\nDATE=2024\x94N05\x8c\x8e" "03\x93\xfa" "09:05\r\n[B]\r\n2=1\r\n";
    struct Writer {
        const char* name;
        const char* file;
        std::string old;
        std::function<FileResult(const std::string& path)> write;
    };
    const std::string longTitle(200, 'u');
    const Writer writers[] = {
        {"question_set", "Question.leq", "<<a\r\n2x=6\r\n>>\r\n",
         [](const std::string& p) { return writeQuestionFile(p, {"<<一次方程式", "2x=6", "3x=9", "4x=8", ">>"}); }},
        {"record_count_and_date", RECORD_FILE_NAME, oldRecord,
         [&](const std::string& p) {
             RecordFile f(p);
             return FileResult(writeRecord(f, longTitle, 1));
         }},
        {"record_deletion", RECORD_FILE_NAME, oldRecord + "[" + longTitle + "]\r\n1=1\r\n",
         [](const std::string& p) {
             RecordFile f(p);
             return FileResult(f.eraseSection("B"));
         }},
        {"any_bytes", "out.pdf", "%PDF-old", [](const std::string& p) { return writeFileAtomically(p, std::string(4096, 'x')); }},
    };
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(w.file);
        writeAll(path, w.old);
        FileResult r;
        {
            // Smaller than every new file, so write(2) stops part-way, as on a full disk.
            FileSizeLimit limit(12);
            ASSERT_TRUE(limit.ok());
            r = w.write(path.toStdString());
        }
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, path.toStdString() + FULL);
        EXPECT_EQ(readAll(path), w.old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{w.file});
    }
}

TEST(AtomicWrites, ReasonsTheUserReads) {
    struct Row {
        int error;
        const char* reason;
    };
    for (const Row& r : {Row{ENOSPC, "ディスクの空きがありません"}, Row{EDQUOT, "ディスクの空きがありません"},
                         Row{EFBIG, "ディスクの空きがありません"}, Row{EACCES, "書き込みが許可されていません"},
                         Row{EPERM, "書き込みが許可されていません"}, Row{EROFS, "書き込みが許可されていません"},
                         Row{ENOTDIR, "書き込みに失敗しました"}, Row{EIO, "書き込みに失敗しました"}}) {
        EXPECT_EQ(writeFailureReason(r.error), r.reason) << r.error;
    }
}

TEST(AtomicWrites, KeepsTheTargetsPermissionsAndWritesThroughALink) {
    QTemporaryDir dir;
    const QString target = dir.filePath("real.leq");
    writeAll(target, "old");
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(target, dir.filePath("link.leq")));
    ASSERT_TRUE(writeFileAtomically(dir.filePath("link.leq").toStdString(), "new").ok);
    EXPECT_EQ(readAll(target), "new");
    EXPECT_TRUE(QFileInfo(dir.filePath("link.leq")).isSymLink());
    // Owner, group and others; the "User" flags only repeat the owner's for the running user.
    EXPECT_EQ(QFile::permissions(target) & QFileDevice::Permissions(0x7077), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

void ageFile(const QString& path, int seconds) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime));
}

// A write killed before its rename leaves its temporary file; the run's first successful write
// of the same file removes such leftovers once they are a minute old. Files a person put beside
// the record or the set (a teacher's dated or backup copies, however old) are never touched.
TEST(AtomicWrites, RemovesOnlyItsOwnOldLeftovers) {
    QTemporaryDir dir;
    const QString record = dir.filePath(RECORD_FILE_NAME);
    const QString set = dir.filePath("Question.leq");
    const QStringList ours{".solvari-tmp-Miradosh.rec-aB3xYz", ".solvari-tmp-Question.leq-000000"};
    const QStringList teachers{"Miradosh.rec.202411", "Miradosh.rec.backup", "Miradosh.rec.OLD001",
                               "Question.leq.backup", "Question.leq.200901", "Miradosh.rec.aB3xYz"};
    const QStringList kept = teachers + QStringList{".solvari-tmp-Miradosh.rec-Fresh1", ".solvari-tmp-Other.rec-aB3xYz",
                                                    ".solvari-tmp-Miradosh.rec-toolong"};
    for (const QString& name : ours + kept) {
        writeAll(dir.filePath(name), "x");
        if (!name.endsWith("Fresh1")) ageFile(dir.filePath(name), 120);
    }
    writeAll(set, "<<a\r\n2x=6\r\n>>\r\n");
    RecordFile file(record.toStdString());
    ASSERT_TRUE(writeRecord(file, "A", 1).ok);
    ASSERT_TRUE(writeQuestionFile(set.toStdString(), {"<<b", "3x=9", ">>"}).ok);
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QStringList expected = kept + QStringList{RECORD_FILE_NAME, "Question.leq"};
    expected.sort();
    EXPECT_EQ(left.join(' ').toStdString(), expected.join(' ').toStdString());
}

// The replace is the last step: a rename that fails (here onto a folder, which even root cannot
// replace with a file) is a failure, with the folder's path, no temporary file left and the
// folder as it was.
TEST(AtomicWrites, ARefusedRenameIsAFailure) {
    QTemporaryDir dir;
    const QString target = dir.filePath("Question.leq");
    ASSERT_TRUE(QDir().mkdir(target));
    writeAll(target + "/inside", "kept");
    const FileResult r = writeFileAtomically(target.toStdString(), "<<a\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, target.toStdString() + " に書き込めません\n書き込みに失敗しました");
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(readAll(target + "/inside"), "kept");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

// Restores fsync when the test ends, whatever it asserted.
struct SyncHookScope {
    explicit SyncHookScope(SyncHook hook) { setSyncHookForTests(std::move(hook)); }
    ~SyncHookScope() { setSyncHookForTests(nullptr); }
};

// The new bytes reach the disk before they replace the old file: a crash between the two then
// leaves the old file or the whole new one, never a short one. A sync that fails (EIO from a
// failing disk or a lost network share) leaves the old file and says so.
TEST(AtomicWrites, TheNewFileIsSyncedBeforeTheReplaceAndASyncFailureKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString target = dir.filePath(RECORD_FILE_NAME);
    writeAll(target, "old");
    struct Seen {
        std::string temporary, temporaryBytes, targetBytes;
    };
    std::vector<Seen> seen;
    {
        SyncHookScope hook([&](int fd, const std::string& temporary) {
            seen.push_back({temporary, readAll(QString::fromStdString(temporary)), readAll(target)});
            return ::fsync(fd);
        });
        ASSERT_TRUE(writeFileAtomically(target.toStdString(), "new").ok);
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(QFileInfo(QString::fromStdString(seen[0].temporary)).fileName().left(26), ".solvari-tmp-Miradosh.rec-");
    EXPECT_EQ(seen[0].temporaryBytes, "new");
    EXPECT_EQ(seen[0].targetBytes, "old");  // not yet replaced
    EXPECT_EQ(readAll(target), "new");

    FileResult r;
    {
        SyncHookScope hook([](int, const std::string&) {
            errno = EIO;
            return -1;
        });
        r = writeFileAtomically(target.toStdString(), "newer");
    }
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, target.toStdString() + " に書き込めません\n書き込みに失敗しました");
    EXPECT_EQ(readAll(target), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{RECORD_FILE_NAME});
}

}  // namespace
}  // namespace solvari
