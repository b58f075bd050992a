// The writing field stream of the R13-2000 record layouts (toolkit/read/dwg13_field_io.h): the
// same methods as the reader's stream, writing each field with the bit writer. A layout called
// with this stream writes the record's fields in the order the reader reads them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/core/point.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/sanitize_double.h"
#include "toolkit/write/dwg13/acis_writer.h"
#include "toolkit/codec/bit_writer.h"
#include "toolkit/write/dwg13/text_output.h"

namespace tracemill {

class Dwg13FieldWriter {
  public:
    static constexpr bool kReading = false;

    Dwg13FieldWriter(BitWriter& bits, int versionIndex, Handle ownHandle = Handle(), int codePage = 0)
        : bits_(bits), version_(versionIndex), own_(ownHandle), codePage_(codePage) {}

    BitWriter& bits() { return bits_; }
    int version() const { return version_; }
    bool isR2000() const { return version_ >= kVersionAC1015; }
    bool isR14() const { return version_ == kVersionAC1014; }
    bool isR13() const { return version_ <= kVersionAC1012; }
    Handle ownHandle() const { return own_; }
    bool overrun() const { return false; }

    template <class T> void b(const T& v) { wrPutBit(bits_, v ? 1 : 0); }
    template <class T> void bb(const T& v) { bits_.putBits(uint64_t(v) & 3, 2); }
    template <class T> void bs(const T& v) { wrPutBitShort(bits_, uint16_t(v)); }
    template <class T> void bl(const T& v) { wrPutBitLong(bits_, int32_t(v)); }
    template <class T> void rc(const T& v) { wrPutRawChar(bits_, uint8_t(v)); }
    template <class T> void rs(const T& v) { bits_.putBits(uint16_t(v) & 0xFF, 8), bits_.putBits(uint16_t(v) >> 8, 8); }
    template <class T> void rl(const T& v) { wrPutRawLongBits(bits_, int32_t(v)); }
    // Doubles go out as the reader keeps them (sanitize_double.h): zeros of either sign,
    // denormals, infinities and NaNs as +0.0, so a file read back and written again is the same.
    void bd(double v) { wrPutBitDouble(bits_, kept(v)); }
    void rd(double v) { wrPutRawDouble(bits_, kept(v)); }
    void rd2(const Point2& v) { wrPut2RawDouble(bits_, kept(v)); }
    void rd2(const Point3& v) { wrPut2RawDouble(bits_, kept(Point2{v.x, v.y})); }
    void bd2(const Point2& v) { wrPut2BitDouble(bits_, kept(v)); }
    void bd3(const Point3& v) { wrPut3BitDouble(bits_, kept(v)); }
    void dd(double v, double defaultValue) { wrPutDefaultDouble(bits_, kept(v), kept(defaultValue)); }
    void t(const std::string& v, size_t /*maxLength*/) { wrPutTextCut(bits_, v, codePage_); }
    void bytes(const uint8_t* data, size_t count) { wrPutRawBytes(bits_, data, count); }
    void blBytes(const OwnedStream& v) {
        wrPutBitLong(bits_, int32_t(v.size()));
        wrPutRawBytes(bits_, v.bytes().data(), v.size());
    }
    // Bits kept most significant first, `count` of them.
    void restBits(uint32_t count, const OwnedStream& v) {
        const std::span<const uint8_t> data = v.bytes();
        for (uint32_t i = 0; i < count && i / 8 < data.size(); ++i)
            bits_.putBit((data[i / 8] >> (7 - i % 8)) & 1);
    }
    // Extrusions as the reader normalises them: along the z axis they are (0, 0, 1) or
    // (0, 0, -1).
    void ext(const Point3& v) { wrPut3BitDouble(bits_, normal(v)); }
    void be(const Point3& v) { wrPutExtrusion(bits_, normal(v)); }
    void bt(double v) { wrPutThickness(bits_, kept(v)); }
    void h(Handle v, unsigned code) { wrPutHandle(bits_, uint8_t(code << 4), v); }
    // Relative to the own handle where that is shorter (codes 6, 8, 10, 12), else absolute with
    // code 4; `code` with no bytes when the handle is the own handle.
    void rel(Handle v, unsigned code) { wrPutRelativeRef(bits_, v, own_, code); }
    void href(const ObjectReference& v) { wrPutTypedRef(bits_, v.handle, v.kind); }

    // The ACIS data of a REGION, 3DSOLID or BODY (acis_writer.h).
    void acisData(const AcisBody& v) { wrDwgAcisDataR13(bits_, v); }

    // Where the handle references start: the writer notes it for the record's size in bits.
    void handleStream() { handleStart_ = bits_.bitLength(); }
    uint64_t handleStreamStart() const { return handleStart_; }
    uint64_t handleBitsLeft() const { return 0; }

  private:
    static double kept(double v) { return SanitizeDouble(doubleBits(v)); }
    static Point2 kept(const Point2& p) { return Point2{kept(p.x), kept(p.y)}; }
    static Point3 kept(const Point3& p) { return Point3{kept(p.x), kept(p.y), kept(p.z)}; }
    static Point3 normal(const Point3& v) {
        Point3 p = kept(v);
        if (p.x == 0.0 && p.y == 0.0) p.z = p.z > 0.0 ? 1.0 : -1.0;
        return p;
    }

    BitWriter& bits_;
    int version_;
    Handle own_;
    int codePage_;
    uint64_t handleStart_ = 0;
};

} // namespace tracemill
