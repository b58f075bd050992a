// The command line run in the test process on small drawings copied into a new folder: the
// codes of the result file and the files written for each argument list, the settings the
// options collect, and what a drawing conversion hands the conversion library.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/render/conversion_calls.h"
#include "app/render/gdi_output_state.h"
#include "app/render/toolkit_lifetime.h"
#include "app/shell/command_line.h"
#include "program_run_support.h"
#include "temp_folder.h"
#include "test_paths.h"
#include "toolkit_fixture.h"

namespace tracemill::test {
namespace {

// The pages of a PDF file as pdfinfo counts them; -1 when it cannot read the file.
int pdfPageCount(const std::filesystem::path& path) {
    const std::optional<std::string> info = runCommand("pdfinfo " + shellQuote(path.string()));
    if (!info) return -1;
    const size_t at = info->find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info->c_str() + at + 6);
}

// The toolkit started as the program starts it, and a folder that is the working folder of
// the test, holding:
//   fix.dxf, Plan.DXF, xdata/fix.dxf  three lines in model space ("AC1015", no layouts)
//   r12.dxf      an "AC1009" drawing (no layout records) with model and paper space
//   lay.dxf      layouts "Model" and "Plan/Front"
//   vp2.dxf      the same, its one paper-space viewport numbered 2
//   bad.dwg      not a drawing
//   blocked.dxf  a drawing whose outputs "blocked.bmp" and "blocked.svg" are folders
class CommandLineTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        InstallToolkitCallbacks();
        ASSERT_FALSE(folder_.path().empty());
        const std::filesystem::path render = testDataDir() / "render";
        std::filesystem::create_directories(folder_.path() / "xdata");
        for (const char* name : {"fix.dxf", "Plan.DXF", "xdata/fix.dxf", "blocked.dxf"})
            std::filesystem::copy_file(render / "model_lines.dxf", folder_.path() / name);
        std::filesystem::copy_file(render / "paper_r12.dxf", folder_.path() / "r12.dxf");
        std::filesystem::copy_file(testDataDir() / "shell" / "layout_name_2000.dxf", folder_.path() / "lay.dxf");
        std::filesystem::copy_file(testDataDir() / "shell" / "viewport_two_2000.dxf", folder_.path() / "vp2.dxf");
        folder_.write("bad.dwg", "AC1015 but nothing after it");
        std::filesystem::create_directories(folder_.path() / "blocked.bmp");
        std::filesystem::create_directories(folder_.path() / "blocked.svg");
        previousFolder_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.path());
    }
    void TearDown() override {
        std::filesystem::current_path(previousFolder_);
        ReleaseGdiOutputState();
        ToolkitTest::TearDown();
    }
    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
    std::filesystem::path previousFolder_;
};

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* codes;  // the result file "c.txt"; null: there is none
    std::vector<std::string> written;
    std::vector<std::string> notWritten = {};
    const char* pdf = nullptr;  // a PDF file whose pages are counted
    int pdfPages = 0;
};

