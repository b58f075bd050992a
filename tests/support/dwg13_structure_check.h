// A structure check of R13-2000 DWG files for the writer tests, with bit and CRC reading of its
// own (not the production reader, which checks no CRC): the file header and its CRC, the
// locators, the nine sentinels in place, the size and CRC of the header variables, the classes
// and every object-map section, unique increasing handles, every map entry pointing at a record
// whose size and CRC verify and whose own handle is the entry's, the descriptor constants, the
// second header against the file header, and the image section's sizes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "dwg_check_crc.h"

namespace tracemill::test {

// One object record the map names.
struct Dwg13CheckedRecord {
    uint64_t handle = 0;
    uint32_t position = 0;  // of its size field
    uint32_t size = 0;      // bytes of data
    uint16_t type = 0;
    uint32_t bitSize = 0;   // where its handle references start
    uint32_t dataStart = 0; // file position of its data
};

struct Dwg13CheckResult {
    std::vector<std::string> problems;
    int versionIndex = -1;
    std::vector<Dwg13CheckedRecord> records; // in handle order
    uint32_t locatorCount = 0;
    std::vector<std::pair<uint32_t, uint32_t>> locators; // position, size
    uint32_t recordsStart = 0;
    uint32_t mapSections = 0;
    std::vector<uint32_t> sectionSizes; // of the map's sections, counting their size bytes
    bool ok() const { return problems.empty(); }
    std::string report() const;
};

Dwg13CheckResult checkDwg13Bytes(std::span<const uint8_t> file);
Dwg13CheckResult checkDwg13File(const std::filesystem::path& path);

} // namespace tracemill::test
