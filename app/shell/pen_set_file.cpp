#include "app/shell/pen_set_file.h"

#include <bit>

#include "toolkit/core/binary_layout.h"
#include "app/services/text_file_reading.h"
#include "toolkit/core/name_compare.h"

namespace tracemill {

namespace {

// One entry as stored.
struct StoredPenSetEntry {
    int16_t destinationColor;
    uint64_t widthBits;
};
using PenSetEntryLayout = LittleEndianLayout<&StoredPenSetEntry::destinationColor, &StoredPenSetEntry::widthBits>;
static_assert(PenSetEntryLayout::kSize == kPenSetEntryBytes);

bool readSignature(std::istream& file) {
    file.clear();
    file.seekg(0);
    const std::string first = ReadNulTerminatedString(file);
    return file && first == kPenSetFileSignature.substr(0, kPenSetFileSignature.size() - 1);
}

// Reads (into `entries` when given) or skips the 256 entries of a record; false when the
// file ends first.
bool readEntries(std::istream& file, PenSetEntries* entries) {
    PenSetEntryLayout::Bytes bytes;
    for (size_t i = 0; i < kPenSetEntryCount; ++i) {
        if (!file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()))) return false;
        if (entries) {
            const StoredPenSetEntry stored = PenSetEntryLayout::decode(bytes);
            (*entries)[i] = PenSetEntry{std::bit_cast<double>(stored.widthBits), stored.destinationColor};
        }
    }
    return true;
}

} // namespace

PenSetEntries DefaultPenSetEntries() {
    PenSetEntries entries;
    for (size_t i = 0; i < entries.size(); ++i) entries[i] = PenSetEntry{0.0, int16_t(i)};
    return entries;
}

bool WritePenSetFileSignature(std::ostream& file) {
    file.write(kPenSetFileSignature.data(), std::streamsize(kPenSetFileSignature.size()));
    return bool(file);
}

bool WritePenSetFileRecord(std::ostream& file, std::string_view name, const PenSetEntries& entries) {
    if (name.empty()) return bool(file);
    file.write(name.data(), std::streamsize(name.size()));
    file.put('\0');
    for (const PenSetEntry& entry : entries) {
        const auto bytes =
            PenSetEntryLayout::encode(StoredPenSetEntry{entry.destinationColor, std::bit_cast<uint64_t>(entry.width)});
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    return bool(file);
}

std::vector<std::string> ReadPenSetFileNames(std::istream& file) {
    std::vector<std::string> names;
    if (!readSignature(file)) return names;
    for (std::string name = ReadNulTerminatedString(file); !name.empty(); name = ReadNulTerminatedString(file)) {
        names.push_back(std::move(name));
        if (!readEntries(file, nullptr)) break;
    }
    return names;
}

std::optional<PenSetEntries> ReadPenSetFileRecord(std::istream& file, std::string_view name) {
    if (!readSignature(file)) return std::nullopt;
    for (std::string stored = ReadNulTerminatedString(file); !stored.empty(); stored = ReadNulTerminatedString(file)) {
        if (dbEqualsNoCase(stored, name)) {
            PenSetEntries entries;
            if (!readEntries(file, &entries)) return std::nullopt;
            return entries;
        }
        if (!readEntries(file, nullptr)) return std::nullopt;
    }
    return std::nullopt;
}

} // namespace tracemill
