// Recognising a drawing file from its first bytes: DWG, ASCII DXF or binary DXF, and the
// version index the head names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "toolkit/core/version_index.h"

namespace tracemill {

// How many bytes of a file the loader looks at to recognise it.
inline constexpr size_t kRecognitionHeadSize = 2000;

// The first bytes of a binary DXF file.
inline constexpr std::string_view kBinaryDxfSentinel = "AutoCAD Binary DXF";

// 1 when `text` occurs in `buffer`, at any start position up to the one whose match ends in
// the last byte; else 0.
int rdFindSignature(std::span<const uint8_t> buffer, std::string_view text);

struct HeadVersion {
    int versionIndex = kVersionUnknown;
    bool ac1013Seen = false; // the head starts with "AC1013"
};

// The version index named by a file head: the lowest index whose signature occurs anywhere
// in it; else "AC1013" (index 6, noted as seen) or "AC1500" (index 7) at the very start;
// else unknown.
HeadVersion rdVersionIndexOfHead(std::span<const uint8_t> head);

// The DWG header's form: the six signature bytes at offset 0 taken exactly. "AC1013" gives 6
// when acceptAc1013 is set and fails with error 286 otherwise; "AC1500" gives 7; anything
// else (including a file shorter than six bytes) fails with error 8. Failure returns -1.
int rdDwgVersionIndex(std::span<const uint8_t> fileStart, bool acceptAc1013);

struct FileKind {
    SourceFormat sourceFormat = SourceFormat::Dwg;
    HeadVersion version;
    bool dxfAccepted = false; // DXF: "SECTION" occurs in the head, or the head starts with "999"
};

// Recognises a file from its head (the first kRecognitionHeadSize bytes, or all of a shorter
// file): a head that starts with "AC" and a digit is DWG (of any version: the DWG open refuses
// the versions it does not read, older ones such as "AC2.10" too, with error 8); any other head
// is DXF, binary when it starts with the binary sentinel. The loader refuses a DXF head that is not accepted (error 5) and an "AC1013" head
// while that version is not enabled (error 286).
FileKind rdRecognizeFile(std::span<const uint8_t> head);

} // namespace tracemill
