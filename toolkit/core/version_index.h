// The version index: the one small number every reader and writer branches on for the
// file format generation of a drawing, and the source format a drawing was read from.
#pragma once

#include <cstdint>
#include <string_view>

namespace tracemill {

// -1 unknown; 0 to 4 the record format before R13; 5 and above the bit format; 7 and above
// have layouts and plot settings in the file.
inline constexpr int kVersionUnknown = -1;
inline constexpr int kVersionAC1002 = 0;
inline constexpr int kVersionAC1003 = 1;
inline constexpr int kVersionAC1004 = 2;
inline constexpr int kVersionAC1006 = 3;
inline constexpr int kVersionAC1009 = 4;
inline constexpr int kVersionAC1012 = 5;
inline constexpr int kVersionAC1014 = 6;
inline constexpr int kVersionAC1015 = 7;

// The eight version signatures in index order; the DXF header writer uses the same table for
// $ACADVER.
inline constexpr std::string_view kVersionSignatures[8] = {"AC1002", "AC1003", "AC1004", "AC1006",
                                                           "AC1009", "AC1012", "AC1014", "AC1015"};

// Where a drawing came from.
enum class SourceFormat : uint8_t { Dwg = 0, AsciiDxf = 1, BinaryDxf = 2 };

// The index of a version text by exact comparison with the eight signatures; -1 when it is
// none of them ("AC1013" and "AC1500" included: the DWG reader maps those itself).
int dbVersionIndex(std::string_view text);

} // namespace tracemill
