// The one entry of every save to DWG or DXF: checks the target version against the drawing,
// makes the changes a version needs for the length of the save (and takes them back after),
// creates the output context and hands it to the writer of the format and version.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Error numbers of the save driver.
inline constexpr int kErrorSaveContext = 1;        // the output context cannot be made
inline constexpr int kErrorSaveOpen = 3;           // the output file cannot be created
inline constexpr int kErrorSaveScratch = 12;       // the scratch buffer cannot be made
inline constexpr int kErrorSaveWorkBuffers = 57;   // the work buffers cannot be made
inline constexpr int kErrorSaveVersion = 306;      // a version the drawing's content does not allow

// The settings of the program's save command: keep negative zeros, 6 decimals, no force-Z,
// the later release of "AC1009".
inline constexpr int16_t kSaveRealSwitch = 1;
inline constexpr int16_t kSaveDecimalPlaces = 6;
inline constexpr int16_t kSaveEntitySwitch = 0;
inline constexpr uint8_t kSaveOldDxfFlag = 1;

// The pre-R13 version table: per version index 0 to 4, the record sizes of the ten symbol
// tables of the file (keyed by the file header's table numbers 1-3 and 5-11) and the version
// string.
struct VersionTableRow {
    std::array<uint16_t, 10> recordSizes;
    std::string_view version;
};
const VersionTableRow& wrVersionTableRow(int versionIndex);

// Saves the drawing as `path`: format 0 DWG, 1 ASCII DXF, 2 binary DXF; a version index 0
// ("AC1002") to 7 ("AC1015"); the DXF number settings; oldDxfFlag for DXF before R13. 1 on
// success; 0 with the error number in the context, and then the file at `path` is as it was
// (the output goes to a temporary file in its folder, renamed over it when complete). The
// drawing is the same after the save as before, whatever the result. A version index outside
// 0-7 fails with 306 before anything is touched.
int wrSaveDrawing(Drawing* drawing, const char* path, uint8_t format, int16_t versionIndex, int16_t realSwitch,
                  int16_t decimalPlaces, int16_t entitySwitch, uint8_t oldDxfFlag);

// The output context of a save: the file created, the version stamped. Null with error 1 (no
// memory), 3 (the file cannot be created) or 12 (no scratch buffer).
OutputContextPtr wrOpenOutput(const char* path, int16_t versionIndex, uint8_t format);

// Stores the index; for 5, 6, 7 stamps "AC1012", "AC1014", "AC1015" into the header; for 0 to
// 4 copies the version row's record sizes into the context and its string into the header;
// any other index changes nothing but the stored index.
void SetOutputVersion(OutputContext& output, int16_t versionIndex, HeaderBlock& header);

// The name budgets of the external-reference blocks, from the dependent APPID, LAYER and
// LTYPE names of the drawing (records of externally dependent blocks that are not marked
// excluded): 30 less the characters after the bar, at least 4, the smallest per block.
void wrBuildXrefNameBudgets(const Drawing& drawing, OutputContext& output);
// The budget of an external-reference block (by handle); 26 when it has none.
int32_t wrXrefNameBudget(const OutputContext& output, Handle block);

} // namespace tracemill
