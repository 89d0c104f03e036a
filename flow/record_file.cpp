#include "flow/record_file.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <limits>

#include "engine/sjis.h"
#include "flow/file_io.h"

namespace solvari {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// ASCII letters only: the names are compared on decoded UTF-8, where every byte of a
// multi-byte character is 0x80 or above and is left alone.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

using Line = ProfileDocument::Line;
using Kind = ProfileDocument::Line::Kind;

// Classifies on the decoded text: '[' and ']' may be the second byte of a double-byte
// character, so raw bytes cannot be searched for them.
Line makeLine(std::string raw) {
    Line l;
    l.raw = std::move(raw);
    const std::string text = fromSjisLossy(l.raw);
    std::string_view t = trim(text);
    if (!t.empty() && t.front() == '[') {
        t.remove_prefix(1);
        l.kind = Kind::Header;
        l.name = std::string(trim(t.substr(0, t.find(']'))));
        return l;
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return l;
    l.kind = Kind::Entry;
    l.name = std::string(trim(t.substr(0, eq)));
    l.value = std::string(trim(t.substr(eq + 1)));
    return l;
}

// Where a section's lines are: [header, end) in line indices.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionSpan> findSection(const std::vector<Line>& lines, std::string_view section, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (lines[i].kind != Kind::Header || !sameName(lines[i].name, section)) continue;
        SectionSpan span{i, lines.size()};
        for (std::size_t k = i + 1; k < lines.size(); ++k) {
            if (lines[k].kind == Kind::Header) {
                span.end = k;
                break;
            }
        }
        return span;
    }
    return std::nullopt;
}

std::string whyUnwritable(std::string_view text) {
    return "「" + std::string(text) + "」は記録ファイルに書けません";
}

}  // namespace

// ---------------------------------------------------------------- ProfileDocument

ProfileDocument ProfileDocument::fromBytes(std::string_view bytes) {
    ProfileDocument doc;
    std::string current;
    bool open = false;  // a line has started since the last line end
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            doc.lines_.push_back(makeLine(std::move(current)));
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            current += c;
            open = true;
        }
    }
    if (open) doc.lines_.push_back(makeLine(std::move(current)));
    return doc;
}

std::string ProfileDocument::toBytes() const {
    std::string out;
    for (const Line& l : lines_) {
        out += l.raw;
        out += "\r\n";
    }
    return out;
}

std::optional<std::string> ProfileDocument::value(std::string_view section, std::string_view key) const {
    auto span = findSection(lines_, section);
    if (!span) return std::nullopt;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (lines_[i].kind == Kind::Entry && sameName(lines_[i].name, key)) return lines_[i].value;
    }
    return std::nullopt;
}

std::vector<std::string> ProfileDocument::sectionNames() const {
    std::vector<std::string> names;
    for (const Line& l : lines_) {
        if (l.kind == Kind::Header) names.push_back(l.name);
    }
    return names;
}

std::vector<std::string> ProfileDocument::keyNames(std::string_view section) const {
    std::vector<std::string> keys;
    auto span = findSection(lines_, section);
    if (!span) return keys;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (lines_[i].kind == Kind::Entry) keys.push_back(lines_[i].name);
    }
    return keys;
}

std::string ProfileDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
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

    auto span = findSection(lines_, section);
    if (!span) {
        auto encodedSection = toSjis(section);
        if (!encodedSection) return whyUnwritable(section);
        lines_.push_back(makeLine("[" + *encodedSection + "]"));
        lines_.push_back(makeLine(*encodedKey + "=" + *encodedValue));
        return "";
    }
    std::size_t lastFilled = span->header;  // the new entry goes after this line
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (lines_[i].kind == Kind::Entry && sameName(lines_[i].name, key)) {
            // Replaced in place; the key keeps the spelling it has in the file.
            auto fileKey = toSjis(lines_[i].name);
            lines_[i] = makeLine((fileKey ? *fileKey : *encodedKey) + "=" + *encodedValue);
            return "";
        }
        if (!trim(lines_[i].raw).empty()) lastFilled = i;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastFilled + 1),
                  makeLine(*encodedKey + "=" + *encodedValue));
    return "";
}

bool ProfileDocument::removeSection(std::string_view section) {
    bool removed = false;
    std::size_t from = 0;
    while (auto span = findSection(lines_, section, from)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
        from = span->header;
        removed = true;
    }
    return removed;
}

// ---------------------------------------------------------------- RecordFile

