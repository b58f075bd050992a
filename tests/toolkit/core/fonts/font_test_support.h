// Helpers of the font tests: the shape-file fixtures of tests/data/fonts (made by
// make_shx_fixtures.py) and reading a shape's name at a font's cursor.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "test_paths.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/core/fonts/shape_file_reader.h"

namespace tracemill::test {

inline std::filesystem::path fontFixtureDir() { return testDataDir() / "fonts"; }

inline std::vector<uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A font read from bytes as the resolver reads a file (any kind accepted); null when the
// bytes are no font.
inline std::unique_ptr<ShapeFont> fontFromBytes(std::vector<uint8_t> bytes, int* result = nullptr) {
    auto font = std::make_unique<ShapeFont>();
    font->storage = std::move(bytes);
    const int read = genLoadShapeFile(*font, 0xFF);
    if (result) *result = read;
    return read == 1 ? std::move(font) : nullptr;
}

inline std::unique_ptr<ShapeFont> fixtureFont(const std::string& name) {
    return fontFromBytes(fileBytes(fontFixtureDir() / name));
}

// The NUL-terminated name at the font's cursor (the cursor moves past it).
inline std::string nameAtCursor(ShapeFont& font) {
    std::string name;
    for (uint8_t b = genNextShapeByte(font); b != 0; b = genNextShapeByte(font)) name.push_back(char(b));
    return name;
}

} // namespace tracemill::test
