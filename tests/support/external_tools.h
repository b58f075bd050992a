// Runs the command-line image tools the tests check our files against (ImageMagick's
// convert and identify, libjpeg's djpeg), installed by scripts/setup.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

} // namespace tracemill::test
