#pragma once
#include <QString>
#include <QStringList>
#include <string>

#include "flow/record_rules.h"

namespace solvari {

// Where the drill works: the folder that holds its question set "Question.leq" and, beside it,
// the practice record. Started in a folder with a set (a teacher's class folder), it works
// there; started from the desktop menu (usually in the home folder), it works in the user's
// practice folder, which receives the bundled set the first time.
struct PracticeFolderChoice {
    QString folder;        // the folder to work in; the working folder when error is set
    bool seeded = false;   // the bundled set was just put into the practice folder
    std::string error;     // why the practice folder could not be prepared; "" when it could
};

// The question set of folder: folder + "/Question.leq" when that name exists (whatever it is),
// else the first name in the folder that differs from it only in letter case (QUESTION.LEQ,
// as Windows shares often hold it); "" when there is none.
QString findQuestionSet(const QString& folder);

// path when something of that name exists, else the first entry of its folder whose name
// differs from path's only in letter case, else path.
std::string existingPathIgnoringCase(const std::string& path);

// ${XDG_DATA_HOME:-~/.local/share}/solvari
QString practiceFolderPath();

// The places a bundled set may lie, most specific first: beside the executable
// (<prefix>/bin/../share/solvari, which covers a prefix install and the build tree), then the
// XDG data folders (/usr/local/share, /usr/share, …).
QStringList bundledSetCandidates(const QString& executableDir);

// Keeps workingDir when it holds a set. Otherwise the practice folder, created when missing;
// when that has no set yet, the first existing candidate is copied there (atomically; a set
// already there is never overwritten, the teacher may have edited it).
PracticeFolderChoice choosePracticeFolder(const QString& workingDir, const QString& practiceDir,
                                          const QStringList& bundledCandidates);

// The folder a drill started on the set at setPath (`solvari FILE.leq`, a double click in the
// file manager) works in, and so where its record goes: the set's own folder when that is a
// class folder (it holds a Question.leq), else the practice folder, prepared as at a plain start
// but without needing the bundled set.
PracticeFolderChoice chooseFolderForSet(const QString& setPath, const QString& practiceDir,
                                        const QStringList& bundledCandidates);

// Where the record file lives: workingDir when a file can be created there, else a folder of
// its own for that class folder in the user's data folder
// (QStandardPaths::AppDataLocation + "/classes/<name>-<hash of the path>", created when
// missing), which on first use gets a copy of workingDir's record. The folder has no trailing
// separator.
std::string dataDirectory(const std::string& workingDir);
// Why no file can be created in folder ("" when one can).
std::string folderWriteProblem(const std::string& folder);
// What the student is told once when the record of workingDir goes to dataDir instead:
// "<folder> に書き込めません（<reason>）。記録は <dataDir> に書きます。", or "" when it does not.
std::string fallbackNotice(const std::string& workingDir, const std::string& dataDir);

// dataDirectory + "/Miradosh.rec", or + "/<student>.rec" for a student's own record.
std::string recordFilePath(const std::string& directory, const std::string& student = "");

inline constexpr const char* STUDENT_NAME_QUESTION =
    "名前を入力してください。このクラスのフォルダに「名前.rec」として記録します。";
inline constexpr const char* STUDENT_NAME_CAPTION = "練習の記録";
inline constexpr const char* STUDENT_NAME_REFUSED =
    "その名前は記録のファイル名に使えません（/ \\ : * ? \" < > | や . で始まる名前、30文字を超える名前は使えません）。";

inline constexpr const char* PRACTICE_NO_BUNDLED_SET = "同梱の問題集 Question.leq が見つかりません";
inline constexpr const char* PRACTICE_CANNOT_SEED = "練習フォルダに問題集を置けません: ";
inline constexpr const char* PRACTICE_CANNOT_MAKE = "練習フォルダを作れません: ";

}  // namespace solvari
