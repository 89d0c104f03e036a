#include "flow/practice_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

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

}  // namespace solvari
