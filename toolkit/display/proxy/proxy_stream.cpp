#include "toolkit/display/proxy/proxy_stream.h"

#include <algorithm>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/geometry_lists.h"

namespace tracemill {
namespace {

constexpr size_t kRecordHead = 8;
constexpr size_t kStreamHead = 8;
constexpr size_t kPointBytes = 24;
// Linetype indexes of BYLAYER and BYBLOCK as records store them.
constexpr int32_t kStoredByLayer = -1;
constexpr int32_t kStoredByBlock = -2;

// Whether n items of that size are left (n not negative).
bool fits(const ProxyCursor& cursor, int64_t n, size_t size) {
    return n >= 0 && uint64_t(n) <= cursor.left() / size;
}

int readText(ProxyCursor& c, ProxyText& text) {
    return pgGetPoint(c, text.position) && pgGetPoint(c, text.normal) && pgGetPoint(c, text.direction);
}

int readPlainText(ProxyCursor& c, ProxyText& text) {
    return readText(c, text) && pgGetDouble(c, text.height) && pgGetDouble(c, text.widthFactor) &&
           pgGetDouble(c, text.obliqueAngle) && pgGetPaddedString(c, text.text, kProxyTextBuffer) != 0;
}

// Text with options: the string, its length (-1 the whole), a flag, height, width factor,
// oblique angle and one more double, five flags, the font file and a second font file.
int readTextWithOptions(ProxyCursor& c, ProxyText& text) {
    int32_t length = -1, flag = 0;
    double spacing = 0.0;
    std::string secondFont;
    if (!readText(c, text) || !pgGetPaddedString(c, text.text, kProxyTextBuffer) || !pgGetLong(c, length) ||
        !pgGetLong(c, flag) || !pgGetDouble(c, text.height) || !pgGetDouble(c, text.widthFactor) ||
        !pgGetDouble(c, text.obliqueAngle) || !pgGetDouble(c, spacing) || !pgSkipLongs(c, 5) ||
        !pgGetPaddedString(c, text.fontFile, kProxyFontBuffer) || !pgGetPaddedString(c, secondFont, kProxyFontBuffer))
        return 0;
    if (length >= 0 && size_t(length) < text.text.size()) text.text.resize(size_t(length));
    return 1;
}

int readPoints(ProxyCursor& c, ProxyRecord& record) {
    int32_t count = 0;
    return pgGetLong(c, count) && pgGetPointArray(c, count, record.points);
}

// The clip boundary: normal, a point, the count and that many 2D points; the transforms and
// flags after them are not used.
int readClipBoundary(ProxyCursor& c, ProxyRecord& record) {
    Point3 normal, point;
    int32_t count = 0;
    if (!pgGetPoint(c, normal) || !pgGetPoint(c, point) || !pgGetLong(c, count) || !fits(c, count, 16)) return 0;
    record.points.resize(size_t(count));
    for (Point3& p : record.points) {
        if (!pgGetDouble(c, p.x) || !pgGetDouble(c, p.y)) return 0;
    }
    return 1;
}

// A transform stored row by row for column vectors (its translation in the last column).
int readTransform(ProxyCursor& c, Matrix4& out) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (!pgGetDouble(c, out.at(column, row))) return 0;
        }
    }
    return 1;
}

int readBody(ProxyCursor& c, ProxyRecord& record) {
    switch (record.type) {
    case kProxyExtents: return pgGetPointArray(c, 2, record.points);
    case kProxyCircle:
        return pgGetPoint(c, record.centre) && pgGetDouble(c, record.radius) && pgGetPoint(c, record.normal);
    case kProxyArc:
        return pgGetPoint(c, record.centre) && pgGetDouble(c, record.radius) && pgGetPoint(c, record.normal) &&
               pgGetPoint(c, record.startVector) && pgGetDouble(c, record.sweep) && pgSkipLongs(c, 1);
    case kProxyCircle3P: return pgGetPointArray(c, 3, record.points);
    case kProxyArc3P: return pgGetPointArray(c, 3, record.points) && pgSkipLongs(c, 1);
    case kProxyPolyline:
    case kProxyPolygon:
    case kProxyPolylineWithNormal: return readPoints(c, record);
    case kProxyMesh:
        if (!pgGetLong(c, record.rows) || !pgGetLong(c, record.columns)) return 0;
        record.body = c.take(c.left());
        return 1;
    case kProxyShell:
        if (!pgGetLong(c, record.rows)) return 0;
        record.body = c.take(c.left());
        return 1;
    case kProxyText: return readPlainText(c, record.text);
    case kProxyTextWithOptions: return readTextWithOptions(c, record.text);
    case kProxyXline:
    case kProxyRay: return pgGetPointArray(c, 2, record.points);
    case kProxyColour:
    case kProxyLayer:
    case kProxyFill: return pgGetLong(c, record.value);
    case kProxyLinetype:
        if (!pgGetLong(c, record.value)) return 0;
        if (record.value == kStoredByLayer) record.value = kMlineLinetypeByLayer;
        if (record.value == kStoredByBlock) record.value = kMlineLinetypeByBlock;
        return 1;
    case kProxyClipBoundary: return readClipBoundary(c, record);
    case kProxyPushTransform: return readTransform(c, record.transform);
    default: return 1;  // records the player does not draw are passed over by their size
    }
}

} // namespace

