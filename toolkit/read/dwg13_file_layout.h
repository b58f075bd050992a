// The byte layout of an R13 to 2000 DWG file around its bit-coded sections: the file header
// with its section locators, the sentinels that frame the sections, and the preview image
// section. One definition for the reader and the writer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tracemill::dwg13 {

inline constexpr size_t kSentinelSize = 16;
using Sentinel = std::array<uint8_t, kSentinelSize>;

inline constexpr Sentinel kFileHeaderEnd = {0x95, 0xA0, 0x4E, 0x28, 0x99, 0x82, 0x1A, 0xE5,
                                            0x5E, 0x41, 0xE0, 0x5F, 0x9D, 0x3A, 0x4D, 0x00};
inline constexpr Sentinel kHeaderVariablesStart = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                                   0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
inline constexpr Sentinel kHeaderVariablesEnd = {0x30, 0x84, 0xE0, 0xDC, 0x02, 0x21, 0xC7, 0x56,
                                                 0xA0, 0x83, 0x97, 0x47, 0xB1, 0x92, 0xCC, 0xA0};
inline constexpr Sentinel kClassesStart = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                           0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};
inline constexpr Sentinel kClassesEnd = {0x72, 0x5E, 0x3B, 0x47, 0x3B, 0x56, 0x07, 0x3A,
                                         0x3F, 0x23, 0x0B, 0xA0, 0x18, 0x30, 0x49, 0x75};
inline constexpr Sentinel kImageStart = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                         0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
inline constexpr Sentinel kImageEnd = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7,
                                       0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};
inline constexpr Sentinel kSecondHeaderStart = {0xD4, 0x7B, 0x21, 0xCE, 0x28, 0x93, 0x9F, 0xBF,
                                                0x53, 0x24, 0x40, 0x09, 0x12, 0x3C, 0xAA, 0x01};
inline constexpr Sentinel kSecondHeaderEnd = {0x2B, 0x84, 0xDE, 0x31, 0xD7, 0x6C, 0x60, 0x40,
                                              0xAC, 0xDB, 0xBF, 0xF6, 0xED, 0xC3, 0x55, 0xFE};

// File header, all numbers little-endian.
inline constexpr size_t kSignatureSize = 6;
inline constexpr size_t kMaintenanceOffset = 11;  // the maintenance release byte
inline constexpr size_t kImageOffsetField = 13;   // RL: the preview image section
inline constexpr size_t kCodePageOffset = 19;     // RS: the drawing's code page
inline constexpr size_t kLocatorCountOffset = 21; // RL: number of locator records
inline constexpr size_t kLocatorsOffset = 25;     // the locator records
inline constexpr size_t kLocatorSize = 9;         // RC number, RL position, RL size

// Locator records by their place in the list.
enum LocatorIndex : size_t {
    kLocatorHeaderVariables = 0,
    kLocatorClasses = 1,
    kLocatorObjectMap = 2,
    kLocatorDescriptor = 3,  // only range-checked by the reader
    kLocatorMeasurement = 4, // "AC1014" and "AC1015": the block that holds MEASUREMENT
    kLocatorFixedBlock = 5,  // "AC1015"
};
// The records whose positions must lie in the file.
inline constexpr size_t kRequiredLocators = 4;

// A framed section (header variables, classes): the start sentinel, RL size of the data, the
// data, a CRC-16 (not checked by the reader), the end sentinel.
inline constexpr size_t kSectionDataOffset = kSentinelSize + 4;

// Preview image section: the start sentinel, RL overall size, RC entry count, then per entry
// RC code, RL start, RL size.
inline constexpr uint8_t kImageEntryHeader = 1;
inline constexpr uint8_t kImageEntryBitmap = 2;
inline constexpr uint8_t kImageEntryMetafile = 3;

} // namespace tracemill::dwg13
