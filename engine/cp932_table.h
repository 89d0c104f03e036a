#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace solvari {

// Code page 932 by the tables generated from glibc's iconv (scripts/gen_cp932_table), for the
// builds whose iconv has no CP932 (the browser edition). Each converts exactly as iconv with
// "CP932" does in engine/sjis.cpp: the whole text or nothing, and a character iconv converts
// only with an irreversible step counts as a failure.

// UTF-8 -> CP932 bytes; nullopt for text that is not UTF-8 or holds a character CP932 lacks.
std::optional<std::string> cp932FromUtf8(std::string_view utf8);

// CP932 bytes -> UTF-8; nullopt on an invalid or truncated byte sequence.
std::optional<std::string> cp932ToUtf8(std::string_view sjis);

}  // namespace solvari
