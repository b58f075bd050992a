#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "app/image/dib.h"
#include "external_tools.h"
#include "app/convert/conversion_library.h"
#include "temp_folder.h"
#include "test_paths.h"
#include "toolkit_fixture.h"

namespace tracemill::test {
namespace {

class ConversionLibrary : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        dbEnableAc1013();
        InitDLL();
    }
    void TearDown() override {
        UninitDLL();
        ToolkitTest::TearDown();
    }
    TempFolder folder;
};

// tmdump's counts of a drawing: every line of its summary but the first, which names the
// source format.
std::string summaryCounts(const std::string& path) {
    const std::optional<std::string> summary = runCommand(shellQuote(TMDUMP_PATH) + " --summary " + shellQuote(path));
    if (!summary) return "tmdump failed on " + path;
    return summary->substr(summary->find('\n') + 1);
}

TEST_F(ConversionLibrary, A2000DrawingBecomesADxfFileWithTheSameContent) {
    TM_REQUIRE_SAMPLES(samples);
    const std::string source = samples / "dwg/example_2000.dwg";
    const std::string target = folder / "example.dxf";
    EXPECT_EQ(llpp(source.c_str(), nullptr, target.c_str(), 8, kConvertFormatDxf, 0), kConvertDone)
        << DWG_GetLastMessage();
    EXPECT_STREQ(DWG_GetLastMessage(), "");
    EXPECT_EQ(summaryCounts(target), summaryCounts(source));
}

TEST_F(ConversionLibrary, ANewerDrawingIsRefusedWithItsVersionInTheMessage) {
    TM_REQUIRE_SAMPLES(samples);
    const std::string source = samples / "dwg/example_2004.dwg";
    const std::string target = folder / "example.dwg";
    EXPECT_EQ(llpp(source.c_str(), nullptr, target.c_str(), 8, kConvertFormatDwg, 0), kConvertSourceRefused);
    const std::string message = DWG_GetLastMessage();
    EXPECT_NE(message.find("example_2004.dwg"), std::string::npos) << message;
    EXPECT_NE(message.find("\"AC1018\""), std::string::npos) << message;
    EXPECT_NE(message.find("error 8"), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists(target));
}

struct RefusedCall {
    const char* what;
    int versionCode;
    int format;
    int result;
    const char* inMessage;
};

