#pragma once
#include <QString>
#include <QStringList>
#include <string>

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

inline constexpr const char* PRACTICE_NO_BUNDLED_SET = "同梱の問題集 Question.leq が見つかりません";
inline constexpr const char* PRACTICE_CANNOT_SEED = "練習フォルダに問題集を置けません: ";

}  // namespace solvari