const CommandLineCase kCommandLineCases[] = {
    {"OneOfEachOutcome",
     {"/r", "/l", "c.txt", "/f", "101", "fix.dxf", "nope.dwg", "/w", "0", "fix.dxf", "/x14", "fix.dxf", "out.dxf"},
     "0\n4\n6\n0\n", {"fix.svg", "out.dxf"}},
    {"ResultFileBeforeConvertModeIsSkipped", {"/l", "c.txt", "/r", "/f", "101", "fix.dxf"}, nullptr, {"fix.svg"}},
    {"SecondResultFileTakesOver", {"/r", "/l", "a.txt", "fix.dxf", "/l", "c.txt", "nope.dwg"}, "4\n", {"fix.bmp"}},
    {"UninstallAfterTheStartIsADrawingName", {"/r", "/l", "c.txt", "/uninstall"}, "4\n", {}},
    {"OptionsAndExtensionsInAnyCase", {"/R", "/L", "c.txt", "/F", "101", "Plan.DXF"}, "0\n", {"Plan.svg"}},
    {"PathsBeginningLikeOptionsAreDrawings", {"/r", "/l", "c.txt", "/f", "101", "/gpfs/a.dxf", "/Xdata/b.dxf", "fix.dxf"},
     "4\n4\n0\n", {"fix.svg"}},
    {"AbsolutePathsAreDrawings", {"/r", "/l", "c.txt", "/f", "101", "@/xdata/fix.dxf"}, "0\n", {"xdata/fix.svg"}},
    {"RejectedSourceLeavesItsTargetToBeReadAlone", {"/r", "/l", "c.txt", "/x", "nope.dxf", "fix.dxf"}, "4\n0\n",
     {"fix.bmp"}},
    {"ConversionWithoutConvertMode", {"/l", "c.txt", "/g12", "fix.dxf", "out.dwg"}, nullptr, {"out.dwg"}},
    {"FailedConversion", {"/r", "/l", "c.txt", "/x14", "fix.dxf", "nofolder/out.dxf"}, "3\n", {}},
    {"DrawingThatCannotBeOpened", {"/r", "/l", "c.txt", "bad.dwg", "fix.dxf"}, "2\n0\n", {"fix.bmp"}, {"bad.bmp"}},
    {"FormatsClamped", {"/r", "/l", "c.txt", "/f", "50", "fix.dxf", "/f", "0", "r12.dxf", "/f", "200", "lay.dxf"},
     "0\n0\n0\n", {"fix.pcx", "r12.bmp", "lay.eps"}},
    {"NoWidth", {"/r", "/l", "c.txt", "/w", "0", "/h", "600", "/f", "101", "fix.dxf"}, "6\n", {}, {"fix.svg"}},
    {"NoWidthWithExtents", {"/r", "/l", "c.txt", "/w", "0", "/h", "600", "/e", "/f", "101", "fix.dxf"}, "0\n",
     {"fix.svg"}},
    {"NoWidthWithExtentsInTheCombinedPdf",
     {"/r", "/l", "c.txt", "/w", "0", "/h", "600", "/e", "/f", "105", "/d", "all.pdf", "fix.dxf"}, "6\n", {},
     {"all.pdf"}},
    {"NoSizeAtAll", {"/r", "/l", "c.txt", "/w", "0", "/h", "0", "/e", "fix.dxf"}, "6\n", {}, {"fix.bmp"}},
    {"EveryLayoutOfADrawingWithoutLayoutRecords", {"/r", "/l", "c.txt", "/a", "-2", "/f", "101", "r12.dxf", "/f", "1", "r12.dxf"},
     "0\n0\n0\n", {"r12-Modal.svg", "r12-Paper.svg", "r12.bmp"}},
    {"EveryLayoutNamedSafely", {"/r", "/l", "c.txt", "/a", "-2", "/f", "101", "lay.dxf", "/f", "1", "lay.dxf"},
     "0\n0\n0\n0\n", {"lay-Model.svg", "lay-Plan_Front.svg", "lay-Model.bmp", "lay-Plan_Front.bmp"}},
    {"EveryLayoutIntoOnePdf", {"/r", "/l", "c.txt", "/a", "-2", "/f", "104", "lay.dxf"}, "0\n0\n", {"lay.pdf"}, {},
     "lay.pdf", 2},
    {"PaperLayoutWhoseViewportsStartAtTwo", {"/r", "/l", "c.txt", "/a", "1", "/f", "101", "vp2.dxf"}, "0\n",
     {"vp2.svg"}},
    {"LayoutBeyondTheLast", {"/r", "/l", "c.txt", "/a", "5", "/f", "101", "lay.dxf", "/a", "2147483647", "/f", "1",
                             "lay.dxf"},
     "0\n0\n", {"lay.svg", "lay.bmp"}},
    {"OneLayout", {"/r", "/l", "c.txt", "/a", "1", "/f", "104", "lay.dxf"}, "0\n", {"lay.pdf"}, {}, "lay.pdf", 1},
    {"CombinedPdf", {"/r", "/l", "c.txt", "/f", "105", "/d", "all.pdf", "fix.dxf", "r12.dxf", "lay.dxf"},
     "0\n0\n0\n", {"all.pdf"}, {"fix.pdf"}, "all.pdf", 3},
    {"CombinedPdfOfEveryLayout", {"/r", "/l", "c.txt", "/a", "-2", "/f", "105", "/d", "all.pdf", "r12.dxf", "lay.dxf"},
     "0\n0\n0\n0\n", {"all.pdf"}, {}, "all.pdf", 4},
    {"CombinedPdfWithoutName", {"/r", "/l", "c.txt", "/f", "105", "fix.dxf", "r12.dxf"}, "0\n0\n6\n", {},
     {"fix.pdf", "r12.pdf"}},
    {"SecondCombinedFormatKeepsThePages",
     {"/r", "/l", "c.txt", "/f", "105", "fix.dxf", "/f", "105", "r12.dxf", "/d", "all.pdf"}, "0\n0\n", {"all.pdf"}, {},
     "all.pdf", 2},
    {"FormatChangeAfterTheCombinedPdfKeepsItsPages",
     {"/r", "/l", "c.txt", "/f", "105", "/d", "all.pdf", "fix.dxf", "/f", "101", "r12.dxf"}, "0\n0\n",
     {"all.pdf", "r12.svg"}, {}, "all.pdf", 1},
    {"CombinedPdfThatCannotBeSaved", {"/r", "/l", "c.txt", "/f", "105", "/d", "nofolder/all.pdf", "fix.dxf"},
     "0\n7\n", {}},
    {"ImageThatCannotBeWritten", {"/r", "/l", "c.txt", "blocked.dxf", "fix.dxf"}, "1\n0\n", {"fix.bmp"}},
    {"VectorFileThatCannotBeWritten", {"/r", "/l", "c.txt", "/f", "101", "blocked.dxf"}, "7\n", {}},
    {"OptionWithoutValueEndsThePass", {"/r", "/l", "c.txt", "fix.dxf", "/f"}, "0\n", {"fix.bmp"}},
    {"EmptyArgumentEndsThePass", {"/r", "/l", "c.txt", "fix.dxf", "", "r12.dxf"}, "0\n", {"fix.bmp"}, {"r12.bmp"}},
};

