// Writing the bit streams of R13 to 2000 DWG files: the bit writer and one writer per
// bit-coded value type, in the encodings that the bit reader reads
// (toolkit/read/dwg_bit_reader.h; the shared codes are in bit_codes.h).
//
// The writer collects the bits in memory (a 64-bit register in front of a byte buffer that
// keeps its memory from record to record; a full register goes to the buffer as one word); it cannot fail other than by running out of memory
// (std::bad_alloc). The value writers return 1, as every writer of the format does.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"

namespace tracemill {

class BitWriter {
  public:
    // Empties the writer; the memory it holds is kept for the next record.
    void reset() {
        used_ = 0;
        pending_ = 0;
        pendingBits_ = 0;
    }
    void putBit(int bit) { putBits(bit ? 1u : 0u, 1); }
    // The low `count` bits of `value` (count 0 to 64), the highest of them first.
    void putBits(uint64_t value, unsigned count) {
        if (count == 0) return;
        if (count < 64) value &= (uint64_t(1) << count) - 1;
        const unsigned room = 64 - pendingBits_; // 1 to 64
        if (count < room) {
            pending_ |= value << (room - count);
            pendingBits_ += count;
            return;
        }
        // The register fills up: its 8 bytes go to the buffer, the rest of the value stays.
        const unsigned rest = count - room; // 0 to 63
        pending_ |= value >> rest;
        storeRegister();
        used_ += 8;
        pending_ = rest ? value << (64 - rest) : 0;
        pendingBits_ = rest;
    }
    void putBytes(const uint8_t* bytes, size_t count);

    // Bits written so far.
    uint64_t bitLength() const { return uint64_t(used_) * 8 + pendingBits_; }
    // The bytes written so far; the unused low bits of a started last byte are 0. The view
    // holds until the next write or reset.
    std::span<const uint8_t> view() const {
        if (pendingBits_ > 0) storeRegister();
        return {bytes_.data(), used_ + (pendingBits_ + 7) / 8};
    }
    // The same bytes as a vector of their own.
    const std::vector<uint8_t>& bytes() const {
        const std::span<const uint8_t> written = view();
        copy_.assign(written.begin(), written.end());
        return copy_;
    }
    std::vector<uint8_t> takeBytes() {
        const std::span<const uint8_t> written = view();
        std::vector<uint8_t> taken(written.begin(), written.end());
        reset();
        return taken;
    }
    // Overwrites `count` bits (up to 64) from bit `position` on with the low bits of `value`,
    // the highest first; the bits must have been written already.
    void patchBits(uint64_t position, uint64_t value, unsigned count);

  private:
    // The buffer holds this many bytes past the whole bytes once anything is stored, so that
    // the register (and a patch of up to 64 bits inside it) can be stored as whole 64-bit words.
    static constexpr size_t kSlack = 16;

    // Stores the register, the highest byte first, at the end of the whole bytes.
    void storeRegister() const {
        if (bytes_.size() < used_ + kSlack) grow(0);
        const uint64_t big = std::endian::native == std::endian::little ? __builtin_bswap64(pending_) : pending_;
        std::memcpy(bytes_.data() + used_, &big, sizeof big);
    }
    // Makes room for `extra` more bytes (and the slack).
    void grow(size_t extra) const;

    // The whole bytes written (the first used_ of them) and room behind them (none before the
    // first word); the bytes of the register are stored behind the whole bytes when they are
    // looked at.
    mutable std::vector<uint8_t> bytes_;
    size_t used_ = 0;
    // Bits not yet whole bytes of the buffer, the first of them in the highest bit; the bits
    // below them are 0.
    uint64_t pending_ = 0;
    unsigned pendingBits_ = 0; // 0 to 63
    // What bytes() hands out.
    mutable std::vector<uint8_t> copy_;
};

// B
int wrPutBit(BitWriter& writer, int bit);
// RC
int wrPutRawChar(BitWriter& writer, uint8_t value);
// BS: 0 as 10; 256 as 11; below 256 as 01 and the byte; else 00 and two bytes, low first.
int wrPutBitShort(BitWriter& writer, uint16_t value);
// BL: 0 as 10; 1 to 255 as 01 and the byte; else 00 and four bytes, low first.
int wrPutBitLong(BitWriter& writer, int32_t value);
// BD: the bit pattern of 0.0 as 10, of 1.0 as 01, anything else (-0.0 too) as 00 and RD.
int wrPutBitDouble(BitWriter& writer, double value);
// RD: the 8 bytes of the double, low first.
int wrPutRawDouble(BitWriter& writer, double value);
// RL: 4 bytes, low first.
int wrPutRawLongBits(BitWriter& writer, int32_t value);
// A run of raw bytes.
int wrPutRawBytes(BitWriter& writer, const uint8_t* bytes, size_t count);
// T: BS length, then the bytes, no terminator. A text longer than a bit-short can count is
// cut to 65,535 bytes.
int wrPutText(BitWriter& writer, std::string_view text);
// H: one byte (shiftedCode, the reference code times 16, plus the number of significant
// bytes of the handle), then those bytes, most significant first.
int wrPutHandle(BitWriter& writer, uint8_t shiftedCode, Handle handle);
// H of a stored reference by its kind: 1 soft pointer (code 4), 2 hard pointer (5), 3 soft
// owner (2), 4 hard owner (3), any other kind code 0.
int wrPutTypedRef(BitWriter& writer, Handle handle, uint8_t kind);
// 2RD, 2BD, 3BD
int wrPut2RawDouble(BitWriter& writer, const Point2& point);
int wrPut2BitDouble(BitWriter& writer, const Point2& point);
int wrPut3BitDouble(BitWriter& writer, const Point3& point);
// DD: 00 when the value equals the default, else 11 and RD.
int wrPutDefaultDouble(BitWriter& writer, double value, double defaultValue);
int wrPut3DefaultDouble(BitWriter& writer, const Point3& point, const Point3& defaultPoint);
// B (set when z is 0.0), RD x, RD y, and RD z unless it is 0.0.
int wrPutFirstCorner(BitWriter& writer, const Point3& point);
// The LINE form: B (set when both z are 0.0), RD x1, DD x2 (x1), RD y1, DD y2 (y1), and
// unless the bit is set RD z1, DD z2 (z1).
int wrPutLinePoints(BitWriter& writer, const Point3& start, const Point3& end);
// BT: 0.0 as bit 1, else bit 0 and BD.
int wrPutThickness(BitWriter& writer, double thickness);
// BE: exactly (0, 0, 1) as bit 1, else bit 0 and 3BD.
int wrPutExtrusion(BitWriter& writer, const Point3& extrusion);
// A reference from the object `own` to `target`: the smallest of the relative forms (codes 6,
// 8, 10, 12) or the absolute form with code 4; `code` is used when target equals own.
int wrPutRelativeRef(BitWriter& writer, Handle target, Handle own, unsigned code);

// The object map's modular chars. Unsigned: the handle in 7-bit groups, lowest first, every
// byte but the last with 0x80 set (1 to 10 bytes). Signed: the magnitude likewise, bit 0x40 of
// the last byte the sign, one more byte when the last group uses that bit (1 to 6 bytes).
// Both return the number of bytes stored in `out`.
int wrModularChar(uint8_t out[10], Handle handle);
int wrSignedModularChar(uint8_t out[6], int32_t value);

} // namespace tracemill
