// Builds small Windows metafiles for tests, record by record, with the metafile header's
// object count and sizes filled in by bytes().
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "platform/ole/metafile_format.h"

namespace tracemill::test {

class MetafileWriter {
public:
    // A record of 16-bit parameter words, and optionally raw bytes after them (a bitmap).
    MetafileWriter& record(uint16_t function, std::initializer_list<int32_t> words, std::span<const uint8_t> tail = {}) {
        std::vector<uint8_t> params;
        for (int32_t w : words) {
            params.push_back(uint8_t(w));
            params.push_back(uint8_t(uint32_t(w) >> 8));
        }
        params.insert(params.end(), tail.begin(), tail.end());
        if (params.size() % 2) params.push_back(0);
        const uint32_t size = uint32_t(3 + params.size() / 2);
        put32(records_, size);
        put16(records_, function);
        records_.insert(records_.end(), params.begin(), params.end());
        return *this;
    }
    MetafileWriter& pen(uint16_t style, int16_t width, uint32_t colour) {
        ++objects_;
        return record(ole::kMetaCreatePenIndirect, {style, width, 0, int32_t(colour & 0xFFFF), int32_t(colour >> 16)});
    }
    MetafileWriter& brush(uint16_t style, uint32_t colour) {
        ++objects_;
        return record(ole::kMetaCreateBrushIndirect, {style, int32_t(colour & 0xFFFF), int32_t(colour >> 16), 0});
    }
    MetafileWriter& select(uint16_t index) { return record(ole::kMetaSelectObject, {index}); }
    MetafileWriter& window(int16_t x, int16_t y, int16_t width, int16_t height) {
        record(ole::kMetaSetWindowOrg, {y, x});
        return record(ole::kMetaSetWindowExt, {height, width});
    }
    // Points as x, y pairs.
    MetafileWriter& poly(uint16_t function, std::initializer_list<int16_t> xy) {
        std::vector<uint8_t> tail;
        for (int16_t v : xy) put16(tail, uint16_t(v));
        return record(function, {int32_t(xy.size() / 2)}, tail);
    }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out;
        const uint32_t words = uint32_t(ole::kMetaHeaderSize / 2 + records_.size() / 2 + 3);
        put16(out, 1);
        put16(out, ole::kMetaHeaderWords);
        put16(out, 0x0300);
        put32(out, words);
        put16(out, objects_);
        put32(out, 0);
        put16(out, 0);
        out.insert(out.end(), records_.begin(), records_.end());
        put32(out, 3);
        put16(out, ole::kMetaEof);
        return out;
    }

private:
    static void put16(std::vector<uint8_t>& b, uint16_t v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
    }
    static void put32(std::vector<uint8_t>& b, uint32_t v) {
        put16(b, uint16_t(v));
        put16(b, uint16_t(v >> 16));
    }

    std::vector<uint8_t> records_;
    uint16_t objects_ = 0;
};

} // namespace tracemill::test
