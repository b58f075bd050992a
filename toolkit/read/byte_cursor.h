// Bounds-checked reading of a range of bytes held in memory (a DWG file, one of its sections,
// a record buffer). A read that does not fit in what is left gives 0, moves the cursor to the
// end and marks it overrun; nothing is ever read outside the range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/point.h"
#include "toolkit/read/sanitize_double.h"

namespace tracemill {

class ByteCursor {
  public:
    ByteCursor() = default;
    explicit ByteCursor(std::span<const uint8_t> bytes, size_t position = 0) : bytes_(bytes) {
        seek(position);
    }

    size_t position() const { return pos_; }
    size_t size() const { return bytes_.size(); }
    size_t remaining() const { return bytes_.size() - pos_; }
    bool atEnd() const { return pos_ == bytes_.size(); }
    bool overrun() const { return overrun_; }

    // Moves to a position; one beyond the end marks the cursor overrun and leaves it at the end.
    bool seek(size_t position) {
        if (position > bytes_.size()) return fail();
        pos_ = position;
        return true;
    }
    bool skip(size_t count) { return count <= remaining() ? seek(pos_ + count) : fail(); }

    // The next `count` bytes, or an empty range when fewer are left.
    std::span<const uint8_t> take(size_t count) {
        if (count > remaining()) {
            fail();
            return {};
        }
        std::span<const uint8_t> run = bytes_.subspan(pos_, count);
        pos_ += count;
        return run;
    }

    uint8_t u8() { return remaining() >= 1 ? bytes_[pos_++] : uint8_t(fail()); }
    uint16_t le16() { return fits(2) ? getLe16(advance(2)) : uint16_t(0); }
    uint32_t le32() { return fits(4) ? getLe32(advance(4)) : 0u; }
    uint16_t be16() { return fits(2) ? getBe16(advance(2)) : uint16_t(0); }
    // A raw little-endian double, sanitised.
    double rawDouble() { return fits(8) ? SanitizeDouble(advance(8)) : 0.0; }

  private:
    bool fail() {
        overrun_ = true;
        pos_ = bytes_.size();
        return false;
    }
    bool fits(size_t count) { return count <= remaining() || fail(); }
    const uint8_t* advance(size_t count) {
        const uint8_t* at = bytes_.data() + pos_;
        pos_ += count;
        return at;
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    bool overrun_ = false;
};

// The record cursor of the readers of R12-and-older DWG records: consecutive raw doubles, each
// sanitised; every double moves the cursor by 8 bytes.
inline double rdCursorDouble(ByteCursor& cursor) {
    return cursor.rawDouble();
}
inline void rdCursor2Doubles(ByteCursor& cursor, Point2& out) {
    out.x = cursor.rawDouble();
    out.y = cursor.rawDouble();
}
inline void rdCursor3Doubles(ByteCursor& cursor, Point3& out) {
    out.x = cursor.rawDouble();
    out.y = cursor.rawDouble();
    out.z = cursor.rawDouble();
}

} // namespace tracemill
