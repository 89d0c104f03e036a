// flow/file_io.h for the WebAssembly build, in standard C++ only (flow/file_io.cpp needs QtCore).
// The page itself reads and writes no files: it opens the bundled set from memory. Only the
// node test programs reach these, on the real file system.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "flow/file_io.h"

namespace solvari {

ReadStatus readFileBytes(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    if (std::fseek(f, 0, SEEK_END) != 0) {
        std::fclose(f);
        return ReadStatus::NotAFile;
    }
    const long size = std::ftell(f);
    if (size < 0) {
        std::fclose(f);
        return ReadStatus::NotAFile;
    }
    if (static_cast<unsigned long>(size) > maxBytes) {
        std::fclose(f);
        return ReadStatus::TooLarge;
    }
    std::rewind(f);
    bytes.resize(static_cast<std::size_t>(size));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    if (got != bytes.size()) {
        bytes.clear();
        return ReadStatus::Failed;
    }
    return ReadStatus::Ok;
}

std::string absolutePath(const std::string& path) { return path; }

FileResult writeFileAtomically(const std::string& path, const std::string& bytes) {
    FileResult result;
    const std::string temporary = path + ".solvari-tmp";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const int error = errno;
    if (f) ok = std::fclose(f) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(temporary.c_str());
        result.reason = std::strerror(error);
        result.error = path + " に書き込めません\n" + result.reason;
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace solvari
