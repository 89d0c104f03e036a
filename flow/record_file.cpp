#include "flow/record_file.h"

#include "engine/sjis.h"

namespace solvari {

// ---------------------------------------------------------------- RecordFile

namespace {

std::string unreadableReason(ReadStatus status) {
    switch (status) {
        case ReadStatus::NotAFile: return "ファイルではありません（フォルダなど）";
        case ReadStatus::TooLarge: return "ファイルが大きすぎます（16 MB まで）";
        default: return "ファイルを読み込めません";
    }
}

}  // namespace

RecordRead RecordFile::read() const {
    RecordRead result;
    std::string bytes;
    const ReadStatus status = readFileBytes(path_, MAX_RECORD_FILE_BYTES, bytes);
    if (status != ReadStatus::Ok && status != ReadStatus::Missing) {
        result.reason = unreadableReason(status);
        return result;
    }
    result.ok = true;
    result.bytes = std::move(bytes);
    return result;
}

ProfileDocument RecordFile::load() const { return ProfileDocument::fromBytes(read().bytes); }

std::string RecordFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    auto v = load().value(section, key);
    return v ? *v : std::string(defaultValue);
}

RecordResult RecordFile::change(const std::function<std::string(ProfileDocument&)>& edit) {
    RecordResult result;
    // Drills on other machines of the class may be finishing into this record too: the read,
    // the edit and the replace happen under the record's lock, or a finish of theirs written
    // between our read and our replace would be lost.
    const FileLock lock(path_, lockTiming_);
    if (!lock.held()) {
        result.error = lock.error();
        return result;
    }
    const RecordRead current = read();
    // A file we cannot read in full must not be replaced by one holding only the new entry.
    if (!current.ok) {
        result.unreadable = true;
        result.error = absolutePath(path_) + " に書き込めません\n" + current.reason;
        return result;
    }
    constexpr int kMaxReuses = 64;
    constexpr std::size_t kMaxKeptBytes = 1 << 20;
    // Whatever happens below, only a finished write or read leaves a document kept.
    std::optional<Known> known = std::exchange(known_, std::nullopt);
    const bool reuse = known && known->reuses < kMaxReuses && known->bytes == current.bytes;
    const int reuses = reuse ? known->reuses + 1 : 0;
    ProfileDocument doc = reuse ? std::move(known->doc) : ProfileDocument::fromBytes(current.bytes);
    known.reset();
    if (std::string why = edit(doc); !why.empty()) {
        result.error = why;  // the edit may have changed part of the document: it is dropped
        result.refused = true;
        return result;
    }
    if (!doc.changed()) {
        result.ok = true;  // nothing changed: the file is left as it is (or not created)
        if (current.bytes.size() <= kMaxKeptBytes) known_ = Known{current.bytes, std::move(doc), reuses};
        return result;
    }
    std::string bytes = doc.toBytes();
    result.error = writeFileAtomically(path_, bytes).error;
    result.ok = result.error.empty();
    if (result.ok && bytes.size() <= kMaxKeptBytes) {
        doc.markWritten();
        known_ = Known{std::move(bytes), std::move(doc), reuses};
    }
    return result;
}

RecordResult RecordFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    return change([&](ProfileDocument& doc) { return doc.setValue(section, key, value); });
}

RecordResult RecordFile::eraseSection(std::string_view section) {
    return change([&](ProfileDocument& doc) {
        doc.removeSection(section);
        return std::string();
    });
}

QDateTime systemClock() { return QDateTime::currentDateTime(); }

RecordTime recordTime(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute()};
}

RecordResult writeRecord(RecordFile& file, const std::string& title, int q, const Clock& clock, Finish finish,
                         const MistakeTally& mistakes) {
    const RecordTime when = recordTime(clock ? clock() : systemClock());
    return file.change([&](ProfileDocument& doc) { return addFinish(doc, title, q, when, finish, mistakes); });
}

std::optional<int> readCount(const RecordFile& file, const std::string& title, int q) {
    return readCount(file.load(), title, q);
}

}  // namespace solvari