TEST_F(ConversionLibrary, VersionsAndFormatsOutsideTheirRangesAreRefused) {
    const std::string source = folder.write("lines.dxf", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n");
    const std::string target = folder / "out.dxf";
    const RefusedCall calls[] = {
        {"code 0", 0, kConvertFormatDxf, kConvertVersionRefused, "version code 0"},
        {"the next release", 9, kConvertFormatDxf, kConvertVersionRefused, "version code 9"},
        {"code -1", -1, kConvertFormatDwg, kConvertVersionRefused, "version code -1"},
        {"format 0", 8, 0, kConvertBadArguments, "format 0"},
        {"format 3", 8, 3, kConvertBadArguments, "format 3"},
    };
    for (const RefusedCall& c : calls) {
        const int result = llpp(source.c_str(), nullptr, target.c_str(), c.versionCode, c.format, 0);
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_NE(result, kConvertPasswordNeeded) << c.what;
        EXPECT_NE(std::string(DWG_GetLastMessage()).find(c.inMessage), std::string::npos)
            << c.what << ": " << DWG_GetLastMessage();
        EXPECT_FALSE(std::filesystem::exists(target)) << c.what;
    }
    EXPECT_EQ(llpp(nullptr, nullptr, target.c_str(), 8, kConvertFormatDxf, 0), kConvertBadArguments);
    EXPECT_EQ(llpp(source.c_str(), nullptr, "", 8, kConvertFormatDxf, 0), kConvertBadArguments);
    EXPECT_EQ(llpp(source.c_str(), "any", target.c_str(), 5, kConvertFormatDxf, 0), kConvertDone);
    EXPECT_TRUE(std::filesystem::exists(target));
}

TEST_F(ConversionLibrary, DwgTargetsAreWrittenByTheToolkitsDwgWriter) {
    const std::string source = folder.write("lines.dxf", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n");
    const std::string target = folder / "out.dwg";
    const std::string twin = folder / "twin.dxf";
    ASSERT_EQ(llpp(source.c_str(), nullptr, target.c_str(), 8, kConvertFormatDwg, 0), kConvertDone)
        << DWG_GetLastMessage();
    ASSERT_EQ(llpp(source.c_str(), nullptr, twin.c_str(), 8, kConvertFormatDxf, 0), kConvertDone)
        << DWG_GetLastMessage();
    // The same drawing written by the toolkit's DWG and DXF writers holds the same records.
    EXPECT_EQ(summaryCounts(target), summaryCounts(twin));
}

std::vector<double>& reportedPercents() {
    static std::vector<double> percents;
    return percents;
}
int progressBegins = 0;
int progressEnds = 0;

TEST_F(ConversionLibrary, ProgressRunsOnceFromBeginToEnd) {
    TM_REQUIRE_SAMPLES(samples);
    reportedPercents().clear();
    progressBegins = progressEnds = 0;
    DWG_SetProgressCallBackFuns([] { ++progressBegins; }, [](double percent) { reportedPercents().push_back(percent); },
                                [] { ++progressEnds; });
    const std::string source = samples / "dwg/example_2000.dwg";
    EXPECT_EQ(llpp(source.c_str(), nullptr, (folder / "p.dxf").c_str(), 8, kConvertFormatDxf, 0), kConvertDone);
    EXPECT_EQ(progressBegins, 1);
    EXPECT_EQ(progressEnds, 1);
    ASSERT_FALSE(reportedPercents().empty());
    EXPECT_TRUE(std::is_sorted(reportedPercents().begin(), reportedPercents().end()));
    EXPECT_GE(reportedPercents().front(), 0.0);
    EXPECT_LE(reportedPercents().back(), 100.0);
    EXPECT_GT(reportedPercents().back(), 50.0);
    EXPECT_EQ(gSystemContext->loadProgress, nullptr); // the host's callbacks are back
    EXPECT_EQ(gSystemContext->saveProgress, nullptr);
    DWG_SetProgressCallBackFuns(nullptr, nullptr, nullptr);
}

TEST_F(ConversionLibrary, ThePreviewOfA2000DrawingIsABitmapFile) {
    TM_REQUIRE_SAMPLES(samples);
    uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(lppp((samples / "dwg/example_2000.dwg").c_str(), &data, &size));
    ASSERT_NE(data, nullptr);
    const std::span<const uint8_t> bytes(data, size);
    CDib dib;
    EXPECT_TRUE(dib.Read(bytes));
    EXPECT_GT(dib.GetWidth(), 0);
    EXPECT_GT(dib.GetHeight(), 0);
    const std::string path = folder / "preview.bmp";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    ppll(&data);
    EXPECT_EQ(data, nullptr);
    TM_REQUIRE_TOOL("identify");
    const std::optional<std::string> identified = runCommand("identify " + shellQuote(path));
    ASSERT_TRUE(identified.has_value());
    EXPECT_NE(identified->find("BMP"), std::string::npos) << *identified;
    EXPECT_NE(identified->find(std::to_string(dib.GetWidth()) + "x" + std::to_string(dib.GetHeight())),
              std::string::npos)
        << *identified;
}

TEST_F(ConversionLibrary, FilesWithoutAPreviewGiveNone) {
    TM_REQUIRE_SAMPLES(samples);
    const std::string damaged = folder.write("damaged.dwg", "AC1015" + std::string(40, '\xFF'));
    for (const std::string& path : {std::string(samples / "dxf/example_2000.dxf"), std::string(samples / "dwg/r11_entities-2d.dwg"),
                                   damaged, folder / "missing.dwg"}) {
        uint8_t* data = reinterpret_cast<uint8_t*>(1);
        uint32_t size = 7;
        EXPECT_FALSE(lppp(path.c_str(), &data, &size)) << path;
        EXPECT_EQ(data, nullptr) << path;
        EXPECT_EQ(size, 0u) << path;
    }
    EXPECT_FALSE(lppp(damaged.c_str(), nullptr, nullptr));
    ppll(nullptr);
}

TEST(ConversionLibraryStopped, NothingIsConvertedWithoutTheToolkit) {
    EXPECT_EQ(llpp("a.dwg", nullptr, "b.dxf", 8, kConvertFormatDxf, 0), kConvertNotStarted);
    EXPECT_NE(std::string(DWG_GetLastMessage()).find("not running"), std::string::npos);
}

} // namespace
} // namespace tracemill::test
