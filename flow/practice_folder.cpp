#include "flow/practice_folder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cerrno>
#include <cstdlib>
#include <unistd.h>

#include "flow/file_io.h"

namespace solvari {

namespace {
const QString kSetName = QStringLiteral("Question.leq");
}

std::string existingPathIgnoringCase(const std::string& path) {
    const QString p = QString::fromStdString(path);
    const QFileInfo info(p);
    if (info.exists() || info.isSymLink()) return path;
    const QDir dir = info.dir();
    QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0) return dir.filePath(entry).toStdString();
    }
    return path;
}

QString findQuestionSet(const QString& folder) {
    const QString exact = QDir(folder).filePath(kSetName);
    const QString found = QString::fromStdString(existingPathIgnoringCase(exact.toStdString()));
    const QFileInfo info(found);
    return info.exists() || info.isSymLink() ? found : QString();
}

QString practiceFolderPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/solvari");
}

QStringList bundledSetCandidates(const QString& executableDir) {
    QStringList out;
    out << QDir::cleanPath(executableDir + QStringLiteral("/../share/solvari/") + kSetName);
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        out << QDir::cleanPath(dir + QStringLiteral("/solvari/") + kSetName);
    out.removeDuplicates();
    return out;
}

PracticeFolderChoice choosePracticeFolder(const QString& workingDir, const QString& practiceDir,
                                          const QStringList& bundledCandidates) {
    PracticeFolderChoice c;
    c.folder = workingDir;
    // Whatever bears the name here is the set to use; if it is no readable file, the reader says why.
    if (!findQuestionSet(workingDir).isEmpty()) return c;

    const QString target = QDir(practiceDir).filePath(kSetName);
    const QString shownTarget = QDir::toNativeSeparators(target);
    if (QFileInfo(target).isFile()) {
        c.folder = practiceDir;
        return c;
    }
    QString source;
    for (const QString& candidate : bundledCandidates) {
        // the practice folder itself is one of the XDG data folders: it never seeds itself
        if (QFileInfo(candidate).isFile() && QFileInfo(candidate).absoluteFilePath() != QFileInfo(target).absoluteFilePath()) {
            source = candidate;
            break;
        }
    }
    if (source.isEmpty()) {
        c.error = PRACTICE_NO_BUNDLED_SET;
        return c;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        c.error = PRACTICE_NO_BUNDLED_SET;
        return c;
    }
    const QByteArray bytes = in.readAll();
    if (!QDir().mkpath(practiceDir)) {
        c.error = PRACTICE_CANNOT_SEED + shownTarget.toStdString();
        return c;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        c.error = PRACTICE_CANNOT_SEED + shownTarget.toStdString();
        return c;
    }
    c.folder = practiceDir;
    c.seeded = true;
    return c;
}

PracticeFolderChoice chooseFolderForSet(const QString& setPath, const QString& practiceDir,
                                        const QStringList& bundledCandidates) {
    const QString setDir = QFileInfo(setPath).absolutePath();
    if (!findQuestionSet(setDir).isEmpty()) return PracticeFolderChoice{setDir, false, ""};
    PracticeFolderChoice c = choosePracticeFolder(practiceDir, practiceDir, bundledCandidates);
    if (c.error.empty()) return c;
    // The set to practise is given: a practice folder without the bundled set serves as well.
    if (QDir().mkpath(practiceDir)) return PracticeFolderChoice{practiceDir, false, ""};
    // Nowhere better: the record then goes beside the set, or where its write falls back to.
    return PracticeFolderChoice{setDir, false, PRACTICE_CANNOT_MAKE + QDir::toNativeSeparators(practiceDir).toStdString()};
}

std::string folderWriteProblem(const std::string& folder) {
    // Root may write anywhere the permission bits forbid, so the folder's flags prove nothing:
    // only creating a file there does.
    const QString dir = QString::fromStdString(folder);
    if (!QDir(dir).exists()) return "フォルダがありません";
    std::string probe = QDir(dir).filePath(".solvari-probe-XXXXXX").toStdString();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return writeFailureReason(errno);
    ::close(fd);
    ::unlink(probe.c_str());
    return "";
}

std::string fallbackDataDirectory(const std::string& workingDir) {
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (appData.isEmpty()) return "";
    // One folder per class folder: two read-only class folders never share one record. The
    // folder's own name keeps it recognisable; the hash of its whole path keeps it apart.
    const QString absolute = QDir::cleanPath(QDir(QString::fromStdString(workingDir)).absolutePath());
    QString name = QFileInfo(absolute).fileName();
    name.replace(QRegularExpression(QStringLiteral("[^\\w.-]")), QStringLiteral("_"));
    const QByteArray hash = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
    return QDir::cleanPath(appData + "/classes/" + name.left(40) + (name.isEmpty() ? "" : "-") + QString::fromLatin1(hash))
        .toStdString();
}

std::string dataDirectory(const std::string& workingDir) {
    const QString dir = QString::fromStdString(workingDir);
    if (folderWriteProblem(workingDir).empty()) return QDir::cleanPath(QDir(dir).absolutePath()).toStdString();
    const std::string fallback = fallbackDataDirectory(workingDir);
    if (!fallback.empty() && QDir().mkpath(QString::fromStdString(fallback))) {
        // The record goes on from the folder's own history: the first time, the record beside
        // the question set is copied over; after that the copy is the record.
        const std::string moved = recordFilePath(fallback);
        const std::string original = recordFilePath(QDir::cleanPath(QDir(dir).absolutePath()).toStdString());
        std::string bytes;
        if (!QFileInfo::exists(QString::fromStdString(moved)) &&
            readFileBytes(original, MAX_RECORD_FILE_BYTES, bytes) == ReadStatus::Ok)
            writeFileAtomically(moved, bytes);  // a failed copy leaves a fresh record, as before
        return fallback;
    }
    // Nowhere better: the write itself will then report the folder it could not use.
    return QDir::cleanPath(dir).toStdString();
}

std::string fallbackNotice(const std::string& workingDir, const std::string& dataDir) {
    if (workingDir.empty()) return "";
    const std::string folder = QDir::cleanPath(QDir(QString::fromStdString(workingDir)).absolutePath()).toStdString();
    if (folder == dataDir) return "";
    const std::string problem = folderWriteProblem(workingDir);
    if (problem.empty()) return "";
    return folder + " に書き込めません（" + problem + "）。記録は " + dataDir + " に書きます。";
}

std::string recordFilePath(const std::string& directory, const std::string& student) {
    const QString name = student.empty() ? QString::fromUtf8(RECORD_FILE_NAME) : QString::fromStdString(student) + ".rec";
    return QDir(QString::fromStdString(directory)).filePath(name).toStdString();
}


}  // namespace solvari
