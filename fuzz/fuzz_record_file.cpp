// Arbitrary bytes as a practice record file: read every key of every section and write each
// value back unchanged: the bytes must not change at all. Then a new count and date must read
// back and leave every other value as it was; the lookup index must agree with the document,
// and the document written must go on changing exactly as the bytes written, read afresh.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "flow/record_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace solvari;
    if (size > 8192) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ProfileDocument doc = ProfileDocument::fromBytes(bytes);
    const std::string normal = doc.toBytes();  // CR LF line ends, nothing else changed

    struct Entry {
        std::string section, key, value;
    };
    std::vector<Entry> entries;
    const ProfileIndex index(bytes);
    std::set<std::string> seen;  // a repeated section lists the keys of its first one again
    for (const std::string& section : doc.sectionNames()) {
        if (!seen.insert(section).second) continue;
        for (const std::string& key : doc.keyNames(section)) {
            auto v = doc.value(section, key);
            if (!v) std::abort();  // a listed key always has a value
            // The index reads a section's lines per lookup (a listing asks a few keys per
            // section): checking a bounded number keeps one run linear in the input.
            if (entries.size() < 16 && index.value(section, key) != v) std::abort();
            entries.push_back({section, key, *v});
        }
    }
    if (index.value("単元", "1") != doc.value("単元", "1")) std::abort();

    // What is read and written back unchanged is byte-identical.
    for (const Entry& e : entries) {
        if (!doc.setValue(e.section, e.key, e.value).empty()) std::abort();
    }
    if (doc.toBytes() != normal) std::abort();

    // Writing a new count and date never disturbs what was there.
    if (doc.setValue("単元", "1", "1").empty() && doc.setValue("単元", "DATE", "2024年05月03日09:05").empty()) {
        const std::string written = doc.toBytes();
        const ProfileDocument reread = ProfileDocument::fromBytes(written);
        if (reread.toBytes() != written) std::abort();  // what was written reads back as it is
        // The next finish may go on from the document written instead of reading the file
        // again: both must write the same bytes.
        ProfileDocument kept = doc;
        kept.markWritten();
        ProfileDocument fresh = ProfileDocument::fromBytes(written);
        const std::string second = entries.empty() ? "x" : entries[0].section;
        const auto finish = [&](ProfileDocument& d) {
            return d.setValue("単元", "H1", "2").empty() && d.setValue(second, "1", "9").empty();
        };
        const bool keptOk = finish(kept), freshOk = finish(fresh);
        if (keptOk != freshOk || kept.toBytes() != fresh.toBytes() || kept.changed() != fresh.changed()) std::abort();
        if (reread.value("単元", "1") != std::optional<std::string>("1")) std::abort();
        for (const Entry& other : entries) {
            if (other.section == "単元" && (other.key == "1" || other.key == "DATE")) continue;
            if (reread.value(other.section, other.key) != std::optional<std::string>(other.value)) std::abort();
        }
    }
    return 0;
}
