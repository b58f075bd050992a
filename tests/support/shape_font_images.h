// Shape files made in memory from their shapes' bytes, for the tests and fuzz harnesses of
// text drawing: a shape font (1.0 or 1.1), a unifont and a big font, in the layouts the
// shape-file reader reads (toolkit/core/fonts/shape_file_reader.h).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace tracemill::test {

// One shape: its number and its bytes (the NUL-terminated name, then the codes).
struct ShapeImage {
    uint16_t number = 0;
    std::vector<uint8_t> bytes;
};

// A shape's bytes from a name and its codes (the end code is not added).
inline std::vector<uint8_t> shapeBytes(const std::string& name, std::initializer_list<int> codes) {
    std::vector<uint8_t> bytes(name.begin(), name.end());
    bytes.push_back(0);
    for (int code : codes) bytes.push_back(uint8_t(code));
    return bytes;
}

// The font-information shape 0 of a shape font or unifont.
inline ShapeImage fontInformation(uint8_t above, uint8_t below, uint8_t modes = 0) {
    return {0, shapeBytes("INFO", {above, below, modes, 0})};
}

namespace shape_image_detail {

inline void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

inline std::vector<uint8_t> header(const std::string& text) {
    std::vector<uint8_t> out(text.begin(), text.end());
    out.resize(23, ' ');
    out.push_back(0x1A);
    return out;
}

} // namespace shape_image_detail

// A shape font: version "1.0" or "1.1"; the shapes in file order.
inline std::vector<uint8_t> shapeFontImage(const std::vector<ShapeImage>& shapes, const std::string& version = "1.0") {
    using namespace shape_image_detail;
    std::vector<uint8_t> out = header("test shapes " + version);
    uint16_t first = 0xFFFF;
    uint16_t last = 0;
    for (const ShapeImage& shape : shapes) {
        first = shape.number < first ? shape.number : first;
        last = shape.number > last ? shape.number : last;
    }
    put16(out, shapes.empty() ? 0 : first);
    put16(out, last);
    put16(out, uint32_t(shapes.size()));
    for (const ShapeImage& shape : shapes) {
        put16(out, shape.number);
        put16(out, uint32_t(shape.bytes.size()));
    }
    for (const ShapeImage& shape : shapes) out.insert(out.end(), shape.bytes.begin(), shape.bytes.end());
    return out;
}

inline std::vector<uint8_t> unifontImage(const std::vector<ShapeImage>& shapes) {
    using namespace shape_image_detail;
    std::vector<uint8_t> out = header("test unifont 1.0");
    put16(out, uint32_t(shapes.size()));
    for (const ShapeImage& shape : shapes) {
        put16(out, shape.number);
        put16(out, uint32_t(shape.bytes.size()));
        out.insert(out.end(), shape.bytes.begin(), shape.bytes.end());
    }
    return out;
}

// A big font: its lead-byte ranges {first, last}, its cell height and its shapes (each in a
// slot of its own after the information slot).
inline std::vector<uint8_t> bigFontImage(const std::vector<std::pair<uint16_t, uint16_t>>& ranges, uint8_t height,
                                         const std::vector<ShapeImage>& shapes) {
    using namespace shape_image_detail;
    std::vector<uint8_t> out = header("test bigfont 1.0");
    const uint32_t slots = uint32_t(shapes.size() + 1);
    put16(out, 0);
    put16(out, slots);
    put16(out, uint32_t(ranges.size()));
    for (const auto& [first, last] : ranges) {
        put16(out, first);
        put16(out, last);
    }
    const std::vector<uint8_t> information = shapeBytes("BIGINFO", {height, 0, 0, height, 0});
    uint32_t offset = uint32_t(out.size() + 8 * slots);
    std::vector<uint8_t> data;
    auto slot = [&](uint16_t code, const std::vector<uint8_t>& bytes) {
        put16(out, code);
        put16(out, uint32_t(bytes.size()));
        put32(out, offset + uint32_t(data.size()));
        data.insert(data.end(), bytes.begin(), bytes.end());
    };
    slot(0, information);
    for (const ShapeImage& shape : shapes) slot(shape.number, shape.bytes);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

} // namespace tracemill::test
