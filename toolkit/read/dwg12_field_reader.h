// The reading field stream of the record layouts of DWG files before R13 (table records in
// dwg12_table_layouts.h, entity bodies in dwg12_entity_layouts.h).
//
// Every layout of this format is written once, as a function template over a field stream `Io`,
// and is shared by the reader and the writer. A layout calls one method per stored field (u8,
// i16, rd, rd2, rd3, name, text ...) with the member that holds the value; optional entity
// fields name the option bit that announces them (opt, optU8, optI16, opt2, ext; announce for a
// field that is always there but has its bit), the head's flag byte its own call (entityFlag),
// and the elevation rules theirs (z, zUnlessFlat). `Io::kReading` marks the few places where the
// two directions differ; the writing stream is toolkit/write/dwg12/dwg12_field_writer.h.
//
// Dwg12FieldReader reads one record held in memory. A read past the record's end gives zeros
// and marks the reader overrun; nothing outside the record is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "toolkit/core/entity_header.h"
#include "toolkit/core/point.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/byte_cursor.h"
#include "toolkit/read/dwg12_file_layout.h"

namespace tracemill {

class Dwg12FieldReader {
  public:
    static constexpr bool kReading = true;

    Dwg12FieldReader(std::span<const uint8_t> record, int versionIndex, size_t start = 0)
        : in_(record, start), version_(versionIndex) {}

    int version() const { return version_; }
    bool overrun() const { return in_.overrun(); }
    ByteCursor& cursor() { return in_; }

    template <class T> void u8(T& v) { v = T(in_.u8()); }
    template <class T> void i16(T& v) { v = T(int16_t(in_.le16())); }
    template <class T> void u16(T& v) { v = T(in_.le16()); }
    template <class T> void u32(T& v) { v = T(in_.le32()); }
    void rd(double& v) { v = in_.rawDouble(); }
    void rd2(Point2& v) { rdCursor2Doubles(in_, v); }
    // Two doubles into x and y; z is set by the layout.
    void rd2(Point3& v) {
        v.x = in_.rawDouble();
        v.y = in_.rawDouble();
    }
    void rd3(Point3& v) { rdCursor3Doubles(in_, v); }
    void skip(size_t count) { in_.skip(count); }

    // A zero-padded text field of `width` bytes: its bytes up to the first NUL.
    void name(std::string& v, size_t width) {
        const std::span<const uint8_t> bytes = in_.take(width);
        const auto* chars = reinterpret_cast<const char*>(bytes.data());
        const void* nul = bytes.empty() ? nullptr : std::memchr(chars, 0, bytes.size());
        v.assign(chars, nul ? size_t(static_cast<const char*>(nul) - chars) : bytes.size());
    }

    // A 16-bit length and that many bytes. A length above `max` calls the error callback with 5
    // and leaves the text empty; its bytes are passed over, so the fields after it are read in
    // their place. A text that ends at a NUL keeps the bytes before it.
    void text(std::string& v, size_t max) {
        const size_t length = in_.le16();
        v.clear();
        if (length > max) {
            dbNotifyError(kErrorReasonBadLength);
            in_.skip(length);
            return;
        }
        const std::span<const uint8_t> bytes = in_.take(length);
        const auto* chars = reinterpret_cast<const char*>(bytes.data());
        const void* nul = bytes.empty() ? nullptr : std::memchr(chars, 0, bytes.size());
        v.assign(chars, nul ? size_t(static_cast<const char*>(nul) - chars) : bytes.size());
    }

    // --- Entity records: set by the entity reader before the kind's layout runs.
    uint16_t options = 0;           // the option word of the head
    uint8_t entityFlags = 0;        // the head's flag byte
    double elevation = 0.0;         // the head's elevation, 0 when it has none
    EntityHeader* header = nullptr; // receives the extrusion

    bool has(uint32_t bit) const { return (options & bit) != 0; }

    // Optional fields: read when the option word has the bit, else the default.
    void opt(uint32_t bit, double& v, double defaultValue) { v = has(bit) ? in_.rawDouble() : defaultValue; }
    template <class T> void optU8(uint32_t bit, T& v, T defaultValue) {
        v = has(bit) ? T(in_.u8()) : defaultValue;
    }
    template <class T> void optI16(uint32_t bit, T& v, T defaultValue) {
        v = has(bit) ? T(int16_t(in_.le16())) : defaultValue;
    }
    // An optional double whose presence is kept: `present` is 1 when the record carried it.
    template <class T> void optFlagged(uint32_t bit, double& v, T& present) {
        present = T(has(bit) ? 1 : 0);
        if (present) rd(v);
    }
    void opt2(uint32_t bit, Point2& v) {
        if (has(bit))
            rd2(v);
        else
            v = Point2{};
    }
    // A 2D point with the option bit, into x and y of a 3D point; `hasPoint` tells whether the
    // record carried it.
    template <class T> void opt2(uint32_t bit, Point3& v, T& hasPoint) {
        hasPoint = T(has(bit) ? 1 : 0);
        if (hasPoint) rd2(v);
    }

    // The extrusion (3RD) with the option bit: the header's extrusion flag is set unless the
    // value is exactly (0, 0, 1).
    void ext(uint32_t bit) {
        if (!has(bit)) return;
        Point3 extrusion;
        rd3(extrusion);
        if (!header) return;
        header->extrusion = extrusion;
        const bool unit = extrusion == Point3{0.0, 0.0, 1.0};
        header->flags =
            uint8_t(unit ? header->flags & ~kEntityHasExtrusion : header->flags | kEntityHasExtrusion);
    }

    // The elevation of the head as a point's z, or as a value of its own (POLYLINE).
    void z(Point3& v) const { v.z = elevation; }
    void z(double& v) const { v = elevation; }
    // A field that is always there but has an option bit (set by writers): nothing to read.
    void announce(uint32_t) const {}
    // A value the head's flag byte carries: 1 when the flag is set.
    template <class T> void entityFlag(uint8_t flag, T& v) const { v = T((entityFlags & flag) ? 1 : 0); }
    // From "AC1006" a 3D point's z follows its x and y unless the entity is flat.
    void zUnlessFlat(Point3& v) {
        if (version_ >= 3 && !(entityFlags & kDwg12EntityFlat)) rd(v.z);
    }

  private:
    ByteCursor in_;
    int version_;
};

} // namespace tracemill
