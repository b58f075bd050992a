// The ".cps" pen-set file: the signature "KirvTracemill Pen Sets" with its NUL, then one
// record per pen set up to the end of the file: the set's name with a NUL, then 256 entries
// in colour-index order, each a destination colour index (signed 16-bit) and a width in
// inches (8-byte IEEE 754 double), little-endian, without padding. An empty name ends the
// list of records.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

inline constexpr std::string_view kPenSetFileSignature{"KirvTracemill Pen Sets\0", 23};
inline constexpr size_t kPenSetEntryCount = 256;
inline constexpr size_t kPenSetEntryBytes = 10;

struct PenSetEntry {
    double width = 0;             // inches
    int16_t destinationColor = 0; // colour index drawn instead of this one
};
using PenSetEntries = std::array<PenSetEntry, kPenSetEntryCount>;

// Zero widths, each index its own destination.
PenSetEntries DefaultPenSetEntries();

// Writers; false when the stream fails. A record with an empty name writes nothing.
bool WritePenSetFileSignature(std::ostream& file);
bool WritePenSetFileRecord(std::ostream& file, std::string_view name, const PenSetEntries& entries);

// The names of the file's records from its start, in file order; none for a file with
// another signature. A record cut short is the last one listed.
std::vector<std::string> ReadPenSetFileNames(std::istream& file);

// The entries of the first record named `name` (without regard to case), read from the
// file's start; none for another signature, a missing name or a record cut short on the way.
std::optional<PenSetEntries> ReadPenSetFileRecord(std::istream& file, std::string_view name);

} // namespace tracemill
