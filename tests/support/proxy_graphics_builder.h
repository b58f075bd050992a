// Graphics streams of proxy entities made by hand, for the tests and the fuzz corpus of the
// player: record bodies written value by value (strings padded to a multiple of 4 with their
// terminator, odd 16-bit arrays padded), records framed by their size and type, a stream by its
// 8-byte head.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/point.h"

namespace tracemill::test {

class ProxyBody {
public:
    ProxyBody& longs(std::initializer_list<int32_t> values) {
        for (int32_t v : values) {
            uint8_t b[4];
            putLe32(b, uint32_t(v));
            put(b, 4);
        }
        return *this;
    }
    ProxyBody& doubles(std::initializer_list<double> values) {
        for (double v : values) {
            uint8_t b[8];
            putLe64(b, doubleBits(v));
            put(b, 8);
        }
        return *this;
    }
    ProxyBody& point(const Point3& p) { return doubles({p.x, p.y, p.z}); }
    ProxyBody& points(std::initializer_list<Point3> values) {
        for (const Point3& p : values) point(p);
        return *this;
    }
    // A counted point list: the count, then the points.
    ProxyBody& pointList(std::initializer_list<Point3> values) {
        longs({int32_t(values.size())});
        return points(values);
    }
    ProxyBody& string(const std::string& text) {
        put(text.c_str(), text.size() + 1);
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
        return *this;
    }
    ProxyBody& shorts(std::initializer_list<int16_t> values) {
        for (int16_t v : values) {
            uint8_t b[2];
            putLe16(b, uint16_t(v));
            put(b, 2);
        }
        if (values.size() % 2 != 0) bytes_.insert(bytes_.end(), 2, 0);
        return *this;
    }
    ProxyBody& raw(std::initializer_list<uint8_t> values) {
        bytes_.insert(bytes_.end(), values);
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    void put(const void* value, size_t n) {
        const auto* p = static_cast<const uint8_t*>(value);
        bytes_.insert(bytes_.end(), p, p + n);
    }
    std::vector<uint8_t> bytes_;
};

struct ProxyRecordImage {
    int32_t type = 0;
    ProxyBody body;
    int32_t sizeChange = 0;  // added to the size the record states (a damaged record)
};

// The stream: {total size, record count}, then each record {size, type, body}.
inline std::vector<uint8_t> proxyStream(const std::vector<ProxyRecordImage>& records) {
    std::vector<uint8_t> out(8, 0);
    for (const ProxyRecordImage& record : records) {
        const int32_t size = int32_t(8 + record.body.bytes().size()) + record.sizeChange;
        uint8_t head[8];
        putLe32(head, uint32_t(size));
        putLe32(head + 4, uint32_t(record.type));
        out.insert(out.end(), head, head + 8);
        out.insert(out.end(), record.body.bytes().begin(), record.body.bytes().end());
    }
    putLe32(out.data(), uint32_t(out.size()));
    putLe32(out.data() + 4, uint32_t(records.size()));
    return out;
}

} // namespace tracemill::test
