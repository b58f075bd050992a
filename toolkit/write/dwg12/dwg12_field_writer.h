// The writing field stream of the record layouts of DWG files before R13: the layouts of
// toolkit/read/dwg12_table_layouts.h and dwg12_entity_layouts.h run over it to append a record's
// fields to a byte buffer, little-endian, in the order the reader takes them.
//
// Optional entity fields are written when their value is not the default or when the writer set
// their option bit before the layout ran (an alignment point with an alignment set), and each
// written one sets its bit. The bits a layout tests with `has` (a dimension's further points, a
// polyface face record) and the flat flag of entities with 3D points are the writer's to set
// before the layout runs. `z` gives the elevation of the record's head: the z of the first point
// that carries it.
//
// Doubles are written as the readers take them: zeros of either sign, denormals, infinities and
// NaNs as +0.0, so that a file read back and written again gives the same bytes. A value that
// does not fit its field (a count, a position, a length, a text beyond its limit) marks the
// stream failed instead of being cut or wrapped; a zero-padded text field longer than its width
// is cut at a character boundary (the format holds no more) and the host hears warning 96.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/point.h"
#include "toolkit/read/dwg12_file_layout.h"

namespace tracemill {

// Appends a 16-bit value or a double (as a reader takes it) to a record being built.
void wrDwg12PutShort(std::vector<uint8_t>& out, uint16_t value);
void wrDwg12PutDouble(std::vector<uint8_t>& out, double value);

class Dwg12FieldWriter {
  public:
    static constexpr bool kReading = false;

    // Appends to `out`; `codePage` decides where double-byte characters are.
    Dwg12FieldWriter(std::vector<uint8_t>& out, int versionIndex, int codePage)
        : out_(out), version_(versionIndex), codePage_(codePage) {}

    int version() const { return version_; }
    // A value did not fit its field.
    bool overrun() const { return failed_; }

    template <class T> void u8(T& v) { putInteger(v, 1, std::numeric_limits<uint8_t>::min(), 0xFF); }
    // 16 bits: a signed or an unsigned value.
    template <class T> void i16(T& v) { putInteger(v, 2, INT16_MIN, 0xFFFF); }
    template <class T> void u16(T& v) { putInteger(v, 2, INT16_MIN, 0xFFFF); }
    template <class T> void u32(T& v) { putInteger(v, 4, INT32_MIN, 0xFFFFFFFFll); }
    void rd(double& v) { putDouble(v); }
    void rd2(Point2& v) {
        putDouble(v.x);
        putDouble(v.y);
    }
    void rd2(Point3& v) {
        putDouble(v.x);
        putDouble(v.y);
    }
    void rd3(Point3& v) {
        putDouble(v.x);
        putDouble(v.y);
        putDouble(v.z);
    }
    void skip(size_t count) { out_.insert(out_.end(), count, 0); }

    // A zero-padded text field of `width` bytes.
    void name(std::string& v, size_t width);
    // A 16-bit length and the bytes; a text holding double-byte characters gets two zero bytes
    // more, which the length counts. Longer than `max`: the stream fails.
    void text(std::string& v, size_t max);

    // --- Entity records: set by the entity writer before the kind's layout runs.
    uint16_t options = 0;
    uint8_t entityFlags = 0;
    const EntityHeader* header = nullptr; // gives the extrusion
    // The z of the first point that carries the elevation (`z`), with whether one did.
    double elevation = 0.0;
    bool hasElevation = false;

    bool has(uint32_t bit) const { return (options & bit) != 0; }
    void announce(uint32_t bit) { options = uint16_t(options | bit); }
    template <class T> void entityFlag(uint8_t flag, T& v) {
        if (v) entityFlags = uint8_t(entityFlags | flag);
    }

    void opt(uint32_t bit, double& v, double defaultValue) {
        if (!has(bit) && readAs(v) == defaultValue) return;
        announce(bit);
        putDouble(v);
    }
    template <class T> void optU8(uint32_t bit, T& v, T defaultValue) {
        if (!has(bit) && v == defaultValue) return;
        announce(bit);
        u8(v);
    }
    template <class T> void optI16(uint32_t bit, T& v, T defaultValue) {
        if (!has(bit) && v == defaultValue) return;
        announce(bit);
        i16(v);
    }
    template <class T> void optFlagged(uint32_t bit, double& v, T& present) {
        if (!present) return;
        announce(bit);
        putDouble(v);
    }
    void opt2(uint32_t bit, Point2& v) {
        if (!has(bit) && readAs(v.x) == 0.0 && readAs(v.y) == 0.0) return;
        announce(bit);
        rd2(v);
    }
    template <class T> void opt2(uint32_t bit, Point3& v, T& hasPoint) {
        if (!hasPoint) return;
        announce(bit);
        rd2(v);
    }
    // The header's extrusion, unless it is exactly (0, 0, 1).
    void ext(uint32_t bit);

    void z(Point3& v) { z(v.z); }
    void z(double& v) {
        if (hasElevation) return;
        elevation = readAs(v);
        hasElevation = true;
    }
    void zUnlessFlat(Point3& v) {
        if (version_ >= 3 && !(entityFlags & kDwg12EntityFlat)) putDouble(v.z);
    }

    // The value a reader takes from the double's bytes.
    static double readAs(double v);

  private:
    template <class T> void putInteger(const T& v, int width, long long lowest, long long highest) {
        long long value = static_cast<long long>(v);
        if (value < lowest || value > highest) {
            failed_ = true;
            value = 0;
        }
        const uint64_t bits = uint64_t(value);
        for (int i = 0; i < width; ++i)
            out_.push_back(uint8_t(bits >> (8 * i)));
    }
    void putDouble(double v);

    std::vector<uint8_t>& out_;
    int version_;
    int codePage_;
    bool failed_ = false;
};

} // namespace tracemill
