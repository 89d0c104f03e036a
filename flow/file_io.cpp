#include "flow/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

namespace solvari {

ReadStatus readFileBytes(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    const QString p = QString::fromStdString(path);
    const QFileInfo info(p);
    if (!info.exists()) return ReadStatus::Missing;
    if (!info.isFile()) return ReadStatus::NotAFile;
    if (static_cast<unsigned long long>(info.size()) > maxBytes) return ReadStatus::TooLarge;
    QFile file(p);
    if (!file.open(QIODevice::ReadOnly)) return ReadStatus::Failed;
    // Read one byte more than allowed, in case the file grew after the size check.
    const QByteArray data = file.read(static_cast<qint64>(maxBytes) + 1);
    if (file.error() != QFileDevice::NoError) return ReadStatus::Failed;
    if (static_cast<std::size_t>(data.size()) > maxBytes) return ReadStatus::TooLarge;
    bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return ReadStatus::Ok;
}

std::string absolutePath(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}

std::string writeFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string failure = absolutePath(path) + " に書き込めません";
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return failure;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting();
        return failure;
    }
    if (!file.commit()) return failure;
    return "";
}

}  // namespace solvari
