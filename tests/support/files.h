#pragma once
// Whole-file helpers for tests that compare written bytes with known bytes.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
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

// A scratch folder with a helper that puts a file of given bytes in it.
class ScratchFolder : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string file(const std::string& name, const std::string& bytes) {
        const QString p = dir.filePath(QString::fromStdString(name));
        writeAll(p, bytes);
        return p.toStdString();
    }
};

}  // namespace solvari::testing

#include <csignal>
#include <sys/resource.h>

namespace solvari::testing {

// While it lives, no file of this process may grow past `bytes`: write(2) then fails part-way
// with EFBIG, as on a full disk, for any user and without a mount. SIGXFSZ is ignored so the
// failure is an error return, not the end of the test program.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool ok_ = false;
};

}  // namespace solvari::testing
