// Field streams for the record layouts of R13 to 2000 DWG files.
//
// Every layout of this format (header variables, classes, table records, objects, entities) is
// written once, as a function template over a field stream `Io`, and is shared by the reader
// and the writer. A layout calls one method per stored field, named by the field's code (b, bb,
// bs, bl, bd, rc, rs, rl, rd, rd2, bd3, dd, t, bt, be, ext, h ...), and passes the member that
// holds the value. `Io::kReading` marks the few places where the two directions differ: a value
// the writer derives from the record (a flag byte that says which fields follow), or a default
// the reader sets before the fields that may leave it in place.
//
// Dwg13FieldReader is the reading stream over a BitReader. Handle references are read against
// the record's own handle: every code from 6 on is relative to it, whichever field it is in.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/core/point.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg13_acis.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/read/dwg_handle_refs.h"

namespace tracemill {

// Text limits of the format's fields.
inline constexpr size_t kDwgNameLimit = 512;
inline constexpr size_t kDwgLongTextLimit = 1024;
inline constexpr size_t kDwgTextValueLimit = 2048;

class Dwg13FieldReader {
  public:
    static constexpr bool kReading = true;

    Dwg13FieldReader(BitReader& bits, int versionIndex, Handle ownHandle = Handle())
        : bits_(bits), version_(versionIndex), own_(ownHandle) {}

    BitReader& bits() { return bits_; }
    int version() const { return version_; }
    // R13 and R14 (index 5 and 6) against 2000 (index 7).
    bool isR2000() const { return version_ >= kVersionAC1015; }
    bool isR14() const { return version_ == kVersionAC1014; }
    bool isR13() const { return version_ <= kVersionAC1012; }
    Handle ownHandle() const { return own_; }
    bool overrun() const { return bits_.overrun(); }

    template <class T> void b(T& v) { v = T(rdBit(bits_)); }
    template <class T> void bb(T& v) { v = T(rdTwoBits(bits_)); }
    template <class T> void bs(T& v) { v = T(rdBitShort(bits_)); }
    template <class T> void bl(T& v) { v = T(rdBitLong(bits_)); }
    template <class T> void rc(T& v) { v = T(rdRawChar(bits_)); }
    template <class T> void rs(T& v) { v = T(rdRawShort(bits_)); }
    template <class T> void rl(T& v) { v = T(rdRawLong(bits_)); }
    void bd(double& v) { v = rdBitDouble(bits_); }
    void rd(double& v) { v = rdRawDouble(bits_); }
    void rd2(Point2& v) { v = rdRaw2Double(bits_); }
    // 2RD into a 3D point whose z the layout sets otherwise.
    void rd2(Point3& v) {
        const Point2 p = rdRaw2Double(bits_);
        v.x = p.x;
        v.y = p.y;
    }
    void bd2(Point2& v) {
        v.x = rdBitDouble(bits_);
        v.y = rdBitDouble(bits_);
    }
    void bd3(Point3& v) { v = rdBit3Double(bits_); }
    void dd(double& v, double defaultValue) { v = rdBitDefaultDouble(bits_, defaultValue); }
    // T: a text of at most `maxLength` bytes; a longer one is passed over and leaves `v`. Texts
    // end at their first NUL: some writers count a terminating NUL in the length.
    void t(std::string& v, size_t maxLength) {
        if (rdBitText(bits_, v, maxLength)) {
            const size_t nul = v.find('\0');
            if (nul != std::string::npos) v.resize(nul);
        }
    }
    // Raw bytes.
    void bytes(uint8_t* out, size_t count) { rdBitRawBytes(bits_, out, count); }
    // BL byte count, then that many raw bytes into a stream (none for a count of 0). A count
    // beyond the data left marks the reader overrun and stores nothing.
    void blBytes(OwnedStream& v) {
        const uint32_t count = uint32_t(rdBitLong(bits_));
        v.reset();
        if (count == 0) return;
        if (count > bits_.bitsLeft() / 8) {
            bits_.markOverrun();
            return;
        }
        PagedStream* stream = v.create(kStreamPageSize);
        if (!stream) return;
        stream->bytes.resize(count);
        bits_.readBytes(stream->bytes.data(), count);
    }

