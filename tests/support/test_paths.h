// Where tests find their data: our own fixtures under tests/data/ and the real drawings
// of the shared samples folder, which is read in place and never copied.
#pragma once

#include <filesystem>
#include <cstdint>
#include <string>
#include <vector>

namespace tracemill::test {

// tests/data/ of the source tree.
std::filesystem::path testDataDir();

// The shared samples folder, or an empty path when it is absent. Under CI=true an absent
// folder is a failure, so a wrong path never turns every sample test into a silent skip.
std::filesystem::path samplesDir();

// The drawings of the samples folder's "dwg" and "dxf" folders that the readers take (the
// versions they refuse, "AC1.40" and "AC1018" on, left out), sorted.
std::vector<std::filesystem::path> loadableSampleDrawings(const std::filesystem::path& samples);

// The bytes of a file; empty when it cannot be read.
std::vector<uint8_t> readFileBytes(const std::filesystem::path& path);

// True when the environment variable CI is "true".
bool runningInCi();

} // namespace tracemill::test

// Skips the current test when the samples folder is absent (fails instead under CI=true);
// otherwise declares `samples` as its path.
#define TM_REQUIRE_SAMPLES(samples)                                                              \
    const std::filesystem::path samples = ::tracemill::test::samplesDir();                              \
    if (samples.empty()) {                                                                       \
        if (::tracemill::test::runningInCi()) {                                                         \
            FAIL() << "samples folder missing under CI=true (TRACEMILL_SAMPLES)";                \
        }                                                                                        \
        GTEST_SKIP() << "samples folder absent (TRACEMILL_SAMPLES)";                             \
    }
