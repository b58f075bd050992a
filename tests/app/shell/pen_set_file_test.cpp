#include "app/shell/pen_set_file.h"

#include <bit>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>

namespace tracemill {
namespace {

using namespace std::string_literals;

PenSetEntries patternEntries(int seed) {
    PenSetEntries entries = DefaultPenSetEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].width = double(i) / 64 + seed;
        entries[i].destinationColor = int16_t((i * 7 + size_t(seed)) % 256);
    }
    entries[3].destinationColor = -1;
    entries[4].width = -0.0;
    return entries;
}

std::string fileOf(const std::vector<std::pair<std::string, PenSetEntries>>& sets) {
    std::ostringstream file;
    EXPECT_TRUE(WritePenSetFileSignature(file));
    for (const auto& [name, entries] : sets) EXPECT_TRUE(WritePenSetFileRecord(file, name, entries));
    return file.str();
}

uint64_t le64(const std::string& bytes, size_t at) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | uint8_t(bytes[at + size_t(i)]);
    return v;
}

TEST(PenSetFile, LayoutOfTwoSets) {
    const PenSetEntries a = patternEntries(1), b = patternEntries(2);
    const std::string bytes = fileOf({{"A", a}, {"B", b}});
    ASSERT_EQ(bytes.size(), 5147u);
    EXPECT_EQ(bytes.substr(0, 23), "KirvTracemill Pen Sets\0"s);
    EXPECT_EQ(bytes.substr(23, 2), "A\0"s);
    // Entry i of the first record at 25 + 10 i: the destination colour, then the width.
    for (size_t i : {size_t(0), size_t(3), size_t(4), size_t(255)}) {
        const size_t at = 25 + 10 * i;
        EXPECT_EQ(int16_t(uint8_t(bytes[at]) | (uint8_t(bytes[at + 1]) << 8)), a[i].destinationColor) << i;
        EXPECT_EQ(le64(bytes, at + 2), std::bit_cast<uint64_t>(a[i].width)) << i;
    }
    EXPECT_EQ(bytes.substr(25 + 2560, 2), "B\0"s);

    std::istringstream file(bytes);
    EXPECT_EQ(ReadPenSetFileNames(file), (std::vector<std::string>{"A", "B"}));
    const std::optional<PenSetEntries> readB = ReadPenSetFileRecord(file, "b");
    ASSERT_TRUE(readB) << "names match without regard to case";
    for (size_t i = 0; i < b.size(); ++i) {
        EXPECT_EQ(std::bit_cast<uint64_t>((*readB)[i].width), std::bit_cast<uint64_t>(b[i].width)) << i;
        EXPECT_EQ((*readB)[i].destinationColor, b[i].destinationColor) << i;
    }
    EXPECT_EQ(ReadPenSetFileRecord(file, "A")->at(255).width, a[255].width) << "the reader starts from the top again";
    EXPECT_FALSE(ReadPenSetFileRecord(file, "C"));
}

TEST(PenSetFile, DamagedAndForeignFiles) {
    const PenSetEntries entries = patternEntries(0);
    const std::string good = fileOf({{"One", entries}, {"Two", entries}, {"Three", entries}});
    const size_t recordSize = 2560 + 4; // "One" and "Two" with their NULs
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> names;
        bool twoReads;
    } const cases[] = {
        {"whole", good, {"One", "Two", "Three"}, true},
        {"other signature", "KirvTracemill Pen Set\0"s + good.substr(23), {}, false},
        {"signature in other case", "kirvtracemill pen sets\0"s + good.substr(23), {}, false},
        {"signature alone", good.substr(0, 23), {}, false},
        {"empty", "", {}, false},
        {"cut in the second record", good.substr(0, 23 + recordSize + 100), {"One", "Two"}, false},
        {"cut after a name", good.substr(0, 23 + recordSize + 4), {"One", "Two"}, false},
        {"empty name ends the list", good.substr(0, 23 + recordSize) + "\0"s + good.substr(23 + recordSize), {"One"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream file(c.bytes);
        EXPECT_EQ(ReadPenSetFileNames(file), c.names);
        EXPECT_EQ(ReadPenSetFileRecord(file, "One").has_value(), !c.names.empty());
        EXPECT_EQ(ReadPenSetFileRecord(file, "Two").has_value(), c.twoReads);
    }
}

TEST(PenSetFile, RecordWithoutNameWritesNothing) {
    std::ostringstream file;
    EXPECT_TRUE(WritePenSetFileRecord(file, "", patternEntries(0)));
    EXPECT_EQ(file.str(), "");
}

} // namespace
} // namespace tracemill
