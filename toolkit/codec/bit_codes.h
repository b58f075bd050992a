// The prefix codes of the DWG bit encodings and the reference codes of handles: one definition
// for the bit reader (toolkit/read/dwg_bit_reader.h) and the bit writer (bit_writer.h).
#pragma once

namespace tracemill::bitcode {

// BS, bit-short: two bits, then
inline constexpr unsigned kShortWord = 0; // 16 bits, low byte first
inline constexpr unsigned kShortByte = 1; // one unsigned byte
inline constexpr unsigned kShortZero = 2; // nothing: 0
inline constexpr unsigned kShort256 = 3;  // nothing: 256

// BL, bit-long: two bits, then
inline constexpr unsigned kLongWord = 0; // 4 bytes, low byte first
inline constexpr unsigned kLongByte = 1; // one unsigned byte
inline constexpr unsigned kLongZero = 2; // nothing: 0 (the unused code 3 reads as 0 too)

// BD, bit-double: two bits, then
inline constexpr unsigned kDoubleRaw = 0;  // 8 bytes of the double, low byte first
inline constexpr unsigned kDoubleOne = 1;  // nothing: 1.0
inline constexpr unsigned kDoubleZero = 2; // nothing: 0.0 (the unused code 3 reads as 0.0 too)

// DD, a double against a default: two bits, then
inline constexpr unsigned kDefaultSame = 0;   // nothing: the default
inline constexpr unsigned kDefaultPatch4 = 1; // 4 bytes replace bytes 0-3 of the default
inline constexpr unsigned kDefaultPatch6 = 2; // 2 bytes replace bytes 4-5, then 4 bytes bytes 0-3
inline constexpr unsigned kDefaultRaw = 3;    // 8 bytes of the double

// H, a handle reference: one byte, reference code in the high nibble and the number of handle
// bytes that follow in the low nibble, then those bytes, most significant first.
inline constexpr unsigned kRefSoftOwner = 2;
inline constexpr unsigned kRefHardOwner = 3;
inline constexpr unsigned kRefSoftPointer = 4;
inline constexpr unsigned kRefHardPointer = 5;
// Codes from here on are relative to a reference handle (the referring object's own handle).
inline constexpr unsigned kRefFirstRelative = 6;
inline constexpr unsigned kRefNext = 6;         // reference + 1, no bytes
inline constexpr unsigned kRefPrevious = 8;     // reference - 1, no bytes
inline constexpr unsigned kRefPlusOffset = 10;  // reference + the bytes
inline constexpr unsigned kRefMinusOffset = 12; // reference - the bytes
inline constexpr unsigned kMaxHandleBytes = 8;

} // namespace tracemill::bitcode
