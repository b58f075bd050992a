#include "app/shell/crc32.h"

#include <gtest/gtest.h>
#include <string>
#include <zlib.h>

#include "temp_folder.h"

namespace tracemill {
namespace {

TEST(Crc32, KnownChecksums) {
    struct Case {
        const char* name;
        std::string text;
        uint32_t crc;
    } const cases[] = {
        {"check value", "123456789", 0xCBF43926u},
        {"empty", "", 0},
        {"one byte", "a", 0xE8B7BE43u},
        {"pangram", "The quick brown fox jumps over the lazy dog", 0x414FA339u},
        {"NUL inside", std::string("a\0b", 3), uint32_t(crc32(0, reinterpret_cast<const Bytef*>("a\0b"), 3))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Crc32OfString(std::string_view(c.text)), c.crc);
        EXPECT_EQ(Crc32OfBuffer(c.text.data(), c.text.size()), c.crc);
    }
    EXPECT_EQ(Crc32OfString("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32OfString(static_cast<const char*>("")), 0u);
    EXPECT_EQ(Crc32OfString(static_cast<const char*>(nullptr)), 0u);
    EXPECT_EQ(Crc32OfBuffer("abc", 0), 0u);
}

TEST(Crc32, TableBuiltTheLongWayIsTheStandardTable) {
    BuildCrc32Table();
    const z_crc_t* standard = get_crc_table();
    const std::array<uint32_t, 256>& table = Crc32Table();
    for (size_t i = 0; i < table.size(); ++i) ASSERT_EQ(table[i], standard[i]) << "entry " << i;
    EXPECT_EQ(table[1], 0x77073096u);
    EXPECT_EQ(table[255], 0x2D02EF8Du);
}

TEST(Crc32, WholeFiles) {
    const test::TempFolder folder;
    // Larger than one read so that the checksum is carried across pieces.
    std::string content;
    for (int i = 0; i < 200000; ++i) content += char('A' + i % 23);

    EXPECT_EQ(Crc32OfFile(folder.write("big.bin", content)), Crc32OfBuffer(content.data(), content.size()));
    EXPECT_EQ(Crc32OfFile(folder.write("check.txt", "123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32OfFile(folder.write("empty.bin", "")), 0u);
    EXPECT_EQ(Crc32OfFile(folder / "missing.bin"), 0u);
    EXPECT_EQ(Crc32OfFile(folder.path().string()), 0u) << "a folder is no file";
}

} // namespace
} // namespace tracemill
