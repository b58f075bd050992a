#include "toolkit/display/display_list_code.h"

#include "toolkit/core/byte_order.h"

namespace tracemill {
namespace {

constexpr int32_t kSmallStep = 127;

bool small(int32_t step) {
    return step >= -kSmallStep && step <= kSmallStep;
}

} // namespace

size_t genDlistEncodeStroke(uint8_t* out, uint8_t kind, int32_t lastX, int32_t lastY, int32_t x, int32_t y) {
    const int32_t dx = x - lastX, dy = y - lastY;
    if (dx == 0 && dy == 0) {
        out[0] = uint8_t(kind | kDlistYGiven);
        out[1] = 0;
        return 2;
    }
    if (dy == 0) {
        if (small(dx)) {
            out[0] = uint8_t(kind | kDlistXGiven);
            out[1] = uint8_t(int8_t(dx));
            return 2;
        }
        out[0] = uint8_t(kind | kDlistXGiven | kDlistAbsolute);
        putLe16(out + 1, uint16_t(x));
        return 3;
    }
    if (dx == 0) {
        if (small(dy)) {
            out[0] = uint8_t(kind | kDlistYGiven);
            out[1] = uint8_t(int8_t(dy));
            return 2;
        }
        out[0] = uint8_t(kind | kDlistYGiven | kDlistAbsolute);
        putLe16(out + 1, uint16_t(y));
        return 3;
    }
    if (small(dx) && small(dy)) {
        out[0] = uint8_t(kind | kDlistXGiven | kDlistYGiven);
        out[1] = uint8_t(int8_t(dx));
        out[2] = uint8_t(int8_t(dy));
        return 3;
    }
    out[0] = uint8_t(kind | kDlistXGiven | kDlistYGiven | kDlistAbsolute);
    putLe16(out + 1, uint16_t(x));
    putLe16(out + 3, uint16_t(y));
    return 5;
}

size_t genDlistEncodeState(uint8_t* out, const int32_t* colour, const int32_t* width) {
    size_t n = 1;
    uint8_t flags = 0;
    if (colour) {
        if (*colour >= 0 && *colour <= 255) {
            flags |= kDlistStateColour;
            out[n++] = uint8_t(*colour);
        } else {
            flags |= kDlistStateWideColour;
            putLe16(out + n, uint16_t(int16_t(*colour)));
            n += 2;
        }
    }
    if (width) {
        if (*width >= 0 && *width <= 255) {
            flags |= kDlistStateWidth;
            out[n++] = uint8_t(*width);
        } else {
            flags |= kDlistStateWideWidth;
            putLe32(out + n, uint32_t(*width));
            n += 4;
        }
    }
    out[0] = uint8_t(kDlistState | flags);
    return n;
}

size_t genDlistEncodeHostRecordHead(uint8_t* out, uint8_t kind, uint32_t size) {
    out[0] = kDlistHostRecord;
    out[1] = kind;
    putLe32(out + 2, size);
    return kDlistHostRecordHead;
}

bool genDlistDecode(const uint8_t*& p, const uint8_t* end, int32_t& lastX, int32_t& lastY, DlistRecord& out) {
    if (p >= end) return false;
    const uint8_t code = p[0];
    const size_t left = size_t(end - p);
    out.hasColour = out.hasWidth = false;
    if (code & kDlistState) {
        const uint8_t flags = code & 0x7F;
        const size_t need = 1 + ((flags & kDlistStateColour) ? 1 : 0) +
                            ((flags & kDlistStateWideColour) ? 2 : 0) + ((flags & kDlistStateWidth) ? 1 : 0) +
                            ((flags & kDlistStateWideWidth) ? 4 : 0);
        if (flags > 0x0F || need > left) return false;
        const uint8_t* q = p + 1;
        out.kind = DlistRecord::Kind::State;
        if (flags & kDlistStateColour) {
            out.hasColour = true;
            out.colour = *q++;
        } else if (flags & kDlistStateWideColour) {
            out.hasColour = true;
            out.colour = int16_t(getLe16(q));
            q += 2;
        }
        if (flags & kDlistStateWidth) {
            out.hasWidth = true;
            out.width = *q++;
        } else if (flags & kDlistStateWideWidth) {
            out.hasWidth = true;
            out.width = int32_t(getLe32(q));
            q += 4;
        }
        p += need;
        return true;
    }
    if (code & kDlistPolygon) {
        if (code != kDlistPolygon && code != kDlistPolyPolygon) return false;
        out.kind =
            code == kDlistPolygon ? DlistRecord::Kind::PolygonBracket : DlistRecord::Kind::PolyPolygonBracket;
        ++p;
        return true;
    }
    if (code & kDlistHostRecord) {
        if (code != kDlistHostRecord || left < kDlistHostRecordHead) return false;
        const size_t size = getLe32(p + 2);
        if (size > left - kDlistHostRecordHead) return false;
        out.kind = DlistRecord::Kind::HostRecord;
        out.hostKind = p[1];
        out.host = p + kDlistHostRecordHead;
        out.hostSize = size;
        p += kDlistHostRecordHead + size;
        return true;
    }
    const uint8_t kind = code & (kDlistMove | kDlistLine);
    const bool xGiven = code & kDlistXGiven, yGiven = code & kDlistYGiven;
    if ((kind != kDlistMove && kind != kDlistLine) || (!xGiven && !yGiven)) return false;
    const bool absolute = code & kDlistAbsolute;
    const size_t need = 1 + (xGiven ? (absolute ? 2 : 1) : 0) + (yGiven ? (absolute ? 2 : 1) : 0);
    if (need > left) return false;
    const uint8_t* q = p + 1;
    int32_t x = lastX, y = lastY;
    if (xGiven) {
        x = absolute ? int32_t(getLe16(q)) : lastX + int8_t(*q);
        q += absolute ? 2 : 1;
    }
    if (yGiven) y = absolute ? int32_t(getLe16(q)) : lastY + int8_t(*q);
    out.kind = kind == kDlistMove ? DlistRecord::Kind::Move : DlistRecord::Kind::Line;
    out.x = lastX = x;
    out.y = lastY = y;
    p += need;
    return true;
}

} // namespace tracemill
