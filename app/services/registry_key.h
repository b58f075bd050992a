// Persistent settings as registry keys over QSettings: one INI file per user
// ($XDG_CONFIG_HOME/Quillon/Tracemill.ini) stands for the product key
// "Software\Quillon\Tracemill\"; a key below it is a group, named by a path under the
// product key with '/' (or '\') between the parts ("PenWidths/Default"). Keys and value
// names match without regard to case, as in the registry; a key exists while it holds a
// value or a subkey.
//
// Values keep their kind: strings as text (UTF-8), DWORDs as integers, binary values as byte
// arrays. A value of another kind reads as missing (the INI file cannot tell a string of
// digits from a DWORD, so such a string also reads as a DWORD and a DWORD as its digits).
//
// Every operation returns the registry's code: 0 on success, else kRegFileNotFound for a
// missing key or value and the others below. Writes reach the file when the key is closed.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QSettings;

namespace tracemill {

enum : long {
    kRegSuccess = 0,
    kRegFileNotFound = 2,
    kRegAccessDenied = 5, // the settings file cannot be written, or a deleted key has subkeys
    kRegInvalidHandle = 6, // no key is held
    kRegInvalidParameter = 87, // an empty value name
    kRegNoMoreItems = 259,
};

class CRegistryKey {
public:
    CRegistryKey();
    ~CRegistryKey(); // closes the held key
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Holds an existing key; a missing one gives kRegFileNotFound and keeps the key held
    // before. On success the result is that of closing the key held before (0 when none).
    long Open(std::string_view keyPath);
    // Holds the key, which is created with every missing key on its path when it does not
    // exist (it appears in the file with its first value); `createdNew` tells which.
    long Create(std::string_view keyPath, bool* createdNew = nullptr);
    // Writes the held key's changes to the file and lets it go; 0 when nothing was held.
    long Close();
    bool IsOpen() const { return settings_ != nullptr; }
    // The held key's path under the product key, as stored; empty for the product key.
    const std::string& GetPath() const { return path_; }

    long QueryString(std::string& value, std::string_view name) const;
    long QueryDword(uint32_t& value, std::string_view name) const;
    long QueryBinary(std::vector<uint8_t>& value, std::string_view name) const;
    long SetString(std::string_view text, std::string_view name);
    long SetDword(uint32_t value, std::string_view name);
    long SetBinary(std::span<const uint8_t> bytes, std::string_view name);

    // The name of subkey `index` (from 0); kRegNoMoreItems past the last. Index 0 lists the
    // subkeys afresh; the indices after it walk that list.
    long EnumSubKey(uint32_t index, std::string& name) const;
    // Deletes a subkey that has no subkeys of its own (kRegAccessDenied otherwise).
    long DeleteSubKey(std::string_view name);
    // Deletes a subkey with everything below it.
    long RecurseDeleteKey(std::string_view name);

private:
    long Hold(std::unique_ptr<QSettings> settings, std::string path);
    // The stored spelling of a value or subkey of the held key; empty when missing.
    std::string FindValueName(std::string_view name) const;
    std::string FindSubKeyName(std::string_view name) const;

    std::unique_ptr<QSettings> settings_;
    std::string path_;
    mutable std::vector<std::string> subKeys_; // of the last EnumSubKey walk
};

// True only for a binary value of exactly 8 bytes, which become the double (IEEE 754,
// little-endian); otherwise `value` stays unchanged.
bool QueryRegDouble(const CRegistryKey& key, std::string_view name, double& value);
// Stores the 8 bytes of the double as a binary value.
long SetRegDouble(CRegistryKey& key, std::string_view name, double value);

} // namespace tracemill
