// The start of an R13-2000 DWG file: the file header with its locators (filled in when the
// file is complete), the fixed block of "AC1015" files and the header variables section, whose
// variables go out through the reader's layout of them (dwg13HeaderVariables).
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"
#include "toolkit/read/dwg13_header_layout.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// The header variables section cannot be written.
inline constexpr int kErrorDwgHeaderSection = 58;

// The file header's fixed part: the maintenance byte, the bytes at offset 17 and the number of
// locators of a version (5 "AC1012", 6 "AC1014", 7 "AC1015").
int wrDwgLocatorCount(int versionIndex);
// The size of the file header up to its CRC (61, 70 or 79 bytes).
size_t wrDwgFileHeaderSize(int versionIndex);
// The file header's bytes with the locators and positions of the state, and its CRC (seed 0,
// XOR 0x8101, 0x3CC4 or 0x8461 by the number of locators): wrDwgFileHeaderSize + 2 bytes.
std::vector<uint8_t> wrDwgFileHeaderBytes(const OutputContext& output);

// Write the file header (locators empty), for "AC1015" the fixed block, and the header
// variables section from the context's header copy and the handles the file writer gathered.
// 1, or 0 with 58 (a write error also leaves 27 behind the callback's answer).
int wrWriteHeaderVarsR13(const Drawing& drawing, OutputContext& output, Dwg13HeaderHandles& handles);
int wrWriteHeaderVars2000(const Drawing& drawing, OutputContext& output, Dwg13HeaderHandles& handles);

// A framed section from its data at the current position: start sentinel, RL size, the data,
// the CRC (seed 0xC0C1 over the size and the data), end sentinel. Its position and whole size
// are given back. 1 or 0.
int wrDwgFramedSection(OutputContext& output, const uint8_t* startSentinel, const uint8_t* endSentinel,
                       const std::vector<uint8_t>& data, uint32_t& position, uint32_t& size);

} // namespace tracemill
