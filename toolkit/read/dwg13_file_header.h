// The file header of an R13 to 2000 DWG file: version, maintenance release, code page, the
// position of the preview image and the section locators.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tracemill {

// Error numbers of the R13-2000 file structure.
inline constexpr int kErrorDwgUnknownVersion = 8;
inline constexpr int kErrorDwgAc1013NotEnabled = 286;
inline constexpr int kErrorDwgLocatorOutside = 186;
inline constexpr int kErrorDwgControlMissing = 300;
inline constexpr int kErrorDwgClassesTooLarge = 12;

struct Dwg13Locator {
    uint8_t number = 0; // as stored; records are taken by their place in the list
    uint32_t position = 0;
    uint32_t size = 0;
};

struct Dwg13FileHeader {
    int versionIndex = -1;
    uint8_t maintenance = 0; // the whole byte
    uint32_t imagePosition = 0;
    uint16_t codePage = 0;
    std::vector<Dwg13Locator> locators;
};

// Reads the file header of a file of version index 5 to 7 (the caller has taken the version)
// and checks every locator position against the file: a locator list that does not fit, fewer
// than three records (header variables, classes, object map) or a position beyond the end of
// the file fail with 186. 1 or 0.
int rdDwg13ReadFileHeader(std::span<const uint8_t> file, int versionIndex, Dwg13FileHeader& out);

// The data of a framed section (header variables, classes) at `position`: after the 16-byte
// sentinel, a 32-bit size and that many bytes. False when the size or the data do not fit in the
// file.
bool rdDwg13FramedSection(std::span<const uint8_t> file, uint64_t position, std::span<const uint8_t>& data);

} // namespace tracemill