ProfileDocument RecordFile::load() const {
    std::string bytes;
    if (readFileBytes(path_, MAX_RECORD_FILE_BYTES, bytes) != ReadStatus::Ok) return ProfileDocument();
    return ProfileDocument::fromBytes(bytes);
}

std::string RecordFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    auto v = load().value(section, key);
    return v ? *v : std::string(defaultValue);
}

FileResult RecordFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    FileResult result;
    std::string bytes;
    const ReadStatus status = readFileBytes(path_, MAX_RECORD_FILE_BYTES, bytes);
    // A file we cannot read in full must not be replaced by one holding only the new entry.
    if (status != ReadStatus::Ok && status != ReadStatus::Missing) {
        result.error = absolutePath(path_) + " に書き込めません";
        return result;
    }
    ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    if (std::string why = doc.setValue(section, key, value); !why.empty()) {
        result.error = why;
        return result;
    }
    result.error = writeFileAtomically(path_, doc.toBytes());
    result.ok = result.error.empty();
    return result;
}

FileResult RecordFile::eraseSection(std::string_view section) {
    FileResult result;
    std::string bytes;
    const ReadStatus status = readFileBytes(path_, MAX_RECORD_FILE_BYTES, bytes);
    if (status == ReadStatus::Missing) {
        result.ok = true;
        return result;
    }
    if (status != ReadStatus::Ok) {
        result.error = absolutePath(path_) + " に書き込めません";
        return result;
    }
    ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    if (!doc.removeSection(section)) {
        result.ok = true;
        return result;
    }
    result.error = writeFileAtomically(path_, doc.toBytes());
    result.ok = result.error.empty();
    return result;
}

// ---------------------------------------------------------------- the practice record

QDateTime systemClock() { return QDateTime::currentDateTime(); }

std::string formatRecordDate(const QDateTime& when) {
    // a fixed format, never the locale's: the record file is read back by this text
    return when.toString(QStringLiteral("yyyy年MM月dd日HH:mm")).toStdString();
}

namespace {

// Digits of the given base only, fitting in an int; nullopt otherwise.
std::optional<int> digitsValue(std::string_view s, int base) {
    if (s.empty()) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return std::nullopt;
        v = v * base + d;
        if (v > std::numeric_limits<int>::max()) return std::nullopt;
    }
    return static_cast<int>(v);
}

}  // namespace

int parseRecordCount(std::string_view text) {
    std::string_view s = trim(text);
    std::optional<int> v;
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) v = digitsValue(s.substr(2), 16);
    else v = digitsValue(s, 10);
    return v.value_or(0);
}

FileResult writeRecord(RecordFile& file, const std::string& title, int q, const Clock& clock) {
    const std::string key = std::to_string(q);
    const int n = parseRecordCount(file.readString(title, key, ""));
    // A count at the top of the range stays there rather than wrapping to a negative value.
    const int next = n == std::numeric_limits<int>::max() ? n : n + 1;
    FileResult r = file.writeString(title, key, std::to_string(next));
    if (!r.ok) return r;
    return file.writeString(title, "DATE", formatRecordDate(clock ? clock() : systemClock()));
}

std::optional<int> readCount(const RecordFile& file, const std::string& title, int q) {
    return readCount(file.load(), title, q);
}

std::optional<int> readCount(const ProfileDocument& record, const std::string& title, int q) {
    const std::string text = record.value(title, std::to_string(q)).value_or("0");
    std::string_view s = trim(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    auto v = digitsValue(s, 10);
    if (!v) return std::nullopt;
    return negative ? -*v : *v;
}

std::string dataDirectory(const std::string& workingDir) {
    const QString dir = QString::fromStdString(workingDir);
    if (QDir(dir).exists()) {
        // Root may write anywhere the permission bits forbid, so the folder's flags prove
        // nothing: only creating a file there does.
        QTemporaryFile probe(QDir(dir).filePath(".solvari-probe-XXXXXX"));
        if (probe.open()) return QDir::cleanPath(QDir(dir).absolutePath()).toStdString();
    }
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!appData.isEmpty() && QDir().mkpath(appData)) return QDir::cleanPath(appData).toStdString();
    // Nowhere better: the write itself will then report the folder it could not use.
    return QDir::cleanPath(dir).toStdString();
}

std::string recordFilePath(const std::string& directory) {
    return QDir(QString::fromStdString(directory)).filePath(QString::fromUtf8(RECORD_FILE_NAME)).toStdString();
}

}  // namespace solvari
