// Texts of R13-2000 DWG records: a text longer than a bit-short can count is cut at a character
// boundary with a warning, and symbol names of files before "AC1015" are converted as every
// writer of those versions converts them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/codec/bit_writer.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

struct Drawing;

// The warning the host hears when a text is cut to what its length field can hold.
inline constexpr int kWarningTextCut = 96;
// The longest text of a DWG record.
inline constexpr size_t kDwgTextLimit = 0xFFFF;

// T: BS length and the bytes. A text over 65,535 bytes keeps the characters of the code page
// that fit and the warning callback hears 96. 1.
int wrPutTextCut(BitWriter& bits, std::string_view text, int codePage);

// A symbol name as a file of the save's version carries it: as it is for "AC1015"; before, as
// wrConvertSymbolName converts it with the length limit `limit` (at most 31) and `number` for
// the end of a shortened name.
std::string wrDwgSymbolName(const Drawing& drawing, const OutputContext& output, std::string_view name, int limit,
                            int32_t number);

// T of a symbol name (wrDwgSymbolName). 1.
int wrPutTextLimited(const Drawing& drawing, OutputContext& output, BitWriter& bits, std::string_view text, int limit,
                     int32_t number);

} // namespace tracemill
