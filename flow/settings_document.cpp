#include "flow/settings_document.h"

#include <algorithm>
#include <cstring>

#include "engine/sjis.h"

namespace solvari {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}


// fromSjisLossy's reading (an undecodable character reads as '?'), one character at a time
// through a cache of what fromSjis makes of each code: CP932 is stateless, so a line decodes to
// the concatenation of its characters, and a record of 50,000 sections costs no conversion
// call per line.
std::string decodeLossy(std::string_view sjis) {
    // 0 not yet asked, 1 undecodable, else 2 + the length of the UTF-8 text in `text`.
    struct Cell {
        unsigned char state = 0;
        char text[4] = {};
    };
    thread_local std::vector<Cell> cache(65536);
    std::string out;
    out.reserve(sjis.size() + sjis.size() / 2);
    for (std::size_t i = 0; i < sjis.size();) {
        const auto c = static_cast<unsigned char>(sjis[i]);
        if (c < 0x80) {
            std::size_t end = i + 1;  // a run of ASCII is copied as it is
            while (end < sjis.size() && static_cast<unsigned char>(sjis[end]) < 0x80) ++end;
            out.append(sjis.data() + i, end - i);
            i = end;
            continue;
        }
        std::size_t len = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
        if (i + len > sjis.size()) len = 1;
        const std::size_t code = len == 2 ? (c << 8 | static_cast<unsigned char>(sjis[i + 1])) : c;
        Cell& cell = cache[code];
        if (cell.state == 0) {
            auto piece = fromSjis(sjis.substr(i, len));
            if (piece && piece->size() <= sizeof cell.text) {
                std::copy(piece->begin(), piece->end(), cell.text);
                cell.state = static_cast<unsigned char>(2 + piece->size());
            } else {
                cell.state = 1;
            }
        }
        if (cell.state == 1) out += '?';
        else out.append(cell.text, cell.state - 2u);
        i += len;
    }
    return out;
}

// Whether the line holds an '=' character, read as decodeLossy reads it: a lead byte takes the
// next byte with it whatever that is, so an '=' byte right after a lead byte is no '='.
bool hasEqualsSign(std::string_view raw) {
    for (std::size_t i = 0; i < raw.size();) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c == '=') return true;
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        i += lead && i + 1 < raw.size() ? 2 : 1;
    }
    return false;
}

using Line = ProfileDocument::Line;
using Kind = ProfileDocument::Line::Kind;
using Names = ProfileDocument::Names;

struct Decoded {
    Kind kind = Kind::Other;
    Names names;
};

// Classifies on the decoded text: '[' and ']' may be the second byte of a double-byte
// character, so raw bytes cannot be searched for them.
Decoded decodeLine(std::string_view raw) {
    Decoded d;
    // Decoding makes '[' and '=' only from those bytes themselves, so a line without a leading
    // '[' and without any '=' is neither a header nor an entry and needs no decoding.
    const std::string_view r = trim(raw);
    if ((r.empty() || r.front() != '[') && r.find('=') == std::string_view::npos) return d;
    const std::string text = decodeLossy(raw);
    std::string_view t = trim(text);
    // A header's name runs to the last "]" of its line, so titles holding "]" keep their
    // section; a "[" without any "]" opens no section.
    if (!t.empty() && t.front() == '[' && t.rfind(']') != std::string_view::npos) {
        t.remove_prefix(1);
        d.kind = Kind::Header;
        d.names.name = std::string(trim(t.substr(0, t.rfind(']'))));
        d.names.folded = foldName(d.names.name);
        return d;
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return d;
    d.kind = Kind::Entry;
    d.names.name = std::string(trim(t.substr(0, eq)));
    d.names.value = std::string(trim(t.substr(eq + 1)));
    d.names.folded = foldName(d.names.name);
    return d;
}

std::string whyUnwritable(std::string_view text) {
    return "「" + std::string(text) + "」は記録ファイルに書けません";
}

}  // namespace

