#include "toolkit/display/fonts/builtin_fonts.h"

#include <gtest/gtest.h>

#include "toolkit/core/system_context.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using BuiltinFonts = test::ToolkitTest;

std::vector<uint16_t> numbers(const ShapeFont& font) {
    std::vector<uint16_t> result;
    for (const ShapeIndexEntry& entry : font.index) result.push_back(entry.number);
    return result;
}

// The shape bytes of an entry: its NUL-terminated name first.
std::string shapeName(const ShapeFont& font, const ShapeIndexEntry& entry) {
    const auto bytes = font.pages[0].bytes();
    std::string name;
    for (size_t i = entry.offset; i < bytes.size() && bytes[i] != 0; ++i) name.push_back(char(bytes[i]));
    return name;
}

TEST_F(BuiltinFonts, BothFontsAreShapeFontsOverTheInitData) {
    struct Expected {
        const char* path;
        uint8_t kind;
        size_t shapes;
        size_t bytes;
    } expected[] = {{"SIMPLEX.SHX", 0x04, 100, 4998}, {"GDT.SHX", 0x44, 103, 4832}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(expected[i].path);
        const ShapeFont& font = *gSystemContext->builtinFonts[i];
        EXPECT_EQ(font.path, expected[i].path);
        EXPECT_EQ(font.request, "");
        EXPECT_EQ(font.kind, expected[i].kind);
        EXPECT_EQ(font.above, 21);
        EXPECT_EQ(font.below, 6);
        EXPECT_EQ(font.modes, 2);
        EXPECT_EQ(font.firstShape, 0);
        EXPECT_EQ(font.lastShape, 258);
        EXPECT_EQ(size_t(font.shapeCount), expected[i].shapes);
        ASSERT_EQ(font.pages.size(), 1u) << "one page over the init data's copy";
        EXPECT_EQ(font.pages[0].fileOffset, 0);
        EXPECT_EQ(font.pages[0].bytes().size(), expected[i].bytes);
        EXPECT_EQ(font.pages[0].bytes().data(), gSystemContext->initData.fonts[i].file.data());
        EXPECT_EQ(font.index, gSystemContext->initData.fonts[i].index);

        const std::vector<uint16_t> n = numbers(font);
        ASSERT_EQ(n.size(), expected[i].shapes);
        EXPECT_EQ(std::vector<uint16_t>(n.begin(), n.begin() + 5), (std::vector<uint16_t>{0, 10, 32, 33, 34}));
        EXPECT_EQ(std::vector<uint16_t>(n.end() - 3, n.end()), (std::vector<uint16_t>{256, 257, 258}));
        EXPECT_TRUE(std::is_sorted(n.begin(), n.end())) << "the shape lookup searches the index binarily";

        // Shape 0 is the font-information shape: name, NUL, above, below, modes.
        const auto bytes = font.pages[0].bytes();
        const size_t info = font.index[0].offset + shapeName(font, font.index[0]).size() + 1;
        ASSERT_LT(info + 2, bytes.size());
        EXPECT_EQ(bytes[info], 21);
        EXPECT_EQ(bytes[info + 1], 6);
        EXPECT_EQ(bytes[info + 2], 2);
    }
}

TEST_F(BuiltinFonts, FreeAndCreateAgain) {
    genFreeBuiltinFonts();
    EXPECT_EQ(gSystemContext->builtinFonts[0], nullptr);
    EXPECT_EQ(gSystemContext->builtinFonts[1], nullptr);
    EXPECT_EQ(genCreateBuiltinFonts(), 1);
    EXPECT_NE(gSystemContext->builtinFonts[1], nullptr);
}

} // namespace
} // namespace tracemill
