// The pen-set store of the application settings.
#include <cstdio>
#include <sstream>

#include "app/image/image_file_io.h"
#include "app/render/pen_width_table.h"
#include "app/shell/app_settings.h"
#include "app/services/registry_key.h"
#include "toolkit/core/name_compare.h"

namespace tracemill {

namespace {

constexpr std::string_view kPenSetsKey = "PenWidths";
constexpr std::string_view kCurrentPenSetValue = "CurPenWidthColorSets";

// A set's name as the name of its key: '/' and '\' would split the key path and '%' marks
// an escape, so they, and every byte outside printable ASCII, are written as "%XX". Every
// name comes back unchanged, and names that differ only in the case of their ASCII letters
// still name one key.
std::string penSetKeyName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string key;
    for (const char c : name) {
        const uint8_t byte = uint8_t(c);
        if (byte < 0x20 || byte > 0x7E || c == '%' || c == '/' || c == '\\') {
            key += '%';
            key += kHex[byte >> 4];
            key += kHex[byte & 0x0F];
        } else {
            key += c;
        }
    }
    return key;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A "%" without two hex digits after it (a key edited by hand) stays as it is.
std::string penSetNameOfKey(std::string_view key) {
    std::string name;
    for (size_t i = 0; i < key.size(); ++i) {
        if (key[i] == '%' && i + 2 < key.size() && hexDigit(key[i + 1]) >= 0 && hexDigit(key[i + 2]) >= 0) {
            name += char(hexDigit(key[i + 1]) * 16 + hexDigit(key[i + 2]));
            i += 2;
        } else {
            name += key[i];
        }
    }
    return name;
}

std::string penSetKeyPath(std::string_view name) { return std::string(kPenSetsKey) + '/' + penSetKeyName(name); }

std::string widthValueName(size_t index) { return "W" + std::to_string(index); }
std::string colorValueName(size_t index) { return "C" + std::to_string(index); }

// Stores the entries under the set's name through `key`, without making the set current.
bool storePenSet(CRegistryKey& key, std::string_view name, const PenSetEntries& entries) {
    if (key.Create(penSetKeyPath(name)) != kRegSuccess) return false;
    for (size_t i = 0; i < entries.size(); ++i) {
        SetRegDouble(key, widthValueName(i), entries[i].width);
        key.SetDword(uint32_t(int32_t(entries[i].destinationColor)), colorValueName(i));
    }
    return true;
}

} // namespace

PenSetEntries GetPenTableAsPenSet() {
    const PenWidthTable& table = GetPenWidthTable();
    PenSetEntries entries;
    for (size_t i = 0; i < entries.size(); ++i) entries[i] = PenSetEntry{table[i].exportWidth, table[i].mappedColorIndex};
    return entries;
}

void SetPenTableFromPenSet(const PenSetEntries& entries) {
    PenWidthTable& table = GetPenWidthTable();
    for (size_t i = 0; i < entries.size(); ++i) {
        table[i].exportWidth = entries[i].width;
        table[i].mappedColorIndex = entries[i].destinationColor;
    }
}

void CAppSettings::ListPenSets(std::vector<std::string>& names) const {
    names.clear();
    CRegistryKey key;
    if (key.Open(kPenSetsKey) == kRegSuccess) {
        std::string stored;
        for (uint32_t i = 0; key.EnumSubKey(i, stored) == kRegSuccess; ++i) names.push_back(penSetNameOfKey(stored));
    }
    if (names.empty()) names.emplace_back("Default");
}

bool CAppSettings::LoadStoredPenSet(PenSetEntries& entries, std::string_view name) {
    entries = DefaultPenSetEntries();
    CRegistryKey key;
    if (key.Open(penSetKeyPath(name)) != kRegSuccess) return false;
    for (size_t i = 0; i < entries.size(); ++i) {
        double width = 0;
        if (QueryRegDouble(key, widthValueName(i), width)) entries[i].width = width;
        uint32_t color = 0;
        if (key.QueryDword(color, colorValueName(i)) == kRegSuccess && color < 256) entries[i].destinationColor = int16_t(color);
    }
    return true;
}

void CAppSettings::LoadPenSet(PenSetEntries& entries, std::string_view name) const { LoadStoredPenSet(entries, name); }

void CAppSettings::SavePenSet(std::string_view name) {
    currentPenSet_ = name.empty() ? std::string("Default") : std::string(name);
    // Every change is made before either key closes, so that the file is written once (by
    // the key destroyed first).
    CRegistryKey penSets;
    CRegistryKey penSet;
    if (penSets.Create(kPenSetsKey) != kRegSuccess) return;
    if (storePenSet(penSet, currentPenSet_, GetPenTableAsPenSet()))
        penSets.SetString(currentPenSet_, kCurrentPenSetValue);
}

void DeletePenSet(std::string_view name) {
    CRegistryKey key;
    if (key.Open(kPenSetsKey) == kRegSuccess) key.DeleteSubKey(penSetKeyName(name));
}

bool CAppSettings::WritePenSetRecord(std::ostream& file) const {
    return WritePenSetFileRecord(file, currentPenSet_, GetPenTableAsPenSet());
}

void CAppSettings::ReadPenSetNames(std::istream& file, std::vector<std::string>& names) const {
    names = ReadPenSetFileNames(file);
}

bool CAppSettings::ReadPenSetRecord(std::string_view name, std::istream& file) {
    const std::optional<PenSetEntries> entries = ReadPenSetFileRecord(file, name);
    if (!entries) return false;
    SetPenTableFromPenSet(*entries);
    currentPenSet_ = name;
    return true;
}

bool CAppSettings::ExportPenSets(const std::string& path, const std::vector<std::string>& names) const {
    std::ostringstream file;
    WritePenSetFileSignature(file);
    for (const std::string& name : names) {
        PenSetEntries entries;
        LoadPenSet(entries, name);
        WritePenSetFileRecord(file, name, entries);
    }
    const std::string bytes = file.str();
    return file && WriteFileBytes(path, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

bool CAppSettings::ImportPenSets(const std::string& path, const std::vector<std::string>& names,
                                 const std::function<PenSetOverwrite(const std::string& name)>& overwrite) {
    const std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
    if (!bytes) return false;
    std::istringstream file(std::string(bytes->begin(), bytes->end()));
    std::vector<std::string> stored;
    ListPenSets(stored);
    std::optional<PenSetOverwrite> answerForAll;
    bool currentReplaced = false;
    for (const std::string& name : names) {
        bool exists = false;
        for (const std::string& s : stored) exists = exists || dbEqualsNoCase(s, name);
        if (exists) {
            const PenSetOverwrite answer = answerForAll ? *answerForAll : overwrite(name);
            if (answer == PenSetOverwrite::Cancel) break;
            if (answer == PenSetOverwrite::YesToAll || answer == PenSetOverwrite::NoToAll) answerForAll = answer;
            if (answer == PenSetOverwrite::No || answer == PenSetOverwrite::NoToAll) continue;
        }
        if (const std::optional<PenSetEntries> entries = ReadPenSetFileRecord(file, name)) {
            CRegistryKey key;
            storePenSet(key, name, *entries);
            currentReplaced = currentReplaced || dbEqualsNoCase(name, currentPenSet_);
        }
    }
    // A set imported over the current one goes into the pen table.
    if (currentReplaced) {
        PenSetEntries current;
        LoadPenSet(current, currentPenSet_);
        SetPenTableFromPenSet(current);
    }
    return true;
}

} // namespace tracemill
