// Helpers of the image decoder tests: the reference pictures of the fixtures (the same
// formulas as tests/data/image/patterns.py) and in-memory streams for hand-made inputs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/bmp_format.h"
#include "app/image/decode/image_stream.h"
#include "test_paths.h"

namespace tracemill::test {

inline std::string imageFixture(const std::string& name) { return (testDataDir() / "image" / name).string(); }

constexpr uint32_t kIndexedW = 13, kIndexedH = 5;
inline uint8_t indexedIndex(uint32_t x, uint32_t y) { return uint8_t(((x / 3) * 5 + y) % 16); }
inline RgbQuad indexedPalette(uint32_t i) {
    return RgbQuad{uint8_t((i * 37) % 256), uint8_t(255 - i * 16), uint8_t(i * 16), 0};
}

constexpr uint32_t kBilevelW = 11, kBilevelH = 5;
inline uint8_t bilevelIndex(uint32_t x, uint32_t y) { return uint8_t((x * y + x + y) % 2); }
inline const RgbQuad kBilevelPalette[2] = {{30, 20, 10, 0}, {220, 210, 200, 0}};

constexpr uint32_t kRgbW = 7, kRgbH = 5;
inline RgbQuad rgbColour(uint32_t x, uint32_t y) {
    return RgbQuad{uint8_t((x + y) * 16), uint8_t(y * 48), uint8_t(x * 32), 0};
}

constexpr uint32_t kGreyW = 9, kGreyH = 6;
inline uint8_t greyValue(uint32_t x, uint32_t y) { return uint8_t((x * 28 + y * 40) % 256); }
inline RgbQuad grey(uint8_t v) { return RgbQuad{v, v, v, 0}; }

// A stream over hand-made bytes (a temporary stdio file).
class MemoryStream {
public:
    explicit MemoryStream(const std::vector<uint8_t>& bytes) : file_(std::tmpfile()) {
        if (file_) {
            if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file_);
            std::rewind(file_);
        }
        stream_ = std::make_unique<StdioImageStream>(file_);
    }
    ~MemoryStream() {
        stream_.reset();
        if (file_) std::fclose(file_);
    }
    ImageStream& stream() { return *stream_; }

private:
    FILE* file_;
    std::unique_ptr<StdioImageStream> stream_;
};

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
        std::fclose(f);
    }
    return bytes;
}

} // namespace tracemill::test
