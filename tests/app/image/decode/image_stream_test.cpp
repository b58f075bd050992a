#include <gtest/gtest.h>

#include <cstdio>

#include "app/image/decode/image_stream.h"

namespace tracemill {
namespace {

TEST(StdioImageStream, WithoutFileEveryOperationFailsQuietly) {
    StdioImageStream s;
    uint8_t byte = 0;
    EXPECT_TRUE(s.Close());
    EXPECT_EQ(s.Read(&byte, 1, 1), 0u);
    EXPECT_EQ(s.Write(&byte, 1, 1), 0u);
    EXPECT_FALSE(s.Seek(0, SEEK_SET));
    EXPECT_EQ(s.Tell(), 0);
    EXPECT_EQ(s.Size(), -1);
    EXPECT_FALSE(s.Flush());
    EXPECT_TRUE(s.Eof());
    EXPECT_EQ(s.Error(), -1);
    EXPECT_FALSE(s.PutC(1));
    EXPECT_EQ(s.GetC(), -1);
}

TEST(StdioImageStream, ReadsSeeksAndMeasuresACallersFileAndLeavesItOpen) {
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        StdioImageStream s(f);
        EXPECT_TRUE(s.PutC(0x41));
        const uint8_t more[3] = {1, 2, 0xFF};
        EXPECT_EQ(s.Write(more, 1, 3), 3u);
        EXPECT_TRUE(s.Flush());
        EXPECT_TRUE(s.Seek(1, SEEK_SET));
        EXPECT_EQ(s.Size(), 4);
        EXPECT_EQ(s.Tell(), 1); // Size keeps the position
        EXPECT_EQ(s.GetC(), 1);
        uint8_t two[2] = {};
        EXPECT_EQ(s.Read(two, 2, 1), 1u);
        EXPECT_EQ(two[1], 0xFF);
        EXPECT_EQ(s.GetC(), -1);
        EXPECT_TRUE(s.Eof());
        EXPECT_TRUE(s.Close()); // not ours: stays open
    }
    EXPECT_EQ(std::fseek(f, 0, SEEK_SET), 0); // still usable after the stream is gone
    EXPECT_EQ(std::fgetc(f), 0x41);
    std::fclose(f);
}

} // namespace
} // namespace tracemill
