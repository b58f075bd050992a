// The type of a DXF group's value by its group code, and how binary files store it: one table
// for the DXF reader and the DXF writer.
//
// The types are the same in ASCII and binary files. Binary files store most values in the
// width of their type; a few codes are stored differently there, as the files that other
// programs write show: 290-299 in one byte, 311-319 as length-prefixed chunks like 310, and
// 420-429, 440-449, 450-459 (32-bit) and 460-469 (doubles) as numbers although their groups
// are text. The reader turns those numbers into the text an ASCII file would hold, so that a
// group reads the same from both encodings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tracemill {

enum class DxfValueType : uint8_t {
    Text,        // every code not listed below (0-4, 6-9, 100, 102, 300-309, 999, 1000-1003 ...)
    Real,        // 10-59, 110-149, 210-239, 1010-1059
    Short,       // 60-79, 170-179, 270-299, 370-389, 400-409, 1060-1070
    Long,        // 90-99, 1071
    Handle,      // 5, 105, 320-369, 390-399, 1005: hexadecimal text
    BinaryChunk, // 310-319, 1004: hexadecimal text in ASCII files, bytes in binary ones
};

enum class DxfBinaryForm : uint8_t {
    String,       // bytes up to a zero byte
    Double,       // 8 bytes, little-endian
    Int16,        // 2 bytes, little-endian
    Int32,        // 4 bytes, little-endian
    Byte,         // 1 byte (290-299), a 16-bit value
    Chunk,        // a length byte and that many bytes
    Int32AsText,  // 4 bytes of a group whose value is text (420-459)
    DoubleAsText, // 8 bytes of a group whose value is text (460-469)
};

struct DxfCodeForm {
    DxfValueType type = DxfValueType::Text;
    DxfBinaryForm binary = DxfBinaryForm::String;
};

namespace dxf_detail {

inline constexpr uint16_t kTypedCodes = 1072; // codes from here on are text

constexpr std::array<DxfCodeForm, kTypedCodes> makeCodeForms() {
    std::array<DxfCodeForm, kTypedCodes> forms{};
    auto set = [&](int first, int last, DxfValueType type, DxfBinaryForm binary) {
        for (int code = first; code <= last; ++code)
            forms[size_t(code)] = {type, binary};
    };
    using T = DxfValueType;
    using B = DxfBinaryForm;
    set(10, 59, T::Real, B::Double);
    set(110, 149, T::Real, B::Double);
    set(210, 239, T::Real, B::Double);
    set(1010, 1059, T::Real, B::Double);
    set(60, 79, T::Short, B::Int16);
    set(170, 179, T::Short, B::Int16);
    set(270, 289, T::Short, B::Int16);
    set(290, 299, T::Short, B::Byte);
    set(370, 389, T::Short, B::Int16);
    set(400, 409, T::Short, B::Int16);
    set(1060, 1070, T::Short, B::Int16);
    set(90, 99, T::Long, B::Int32);
    set(1071, 1071, T::Long, B::Int32);
    set(5, 5, T::Handle, B::String);
    set(105, 105, T::Handle, B::String);
    set(320, 369, T::Handle, B::String);
    set(390, 399, T::Handle, B::String);
    set(1005, 1005, T::Handle, B::String);
    set(310, 319, T::BinaryChunk, B::Chunk);
    set(1004, 1004, T::BinaryChunk, B::Chunk);
    set(420, 459, T::Text, B::Int32AsText);
    set(430, 439, T::Text, B::String);
    set(460, 469, T::Text, B::DoubleAsText);
    return forms;
}

inline constexpr std::array<DxfCodeForm, kTypedCodes> kCodeForms = makeCodeForms();

constexpr std::array<uint8_t, kTypedCodes> makeBinaryWidths() {
    std::array<uint8_t, kTypedCodes> widths{};
    for (size_t code = 0; code < kTypedCodes; ++code) {
        switch (kCodeForms[code].binary) {
        case DxfBinaryForm::Double:
        case DxfBinaryForm::DoubleAsText: widths[code] = 8; break;
        case DxfBinaryForm::Int32:
        case DxfBinaryForm::Int32AsText: widths[code] = 4; break;
        case DxfBinaryForm::Int16: widths[code] = 2; break;
        case DxfBinaryForm::Byte: widths[code] = 1; break;
        case DxfBinaryForm::String:
        case DxfBinaryForm::Chunk: break;
        }
    }
    return widths;
}
inline constexpr std::array<uint8_t, kTypedCodes> kBinaryWidths = makeBinaryWidths();

} // namespace dxf_detail

inline DxfCodeForm dxfCodeForm(uint16_t code) {
    return code < dxf_detail::kTypedCodes ? dxf_detail::kCodeForms[code] : DxfCodeForm{};
}
// The bytes that the binary value of a code takes when its size is fixed; 0 for strings and
// chunks.
inline size_t dxfBinaryWidth(uint16_t code) {
    return code < dxf_detail::kTypedCodes ? dxf_detail::kBinaryWidths[code] : 0;
}
inline DxfValueType dxfValueType(uint16_t code) {
    return dxfCodeForm(code).type;
}

} // namespace tracemill
