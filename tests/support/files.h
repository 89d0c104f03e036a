#pragma once
// Whole-file helpers for tests that compare written bytes with known bytes.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

#include <gtest/gtest.h>

namespace solvari::testing {

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

inline void writeAll(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

}  // namespace solvari::testing
