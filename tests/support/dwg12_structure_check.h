// A check of the structure of a DWG file before R13 ("AC1002" to "AC1009") that knows neither
// the toolkit's reader nor its writer: its own tables of sizes, constants and sentinels, and its
// own CRC. It checks the header block's length by version and (in "AC1009") its checksum, the
// section offsets, the sentinels around every part, each table head against the bytes between
// its records and the next part (record size times count), every record's checksum with its
// table's constant, the chain of entity lengths filling each section exactly, every entity
// record's CRC, each BLOCK record pointing at a BLOCK entity, the trailer with its checksum and
// the chain of viewport entity headers (from the header's first viewport, each record naming a
// paper-space VIEWPORT of the entities section).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "dwg_check_crc.h"

namespace tracemill::test {

struct Dwg12CheckTable {
    uint16_t recordSize = 0;
    uint32_t count = 0;
    uint32_t offset = 0;
};

struct Dwg12CheckEntity {
    uint32_t offset = 0;
    uint8_t kind = 0;
    uint8_t flags = 0;
    uint16_t length = 0;
    bool inBlocks = false;
};

struct Dwg12CheckResult {
    std::vector<std::string> problems; // empty when the file passes
    int version = -1;                  // 0 "AC1002" ... 4 "AC1009"
    uint32_t headerSize = 0;
    uint32_t entityStart = 0;
    uint32_t entityEnd = 0;
    uint32_t blockStart = 0;
    uint32_t blockEnd = 0;
    // BLOCK, LAYER, STYLE, LTYPE, VIEW, UCS, VPORT, APPID, DIMSTYLE, viewport entity headers.
    std::array<Dwg12CheckTable, 10> tables{};
    std::vector<Dwg12CheckEntity> entities; // the entities section, then the blocks section
    std::vector<uint16_t> viewportChain;    // positions of the viewport entity headers, in chain order

    bool ok() const { return problems.empty(); }
    std::string report() const;
};

Dwg12CheckResult checkDwg12Structure(std::span<const uint8_t> file);
Dwg12CheckResult checkDwg12File(const std::filesystem::path& path);

} // namespace tracemill::test
