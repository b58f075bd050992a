// A check of the structure of a DXF file that knows neither the toolkit's reader nor its
// writer: its own tokenisers for both encodings, SECTION/ENDSEC, TABLE/ENDTAB and BLOCK/ENDBLK
// pairs, the sections of the version in their order, EOF at the end, handles unique from
// "AC1012" on, and numbers in the C locale's form.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "test_paths.h"

namespace tracemill::test {

struct DxfCheckGroup {
    int code = 0;
    std::string value;  // the text of an ASCII value; binary values as the ASCII form would show them
};

struct DxfCheckResult {
    std::vector<std::string> problems;  // empty when the file passes
    std::vector<DxfCheckGroup> groups;
    std::string version;                // $ACADVER
    bool binary = false;
    bool ok() const { return problems.empty(); }
    std::string report() const;         // the problems, one a line
};

// `expectedVersion` ("AC1009" ...) is checked against $ACADVER when not empty.
DxfCheckResult checkDxfStructure(const std::vector<uint8_t>& bytes, const std::string& expectedVersion = {});
DxfCheckResult checkDxfFile(const std::filesystem::path& path, const std::string& expectedVersion = {});

} // namespace tracemill::test
