// A read-only compound file over bytes in memory: the header, the sector allocation table
// with its list sectors, the directory and the mini stream. The bytes are untrusted: every
// sector number, chain and size is checked against the bytes present, chains that loop or run
// longer than the file are refused, and nothing is read outside the buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tracemill::ole {

class CompoundFile {
public:
    // Reads the header, the allocation tables and the directory. false (and a reason in
    // error()) when the bytes are not a compound file or its tables are damaged.
    bool open(std::span<const uint8_t> bytes);

    // The whole stream of that name among the root storage's children (names compared
    // without regard to the case of A-Z, as storages compare them); none when there is no
    // such stream or its chain is damaged.
    std::optional<std::vector<uint8_t>> readStream(std::u16string_view name) const;

    const std::string& error() const { return error_; }

private:
    struct Entry {
        std::u16string name;
        uint8_t type = 0;
        uint32_t left = 0;
        uint32_t right = 0;
        uint32_t child = 0;
        uint32_t start = 0;
        uint64_t size = 0;
    };

    bool fail(std::string reason);
    bool readFat();
    bool readDirectory();
    bool readMiniStream();
    // The sectors of a chain from `first`, through `table`; none when a number lies outside
    // the table or the chain loops.
    std::optional<std::vector<uint32_t>> chain(uint32_t first, const std::vector<uint32_t>& table) const;
    std::span<const uint8_t> sector(uint32_t number) const;
    std::optional<uint32_t> findChild(std::u16string_view name) const;

    std::span<const uint8_t> bytes_;
    uint32_t sectorSize_ = 512;
    uint32_t sectorCount_ = 0;  // whole or partial sectors after the header
    uint32_t miniCutoff_ = 4096;
    std::vector<uint32_t> fat_;
    std::vector<uint32_t> miniFat_;
    std::vector<Entry> entries_;
    std::vector<uint8_t> miniStream_;
    std::string error_;
};

// Widens each byte of the text to one 16-bit character (names of streams in the program's
// own single-byte form, "\x01Ole10Native" among them).
std::u16string AnsiToWide(std::string_view text);

} // namespace tracemill::ole
