// The program itself, started as a user starts it: without a display, in any locale, with the
// exit status telling whether every conversion succeeded.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "program_run_support.h"
#include "temp_folder.h"

namespace tracemill::test {
namespace {

class TracemillProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.path().empty());
        std::filesystem::copy_file(testDataDir() / "render" / "model_lines.dxf", folder_.path() / "Plan.DXF");
    }
    int run(const std::string& environment, const std::string& arguments) const {
        return runTracemill(folder_.path(), environment, arguments);
    }
    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
};

TEST_F(TracemillProgram, ConvertsWithoutADisplay) {
    EXPECT_EQ(run("", "/r /l c.txt /f 101 Plan.DXF"), 0);
    EXPECT_EQ(readTextFile(folder().path() / "c.txt"), "0\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder().path() / "Plan.svg"));
}

TEST_F(TracemillProgram, ConversionsNeverUseTheDisplay) {
    // A display that does not exist: a conversion does not even try it.
    EXPECT_EQ(run("DISPLAY=:97 WAYLAND_DISPLAY=nowhere-97", "/R /L c.txt /F 106 Plan.DXF /x12 Plan.DXF plan12.dxf"), 0);
    EXPECT_EQ(readTextFile(folder().path() / "c.txt"), "0\n0\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder().path() / "Plan.svgz"));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder().path() / "plan12.dxf"));
}

TEST_F(TracemillProgram, ExitStatusTellsOfAnyFailure) {
    EXPECT_EQ(run("", "/r /l c.txt Plan.DXF nope.dwg"), 1);
    EXPECT_EQ(readTextFile(folder().path() / "c.txt"), "0\n4\n");
    EXPECT_EQ(run("", "/r Plan.DXF nope.dwg"), 1);  // without a result file too
    EXPECT_EQ(run("", "/r /l nofolder/c.txt Plan.DXF"), 1);
    // Without a conversion the drawing would go to a window, which this build lacks.
    EXPECT_EQ(run("", "Plan.DXF"), 2);
}

TEST_F(TracemillProgram, NumbersReadTheSameInEveryLocale) {
    TM_REQUIRE_TOOL("identify");
    EXPECT_EQ(run("LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8", "/r /l c.txt /f 1 /w 640.5 /h 0480.9 Plan.DXF"), 0);
    const std::optional<std::string> size =
        runCommand("identify -format '%w %h' " + shellQuote((folder().path() / "Plan.bmp").string()));
    ASSERT_TRUE(size);
    EXPECT_EQ(*size, "640 480");
}

} // namespace
} // namespace tracemill::test
