// Helpers of the export device tests: a scratch folder, whole files as text, a locale set
// for one scope, and the device calls of a scripted picture.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "test_paths.h"

namespace tracemill::test {

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) {
        path_ = std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }
    // The names of the files in the folder.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Sets LC_ALL for one scope; `active` is false when the locale is not installed.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) {
        const char* old = std::setlocale(LC_ALL, nullptr);
        old_ = old ? old : "C";
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, old_.c_str()); }
    bool active() const { return active_; }

private:
    std::string old_;
    bool active_ = false;
};

} // namespace tracemill::test

// Sets the German locale (decimal comma) for the rest of the scope; skips the test when it is
// not installed, fails instead under CI=true (scripts/setup installs locales-all).
#define TM_USE_GERMAN_LOCALE(guard)                                                             \
    ::tracemill::test::ScopedLocale guard("de_DE.UTF-8");                                       \
    if (!guard.active()) {                                                                      \
        if (::tracemill::test::runningInCi()) FAIL() << "locale de_DE.UTF-8 missing under CI"; \
        GTEST_SKIP() << "locale de_DE.UTF-8 not installed";                                     \
    }
