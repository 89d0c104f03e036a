// Arbitrary bytes as a practice record file: read every key of every section, write each
// value back, and read again: every value must be what it was, and the bytes must be stable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "flow/record_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace solvari;
    if (size > 8192) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ProfileDocument doc = ProfileDocument::fromBytes(bytes);

    struct Entry {
        std::string section, key, value;
    };
    std::vector<Entry> entries;
    for (const std::string& section : doc.sectionNames()) {
        for (const std::string& key : doc.keyNames(section)) {
            auto v = doc.value(section, key);
            if (!v) std::abort();  // a listed key always has a value
            entries.push_back({section, key, *v});
        }
    }

    for (const Entry& e : entries) {
        if (!doc.setValue(e.section, e.key, e.value).empty()) continue;  // refused: unchanged
        const ProfileDocument reread = ProfileDocument::fromBytes(doc.toBytes());
        for (const Entry& other : entries) {
            if (reread.value(other.section, other.key) != std::optional<std::string>(other.value)) std::abort();
        }
    }

    // Writing a new count and date never disturbs what was there.
    if (doc.setValue("単元", "1", "1").empty()) {
        const ProfileDocument reread = ProfileDocument::fromBytes(doc.toBytes());
        if (reread.value("単元", "1") != std::optional<std::string>("1")) std::abort();
        for (const Entry& other : entries) {
            if (other.section == "単元" && other.key == "1") continue;
            if (reread.value(other.section, other.key) != std::optional<std::string>(other.value)) std::abort();
        }
    }
    const std::string out = doc.toBytes();
    if (ProfileDocument::fromBytes(out).toBytes() != out) std::abort();
    return 0;
}