    // The data bits from here to the start of the handle references (to the end of the data
    // without a known start), packed most significant bit first, with their count.
    void restBits(uint32_t& count, OwnedStream& v) {
        const uint64_t at = bits_.bitPosition();
        const uint64_t end = hasHandleStart_ && handleStart_ >= at && handleStart_ <= bits_.bytes().size() * uint64_t(8)
                                 ? handleStart_
                                 : bits_.bytes().size() * uint64_t(8);
        count = uint32_t(end - at);
        v.reset();
        if (count == 0) return;
        PagedStream* stream = v.create(kStreamPageSize);
        if (!stream) return;
        stream->bytes.assign((count + 7) / 8, 0);
        uint32_t whole = count / 8;
        bits_.readBytes(stream->bytes.data(), whole);
        if (const unsigned tail = count % 8) stream->bytes[whole] = uint8_t(bits_.readBits(tail) << (8 - tail));
    }

    // The ACIS data of a REGION, 3DSOLID or BODY, up to the handle references.
    void acisData(AcisBody& v) {
        const uint64_t size = bits_.bytes().size() * uint64_t(8);
        rdDwg13ReadAcisData(bits_, hasHandleStart_ && handleStart_ <= size ? handleStart_ : size, v);
    }

    // The handle references of a record start where its prologue says (the record's size in
    // bits); the fields before may end short of it in files whose writer knows fields this
    // reader does not. Without a known start the handles follow the fields.
    void setHandleStreamStart(uint64_t bit) {
        handleStart_ = bit;
        hasHandleStart_ = true;
    }
    void handleStream() {
        fieldsEnd_ = bits_.bitPosition();
        if (!hasHandleStart_) return;
        if (fieldsEnd_ != handleStart_ && mismatches_) ++*mismatches_;
        if (handleStart_ <= bits_.bytes().size() * uint64_t(8)) bits_.seekBit(handleStart_);
    }
    // Counts the records whose fields do not end where their handles start (a layout that the
    // file's writer extended, or damage).
    void countMismatchesIn(uint32_t* counter) { mismatches_ = counter; }
    // Where the fields ended, and whether that is the handle stream's start.
    uint64_t fieldsEnd() const { return fieldsEnd_; }
    bool fieldsEndAtHandles() const { return !hasHandleStart_ || fieldsEnd_ == handleStart_; }
    // Bits left for handle references.
    uint64_t handleBitsLeft() const { return bits_.bitsLeft(); }

    // An extrusion stored as 3BD, normalised: with x and y both 0, z becomes 1 or -1 by its
    // sign (0 gives -1).
    void ext(Point3& v) {
        v = rdBit3Double(bits_);
        normaliseExtrusion(v);
    }
    // The 2000 extrusion: one bit, 1 for (0, 0, 1), else 3BD as ext.
    void be(Point3& v) {
        if (rdBit(bits_)) {
            v = Point3{0.0, 0.0, 1.0};
            return;
        }
        ext(v);
    }
    // The 2000 thickness: one bit, 1 for 0.0, else BD.
    void bt(double& v) { v = rdBit(bits_) ? 0.0 : rdBitDouble(bits_); }

    // H: a handle reference (the code is the writer's; the reader takes any code, resolving the
    // relative ones against the own handle).
    void h(Handle& v, unsigned /*code*/) { v = rdReadRelativeHandle(bits_, own_); }
    // A reference the writer may give relative to the own handle (an owner, the entities before
    // and after in a chain): read as any other.
    void rel(Handle& v, unsigned code) { h(v, code); }
    // A handle reference that keeps its kind (1 soft pointer, 2 hard pointer, 3 soft owner, 4
    // hard owner).
    void href(ObjectReference& v) {
        const uint8_t code = peekCode();
        v.handle = rdReadRelativeHandle(bits_, own_);
        v.kind = uint8_t(((code >> 4) & 3) + 1);
    }

    static void normaliseExtrusion(Point3& v) {
        if (v.x == 0.0 && v.y == 0.0) v.z = v.z > 0.0 ? 1.0 : -1.0;
    }

  private:
    uint8_t peekCode() {
        const uint64_t at = bits_.bitPosition();
        const uint8_t code = bits_.readByte();
        bits_.seekBit(at);
        return code;
    }

    static constexpr int kStreamPageSize = 4096;

    BitReader& bits_;
    int version_;
    Handle own_;
    uint64_t handleStart_ = 0;
    bool hasHandleStart_ = false;
    uint64_t fieldsEnd_ = 0;
    uint32_t* mismatches_ = nullptr;
};

} // namespace tracemill
