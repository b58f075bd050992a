// The program and tmexport run as a user runs them on what goes wrong: every failure ends with
// a non-zero exit status and a line on standard error that names the drawing (or file) and
// says why; tracemill also writes its result code. Help and version go to standard output, and
// on a terminal a progress line shows which drawing of how many is being exported.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "external_tools.h"
#include "temp_folder.h"
#include "test_paths.h"

namespace tracemill::test {
namespace {

struct ToolRun {
    std::string output; // standard output
    std::string errors; // standard error
    int status = -1;    // the exit status, -1 when the tool did not exit
};

std::string fileText(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs `command` in `folder` without a display, its settings kept in the folder.
ToolRun runIn(const std::filesystem::path& folder, const std::string& command) {
    ToolRun run;
    const std::filesystem::path errors = folder / "errors.txt";
    const std::string line =
        "cd " + shellQuote(folder.string()) +
        " && env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" + shellQuote((folder / "config").string()) +
        " " + command + " 2>" + shellQuote(errors.string());
    std::FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errors = fileText(errors);
    std::filesystem::remove(errors);
    return run;
}

const std::string kTracemill = shellQuote(TRACEMILL_PROGRAM);
const std::string kTmexport = shellQuote(TMEXPORT_PATH);

// Root writes into a folder without write permission: there the tools run as "nobody", for
// whom the read-only folder is read-only. Empty when that cannot be done here.
std::string asUserWhomReadOnlyStops(const std::filesystem::path& folder) {
    if (::geteuid() != 0) return " ";
    if (!toolInstalled("setpriv")) return {};
    const std::string prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    // Nobody must reach the tool and the folder: some checkouts live where only root can.
    if (runIn(folder, prefix + kTracemill + " --version").status != 0) return {};
    return " " + prefix;
}

// The folder every case runs in:
//   plan.dxf      a drawing (three lines)       notes.txt, notes.dxf   text files
//   plans.dwg/    a folder                      binary.dxfb            a binary DXF drawing
//   new.dwg       the head of an "AC1018" DWG   cut.dwg                an "AC1009" DWG cut short
//   ro/plan.dxf   a drawing in a folder that cannot be written
class ToolFailures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.path().empty());
        const std::filesystem::path& dir = folder_.path();
        std::filesystem::copy_file(testDataDir() / "render" / "model_lines.dxf", dir / "plan.dxf");
        std::filesystem::copy_file(testDataDir() / "dxf" / "kinds_2000.dxfb", dir / "binary.dxfb");
        folder_.write("notes.txt", "Shopping list\nnot a drawing\n");
        folder_.write("notes.dxf", "Shopping list\nnot a drawing\n");
        folder_.write("new.dwg", std::string("AC1018") + std::string(64, '\0'));
        const std::string r12 = fileText(testDataDir() / "dwg12" / "kinds_ac1009.dwg");
        folder_.write("cut.dwg", r12.substr(0, r12.size() / 5));
        std::filesystem::create_directories(dir / "plans.dwg");
        std::filesystem::create_directories(dir / "config");
        std::filesystem::create_directories(dir / "ro");
        std::filesystem::copy_file(dir / "plan.dxf", dir / "ro" / "plan.dxf");
        // Open to every user (the read-only case may run as another), the one folder read-only.
        ::chmod(dir.c_str(), 0777);
        ::chmod((dir / "config").c_str(), 0777);
        ::chmod((dir / "ro").c_str(), 0555);
    }
    void TearDown() override { ::chmod((folder_.path() / "ro").c_str(), 0755); }
    const std::filesystem::path& dir() const { return folder_.path(); }

private:
    TempFolder folder_;
};

struct FailureCase {
    const char* name;
    const char* tool; // "tracemill" or "tmexport"
    std::string arguments;
    int status;
    const char* codes;             // the result file "c.txt" of tracemill; null: none is written
    std::vector<std::string> told; // what standard error says, each somewhere in it
    bool readOnly = false;         // runs where the folder "ro" stops the tool
};

