// tmexport as a user runs it: every output named, one written path a line, the failures with
// their messages, and a print through the print driver onto a PDF printer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "external_tools.h"
#include "test_paths.h"

namespace tracemill {
namespace {

struct ExportRun {
    std::string output;  // standard output
    std::string errors;  // standard error
    int status = -1;
};

ExportRun tmexport(const std::string& arguments, const std::filesystem::path& folder) {
    ExportRun run;
    const std::filesystem::path errors = folder / "errors.txt";
    // The settings the program keeps go into the test's folder, not the user's.
    const std::string command = "XDG_CONFIG_HOME=" + test::shellQuote(folder.string()) + " " +
                                std::string(TMEXPORT_PATH) + " " + arguments + " 2>" + errors.string();
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    run.status = ::pclose(pipe);
    const std::vector<uint8_t> bytes = test::readFileBytes(errors);
    run.errors.assign(bytes.begin(), bytes.end());
    std::filesystem::remove(errors);
    return run;
}

class Tmexport : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("tmexport-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string fixture(const char* name) const { return (test::testDataDir() / "render" / name).string(); }
    std::string out(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

TEST_F(Tmexport, WritesEveryOutputAndNamesEachFile) {
    const ExportRun run = tmexport("--size 320x200 --mask " + fixture("model_lines.dxf") + " " + out("a.svg") + " " +
                                       out("b.HGL") + " " + out("c.pdf") + " " + out("d.gif"),
                                   folder_);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.output, out("a.svg") + "\n" + out("b.hgl") + "\n" + out("c.pdf") + "\n" + out("d.gif") + "\n" +
                              out("d_mask.bmp") + "\n");
    for (const char* name : {"a.svg", "b.hgl", "c.pdf", "d.gif", "d_mask.bmp"}) {
        EXPECT_GT(std::filesystem::file_size(out(name)), 0u) << name;
    }
}

TEST_F(Tmexport, TheColourModeReachesTheRasters) {
    const ExportRun run = tmexport("--size 64x32 --colour-mode 1 " + fixture("model_lines.dxf") + " " + out("bw.bmp"),
                                   folder_);
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<uint8_t> bytes = test::readFileBytes(out("bw.bmp"));
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_EQ(bytes[28], 1);  // black and white: 1 bit a pixel
}

TEST_F(Tmexport, FailuresSayWhyAndExitNonZero) {
    struct Case {
        const char* name;
        std::string arguments;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"no output", fixture("model_lines.dxf"), 2, "usage: tmexport"},
        {"an unknown extension", fixture("model_lines.dxf") + " " + out("a.txt"), 2, "names no export format"},
        {"a bad size", "--size 0x0 " + fixture("model_lines.dxf") + " " + out("a.svg"), 2, "usage: tmexport"},
        {"print to a raster", "--print " + fixture("model_lines.dxf") + " " + out("a.bmp"), 2, ".pdf files only"},
        {"a missing drawing", out("none.dxf") + " " + out("a.svg"), 1, "none.dxf: "},
        {"an unwritable output", fixture("model_lines.dxf") + " " + out("no/such/folder/a.svg"), 1,
         "cannot be written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ExportRun run = tmexport(c.arguments, folder_);
        EXPECT_TRUE(WIFEXITED(run.status));
        EXPECT_EQ(WEXITSTATUS(run.status), c.exitCode);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_EQ(run.output, "");
    }
    EXPECT_FALSE(std::filesystem::exists(out("a.svg")));
}

TEST_F(Tmexport, PrintsThroughThePrintDriverIntoAPdf) {
    TM_REQUIRE_TOOL("qpdf");
    TM_REQUIRE_TOOL("pdftoppm");
    const ExportRun run = tmexport("--print " + fixture("model_lines.dxf") + " " + out("printed.pdf"), folder_);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.output, out("printed.pdf") + "\n");
    ASSERT_TRUE(test::runCommand("qpdf --check " + test::shellQuote(out("printed.pdf"))));
    ASSERT_TRUE(test::runCommand("pdftoppm -r 50 -png -singlefile " + test::shellQuote(out("printed.pdf")) + " " +
                                 test::shellQuote(out("printed"))));
    const std::optional<test::RgbImage> page = test::readWithImageMagick(out("printed.png"));
    ASSERT_TRUE(page);
    EXPECT_GT(page->width, page->height);  // a wide drawing prints across the page
    size_t ink = 0;
    for (size_t i = 0; i + 2 < page->rgb.size(); i += 3) ink += page->rgb[i] + page->rgb[i + 1] + page->rgb[i + 2] < 300;
    EXPECT_GT(ink, 300u);
}

} // namespace
} // namespace tracemill
