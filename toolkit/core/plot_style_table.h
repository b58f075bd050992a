// Plot style tables: the files a layout names to map colours or named styles to output
// properties (pen, screening, lineweight, line ends). A file is a 60-byte head followed by a
// zlib stream whose inflation is the table as text.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/handle.h"

namespace tracemill {

struct Drawing;

// Error numbers.
inline constexpr int kErrorPlotStyleNotFound = 2;  // also: the table cannot be inflated
inline constexpr int kErrorPlotStyleInflate = 2;
inline constexpr int kErrorPlotStyleFileOpen = 3;
inline constexpr int kErrorPlotStyleSizeZero = 4;
inline constexpr int kErrorPlotStyleShortFile = 30;
inline constexpr int kErrorPlotStyleNoMemory = 136;

// The layout of a plot style table file.
inline constexpr long kPlotStyleUnpackedSizeOffset = 52;  // u32, little-endian
inline constexpr long kPlotStylePackedSizeOffset = 56;    // u32, little-endian
inline constexpr long kPlotStyleDataOffset = 60;          // the zlib stream

// Texts of a table are cut to this many bytes.
inline constexpr size_t kPlotStyleTextLimit = 511;
inline constexpr int kAciStyleCount = 255;
inline constexpr int kCustomLineweightCount = 27;

struct PlotStyle {
    std::string name;
    std::string localizedName;
    std::string description;
    int32_t color = 0;
    int16_t colorPolicy = 0;
    int16_t physicalPenNumber = 0;
    int16_t virtualPenNumber = 0;
    int16_t screen = 0;
    double linepatternSize = 0.0;
    int16_t linetype = 0;
    uint8_t adaptiveLinetype = 0;
    int16_t lineweight = 0;
    int16_t fillStyle = 0;
    int16_t endStyle = 0;
    int16_t joinStyle = 0;
    Handle dictionaryHandle;  // the drawing's ACAD_PLOTSTYLENAME entry of this style
    friend bool operator==(const PlotStyle&, const PlotStyle&) = default;
};

struct PlotStyleTable {
    uint8_t aciTableAvailable = 0;
    uint8_t applyFactor = 0;
    std::string description;
    double scaleFactor = 0.0;
    int16_t customLineweightDisplayUnits = 0;
    std::vector<PlotStyle> styles;  // in file order; only styles with a name
    // By colour index 0..254 the position of its style in `styles`, -1 for none; empty when the
    // file has no colour table or no styles.
    std::vector<int32_t> aciStyles;
    // Lineweights in millimetres by lineweight position (0 other codes, 1-26 the standard codes).
    std::array<double, kCustomLineweightCount> customLineweights{};
};

// Reads a plot style table file: 1 with the table, or 0 with none and error 3 (the file cannot
// be opened), 4 (a size field is 0), 30 (the file is shorter than its fields or its packed
// data), 2 (the data does not inflate: a damaged or truncated stream) or 136 (no memory).
int dbReadPlotStyleTable(const char* path, std::unique_ptr<PlotStyleTable>& out);

// The table of a file's bytes, with the errors of dbReadPlotStyleTable but 3. Bytes after the
// packed data are not read.
int dbPlotStyleTableFromBytes(std::span<const uint8_t> file, std::unique_ptr<PlotStyleTable>& out);

// Parses the text of a table (what the file's data inflates to). A colour entry that names no
// style sets error 2 and stays empty; the table is read all the same. 1, or 0 with error 136.
int dbParsePlotStyleText(std::string_view text, PlotStyleTable& out);

// Gives each style the handle of the drawing's ACAD_PLOTSTYLENAME entry that bears its
// localized name. Always 1.
int dbLinkPlotStyles(Drawing* drawing, PlotStyleTable* table);

// The style of a dictionary handle. The null handle means that no style applies: 1 with
// `out` untouched. Error 2 and 0 when no style has the handle (or there is no table).
int dbFindPlotStyle(Handle handle, const PlotStyleTable* table, const PlotStyle*& out);
// The style of that name or localized name, compared exactly; error 2 and 0 when absent.
int dbFindPlotStyleByName(std::string_view name, const PlotStyleTable* table, const PlotStyle*& out);
int dbFindPlotStyleByLocalizedName(std::string_view name, const PlotStyleTable* table, const PlotStyle*& out);

// Frees the table (null allowed). Always 1.
int dbFreePlotStyleTable(std::unique_ptr<PlotStyleTable>& table);

} // namespace tracemill
