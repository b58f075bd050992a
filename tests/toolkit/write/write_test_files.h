// Files of the writer tests: a temporary folder per test, saves into it, and the groups of a
// saved DXF file as the structure check reads them.
#pragma once

#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "dxf_structure_check.h"
#include "toolkit_fixture.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/write/save_driver.h"

namespace tracemill::test {

// A folder of its own for each test ("tm_write_" PID "_" test name), removed with the test's
// fixture whatever the test's result. A process that ends without its fixtures (a crash, a
// sanitizer's abort, a time-out) cannot remove its folders: each new folder first removes the
// folders of processes that no longer run.
class TemporaryFolder {
public:
    TemporaryFolder() {
        removeFoldersOfEndedProcesses();
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(kPrefix) + std::to_string(::getpid()) + "_" +
                           (info ? std::string(info->test_suite_name()) + "_" + info->name() : "x");
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // The names of the files in the folder.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
        return names;
    }

private:
    static constexpr std::string_view kPrefix = "tm_write_";

    static void removeFoldersOfEndedProcesses() {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), error)) {
            const std::string name = entry.path().filename().string();
            if (!name.starts_with(kPrefix)) continue;
            const size_t end = name.find('_', kPrefix.size());
            const std::string digits = name.substr(kPrefix.size(), end - kPrefix.size());
            if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) continue;
            const pid_t pid = pid_t(std::stol(digits));
            if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // running, or not ours to ask
            std::filesystem::remove_all(entry.path(), error);
        }
    }

    std::filesystem::path path_;
};

// A toolkit test that frees the drawings it keeps and has a folder of its own.
class WriterTest : public ToolkitTest {
protected:
    void TearDown() override {
        for (Drawing* d : drawings_) dbFreeDrawing(d);
        drawings_.clear();
        ToolkitTest::TearDown();
    }
    Drawing* keep(Drawing* d) {
        if (d) drawings_.push_back(d);
        return d;
    }
    std::vector<Drawing*> drawings_;
    TemporaryFolder folder_;
};

// A fresh entity of `type` with the drawing's defaults and a new handle of the drawing.
inline EntityRecord newEntity(Drawing* drawing, uint16_t type) {
    EntityRecord e;
    e.header.type = type;
    dbInitEntity(drawing, e);
    e.header.handle = dbNewHandle(*drawing);
    return e;
}

// Saves with the program's settings; 1 or 0 as wrSaveDrawing.
inline int saveAs(Drawing* drawing, const std::filesystem::path& path, uint8_t format, int16_t version) {
    return wrSaveDrawing(drawing, path.c_str(), format, version, kSaveRealSwitch, kSaveDecimalPlaces,
                         kSaveEntitySwitch, kSaveOldDxfFlag);
}

// The groups from `first` (a group index) up to the next group of code 0 (exclusive), or to the
// end.
inline std::vector<DxfCheckGroup> recordAt(const std::vector<DxfCheckGroup>& groups, size_t first) {
    std::vector<DxfCheckGroup> record;
    for (size_t i = first; i < groups.size(); ++i) {
        if (i > first && groups[i].code == 0) break;
        record.push_back(groups[i]);
    }
    return record;
}

// The index of the first group (code, value) at or after `from`; groups.size() when none.
inline size_t findGroup(const std::vector<DxfCheckGroup>& groups, int code, const std::string& value, size_t from = 0) {
    for (size_t i = from; i < groups.size(); ++i) {
        if (groups[i].code == code && groups[i].value == value) return i;
    }
    return groups.size();
}

inline std::vector<int> codesOf(const std::vector<DxfCheckGroup>& groups) {
    std::vector<int> codes;
    for (const DxfCheckGroup& g : groups) codes.push_back(g.code);
    return codes;
}

// The names of the sections and, within TABLES, of the tables.
inline std::vector<std::string> sectionsAndTables(const std::vector<DxfCheckGroup>& groups) {
    std::vector<std::string> names;
    for (size_t i = 0; i + 1 < groups.size(); ++i) {
        if (groups[i].code == 0 && (groups[i].value == "SECTION" || groups[i].value == "TABLE"))
            names.push_back(groups[i + 1].value);
    }
    return names;
}

} // namespace tracemill::test
