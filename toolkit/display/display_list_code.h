// The byte code of a display-list cell: the one definition of its records, written by the
// recorders and read by the replay. Every record starts with one byte:
//
//   0x80 + flags   state change: the colour index (1 byte) with flag 1, the line width (1 byte,
//                  as the host received it) with flag 2; a colour that does not fit a byte
//                  comes as a 16-bit value with flag 4, a width as a 32-bit value with flag 8
//   0x40 / 0x41    opens and closes a filled polygon (0x41: a polygon with holes, filled
//                  alternately); the moves and lines between the brackets are its outline,
//                  each of its loops starting with a move
//   0x20           host record: a kind byte, the 32-bit length of what follows and that many
//                  bytes (display_list_host_records.h)
//   otherwise      a move or line, bits: 0 move, 1 line, 2 absolute 16-bit coordinates instead
//                  of signed 8-bit steps, 3 x given, 4 y given (9/10, 13/14, 17/18, 21/22,
//                  25/26, 29/30); steps are taken from the last point written into the cell
//
// "Small" steps are -127 to 127; multi-byte values are little-endian. A line whose x and y are
// both unchanged is written as code 18 with step 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tracemill {

inline constexpr uint8_t kDlistMove = 0x01;
inline constexpr uint8_t kDlistLine = 0x02;
inline constexpr uint8_t kDlistAbsolute = 0x04;
inline constexpr uint8_t kDlistXGiven = 0x08;
inline constexpr uint8_t kDlistYGiven = 0x10;
inline constexpr uint8_t kDlistHostRecord = 0x20;
inline constexpr uint8_t kDlistPolygon = 0x40;
inline constexpr uint8_t kDlistPolyPolygon = 0x41;
inline constexpr uint8_t kDlistState = 0x80;

inline constexpr uint8_t kDlistStateColour = 0x01;
inline constexpr uint8_t kDlistStateWidth = 0x02;
inline constexpr uint8_t kDlistStateWideColour = 0x04;
inline constexpr uint8_t kDlistStateWideWidth = 0x08;

// The longest record of a move, line or state change; the head of a host record.
inline constexpr size_t kDlistLongestRecord = 7;
inline constexpr size_t kDlistHostRecordHead = 6;

// Writes the shortest move (kDlistMove) or line (kDlistLine) record from the cell's last point
// (lastX, lastY) to (x, y), both on the grid, into `out`; its length.
size_t genDlistEncodeStroke(uint8_t* out, uint8_t kind, int32_t lastX, int32_t lastY, int32_t x, int32_t y);

// Writes a state change of the colour (when `colour` is set) and the width (when `width` is
// set) into `out`; its length.
size_t genDlistEncodeState(uint8_t* out, const int32_t* colour, const int32_t* width);

// Writes the head of a host record of that kind whose bytes follow (`size` of them) into
// `out`; kDlistHostRecordHead bytes.
size_t genDlistEncodeHostRecordHead(uint8_t* out, uint8_t kind, uint32_t size);

// One record read back.
struct DlistRecord {
    enum class Kind { Move, Line, State, PolygonBracket, PolyPolygonBracket, HostRecord };
    Kind kind = Kind::Move;
    int32_t x = 0; // move and line: the point
    int32_t y = 0;
    bool hasColour = false; // state change
    int32_t colour = 0;
    bool hasWidth = false;
    int32_t width = 0;
    uint8_t hostKind = 0; // host record: its kind and its bytes
    const uint8_t* host = nullptr;
    size_t hostSize = 0;
};

// Reads the record at `p` (before `end`), moving `p` past it; moves and lines are taken from
// (lastX, lastY), which become their point. false (nothing read) at the end of the bytes or
// at a record that is cut short or unknown.
bool genDlistDecode(const uint8_t*& p, const uint8_t* end, int32_t& lastX, int32_t& lastY, DlistRecord& out);

} // namespace tracemill
