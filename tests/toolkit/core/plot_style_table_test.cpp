// Plot style table files: the packed text read through zlib, its grammar, the linking of named
// styles to the drawing's ACAD_PLOTSTYLENAME dictionary, and the errors of damaged files.
#include "toolkit/core/plot_style_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "plot_style_files.h"
#include "toolkit/core/byte_order.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/object_access.h"

namespace tracemill {
namespace {

using test::DrawingTest;
using test::packPlotStyleText;
using test::TemporaryFile;
using test::ToolkitTest;

class PlotStyleTableTest : public ToolkitTest {
protected:
    // Reads the bytes as a file; the error number, 0 on success.
    int readFile(const std::vector<uint8_t>& bytes) {
        TemporaryFile file("table.ctb");
        dbSetError(0);
        return dbReadPlotStyleTable(file.write(bytes).c_str(), table) ? 0 : dbGetError();
    }
    std::unique_ptr<PlotStyleTable> table;
};

TEST_F(PlotStyleTableTest, APackedFileReadsWithEveryPart) {
    ASSERT_EQ(readFile(packPlotStyleText(test::kColourTableText)), 0);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->description, "Test table");
    EXPECT_EQ(table->aciTableAvailable, 1);
    EXPECT_EQ(table->scaleFactor, 1.5);
    EXPECT_EQ(table->applyFactor, 0);
    EXPECT_EQ(table->customLineweightDisplayUnits, 1);

    ASSERT_EQ(table->styles.size(), 2u) << "the style without a name is not added";
    const PlotStyle& first = table->styles[0];
    PlotStyle expected;
    expected.name = "Color_1";
    expected.localizedName = "Farbe_1";
    expected.color = -1006632961;
    expected.colorPolicy = 1;
    expected.physicalPenNumber = 3;
    expected.virtualPenNumber = 4;
    expected.screen = 100;
    expected.linepatternSize = 0.5;
    expected.linetype = 31;
    expected.adaptiveLinetype = 1;
    expected.lineweight = 7;
    expected.fillStyle = 73;
    expected.endStyle = 4;
    expected.joinStyle = 5;
    EXPECT_EQ(first, expected);
    EXPECT_EQ(table->styles[1].name, "Color_2");
    EXPECT_EQ(table->styles[1].lineweight, 12);

    ASSERT_EQ(table->aciStyles.size(), size_t(kAciStyleCount));
    EXPECT_EQ(table->aciStyles[0], 0);
    EXPECT_EQ(table->aciStyles[1], 1);
    EXPECT_EQ(table->aciStyles[2], -1) << "a colour entry naming no style stays empty";
    EXPECT_EQ(table->aciStyles[3], -1);

