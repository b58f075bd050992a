#include "test_paths.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tracemill::test {

namespace {
std::filesystem::path fromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return std::filesystem::path(value && *value ? value : fallback);
}
} // namespace

std::filesystem::path testDataDir() {
    return fromEnvironment("TRACEMILL_TEST_DATA", TRACEMILL_TEST_DATA_DEFAULT);
}

std::filesystem::path samplesDir() {
    std::filesystem::path dir = fromEnvironment("TRACEMILL_SAMPLES", TRACEMILL_SAMPLES_DEFAULT);
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

std::vector<std::filesystem::path> loadableSampleDrawings(const std::filesystem::path& samples) {
    std::vector<std::filesystem::path> found;
    for (const char* folder : {"dwg", "dxf"}) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(samples / folder, ec)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("r1.4") || name.find("2004") != std::string::npos) continue;
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<uint8_t> readFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool runningInCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

} // namespace tracemill::test