// Only ASCII letters fold: the names are decoded UTF-8, where every byte of a multi-byte
// character is 0x80 or above and is left alone.
std::string foldName(std::string_view name) {
    name = trim(name);
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// ---------------------------------------------------------------- ProfileDocument

namespace {

// Calls visit(line, offset) for every line until it returns false: CR LF, a lone CR and a lone
// LF end one; a final line end adds no empty line.
template <typename Visit>
void forEachLine(std::string_view bytes, Visit visit) {
    std::size_t start = 0;
    const std::size_t size = bytes.size();
    const char* data = bytes.data();
    // The next CR and the next LF, each found by memchr only once the scan has passed it.
    std::size_t nextCr = 0, nextLf = 0;
    auto next = [&](char c, std::size_t from) {
        const void* p = std::memchr(data + from, c, size - from);
        return p ? static_cast<std::size_t>(static_cast<const char*>(p) - data) : size;
    };
    bool first = true;
    while (start < size) {
        if (first || nextCr < start) nextCr = next('\r', start);
        if (first || nextLf < start) nextLf = next('\n', start);
        first = false;
        const std::size_t end = std::min(nextCr, nextLf);
        if (!visit(bytes.substr(start, end - start), start) || end == size) break;
        start = end + (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n' ? 2 : 1);
    }
}

// Whether makeLine would call the line a header can be seen on the raw bytes: blanks and '['
// are never part of a double-byte character at the start of a line. Only such lines need
// decoding to find the sections.
bool mayBeHeader(std::string_view raw) {
    std::string_view t = trim(raw);
    return !t.empty() && t.front() == '[';
}

}  // namespace

ProfileDocument ProfileDocument::fromBytes(std::string_view bytes) {
    ProfileDocument doc;
    bytes = doc.keep(std::string(bytes));  // one copy; the lines are views into it
    doc.lines_.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    forEachLine(bytes, [&](std::string_view raw, std::size_t) {
        // Only a header needs decoding to be known ("]" may be a trail byte); any other line
        // is an entry exactly when it holds an '=' character.
        if (mayBeHeader(raw)) {
            doc.lines_.push_back(doc.makeLine(raw));
        } else {
            Line& l = doc.lines_.emplace_back();
            l.raw = raw;
            if (hasEqualsSign(raw)) l.kind = Kind::Entry;
            else l.decoded = true;  // says nothing
        }
        return true;
    });
    doc.reindex();
    return doc;
}

ProfileDocument::Line ProfileDocument::makeLine(std::string_view raw) const {
    Decoded d = decodeLine(raw);
    Line l{raw, d.kind, true, 0};
    if (d.kind != Kind::Other) {
        l.names = static_cast<std::uint32_t>(names_.size());
        names_.push_back(std::move(d.names));
    }
    return l;
}

const Names& ProfileDocument::names(std::size_t i) const {
    static const Names none;
    if (!lines_[i].decoded) lines_[i] = makeLine(lines_[i].raw);
    return lines_[i].kind == Kind::Other ? none : names_[lines_[i].names];
}

std::string_view ProfileDocument::keep(std::string raw) {
    store_->push_back(std::move(raw));
    return store_->back();
}

// Only headers are looked at, so a lookup costs the number of sections, not of lines.
std::optional<std::pair<std::size_t, std::size_t>> ProfileDocument::findSection(const std::string& folded,
                                                                                std::size_t from) const {
    const auto first = std::lower_bound(headers_.begin(), headers_.end(), from);
    for (auto h = first; h != headers_.end(); ++h) {
        if (names(*h).folded != folded) continue;
        return std::make_pair(*h, h + 1 != headers_.end() ? *(h + 1) : lines_.size());
    }
    return std::nullopt;
}

std::string ProfileDocument::toBytes() const {
    std::string out;
    std::size_t size = 0;
    for (const Line& l : lines_) size += l.raw.size() + 2;
    out.reserve(size);
    for (const Line& l : lines_) {
        out += l.raw;
        out += "\r\n";
    }
    return out;
}

std::optional<std::string> ProfileDocument::value(std::string_view section, std::string_view key) const {
    auto span = findSection(foldName(section));
    if (!span) return std::nullopt;
    const std::string folded = foldName(key);
    for (std::size_t i = span->first + 1; i < span->second; ++i) {
        if (lines_[i].kind == Kind::Entry && names(i).folded == folded) return names(i).value;
    }
    return std::nullopt;
}

std::vector<std::string> ProfileDocument::sectionNames() const {
    std::vector<std::string> out;
    for (std::size_t h : headers_) out.push_back(names(h).name);
    return out;
}

std::vector<std::string> ProfileDocument::keyNames(std::string_view section) const {
    std::vector<std::string> keys;
    auto span = findSection(foldName(section));
    if (!span) return keys;
    for (std::size_t i = span->first + 1; i < span->second; ++i) {
        if (lines_[i].kind == Kind::Entry) keys.push_back(names(i).name);
    }
    return keys;
}

std::string ProfileDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    // A value written back unchanged keeps its line byte for byte, whatever its key looks like.
    if (auto stored = this->value(section, key); stored && *stored == trim(value)) return "";
    for (std::string_view part : {section, key, value}) {
        if (part.find_first_of("\r\n") != std::string_view::npos) return whyUnwritable(part);
    }
    // An entry line starting with '[' would read back as a section header.
    if (trim(key).empty() || trim(key).front() == '[' || key.find('=') != std::string_view::npos)
        return whyUnwritable(key);
    auto encodedValue = toSjis(value);
    if (!encodedValue) return whyUnwritable(value);
    auto encodedKey = toSjis(key);
    if (!encodedKey) return whyUnwritable(key);

    auto span = findSection(foldName(section));
    if (!span) {
        auto encodedSection = toSjis(section);
        if (!encodedSection) return whyUnwritable(section);
        lines_.push_back(makeLine(keep("[" + *encodedSection + "]")));
        lines_.push_back(makeLine(keep(*encodedKey + "=" + *encodedValue)));
        reindex();
        changed_ = true;
        return "";
    }
    std::size_t lastFilled = span->first;  // the new entry goes after this line
    const std::string foldedKey = foldName(key);
    for (std::size_t i = span->first + 1; i < span->second; ++i) {
        if (lines_[i].kind == Kind::Entry && names(i).folded == foldedKey) {
            // Replaced in place; the key keeps the spelling it has in the file.
            auto fileKey = toSjis(names(i).name);
            lines_[i] = makeLine(keep((fileKey ? *fileKey : *encodedKey) + "=" + *encodedValue));
            changed_ = true;
            return "";
        }
        if (!trim(lines_[i].raw).empty()) lastFilled = i;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastFilled + 1),
                  makeLine(keep(*encodedKey + "=" + *encodedValue)));
    reindex();
    changed_ = true;
    return "";
}

