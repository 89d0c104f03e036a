#pragma once
#include <cstddef>
#include <string>

namespace solvari {

// Whole-file access for the two files this folder owns. Paths are UTF-8.

enum class ReadStatus { Ok, Missing, NotAFile, TooLarge, Failed };

// Reads the whole file unless it is larger than maxBytes (checked before reading).
ReadStatus readFileBytes(const std::string& path, std::size_t maxBytes, std::string& bytes);

// The absolute form of a path, as messages show it.
std::string absolutePath(const std::string& path);

// Writes bytes through a temporary file in the same folder that replaces the target only when
// everything was written, so the old file survives any failure. Returns "" on success, else
// the full path + " に書き込めません".
std::string writeFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace solvari
