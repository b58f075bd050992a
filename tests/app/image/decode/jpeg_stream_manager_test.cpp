// The JPEG stream manager's write side: libjpeg compresses into any ImageStream.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdlib>

#include "app/image/decode/cx_image_jpg.h"
#include "app/image/decode/jpeg_stream_manager.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

// A stream that keeps what is written, each write's size and the flushes; it can be made to
// take no more than a given number of bytes or to report an error.
class RecordingStream : public ImageStream {
public:
    std::vector<uint8_t> bytes;
    std::vector<size_t> writes;
    int flushes = 0;
    size_t capacity = SIZE_MAX;
    int error = 0;

    bool Close() override { return true; }
    size_t Read(void*, size_t, size_t) override { return 0; }
    size_t Write(const void* buffer, size_t size, size_t count) override {
        writes.push_back(size * count);
        const size_t n = std::min(size * count, capacity - bytes.size());
        const auto* p = static_cast<const uint8_t*>(buffer);
        bytes.insert(bytes.end(), p, p + n);
        return n / size;
    }
    bool Seek(int64_t, int) override { return false; }
    int64_t Tell() override { return int64_t(bytes.size()); }
    int64_t Size() override { return int64_t(bytes.size()); }
    bool Flush() override {
        ++flushes;
        return true;
    }
    bool Eof() override { return false; }
    int Error() override { return error; }
    int GetC() override { return -1; }
};

struct Compressor {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    std::jmp_buf jump;
    JpegStreamManager destination;
};

// A width x height grey picture of noise (so that it does not compress away) at quality 95.
uint8_t noise(uint32_t x, uint32_t y) { return uint8_t((x * 7919u + y * 104729u) * 2654435761u >> 24); }

// Returns 0 when the picture was written, else libjpeg's message code.
int compress(ImageStream& stream, uint32_t width, uint32_t height) {
    const auto c = std::make_unique<Compressor>();
    c->cinfo.err = jpeg_std_error(&c->errors);
    c->errors.error_exit = [](j_common_ptr cinfo) {
        std::longjmp(static_cast<Compressor*>(cinfo->client_data)->jump, cinfo->err->msg_code);
    };
    c->cinfo.client_data = c.get();
    std::vector<JSAMPLE> row(width); // made before the jump point: a jump skips no destructor
    if (const int code = setjmp(c->jump)) {
        jpeg_destroy_compress(&c->cinfo);
        return code;
    }
    jpeg_create_compress(&c->cinfo);
    c->destination.Attach(&c->cinfo, stream);
    c->cinfo.image_width = width;
    c->cinfo.image_height = height;
    c->cinfo.input_components = 1;
    c->cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c->cinfo);
    jpeg_set_quality(&c->cinfo, 95, TRUE);
    jpeg_start_compress(&c->cinfo, TRUE);
    while (c->cinfo.next_scanline < height) {
        for (uint32_t x = 0; x < width; ++x) row[x] = noise(x, c->cinfo.next_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c->cinfo, rows, 1);
    }
    jpeg_finish_compress(&c->cinfo);
    jpeg_destroy_compress(&c->cinfo);
    return 0;
}

TEST(JpegStreamManager, WritesWholeBuffersThenTheRestAndFlushes) {
    RecordingStream stream;
    ASSERT_EQ(compress(stream, 160, 128), 0);
    ASSERT_GT(stream.writes.size(), 2u);
    for (size_t i = 0; i + 1 < stream.writes.size(); ++i) EXPECT_EQ(stream.writes[i], 4096u) << i;
    EXPECT_GT(stream.writes.back(), 0u);
    EXPECT_LE(stream.writes.back(), 4096u);
    EXPECT_EQ(stream.flushes, 1);

    CxImageJPG image;
    test::MemoryStream written(stream.bytes);
    ASSERT_TRUE(image.Decode(written.stream())) << image.GetLastError();
    ASSERT_EQ(image.GetWidth(), 160u);
    ASSERT_EQ(image.GetHeight(), 128u);
    for (uint32_t y = 0; y < 128; y += 7)
        for (uint32_t x = 0; x < 160; x += 5)
            EXPECT_NEAR(image.GetPixelIndex(x, 127 - y), noise(x, y), 24) << x << "," << y;
}

TEST(JpegStreamManager, AShortWriteOrAStreamInErrorIsAFileWriteError) {
    RecordingStream whole;
    ASSERT_EQ(compress(whole, 160, 128), 0);

    RecordingStream full;
    full.capacity = 5000; // the second whole buffer does not fit
    EXPECT_EQ(compress(full, 160, 128), JERR_FILE_WRITE);

    RecordingStream tail;
    tail.capacity = whole.bytes.size() - 1; // the rest at the end does not fit
    EXPECT_EQ(compress(tail, 160, 128), JERR_FILE_WRITE);

    RecordingStream broken;
    broken.error = 1; // everything written, but the stream reports an error
    EXPECT_EQ(compress(broken, 8, 8), JERR_FILE_WRITE);
    EXPECT_EQ(broken.flushes, 1);
}

} // namespace
} // namespace tracemill
