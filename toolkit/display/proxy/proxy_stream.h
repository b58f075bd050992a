// The graphics stream of a proxy entity: what the application that made the entity recorded of
// its drawing. After an 8-byte head come records, each {i32 size counting its own 8-byte head,
// i32 type, body}, little-endian, doubles of 8 bytes, points of three doubles. Inside a body a
// string is NUL-terminated and padded with up to 3 bytes to a multiple of 4, and an array of
// 16-bit values of odd length is followed by one 16-bit pad.
//
// The readers work on a cursor that never passes its end: a read that would is a short read,
// which consumes nothing and gives 0. Record bodies are read within their record, whose size
// is checked against the stream, and every count is checked against the bytes its record has
// left before anything is sized from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

// Record types.
enum ProxyRecordType : int32_t {
    kProxyExtents = 1,
    kProxyCircle = 2,
    kProxyCircle3P = 3,
    kProxyArc = 4,
    kProxyArc3P = 5,
    kProxyPolyline = 6,
    kProxyPolygon = 7,
    kProxyMesh = 8,
    kProxyShell = 9,
    kProxyText = 10,
    kProxyTextWithOptions = 11,
    kProxyXline = 12,
    kProxyRay = 13,
    kProxyColour = 14,
    kProxyLayer = 16,
    kProxyLinetype = 18,
    kProxyFill = 20,
    kProxyClipBoundary = 27,
    kProxyPushTransform = 29,
    kProxyPopTransform = 31,
    kProxyPolylineWithNormal = 32,
};

// Longest strings kept of a text record (the terminator counted): its text and its font names.
inline constexpr size_t kProxyTextBuffer = 1024;
inline constexpr size_t kProxyFontBuffer = 512;

// A read position in the bytes of a stream, with the end it must not pass.
struct ProxyCursor {
    const uint8_t* data = nullptr;
    size_t end = 0;
    size_t position = 0;

    ProxyCursor() = default;
    explicit ProxyCursor(std::span<const uint8_t> bytes) : data(bytes.data()), end(bytes.size()) {}
    size_t left() const { return position < end ? end - position : 0; }
    // The cursor over the next n bytes (fewer when fewer are left), which this one passes.
    ProxyCursor take(size_t n);
};

// The readers: 1, or 0 on a short read.
int pgSkipHead(ProxyCursor& cursor);
int pgGetLong(ProxyCursor& cursor, int32_t& out);
int pgGetDouble(ProxyCursor& cursor, double& out);
int pgGetPoint(ProxyCursor& cursor, Point3& out);
// n values; fails on a negative n.
int pgGetShortArray(ProxyCursor& cursor, int32_t n, std::vector<int16_t>& out);  // and the pad of an odd n
int pgGetLongArray(ProxyCursor& cursor, int32_t n, std::vector<int32_t>& out);
int pgGetPointArray(ProxyCursor& cursor, int32_t n, std::vector<Point3>& out);
int pgSkipLongs(ProxyCursor& cursor, int32_t n);
int pgSkipPoints(ProxyCursor& cursor, int32_t n);
// A NUL-terminated string and its pad: at most bufferSize - 1 characters are kept, the rest
// read past. The count of bytes read up to the pad (the terminator included), or 0 when the
// string has no terminator before the end.
int pgGetPaddedString(ProxyCursor& cursor, std::string& out, size_t bufferSize);

// The text of a text record.
struct ProxyText {
    Point3 position;
    Point3 normal{0.0, 0.0, 1.0};
    Point3 direction{1.0, 0.0, 0.0};
    double height = 0.0;
    double widthFactor = 0.0;
    double obliqueAngle = 0.0;
    std::string text;      // cut at the length of a record with options
    std::string fontFile;  // of a record with options; empty for the default
};

// One record as the player uses it.
struct ProxyRecord {
    int32_t type = 0;  // 0 for a record whose body is damaged: it is passed over
    size_t next = 0;   // where the next record starts
    // The points of extents (1), three-point curves (3, 5), polylines (6, 32), polygons (7)
    // and infinite lines (12, 13); a clip boundary's 2D points with z = 0 (27).
    std::vector<Point3> points;
    Point3 centre;       // circle and arc
    Point3 normal;       // circle and arc
    Point3 startVector;  // arc
    double radius = 0.0;
    double sweep = 0.0;
    ProxyText text;      // 10, 11
    int32_t value = 0;   // colour, layer, linetype (-1 read as 32767, -2 as 32766), fill
    int32_t rows = 0;    // mesh rows, or the vertex count of a shell
    int32_t columns = 0; // mesh columns
    Matrix4 transform = kIdentityMatrix4;  // of a pushed transform: what follows is taken through it
    ProxyCursor body;    // mesh and shell: their data after the counts, up to the record's end
};

// Reads the record at the cursor and moves the cursor to the next one. 0 at the stream's end,
// for a record shorter than its head or reaching past the stream: playback ends there. A body
// that does not fit its record gives type 0.
int pgReadRecord(ProxyCursor& cursor, ProxyRecord& record);

} // namespace tracemill
