#include "external_tools.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <sys/wait.h>

namespace tracemill::test {

std::string shellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

std::optional<std::string> runCommand(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    std::array<char, 65536> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    const int status = pclose(pipe);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

bool toolInstalled(const std::string& program) {
    return runCommand("command -v " + shellQuote(program) + " >/dev/null 2>&1").has_value();
}

std::optional<RgbImage> readWithImageMagick(const std::filesystem::path& path) {
    const std::string file = shellQuote(path.string());
    const std::optional<std::string> size = runCommand("identify -format '%w %h' " + file + " 2>/dev/null");
    if (!size) return std::nullopt;
    RgbImage image;
    std::istringstream(*size) >> image.width >> image.height;
    const std::optional<std::string> pixels = runCommand("convert " + file + " -depth 8 rgb:- 2>/dev/null");
    if (!pixels || pixels->size() != size_t(image.width) * size_t(image.height) * 3) return std::nullopt;
    image.rgb.assign(pixels->begin(), pixels->end());
    return image;
}

} // namespace tracemill::test