bool ProfileDocument::removeSection(std::string_view section) {
    bool removed = false;
    std::size_t from = 0;
    const std::string folded = foldName(section);
    while (auto span = findSection(folded, from)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->first),
                     lines_.begin() + static_cast<std::ptrdiff_t>(span->second));
        from = span->first;
        removed = true;
        changed_ = true;
        reindex();
    }
    return removed;
}

void ProfileDocument::reindex() {
    headers_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Header) headers_.push_back(i);
    }
}

// ---------------------------------------------------------------- ProfileIndex

ProfileIndex::ProfileIndex(std::string bytes) : bytes_(std::move(bytes)) {
    sections_.reserve(bytes_.size() / 64);  // a unit's section takes some 70 bytes
    forEachLine(bytes_, [&](std::string_view raw, std::size_t offset) {
        if (!mayBeHeader(raw)) return true;
        const Decoded line = decodeLine(raw);
        // The first section of a name wins; later ones are never looked at.
        if (line.kind == Kind::Header) sections_.try_emplace(line.names.folded, offset + raw.size());
        return true;
    });
}

std::optional<std::string> ProfileIndex::value(std::string_view section, std::string_view key) const {
    auto s = sections_.find(foldName(section));
    const std::string foldedKey = foldName(key);
    if (s == sections_.end()) return std::nullopt;
    // A section holds a handful of keys: its lines are read when asked, up to the next header.
    std::optional<std::string> found;
    const std::string_view rest = std::string_view(bytes_).substr(s->second);
    forEachLine(rest, [&](std::string_view raw, std::size_t offset) {
        if (offset == 0 && raw.empty()) return true;  // the header's own line end
        // A line with neither a leading '[' nor any '=' byte decodes to neither a header nor an
        // entry (decoding never makes those characters), so it is skipped undecoded.
        if (!mayBeHeader(raw) && raw.find('=') == std::string_view::npos) return true;
        const Decoded line = decodeLine(raw);
        if (line.kind == Kind::Header) return false;
        if (line.kind == Kind::Entry && line.names.folded == foldedKey) {
            found = line.names.value;
            return false;
        }
        return true;
    });
    return found;
}

}  // namespace solvari