ProxyCursor ProxyCursor::take(size_t n) {
    ProxyCursor part;
    part.data = data;
    part.position = position;
    part.end = position + std::min(n, left());
    position = part.end;
    return part;
}

int pgSkipHead(ProxyCursor& cursor) {
    if (cursor.left() < kStreamHead) return 0;
    cursor.position += kStreamHead;
    return 1;
}

int pgGetLong(ProxyCursor& cursor, int32_t& out) {
    if (cursor.left() < 4) return 0;
    out = int32_t(getLe32(cursor.data + cursor.position));
    cursor.position += 4;
    return 1;
}

int pgGetDouble(ProxyCursor& cursor, double& out) {
    if (cursor.left() < 8) return 0;
    out = doubleFromBits(getLe64(cursor.data + cursor.position));
    cursor.position += 8;
    return 1;
}

int pgGetPoint(ProxyCursor& cursor, Point3& out) {
    if (cursor.left() < kPointBytes) return 0;
    pgGetDouble(cursor, out.x);
    pgGetDouble(cursor, out.y);
    pgGetDouble(cursor, out.z);
    return 1;
}

int pgGetShortArray(ProxyCursor& cursor, int32_t n, std::vector<int16_t>& out) {
    const int64_t padded = int64_t(n) + (n & 1);
    if (!fits(cursor, padded, 2)) return 0;
    out.resize(size_t(n));
    for (int16_t& value : out) {
        value = int16_t(getLe16(cursor.data + cursor.position));
        cursor.position += 2;
    }
    if (n & 1) cursor.position += 2;
    return 1;
}

int pgGetLongArray(ProxyCursor& cursor, int32_t n, std::vector<int32_t>& out) {
    if (!fits(cursor, n, 4)) return 0;
    out.resize(size_t(n));
    for (int32_t& value : out) pgGetLong(cursor, value);
    return 1;
}

int pgGetPointArray(ProxyCursor& cursor, int32_t n, std::vector<Point3>& out) {
    if (!fits(cursor, n, kPointBytes)) return 0;
    out.resize(size_t(n));
    for (Point3& point : out) pgGetPoint(cursor, point);
    return 1;
}

int pgSkipLongs(ProxyCursor& cursor, int32_t n) {
    if (!fits(cursor, n, 4)) return 0;
    cursor.position += size_t(n) * 4;
    return 1;
}

int pgSkipPoints(ProxyCursor& cursor, int32_t n) {
    if (!fits(cursor, n, kPointBytes)) return 0;
    cursor.position += size_t(n) * kPointBytes;
    return 1;
}

int pgGetPaddedString(ProxyCursor& cursor, std::string& out, size_t bufferSize) {
    const uint8_t* start = cursor.data + cursor.position;
    const uint8_t* nul = std::find(start, start + cursor.left(), uint8_t(0));
    if (nul == start + cursor.left()) return 0;
    const size_t count = size_t(nul - start) + 1;
    const size_t kept = std::min(count - 1, bufferSize > 0 ? bufferSize - 1 : 0);
    out.assign(reinterpret_cast<const char*>(start), kept);
    cursor.position += std::min((count + 3) / 4 * 4, cursor.left());
    return int(count);
}

int pgReadRecord(ProxyCursor& cursor, ProxyRecord& record) {
    const size_t start = cursor.position;
    int32_t size = 0, type = 0;
    if (!pgGetLong(cursor, size) || !pgGetLong(cursor, type) || size < int32_t(kRecordHead) ||
        size_t(size) - kRecordHead > cursor.left()) {
        cursor.position = cursor.end;
        return 0;
    }
    record = ProxyRecord{};
    record.type = type;
    ProxyCursor body = cursor.take(size_t(size) - kRecordHead);
    record.next = start + size_t(size);
    if (!readBody(body, record)) {
        record = ProxyRecord{};
        record.next = start + size_t(size);
    }
    return 1;
}

} // namespace tracemill
