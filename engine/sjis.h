#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace solvari {

// The one place where text crosses between UTF-8 (everything inside the program) and
// Shift-JIS code page 932 (files, and the few rules that count Shift-JIS bytes).

// UTF-8 -> CP932 bytes. nullopt when the text holds a character CP932 cannot represent, when
// the mapping is one-way only (U+2212 would come back as U+FF0D), or when the input is not UTF-8.
std::optional<std::string> toSjis(std::string_view utf8);

// UTF-8 -> CP932 where every character CP932 cannot hold becomes two placeholder bytes (the
// width it would take on screen). For readers that refuse such characters where they stand.
std::string toSjisReplacing(std::string_view utf8, char placeholder);

// CP932 bytes -> UTF-8. nullopt on an invalid or truncated byte sequence.
std::optional<std::string> fromSjis(std::string_view sjis);

// CP932 -> UTF-8 for messages only: an undecodable byte shows as '?'. Never fails.
std::string fromSjisLossy(std::string_view sjis);

// Length in Shift-JIS bytes; a text CP932 cannot hold counts 2 bytes per non-ASCII character.
std::size_t sjisLength(std::string_view utf8);

// Linux input methods and UTF-8 editors type the JIS forms of six characters that CP932 holds
// under other code points: 〜 U+301C, ‖ U+2016, − U+2212, ¢ U+00A2, £ U+00A3, ¬ U+00AC. Returns
// the text with each replaced by CP932's own character (～ ∥ － ￠ ￡ ￢); everything else stays.
std::string toCp932Forms(std::string_view utf8);

// Offset of the first byte that is not well-formed UTF-8 (overlong forms, surrogates and code
// points above U+10FFFF included); bytes.size() when all of it is.
std::size_t firstInvalidUtf8(std::string_view bytes);

// Offset of the first byte where CP932 decoding fails; sjis.size() when none does.
std::size_t firstInvalidSjis(std::string_view sjis);

// The first character of a UTF-8 text that CP932 cannot hold; "" when every one fits or when
// the text is not UTF-8 there (no character to name).
std::string firstUnsavableCharacter(std::string_view utf8);

// The two character walkers every loop over text uses, so that all of them agree on stray bytes.
// Bytes of the UTF-8 character starting at i: 1 for ASCII, for a stray continuation byte and for
// a byte that cannot start a character; never past the end of the text.
std::size_t utf8CharLength(std::string_view utf8, std::size_t i);
// Bytes of the CP932 character starting at i: 2 for a lead byte (0x81-0x9F, 0xE0-0xFC) with a
// byte after it, else 1.
std::size_t sjisCharLength(std::string_view sjis, std::size_t i);

// True when the UTF-8 text survives a round trip through CP932 unchanged.
inline bool fitsSjis(std::string_view utf8) { return toSjis(utf8).has_value(); }

}  // namespace solvari
