#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "toolkit/core/builtin_init_data.h"

namespace tracemill {
namespace {

struct ToolRun {
    std::string output;
    int status = -1;
};

ToolRun tmdump(const std::string& arguments) {
    ToolRun run;
    std::FILE* pipe = ::popen((std::string(TMDUMP_PATH) + " " + arguments + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    run.status = ::pclose(pipe);
    return run;
}

TEST(TmdumpInitData, PrintsBannerCodePagesAndBuiltinFonts) {
    const ToolRun run = tmdump("--init-data");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string size = "init data: " + std::to_string(dbBuiltinInitData().size()) + " bytes\n";
    EXPECT_EQ(run.output.rfind(size, 0), 0u) << run.output;
    for (const char* line : {
             "\nbanner: Tracemill initialisation data",
             "\n   0 undefined  slot  0  single-byte, 128 of 128 bytes 80-FF mapped\n",
             "\n   1 ascii      slot  1  single-byte, 0 of 128 bytes 80-FF mapped\n",
             "\n  26 johab      slot 23  no table\n",
             "\n  30 ansi_1252  slot 27  single-byte, 123 of 128 bytes 80-FF mapped\n",
             "\n  38 ansi_932   slot 34  double-byte, ",
             "\n  SIMPLEX.SHX kind 0x04, above 21, below 6, modes 2, shapes 100 (0 to 258), 4998 bytes\n",
             "\n  GDT.SHX     kind 0x44, above 21, below 6, modes 2, shapes 103 (0 to 258), 4832 bytes\n",
             "\n    shape numbers: 0 10 32 33 34 ... 256 257 258\n",
         }) {
        EXPECT_NE(run.output.find(line), std::string::npos) << line;
    }
}

TEST(TmdumpInitData, RefusesUnknownArguments) {
    const ToolRun run = tmdump("--no-such-option");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("usage: tmdump"), std::string::npos);
}

} // namespace
} // namespace tracemill
