// What the tests of the program share: a text file's contents and the program run in a folder
// as a user runs it, without a display.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "external_tools.h"
#include "test_paths.h"

namespace tracemill::test {

// The whole file as text; empty when it cannot be read.
inline std::string readTextFile(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs a shell command in the folder; its exit status, or -1 when it did not exit normally.
inline int runInFolder(const std::filesystem::path& folder, const std::string& command) {
    const int status = std::system(("cd " + shellQuote(folder.string()) + " && " + command).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the program in the folder with no display set and the folder as its settings folder;
// `environment` holds further assignments for env. Its error stream is dropped.
inline int runTracemill(const std::filesystem::path& folder, const std::string& environment,
                        const std::string& arguments) {
    return runInFolder(folder, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME=" +
                                   shellQuote(folder.string()) + " " + environment + " " +
                                   shellQuote(TRACEMILL_PROGRAM) + " " + arguments + " 2>/dev/null");
}

} // namespace tracemill::test
