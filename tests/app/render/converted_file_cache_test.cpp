#include <chrono>
#include <filesystem>
#include <string>

#include "app/render/converted_file_cache.h"
#include "temp_folder.h"

namespace tracemill::test {
namespace {

void touch(const std::string& path) {
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
}

TEST(ConvertedFileCache, AConversionIsFoundWhileItsSourceIsUnchanged) {
    TempFolder folder;
    const std::string source = folder.write("a.dwg", "source");
    const std::string first = folder.write("first.tmp", "converted");
    CConvertedFileCache cache;
    std::string out = "unchanged";
    EXPECT_FALSE(cache.Find(source, out));
    cache.Add(source, first);
    EXPECT_TRUE(cache.Find(source, out));
    EXPECT_EQ(out, first);

    touch(source);
    out = "unchanged";
    EXPECT_FALSE(cache.Find(source, out));
    EXPECT_EQ(out, "unchanged");
    const std::string second = folder.write("second.tmp", "converted again");
    cache.Add(source, second);
    EXPECT_TRUE(cache.Find(source, out));
    EXPECT_EQ(out, second);

    folder.write("a.dwg", "source grown"); // another size
    EXPECT_FALSE(cache.Find(source, out));
    EXPECT_EQ(cache.Count(), 2u);

    cache.Clear();
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(second));
    EXPECT_TRUE(std::filesystem::exists(source));
    EXPECT_EQ(cache.Count(), 0u);
}

TEST(ConvertedFileCache, PathsCompareExactlyAndUnreadableSourcesAreNeverKept) {
    TempFolder folder;
    const std::string lower = folder.write("plan.dwg", "same bytes");
    const std::string upper = folder.write("PLAN.DWG", "same bytes");
    const std::string converted = folder.write("plan.tmp", "converted");
    CConvertedFileCache cache;
    cache.Add(lower, converted);
    std::string out;
    EXPECT_FALSE(cache.Find(upper, out)); // another file here
    cache.Add(folder / "missing.dwg", folder / "orphan.tmp");
    EXPECT_EQ(cache.Count(), 1u);
    EXPECT_FALSE(cache.Find(folder / "missing.dwg", out));
    EXPECT_FALSE(cache.Find(folder.path().string(), out)); // a folder is no source
}

TEST(ConvertedFileCache, TheDestructorDeletesTheConvertedFiles) {
    TempFolder folder;
    const std::string source = folder.write("a.dwg", "source");
    const std::string converted = folder.write("a.tmp", "converted");
    {
        CConvertedFileCache cache;
        cache.Add(source, converted);
    }
    EXPECT_FALSE(std::filesystem::exists(converted));
}

} // namespace
} // namespace tracemill::test
