// The shared resolver of Windows-style file names and the default file finder, on a
// temporary directory tree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "toolkit/core/file_finder.h"
#include "toolkit/core/file_name_resolver.h"

namespace tracemill {
namespace {

namespace fs = std::filesystem;

// A tree under a temporary folder, which is also the current directory during the test.
class FileLookup : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = fs::current_path();
        root_ = fs::temp_directory_path() /
                ("tracemill-lookup-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
        root_ = fs::canonical(root_);
        fs::current_path(root_);
        const char* acad = std::getenv("ACAD");
        savedAcad_ = acad ? std::optional<std::string>(acad) : std::nullopt;
        ::unsetenv("ACAD");
    }
    void TearDown() override {
        fs::current_path(saved_);
        fs::remove_all(root_);
        if (savedAcad_) ::setenv("ACAD", savedAcad_->c_str(), 1);
        else ::unsetenv("ACAD");
    }
    void touch(const fs::path& relative) {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative) << "x";
    }
    std::string native(const fs::path& relative) const { return (root_ / relative).string(); }

    fs::path saved_, root_;
    std::optional<std::string> savedAcad_;
};

TEST_F(FileLookup, ResolverMapsWindowsNamesToThisMachine) {
    touch("Fonts/Romans.SHX");
    touch("xref/Plan A.dwg");
    touch("Fonts/sub/a.shx");
    const std::string rootWindows = "C:" + root_.string();  // the drive prefix stands for the root
    std::string backslashed = root_.string();
    for (char& c : backslashed) {
        if (c == '/') c = '\\';
    }
    struct Case {
        const char* name;
        std::string input;
        std::optional<std::string> expected;
    } cases[] = {
        {"relative, backslashes, other case", "fonts\\romans.shx", "Fonts/Romans.SHX"},
        {"forward slashes", "FONTS/ROMANS.SHX", "Fonts/Romans.SHX"},
        {"doubled separators", "fonts\\\\romans.shx", "Fonts/Romans.SHX"},
        {"dot and dot-dot", ".\\fonts\\sub\\..\\ROMANS.shx", "./Fonts/sub/../Romans.SHX"},
        {"drive letter: the rest from the root", rootWindows + "\\XREF\\plan a.DWG", native("xref/Plan A.dwg")},
        {"lower-case drive, backslashes only", "d:" + backslashed + "\\fonts\\Sub\\A.SHX", native("Fonts/sub/a.shx")},
        {"a folder is not a file", "fonts\\sub", std::nullopt},
        {"a file is not a folder", "fonts\\romans.shx\\x", std::nullopt},
        {"missing file", "fonts\\romant.shx", std::nullopt},
        {"empty name", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dbResolveFileName(c.input), c.expected);
    }
}

TEST_F(FileLookup, AnExactMatchWinsOverOtherCases) {
    touch("a.shx");
    touch("A.SHX");
    touch("A.shx");
    EXPECT_EQ(dbResolveFileName("A.shx"), std::optional<std::string>("A.shx"));
    EXPECT_EQ(dbResolveFileName("a.SHX"), std::optional<std::string>("A.SHX")) << "first in byte order";
}

TEST_F(FileLookup, SearchListsSplitAtSemicolons) {
    EXPECT_EQ(dbSplitSearchList("c:\\a;;d:\\b\\;rel"), (std::vector<std::string>{"c:\\a", "d:\\b\\", "rel"}));
    EXPECT_TRUE(dbSplitSearchList("").empty());
    EXPECT_TRUE(dbSplitSearchList(";").empty());
}

TEST_F(FileLookup, FinderTriesTheNameItsBaseAndTheAcadFoldersInOrder) {
    ::setenv("ACAD", "one;two\\;three/", 1);
    EXPECT_EQ(dbDefaultFileFinderCandidates("fonts/a.shx"),
              (std::vector<std::string>{"fonts\\a.shx", "a.shx", "one\\fonts\\a.shx", "two\\fonts\\a.shx",
                                        "three/fonts\\a.shx"}));
    EXPECT_EQ(dbDefaultFileFinderCandidates("c:x.shx"), (std::vector<std::string>{"c:x.shx", "x.shx"}))
        << "a name with a drive is not searched along ACAD";
    EXPECT_EQ(dbDefaultFileFinderCandidates("c:\\fonts\\x.shx"),
              (std::vector<std::string>{"c:\\fonts\\x.shx", "x.shx"}));
    ::unsetenv("ACAD");
    EXPECT_EQ(dbDefaultFileFinderCandidates("a.shx"), (std::vector<std::string>{"a.shx", "a.shx"}));
}

TEST_F(FileLookup, FinderFindsTheFirstCandidateThatExists) {
    touch("Fonts/A.SHX");
    touch("a.SHX");
    touch("Two/fonts/a.shx");
    touch("Three/Fonts/A.shx");
    ::setenv("ACAD", (root_ / "one").string().append(";two;").append(native("three")).c_str(), 1);
    std::string out;
    struct Step {
        const char* name;
        fs::path found;
        fs::path removeAfter;
    } steps[] = {
        {"the name itself", "Fonts/A.SHX", "Fonts/A.SHX"},
        {"its base in the current directory", "a.SHX", "a.SHX"},
        {"the second ACAD folder (the first does not exist)", "Two/fonts/a.shx", "Two/fonts/a.shx"},
        {"the third, given as an absolute path", "Three/Fonts/A.shx", "Three/Fonts/A.shx"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_EQ(dbDefaultFileFinder("fonts/a.shx", out, nullptr), 1);
        EXPECT_EQ(fs::canonical(out), root_ / step.found);
        fs::remove(root_ / step.removeAfter);
    }
    EXPECT_EQ(dbDefaultFileFinder("fonts/a.shx", out, nullptr), 0);
    EXPECT_EQ(out, "fonts\\a.shx") << "not found: the name with backslashes";

    touch("Three/x.shx");
    ::setenv("ACAD", native("Three").c_str(), 1);
    EXPECT_EQ(dbDefaultFileFinder("c:x.shx", out, nullptr), 0) << "a drive name is not searched along ACAD";
    EXPECT_EQ(dbDefaultFileFinder("x.shx", out, nullptr), 1);

    // A Windows name with a drive, backslashes and another case is found as it stands.
    std::string windows = "C:" + native("three/X.SHX");
    for (char& c : windows) {
        if (c == '/') c = '\\';
    }
    ASSERT_EQ(dbDefaultFileFinder(windows.c_str(), out, nullptr), 1) << windows;
    EXPECT_EQ(fs::canonical(out), root_ / "Three/x.shx");
}

} // namespace
} // namespace tracemill
