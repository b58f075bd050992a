// Reading the header variables section of an R13 to 2000 DWG file into the header block, with
// the values of the file header that belong to it (maintenance release, code page) and the
// MEASUREMENT value that R14 and 2000 files keep apart.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/core/header_block.h"
#include "toolkit/read/dwg13_file_header.h"
#include "toolkit/read/dwg13_header_layout.h"

namespace tracemill {

// Reads the section that locator 0 names into `header` (which the caller has reset to the
// template) and `handles`. 0 when the section does not fit in the file or its variables run
// past its end; the caller's stage error then stands.
int rdDwg13ReadHeaderSection(std::span<const uint8_t> file, const Dwg13FileHeader& fileHeader, HeaderBlock& header,
                             Dwg13HeaderHandles& handles);

// The 2000 flag word: its parts into the header, and back.
void dwg13SplitHeaderFlags(uint32_t flags, HeaderBlock& header);
uint32_t dwg13JoinHeaderFlags(const HeaderBlock& header);

} // namespace tracemill