    EXPECT_EQ(table->customLineweights[1], 0.05);
    EXPECT_EQ(table->customLineweights[8], 0.30);
    EXPECT_EQ(table->customLineweights[26], 2.5);
    EXPECT_EQ(table->customLineweights[2], 0.0);
}

TEST_F(PlotStyleTableTest, TextCornerCases) {
    PlotStyleTable parsed;
    ASSERT_EQ(dbParsePlotStyleText("description=Only a header\nscale_factor=2\n", parsed), 1);
    EXPECT_EQ(parsed.description, "Only a header");
    EXPECT_TRUE(parsed.styles.empty());
    EXPECT_TRUE(parsed.aciStyles.empty()) << "no colour array without styles";

    ASSERT_EQ(dbParsePlotStyleText("a=1\r\naci_table{\r\n 0=\"S\r\n}\r\nplot_style{\r\n 0{\r\n  name=\"S\r\n }\r\n}\r\n",
                                   parsed),
              1);
    ASSERT_EQ(parsed.styles.size(), 1u) << "CR LF line ends";
    EXPECT_EQ(parsed.styles[0].name, "S");
    EXPECT_EQ(parsed.aciStyles[0], 0);

    ASSERT_EQ(dbParsePlotStyleText("plot_style{\n 0{\n  name=\"A\n 1{\n  name=\"B\n", parsed), 1);
    EXPECT_EQ(parsed.styles.size(), 2u) << "styles without closing lines, text ending early";

    ASSERT_EQ(dbParsePlotStyleText("description=" + std::string(600, 'x') + "\n", parsed), 1);
    EXPECT_EQ(parsed.description.size(), kPlotStyleTextLimit);

    ASSERT_EQ(dbParsePlotStyleText("scale_factor=oops\nx\nplot_style{\n", parsed), 1);
    EXPECT_EQ(parsed.scaleFactor, 0.0) << "a number that does not read leaves the value";
    EXPECT_TRUE(parsed.styles.empty()) << "sections come right after the header";
}

TEST_F(PlotStyleTableTest, EveryDamageHasItsErrorAndLeavesNoTable) {
    const std::vector<uint8_t> good = packPlotStyleText(test::kColourTableText);
    auto withSize = [&](long offset, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        putLe32(bytes.data() + offset, value);
        return bytes;
    };
    std::vector<uint8_t> garbage = good;
    for (size_t i = size_t(kPlotStyleDataOffset); i < garbage.size(); ++i) garbage[i] ^= 0x5A;
    std::vector<uint8_t> truncated =
        withSize(kPlotStylePackedSizeOffset, getLe32(good.data() + kPlotStylePackedSizeOffset) - 20);
    truncated.resize(truncated.size() - 20);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int error;
    };
    const std::vector<Case> cases = {
        {"unpacked size 0", withSize(kPlotStyleUnpackedSizeOffset, 0), kErrorPlotStyleSizeZero},
        {"packed size 0", withSize(kPlotStylePackedSizeOffset, 0), kErrorPlotStyleSizeZero},
        {"packed size beyond the file", withSize(kPlotStylePackedSizeOffset, 0xFFFFFFF0), kErrorPlotStyleShortFile},
        {"shorter than the head", {good.begin(), good.begin() + 40}, kErrorPlotStyleShortFile},
        {"empty", {}, kErrorPlotStyleShortFile},
        {"not a zlib stream", garbage, kErrorPlotStyleInflate},
        {"a stream cut short", truncated, kErrorPlotStyleInflate},
    };
    for (const Case& c : cases) {
        table = std::make_unique<PlotStyleTable>();
        EXPECT_EQ(readFile(c.bytes), c.error) << c.name;
        EXPECT_FALSE(table) << c.name;
    }
    dbSetError(0);
    EXPECT_EQ(dbReadPlotStyleTable("/nonexistent/tracemill/none.ctb", table), 0);
    EXPECT_EQ(dbGetError(), kErrorPlotStyleFileOpen);
    EXPECT_EQ(dbReadPlotStyleTable(nullptr, table), 0);
    EXPECT_EQ(dbGetError(), kErrorPlotStyleFileOpen);
}

TEST_F(PlotStyleTableTest, EveryRefusedAllocationIsError136AndLeavesNoTable) {
    TemporaryFile file("table.ctb");
    const std::string& path = file.write(packPlotStyleText(test::kColourTableText));
    size_t refused = 0;
    for (long step = 0;; ++step) {
        SCOPED_TRACE("allocation " + std::to_string(step));
        ASSERT_LT(step, 1000) << "the read never completes";
        dbSetError(0);
        table = std::make_unique<PlotStyleTable>();
        dbFailAllocationAfter(step);
        const int read = dbReadPlotStyleTable(path.c_str(), table);
        dbFailAllocationAfter(-1);
        if (read) break;
        ++refused;
        EXPECT_EQ(dbGetError(), kErrorPlotStyleNoMemory);
        EXPECT_FALSE(table);
    }
    EXPECT_GE(refused, 6u) << "the file, zlib, the text, the table, its styles and the colour array";
    ASSERT_TRUE(table);
    EXPECT_EQ(table->styles.size(), 2u);
}