const FailureCase kFailureCases[] = {
    {"MissingDrawing", "tracemill", "/r /l c.txt nope.dwg", 1, "4\n",
     {"tracemill: nope.dwg: No such file or directory (code 4: not a drawing)"}},
    {"MissingDrawing", "tmexport", "nope.dwg a.svg", 1, nullptr, {"tmexport: nope.dwg: No such file or directory"}},
    {"Directory", "tracemill", "/r /l c.txt plans.dwg", 1, "4\n",
     {"tracemill: plans.dwg: is a directory, not a drawing file (code 4: not a drawing)"}},
    {"Directory", "tmexport", "plans.dwg a.svg", 1, nullptr, {"tmexport: plans.dwg: is a directory"}},
    {"TextFileByItsName", "tracemill", "/r /l c.txt notes.txt", 1, "4\n",
     {"tracemill: notes.txt: the extension \".txt\" is none of .dwg, .dxf, .dwf and .dwt (code 4"}},
    {"TextFileNamedAsADrawing", "tracemill", "/r /l c.txt notes.dxf", 1, "2\n",
     {"tracemill: notes.dxf: the file is neither a DWG drawing nor a DXF file", "(error 5)",
      "(code 2: the drawing cannot be opened)"}},
    {"TextFileNamedAsADrawing", "tmexport", "notes.dxf a.svg", 1, nullptr,
     {"tmexport: notes.dxf: the file is neither a DWG drawing nor a DXF file", "(error 5)"}},
    {"BinaryDxfExtension", "tracemill", "/r /l c.txt binary.dxfb", 1, "4\n",
     {"tracemill: binary.dxfb: the extension \".dxfb\" is none", "read under the extension .dxf (code 4"}},
    {"TooNew", "tracemill", "/r /l c.txt new.dwg", 1, "2\n",
     {"tracemill: new.dwg: the DWG file is of a version this program does not read", "(error 8)", "\"AC1018\"",
      "(code 2"}},
    {"TooNew", "tmexport", "new.dwg a.svg", 1, nullptr,
     {"tmexport: new.dwg: the DWG file is of a version this program does not read", "(error 8)"}},
    {"Truncated", "tracemill", "/r /l c.txt cut.dwg plan.dxf", 1, "2\n0\n",
     {"tracemill: cut.dwg: ", "(error ", "(code 2: the drawing cannot be opened)"}},
    {"Truncated", "tmexport", "cut.dwg a.svg", 1, nullptr, {"tmexport: cut.dwg: ", "(error "}},
    {"ReadOnlyFolder", "tracemill", "/r /l c.txt /f 101 ro/plan.dxf /f 1 ro/plan.dxf plan.dxf", 1, "7\n1\n0\n",
     {"tracemill: ro/plan.dxf: ro/plan.svg cannot be written: Permission denied (code 7",
      "tracemill: ro/plan.dxf: ro/plan.bmp cannot be written: Permission denied (code 1"}, true},
    {"ReadOnlyFolder", "tmexport", "plan.dxf ro/a.svg b.svg", 1, nullptr,
     {"tmexport: ro/a.svg cannot be written: Permission denied"}, true},
    {"NoSize", "tracemill", "/r /l c.txt /w -5 plan.dxf", 1, "6\n",
     {"tracemill: warning: /w -5: a size below 0.00001 is 0",
      "tracemill: plan.dxf: the width or the height is 0, which only /e allows", "(code 6: no width or height)"}},
    {"ClampedFormatStillConverts", "tracemill", "/r /l c.txt /f 999 /q plan.dxf", 1, "4\n0\n",
     {"tracemill: warning: /f 999: no such format, 108 (EPS) is used",
      "tracemill: /q: unknown option; tracemill --help lists the options (code 4: not a drawing)"}},
    {"BadValuesAreClampedWithAWarning", "tracemill", "/r /l c.txt /f abc /p 9 plan.dxf", 0, "0\n",
     {"tracemill: warning: /f abc: not a number, read as 0; no such format, 1 (BMP) is used",
      "tracemill: warning: /p 9: colours are 1 to 3, 3 is used"}},
    {"BadSize", "tmexport", "--size -5x3 plan.dxf a.svg", 2, nullptr,
     {"tmexport: --size -5x3: the size is WIDTHxHEIGHT", "usage: tmexport"}},
    {"NoTarget", "tracemill", "/r /l c.txt /x14 plan.dxf", 1, "",
     {"tracemill: /x14 plan.dxf names no target", "usage: tracemill"}},
    {"NoTarget", "tmexport", "plan.dxf", 2, nullptr, {"tmexport: plan.dxf: no output named", "usage: tmexport"}},
    {"NoDrawing", "tracemill", "/r /l c.txt /f 101", 1, "",
     {"tracemill: /r names no drawing to convert", "usage: tracemill"}},
    {"NoDrawing", "tmexport", "--mask", 2, nullptr, {"tmexport: no drawing named", "usage: tmexport"}},
};

void PrintTo(const FailureCase& row, std::ostream* out) {
    *out << row.tool << " " << row.arguments;
}

