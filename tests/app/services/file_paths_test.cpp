#include "app/services/file_paths.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "temp_folder.h"

namespace tracemill {
namespace {

TEST(Paths, PiecesOfAPath) {
    struct Case {
        const char* path;
        const char* folder;
        const char* fileName;
        const char* title;
        const char* extension;
    } const cases[] = {
        {"/data/plan.dwg", "/data/", "plan.dwg", "plan", ".dwg"},
        {"/a.b/file", "/a.b/", "file", "file", ""},
        {"file.dwg", "", "file.dwg", "file", ".dwg"},
        {"rel/dir/archive.tar.gz", "rel/dir/", "archive.tar.gz", "archive.tar", ".gz"},
        {"/data/", "/data/", "", "", ""},
        {"/", "/", "", "", ""},
        {"plan.", "", "plan.", "plan", "."},
        {"", "", "", "", ""},
        // A backslash is part of a POSIX file name.
        {"C:\\x\\a.dwg", "", "C:\\x\\a.dwg", "C:\\x\\a", ".dwg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetPathFolder(c.path), c.folder);
        EXPECT_EQ(GetPathFileName(c.path), c.fileName);
        EXPECT_EQ(GetPathTitle(c.path), c.title);
        EXPECT_EQ(GetPathExt(c.path), c.extension);
    }
}

TEST(Paths, ChangePathExt) {
    struct Case {
        const char* path;
        const char* extension;
        const char* result;
    } const cases[] = {
        {"/data/plan.dwg", ".dxf", "/data/plan.dxf"},
        {"/data/plan.dwg", "", "/data/plan"},
        {"/a.b/file", ".bmp", "/a.b/file.bmp"},
        {"plan.tar.gz", ".zip", "plan.tar.zip"},
        {"/data/", ".x", "/data/.x"},
    };
    for (const Case& c : cases) EXPECT_EQ(ChangePathExt(c.path, c.extension), c.result) << c.path;
}

TEST(Paths, FilesAndFolders) {
    const test::TempFolder folder;
    const std::string file = folder.write("plan.dwg", "12345");
    const std::string dir = folder.path().string();
    struct Case {
        std::string path;
        bool isFile;
        bool isFolder;
    } const cases[] = {
        {file, true, false},
        {dir, false, true},
        {dir + "/", false, true},
        {folder / "missing.dwg", false, false},
        {file + "/", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileExists(c.path), c.isFile);
        EXPECT_EQ(DirectoryExists(c.path), c.isFolder);
    }
    EXPECT_EQ(GetFileSizeByName(file), 5);
    EXPECT_EQ(GetFileSizeByName(folder / "missing.dwg"), 0);
    EXPECT_EQ(GetFileSizeByName(dir), 0);
}

TEST(Paths, CreateDirectoryPath) {
    const test::TempFolder folder;
    const std::string file = folder.write("file", "x");
    const auto entries = [&] {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::recursive_directory_iterator(folder.path())) ++n;
        return n;
    };

    EXPECT_TRUE(CreateDirectoryPath(folder.path().string()));
    EXPECT_TRUE(CreateDirectoryPath(folder.path().string() + "/"));
    EXPECT_TRUE(CreateDirectoryPath(""));
    EXPECT_EQ(entries(), 1u) << "existing folders create nothing";

    EXPECT_TRUE(CreateDirectoryPath(folder / "a/b/c"));
    EXPECT_TRUE(DirectoryExists(folder / "a/b/c"));
    EXPECT_TRUE(CreateDirectoryPath(folder / "x/y/"));
    EXPECT_TRUE(DirectoryExists(folder / "x/y"));
    EXPECT_TRUE(CreateDirectoryPath(folder / "a/b/c")) << "again";

    EXPECT_FALSE(CreateDirectoryPath(file + "/sub/deeper")) << "a file in the way";
    EXPECT_FALSE(CreateDirectoryPath(file)) << "a file of the name";
    EXPECT_FALSE(DirectoryExists(file + "/sub"));
}

TEST(Paths, MakeTempFileNameCreatesNewFilesInTheTemporaryFolder) {
    const test::TempFolder folder;
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved ? saved : "";
    setenv("TMPDIR", folder.path().c_str(), 1);

    const std::string first = MakeTempFileName();
    const std::string second = MakeTempFileName();
    EXPECT_EQ(GetPathFolder(first), folder.path().string() + "/");
    EXPECT_EQ(GetPathFileName(first).substr(0, 3), "dwg");
    EXPECT_TRUE(FileExists(first));
    EXPECT_EQ(GetFileSizeByName(first), 0);
    EXPECT_TRUE(FileExists(second));
    EXPECT_NE(first, second);

    if (saved)
        setenv("TMPDIR", savedValue.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

TEST(Paths, FileKinds) {
    struct Case {
        const char* extension;
        int kind;
    } const cases[] = {
        {".dwg", 0}, {".DWG", 0}, {".dxf", 1},  {".dwt", 2}, {".bmp", 3}, {".jpg", 3},  {".JPEG", 3},
        {".tif", 3}, {".tiff", 3}, {".rle", 3}, {".dib", 3}, {".pcx", 3}, {".pct", 3},  {".png", 3},
        {".tga", 3}, {".shx", 4}, {".ttf", 5},  {".ttc", 6}, {".pc3", 7}, {".stb", 8},  {".fmp", 9},
        {".txt", 10}, {"", 10},   {"dwg", 10},  {".dwgx", 10},
    };
    for (const Case& c : cases) EXPECT_EQ(GetFileKind(c.extension), c.kind) << c.extension;
}

TEST(Paths, CompareFilesByKind) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } const cases[] = {
        {"b.dwg", "a.dxf", -1},          // kind 0 before kind 1
        {"a.dwg", "b.dwg", -1},          // then the title
        {"/z/x.fmp", "/a/a.txt", -1},    // kind 9 before kind 10
        {"A.DWG", "a.dwg", 0},           // no regard to case
        {"/z/a.dwg", "/y/a.dwg", 1},     // the folder last
        {"a.png", "b.jpg", 1},           // same kind: the extension before the title
        {"a.dwt", "a.dwg", 1},
        {"/p/plan.dwg", "/p/PLAN.DWG", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        const int result = CompareFilesByKind(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign);
        const int reverse = CompareFilesByKind(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign);
    }
}

} // namespace
} // namespace tracemill