TEST_F(PlotStyleTableTest, TheUnpackedSizeLimitsTheText) {
    const std::string text = "description=abcdef\nscale_factor=3\n";
    std::vector<uint8_t> bytes = packPlotStyleText(text);
    putLe32(bytes.data() + kPlotStyleUnpackedSizeOffset, 19);
    ASSERT_EQ(readFile(bytes), 0);
    EXPECT_EQ(table->description, "abcdef");
    EXPECT_EQ(table->scaleFactor, 0.0) << "the text ends after its first line";

    putLe32(bytes.data() + kPlotStyleUnpackedSizeOffset, 0x7FFFFFFF);
    ASSERT_EQ(readFile(bytes), 0) << "a stream that ends before its claimed size is the whole text";
    EXPECT_EQ(table->scaleFactor, 3.0);
}

TEST_F(PlotStyleTableTest, StylesAreFoundByNameAndHandle) {
    ASSERT_EQ(readFile(packPlotStyleText(test::kColourTableText)), 0);
    table->styles[1].dictionaryHandle = Handle(0x42);
    const PlotStyle* style = nullptr;
    EXPECT_EQ(dbFindPlotStyleByName("Color_2", table.get(), style), 1);
    EXPECT_EQ(style, &table->styles[1]);
    EXPECT_EQ(dbFindPlotStyleByLocalizedName("Farbe_1", table.get(), style), 1);
    EXPECT_EQ(style, &table->styles[0]);
    EXPECT_EQ(dbFindPlotStyle(Handle(0x42), table.get(), style), 1);
    EXPECT_EQ(style, &table->styles[1]);

    const PlotStyle* untouched = &table->styles[0];
    EXPECT_EQ(dbFindPlotStyle(Handle(), table.get(), untouched), 1) << "the null handle: no style applies";
    EXPECT_EQ(untouched, &table->styles[0]);

    for (int found : {dbFindPlotStyleByName("color_2", table.get(), style),
                      dbFindPlotStyleByLocalizedName("Color_1", table.get(), style),
                      dbFindPlotStyle(Handle(0x43), table.get(), style), dbFindPlotStyle(Handle(1), nullptr, style)}) {
        EXPECT_EQ(found, 0);
        EXPECT_EQ(dbGetError(), kErrorPlotStyleNotFound);
    }
    EXPECT_EQ(dbFreePlotStyleTable(table), 1);
    EXPECT_FALSE(table);
    EXPECT_EQ(dbFreePlotStyleTable(table), 1);
}

class PlotStyleLinks : public DrawingTest {};

TEST_F(PlotStyleLinks, NamedStylesTakeTheHandlesOfTheirDictionaryEntries) {
    PlotStyleTable table;
    ASSERT_EQ(dbParsePlotStyleText(test::kColourTableText, table), 1);
    ObjectRecord names;
    names.header.type = dbClassDictionaryWithDefault(drawing->classes);
    ASSERT_NE(names.header.type, 0);
    dbInitObject(drawing, names);
    names.header.handle = dbNewHandle(*drawing);
    names.bodyAs<DictionaryWithDefaultBody>().entries = {{"Farbe_2", Handle(0x62)}, {"Normal", Handle(0x60)},
                                                         {"Farbe_1", Handle(0x61)}};
    ASSERT_EQ(dbAddObject(drawing, names), 1);
    nameInRoot("ACAD_PLOTSTYLENAME", names.header.handle);

    EXPECT_EQ(dbLinkPlotStyles(drawing, &table), 1);
    EXPECT_EQ(table.styles[0].dictionaryHandle, Handle(0x61));
    EXPECT_EQ(table.styles[1].dictionaryHandle, Handle(0x62));
}

TEST_F(PlotStyleLinks, WithoutTheDictionaryNothingIsLinked) {
    unnameInRoot("ACAD_PLOTSTYLENAME");
    PlotStyleTable table;
    ASSERT_EQ(dbParsePlotStyleText(test::kColourTableText, table), 1);
    EXPECT_EQ(dbLinkPlotStyles(drawing, &table), 1);
    for (const PlotStyle& style : table.styles) EXPECT_TRUE(style.dictionaryHandle.isNull());
}

} // namespace
} // namespace tracemill