class ToolFailureCases : public ToolFailures, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ToolFailureCases, SayWhatAndWhy) {
    const FailureCase& row = GetParam();
    std::string runAs = " ";
    if (row.readOnly) {
        runAs = asUserWhomReadOnlyStops(dir());
        if (runAs.empty())
            GTEST_SKIP() << "running as root, and the tool cannot be run as nobody here: root writes into "
                            "read-only folders";
    }
    const std::string tool = std::string(row.tool) == "tracemill" ? kTracemill : kTmexport;
    const ToolRun run = runIn(dir(), runAs + tool + " " + row.arguments);
    EXPECT_EQ(run.status, row.status) << run.errors;
    if (row.codes) {
        EXPECT_EQ(fileText(dir() / "c.txt"), row.codes);
    } else {
        EXPECT_FALSE(std::filesystem::exists(dir() / "c.txt"));
    }
    for (const std::string& text : row.told)
        EXPECT_NE(run.errors.find(text), std::string::npos) << text << "\n" << run.errors;
    // Not a terminal: no progress line.
    EXPECT_EQ(run.errors.find('\r'), std::string::npos) << run.errors;
}

INSTANTIATE_TEST_SUITE_P(Rows, ToolFailureCases, ::testing::ValuesIn(kFailureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             return std::string(info.param.name) + "_" + info.param.tool;
                         });

TEST_F(ToolFailures, TmexportGoesOnWithTheOtherOutputs) {
    const ToolRun run = runIn(dir(), kTmexport + " plan.dxf nofolder/a.svg b.svg nofolder/c.bmp d.bmp");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "b.svg\nd.bmp\n");
    EXPECT_NE(run.errors.find("tmexport: nofolder/a.svg cannot be written: No such file or directory\n"),
              std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("tmexport: nofolder/c.bmp cannot be written: No such file or directory\n"),
              std::string::npos)
        << run.errors;
    EXPECT_TRUE(std::filesystem::is_regular_file(dir() / "d.bmp"));
}

TEST_F(ToolFailures, HelpListsTheFormatsOnStandardOutput) {
    for (const char* asked : {"--help", "-h", "'/?'", "/r plan.dxf --help"}) {
        const ToolRun run = runIn(dir(), kTracemill + " " + asked);
        EXPECT_EQ(run.status, 0) << asked;
        EXPECT_EQ(run.errors, "") << asked;
        for (const char* row :
             {"usage: tracemill /r", "    1  BMP image    .bmp        101  SVG              .svg\n",
              "                                108  EPS              .eps\n", "Result codes", "Exit status"})
            EXPECT_NE(run.output.find(row), std::string::npos) << asked << ": " << row;
    }
    EXPECT_FALSE(std::filesystem::exists(dir() / "plan.bmp")); // help converts nothing
    const ToolRun help = runIn(dir(), kTmexport + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find(".svg .svgz .plt .hgl .pdf .cgm .eps"), std::string::npos) << help.output;
}

TEST_F(ToolFailures, EveryToolTellsItsVersion) {
    for (const std::string& tool :
         {kTracemill, kTmexport, shellQuote(TMDUMP_PATH), shellQuote(TMSAVE_PATH)}) {
        const ToolRun run = runIn(dir(), tool + " --version");
        EXPECT_EQ(run.status, 0) << tool;
        EXPECT_NE(run.output.find(" 0."), std::string::npos) << tool << ": " << run.output;
        EXPECT_EQ(run.errors, "") << tool;
    }
}

// Standard error on a terminal (through `script`, its input from /dev/null: CI runs without
// one): the drawing of how many and its percentage, erased before a failure is told.
TEST_F(ToolFailures, ProgressOnATerminal) {
    TM_REQUIRE_TOOL("script");
    std::filesystem::copy_file(dir() / "plan.dxf", dir() / "second.dxf");
    const ToolRun run =
        runIn(dir(),
              "script -qec " + shellQuote(kTracemill + " /r /e plan.dxf second.dxf nope.dwg") + " /dev/null < /dev/null");
    EXPECT_NE(run.output.find("[1/3] plan.dxf"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("[2/3] second.dxf step 3/4 100%"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\r\033[Ktracemill: nope.dwg: No such file or directory"), std::string::npos)
        << run.output;
    EXPECT_TRUE(std::filesystem::is_regular_file(dir() / "second.bmp"));
    const ToolRun exported =
        runIn(dir(), "script -qec " + shellQuote(kTmexport + " plan.dxf a.svg b.pdf") + " /dev/null < /dev/null");
    EXPECT_NE(exported.output.find("[2/2] b.pdf"), std::string::npos) << exported.output;
    EXPECT_NE(exported.output.find("%"), std::string::npos) << exported.output;
}

} // namespace
} // namespace tracemill::test