void PrintTo(const CommandLineCase& row, std::ostream* out) { *out << row.name; }

class CommandLineCases : public CommandLineTest, public testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLineCases, WritesTheCodesAndFiles) {
    TM_REQUIRE_TOOL("pdfinfo");
    const CommandLineCase& row = GetParam();
    std::vector<std::string> arguments = row.arguments;
    for (std::string& argument : arguments) {
        if (argument.starts_with("@")) argument = folder().path().string() + argument.substr(1);
    }
    std::vector<std::string> opened;
    CCommandLine commandLine(arguments, [&](const std::string& path) { opened.push_back(path); });
    EXPECT_FALSE(commandLine.Run());
    EXPECT_TRUE(opened.empty());
    const std::filesystem::path codes = folder().path() / "c.txt";
    if (row.codes) {
        EXPECT_EQ(readTextFile(codes), row.codes);
        EXPECT_EQ(commandLine.AllSucceeded(), std::string(row.codes).find_first_not_of("0\n") == std::string::npos);
    } else {
        EXPECT_FALSE(std::filesystem::exists(codes));
    }
    for (const std::string& name : row.written) {
        EXPECT_TRUE(std::filesystem::is_regular_file(folder().path() / name)) << name;
        EXPECT_GT(std::filesystem::file_size(folder().path() / name), 0u) << name;
    }
    for (const std::string& name : row.notWritten) EXPECT_FALSE(std::filesystem::exists(folder().path() / name)) << name;
    if (row.pdf) {
        EXPECT_EQ(pdfPageCount(folder().path() / row.pdf), row.pdfPages);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandLineCases, testing::ValuesIn(kCommandLineCases),
                         [](const testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

TEST_F(CommandLineTest, WithoutConversionsDrawingsGoToWindows) {
    std::vector<std::string> opened;
    CCommandLine commandLine({"fix.dxf", "/l", "c.txt", "nope.dwg", "/f", "105", "Plan.DXF"},
                             [&](const std::string& path) { opened.push_back(path); });
    EXPECT_TRUE(commandLine.Run());
    EXPECT_EQ(opened, (std::vector<std::string>{"fix.dxf", "Plan.DXF"}));
    EXPECT_FALSE(commandLine.AllSucceeded());  // nope.dwg
    EXPECT_FALSE(std::filesystem::exists(folder().path() / "c.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder().path() / "fix.pdf"));
}

// What "/x" and "/g" hand the conversion library, and the codes of its answers.
struct RecordedConversion {
    std::string source, target;
    int version = 0, format = 0;
    uint32_t serial = 0;
};
std::vector<RecordedConversion> gRecordedConversions;
int gConversionAnswer = 0;

int recordConversion(const char* source, const char* password, const char* target, int version, int format,
                     uint32_t serial) {
    EXPECT_EQ(password, nullptr);
    gRecordedConversions.push_back({source, target, version, format, serial});
    return gConversionAnswer;
}

class DrawingConversion : public CommandLineTest {
protected:
    void SetUp() override {
        CommandLineTest::SetUp();
        gRecordedConversions.clear();
        gConversionAnswer = 0;
        previous_ = SetConversionLibrary({recordConversion, nullptr, nullptr});
    }
    void TearDown() override {
        SetConversionLibrary(previous_);
        CommandLineTest::TearDown();
    }

private:
    ConversionLibrary previous_{};
};

TEST_F(DrawingConversion, VersionTextsAndFormats) {
    struct Row {
        const char* option;
        int version;
        int format;
    };
    const Row rows[] = {{"/x25", 1, 2}, {"/g26", 2, 1}, {"/x9", 3, 2},    {"/g10", 4, 1},  {"/x11", 5, 2},
                        {"/g12", 5, 1}, {"/X13", 6, 2}, {"/G14", 7, 1},   {"/x", 8, 2},    {"/g", 8, 1},
                        {"/x2000", 8, 2}, {"/g15", 8, 1}, {"/x012", 8, 2}};
    const uint32_t serial = GetConversionSerial();
    for (const Row& row : rows) {
        gRecordedConversions.clear();
        CCommandLine commandLine({"/r", row.option, "Plan.DXF", "Out.Dwg"}, nullptr);
        EXPECT_FALSE(commandLine.Run());
        ASSERT_EQ(gRecordedConversions.size(), 1u) << row.option;
        const RecordedConversion& call = gRecordedConversions[0];
        EXPECT_EQ(call.source, "Plan.DXF");
        EXPECT_EQ(call.target, "Out.Dwg");
        EXPECT_EQ(call.version, row.version) << row.option;
        EXPECT_EQ(call.format, row.format) << row.option;
        EXPECT_EQ(call.serial, serial);
    }
    EXPECT_EQ(GetConversionSerial(), serial);  // the command line does not count conversions
}

TEST_F(DrawingConversion, AnswersBecomeCodes) {
    const std::pair<int, const char*> rows[] = {{0, "0\n"}, {4, "8\n"}, {1, "3\n"}, {2, "3\n"}, {5, "3\n"}};
    for (const auto& [answer, code] : rows) {
        gConversionAnswer = answer;
        CCommandLine commandLine({"/r", "/l", "c.txt", "/g", "fix.dxf", "out.dwg"}, nullptr);
        EXPECT_FALSE(commandLine.Run());
        EXPECT_EQ(readTextFile(folder().path() / "c.txt"), code) << answer;
        EXPECT_EQ(commandLine.AllSucceeded(), answer == 0);
    }
}

// Each code is in the file as soon as it is known: what the file holds while the second
// conversion runs.
std::string gResultFileDuringConversion;

int recordResultFile(const char* source, const char* password, const char* target, int version, int format,
                     uint32_t serial) {
    gResultFileDuringConversion = readTextFile("c.txt");
    return recordConversion(source, password, target, version, format, serial);
}

TEST_F(DrawingConversion, CodesReachTheFileAtOnce) {
    SetConversionLibrary({recordResultFile, nullptr, nullptr});
    CCommandLine commandLine({"/r", "/l", "c.txt", "nope.dxf", "/x", "fix.dxf", "a.dxf", "/g", "fix.dxf", "b.dwg"},
                             nullptr);
    EXPECT_FALSE(commandLine.Run());
    EXPECT_EQ(gResultFileDuringConversion, "4\n0\n");
    EXPECT_EQ(readTextFile(folder().path() / "c.txt"), "4\n0\n0\n");
}

TEST_F(DrawingConversion, MissingSourceOrTargetEndsThePass) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"/r", "/l", "c.txt", "/x"}, {"/r", "/l", "c.txt", "/x", "fix.dxf"},
          {"/r", "/l", "c.txt", "/x", "", "fix.dxf"}, {"/r", "/l", "c.txt", "/x", "fix.dxf", "", "fix.dxf"}}) {
        CCommandLine commandLine(arguments, nullptr);
        EXPECT_FALSE(commandLine.Run());
        EXPECT_EQ(readTextFile(folder().path() / "c.txt"), "");
        EXPECT_TRUE(gRecordedConversions.empty());
        EXPECT_FALSE(std::filesystem::exists(folder().path() / "fix.bmp"));
    }
}

// The settings the options leave, read without a drawing.
struct SettingsCase {
    std::vector<std::string> options;
    CommandLineSettings expected;
};

CommandLineSettings settingsWith(void (*change)(CommandLineSettings&)) {
    CommandLineSettings settings;
    settings.convertMode = true;
    change(settings);
    return settings;
}

TEST(CommandLineOptions, AreReadAndClamped) {
    const SettingsCase rows[] = {
        {{"/f", "0"}, settingsWith([](CommandLineSettings& s) { s.format = 1; })},
        {{"/f", "-5"}, settingsWith([](CommandLineSettings& s) { s.format = 1; })},
        {{"/f", "5"}, settingsWith([](CommandLineSettings& s) { s.format = 4; })},
        {{"/f", "100"}, settingsWith([](CommandLineSettings& s) { s.format = 4; })},
        {{"/f", "101"}, settingsWith([](CommandLineSettings& s) { s.format = 101; })},
        {{"/f", "99999999999999999999"}, settingsWith([](CommandLineSettings& s) { s.format = 108; })},
        {{"/f", "abc"}, settingsWith([](CommandLineSettings& s) { s.format = 1; })},
        {{"/p", "0"}, settingsWith([](CommandLineSettings& s) { s.colorMode = 1; })},
        {{"/p", "9"}, settingsWith([](CommandLineSettings& s) { s.colorMode = 3; })},
        {{"/p", "2"}, settingsWith([](CommandLineSettings& s) { s.colorMode = 2; })},
        {{"/b", "300"}, settingsWith([](CommandLineSettings& s) { s.backgroundColor = 255; })},
        {{"/b", "-1"}, settingsWith([](CommandLineSettings& s) { s.backgroundColor = 0; })},
        {{"/j", "0"}, settingsWith([](CommandLineSettings& s) { s.jpegQuality = 1; })},
        {{"/j", "11"}, settingsWith([](CommandLineSettings& s) { s.jpegQuality = 10; })},
        {{"/w", "0.000001"}, settingsWith([](CommandLineSettings& s) { s.width = 0.0; })},
        {{"/w", "-5"}, settingsWith([](CommandLineSettings& s) { s.width = 0.0; })},
        {{"/w", "12px"}, settingsWith([](CommandLineSettings& s) { s.width = 12.0; })},
        {{"/h", " +2.5e2"}, settingsWith([](CommandLineSettings& s) { s.height = 250.0; })},
        {{"/h", "inf"}, settingsWith([](CommandLineSettings& s) { s.height = 0.0; })},
        {{"/h", "nan"}, settingsWith([](CommandLineSettings& s) { s.height = 0.0; })},
        {{"/w", "1e400"}, settingsWith([](CommandLineSettings& s) { s.width = 0.0; })},
        {{"/a", "-7"}, settingsWith([](CommandLineSettings& s) { s.layout = -7; })},
        {{"/a", "3"}, settingsWith([](CommandLineSettings& s) { s.layout = 3; })},
        {{"/M", "/E"}, settingsWith([](CommandLineSettings& s) { s.maskFile = s.zoomExtents = true; })},
        {{"/d", "All.PDF"}, settingsWith([](CommandLineSettings& s) { s.combinedPdfName = "All.PDF"; })},
        {{"/w", "7", "/w"}, settingsWith([](CommandLineSettings& s) { s.width = 7.0; })},
    };
    for (const SettingsCase& row : rows) {
        std::vector<std::string> arguments = {"/r"};
        arguments.insert(arguments.end(), row.options.begin(), row.options.end());
        CCommandLine commandLine(arguments, nullptr);
        commandLine.Run();
        const CommandLineSettings& got = commandLine.Settings();
        const CommandLineSettings& want = row.expected;
        SCOPED_TRACE(row.options[0] + " " + (row.options.size() > 1 ? row.options[1] : std::string()));
        EXPECT_EQ(got.width, want.width);
        EXPECT_EQ(got.height, want.height);
        EXPECT_EQ(got.backgroundColor, want.backgroundColor);
        EXPECT_EQ(got.jpegQuality, want.jpegQuality);
        EXPECT_EQ(got.colorMode, want.colorMode);
        EXPECT_EQ(got.format, want.format);
        EXPECT_EQ(got.layout, want.layout);
        EXPECT_EQ(got.convertMode, want.convertMode);
        EXPECT_EQ(got.maskFile, want.maskFile);
        EXPECT_EQ(got.zoomExtents, want.zoomExtents);
        EXPECT_EQ(got.combinedPdfName, want.combinedPdfName);
    }
}

TEST(CommandLineWords, ConversionOptionsAndLayoutNames) {
    for (const char* option : {"/x", "/g", "/X14", "/G2000", "/x25"}) EXPECT_TRUE(IsDrawingConversionOption(option));
    for (const char* other : {"/xdata/a.dxf", "/gpfs/b.dwg", "/x14a", "x14", "/", "/r", "/x 14", "//x"})
        EXPECT_FALSE(IsDrawingConversionOption(other)) << other;
    EXPECT_EQ(LayoutNameForFileName("Plan/Front"), "Plan_Front");
    EXPECT_EQ(LayoutNameForFileName(std::string("A\tB\nC\x7f", 6)), "A_B_C_");
    EXPECT_EQ(LayoutNameForFileName("Grundriß 1:50"), "Grundriß 1:50");
    EXPECT_TRUE(CommandLineConverts({"plan.dwg", "/R"}));
    EXPECT_TRUE(CommandLineConverts({"/g14"}));
    EXPECT_FALSE(CommandLineConverts({"plan.dwg", "/gpfs/plan.dwg", "/f", "101"}));
}

// Under a locale with a decimal comma (the de_DE run) numbers are still read with a point.
TEST(CommandLineLocale, DecimalPointWhateverTheLocale) {
    EXPECT_EQ(CommandLineDecimal("1000.5"), 1000.5);
    EXPECT_EQ(CommandLineDecimal("1000,5"), 1000.0);
    CCommandLine commandLine({"/r", "/w", "1000.5", "/h", "0.25"}, nullptr);
    commandLine.Run();
    EXPECT_EQ(commandLine.Settings().width, 1000.5);
    EXPECT_EQ(commandLine.Settings().height, 0.25);
}

} // namespace
} // namespace tracemill::test
