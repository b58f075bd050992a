// Runs the command-line tools the tests check our files against (ImageMagick's convert and
// identify, libjpeg's djpeg, and the validators of the exported vector files), installed by
// scripts/setup.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "test_paths.h"

namespace tracemill::test {

// Standard output of a shell command, or none when it exits non-zero.
std::optional<std::string> runCommand(const std::string& command);

// A picture as ImageMagick decodes it: red, green, blue bytes, rows from the top.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};
std::optional<RgbImage> readWithImageMagick(const std::filesystem::path& path);

// Quotes a path for the shell.
std::string shellQuote(const std::string& text);

// True when the program is found along PATH.
bool toolInstalled(const std::string& program);

} // namespace tracemill::test

// Skips the current test when the program is not installed; fails instead under CI=true, so
// a missing validator can never turn its checks into silent skips.
#define TM_REQUIRE_TOOL(program)                                                                \
    if (!::tracemill::test::toolInstalled(program)) {                                           \
        if (::tracemill::test::runningInCi()) FAIL() << program << " missing under CI=true";    \
        GTEST_SKIP() << program << " not installed (scripts/setup installs it)";                \
    }
