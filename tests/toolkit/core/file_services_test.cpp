#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "toolkit/core/in_file.h"
#include "toolkit/core/out_file.h"

namespace tracemill {
namespace {

namespace fs = std::filesystem;

class FileServices : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tracemill-files-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Every line dbInFileGetLine returns with a buffer of n bytes.
    std::vector<std::string> lines(const std::string& bytes, size_t n) {
        InFilePtr f(dbInFileOpen(write("lines", bytes).c_str()));
        EXPECT_TRUE(f);
        std::vector<std::string> result;
        std::vector<char> buffer(n + 1, 'x');
        while (char* line = dbInFileGetLine(buffer.data(), n, f.get())) {
            EXPECT_EQ(line, buffer.data());
            result.emplace_back(line);
            if (result.size() > 100) break;
        }
        return result;
    }

    fs::path dir_;
};

TEST_F(FileServices, GetLineEndsLinesAtEachKindOfLineEnd) {
    using Lines = std::vector<std::string>;
    struct Case {
        const char* name;
        std::string bytes;
        size_t room;
        Lines expected;
    } cases[] = {
        {"CR LF is one end", "ab\r\ncd", 80, {"ab\r", "cd"}},
        {"LF CR is one end", "ab\n\rcd", 80, {"ab\n", "cd"}},
        {"CR alone", "ab\rcd\r", 80, {"ab\r", "cd\r"}},
        {"LF alone", "ab\ncd\n", 80, {"ab\n", "cd\n"}},
        {"LF LF is two ends", "a\n\nb", 80, {"a\n", "\n", "b"}},
        {"CR CR is two ends", "a\r\rb", 80, {"a\r", "\r", "b"}},
        {"CR LF CR LF", "a\r\n\r\nb", 80, {"a\r", "\r", "b"}},
        {"last line without an end keeps every byte", "abc", 80, {"abc"}},
        {"last line exactly fills the buffer", "abc", 4, {"abc"}},
        {"a long line comes in pieces of n - 1 bytes", "abcdefg\nh", 4, {"abc", "def", "g\n", "h"}},
        {"the end of a full piece is read on", "abc\r\nd", 4, {"abc", "\r", "d"}},
        {"empty file", "", 80, {}},
        {"only an end", "\r\n", 80, {"\r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lines(c.bytes, c.room), c.expected);
    }
}

TEST_F(FileServices, GetLineWithNoRoomReadsNothing) {
    InFilePtr f(dbInFileOpen(write("a", "abc").c_str()));
    char buffer[4] = "xyz";
    EXPECT_EQ(dbInFileGetLine(buffer, 0, f.get()), nullptr);
    EXPECT_EQ(dbInFileGetc(f.get()), 'a') << "nothing was consumed";
}

TEST_F(FileServices, ReaderFileLengthKeepsThePosition) {
    InFilePtr f(dbInFileOpen(write("a", "0123456789").c_str()));
    ASSERT_TRUE(f);
    EXPECT_EQ(dbInFileSeek(f.get(), 3, SEEK_SET), 0);
    EXPECT_EQ(dbInFileLength(f.get()), 10);
    EXPECT_EQ(dbInFileTell(f.get()), 3);
    EXPECT_EQ(dbInFileOpen((dir_ / "missing").c_str()), nullptr);
    EXPECT_EQ(dbFileAccess((dir_ / "a").c_str(), 0), 0);
    EXPECT_EQ(dbFileAccess((dir_ / "missing").c_str(), 0), -1);
}

TEST_F(FileServices, AWrittenFileReplacesTheTargetOnlyWhenClosed) {
    const fs::path target = write("drawing.dxf", "old contents");
    ::chmod(target.c_str(), 0640);
    OutFile* f = dbOutFileOpen(target.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(dbOutFilePutString(f, "new "), 0);
    EXPECT_EQ(dbOutFileWrite("contents", 1, 8, f), 8u);
    EXPECT_EQ(read(target), "old contents") << "the target stays intact while writing";
    EXPECT_EQ(dbOutFileClose(f), 0);
    EXPECT_EQ(read(target), "new contents");
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file's permissions are kept";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "no temporary file is left";
}

TEST_F(FileServices, AFailedOrAbandonedSaveLeavesTheTargetAlone) {
    const fs::path target = write("drawing.dwg", "old contents");

    OutFile* abandoned = dbOutFileOpen(target.c_str(), "wb");
    ASSERT_NE(abandoned, nullptr);
    dbOutFileWrite("partial", 1, 7, abandoned);
    dbOutFileDiscard(abandoned);
    EXPECT_EQ(read(target), "old contents");

    OutFile* failed = dbOutFileOpen(target.c_str(), "wb");
    ASSERT_NE(failed, nullptr);
    dbOutFileWrite("partial", 1, 7, failed);
    EXPECT_NE(dbOutFileSeek(failed, -100, SEEK_SET), 0);
    EXPECT_EQ(dbOutFileClose(failed), -1) << "a failed seek makes the save fail";
    EXPECT_EQ(read(target), "old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

    EXPECT_EQ(dbOutFileOpen((dir_ / "no such folder" / "x.dxf").c_str(), "wb"), nullptr);
}

TEST_F(FileServices, AWriterCanReadBackAndPatchWhatItWrote) {
    const fs::path target = dir_ / "new.dwg";
    OutFile* f = dbOutFileOpen(target.c_str(), "w+b");
    ASSERT_NE(f, nullptr);
    dbOutFileWrite("AC1015....", 1, 10, f);
    EXPECT_EQ(dbOutFileTell(f), 10);
    EXPECT_EQ(dbOutFileSeek(f, 6, SEEK_SET), 0);
    dbOutFileWrite("abcd", 1, 4, f);
    EXPECT_EQ(dbOutFileSeek(f, 0, SEEK_SET), 0);
    char head[6];
    EXPECT_EQ(dbOutFileRead(head, 1, 6, f), 6u);
    EXPECT_EQ(std::string(head, 6), "AC1015");
    EXPECT_EQ(dbOutFileClose(f), 0);
    EXPECT_EQ(read(target), "AC1015abcd");
}

} // namespace
} // namespace tracemill
