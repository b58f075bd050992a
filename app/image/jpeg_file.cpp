#include "app/image/jpeg_file.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include <jpeglib.h>

#include "app/image/image_file_io.h"

namespace tracemill {
namespace {

// libjpeg reports fatal errors through this exit routine: the message is kept and control
// jumps back to the routine that called the library, which cleans up and fails.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void exitWithMessage(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

void quietOutput(j_common_ptr) {}

jpeg_error_mgr* installErrorManager(JpegErrorManager& manager) {
    jpeg_std_error(&manager.base);
    manager.base.error_exit = exitWithMessage;
    manager.base.output_message = quietOutput;
    manager.message[0] = 0;
    return &manager.base;
}

// Larger pictures than this are refused (libjpeg allows 65500 x 65500), and so are
// pictures far larger than their file could describe.
constexpr uint64_t kMaxPixels = uint64_t(1) << 28;
constexpr uint64_t kMaxPixelsPerFileByte = 4096;

// Decodes into red, green, blue rows, top row first. Only plain data lives in this frame,
// so the jump back from libjpeg skips no destructor.
bool decodeJpeg(FILE* file, uint64_t fileSize, std::vector<uint8_t>& rgb, int& width, int& height,
                std::string& error) {
    jpeg_decompress_struct cinfo;
    JpegErrorManager jerr;
    cinfo.err = installErrorManager(jerr);
    if (setjmp(jerr.jump)) {
        jpeg_destroy_decompress(&cinfo);
        error = jerr.message;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.num_components != 1 && cinfo.num_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        error = "JpegFile :\nUnsupported number of colour components";
        return false;
    }
    cinfo.out_color_space = cinfo.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    width = int(cinfo.output_width);
    height = int(cinfo.output_height);
    const int components = cinfo.output_components;
    const uint64_t pixels = uint64_t(width) * uint64_t(height);
    if (pixels > kMaxPixels || pixels > kMaxPixelsPerFileByte * (fileSize + 1)) {
        jpeg_destroy_decompress(&cinfo);
        error = "JpegFile :\nOut of memory";
        return false;
    }
    rgb.assign(size_t(width) * size_t(height) * 3, 0);
    std::vector<uint8_t>* rows = &rgb;
    JSAMPARRAY line = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 JDIMENSION(width * components), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION y = cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, line, 1);
        uint8_t* out = rows->data() + size_t(y) * size_t(width) * 3;
        for (int x = 0; x < width; ++x) {
            if (components == 3) {
                out[x * 3] = line[0][x * 3];
                out[x * 3 + 1] = line[0][x * 3 + 1];
                out[x * 3 + 2] = line[0][x * 3 + 2];
            } else {
                out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = line[0][x];
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool encodeJpeg(FILE* file, const uint8_t* samples, int width, int height, bool colour, int quality,
                std::string& error) {
    jpeg_compress_struct cinfo;
    JpegErrorManager jerr;
    cinfo.err = installErrorManager(jerr);
    if (setjmp(jerr.jump)) {
        jpeg_destroy_compress(&cinfo);
        error = jerr.message;
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = colour ? 3 : 1;
    cinfo.in_color_space = colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = size_t(width) * (colour ? 3 : 1);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples + size_t(cinfo.next_scanline) * rowBytes);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

JpegFile::JpegFile() = default;
JpegFile::JpegFile(const CDib& dib) : dib_(dib.Clone()) {}
JpegFile::~JpegFile() = default;

bool JpegFile::SetDib(const CDib* dib) {
    if (!dib || dib->IsEmpty()) return false;
    dib_ = dib->Clone();
    return true;
}

bool JpegFile::Load(const std::filesystem::path& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error_ = "JPEG :\nCan't open " + path.string() + "\n";
        return false;
    }
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    std::error_code sizeError;
    const uint64_t fileSize = std::filesystem::file_size(path, sizeError);
    const bool decoded = decodeJpeg(file, sizeError ? 0 : fileSize, rgb, width, height, error_);
    std::fclose(file);
    if (!decoded) return false;
    std::optional<PackedDib> block = DibFromRgbRows(rgb, width, height);
    auto image = std::make_unique<CDib>();
    if (!block || !image->Attach(std::move(*block))) {
        error_ = "JpegFile :\nOut of memory";
        return false;
    }
    dib_ = std::move(image);
    return true;
}

bool JpegFile::Save(const std::filesystem::path& path, const CDib* dib, bool colour, int quality) {
    const CDib* image = dib ? dib : dib_.get();
    if (!image || image->IsEmpty()) return false;
    std::unique_ptr<CDib> work = image->Clone();
    if (!work || (work->GetBitCount() != 24 && !work->ChangeBitCount(24))) return false;
    const int width = work->GetWidth(), height = work->GetHeight();
    if (width < 1 || height < 1 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) return false;
    // Red, green, blue rows from the top, or their grey values.
    std::vector<uint8_t> samples(size_t(width) * size_t(height) * (colour ? 3 : 1));
    const uint8_t* bits = work->GetBits();
    const size_t stride = work->GetBytesPerLine();
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = bits + size_t(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint8_t b = src[x * 3], g = src[x * 3 + 1], r = src[x * 3 + 2];
            if (colour) {
                uint8_t* out = samples.data() + (size_t(y) * size_t(width) + size_t(x)) * 3;
                out[0] = r;
                out[1] = g;
                out[2] = b;
            } else {
                samples[size_t(y) * size_t(width) + size_t(x)] = uint8_t(0.299 * r + 0.587 * g + 0.114 * b);
            }
        }
    }
    AtomicFileWriter writer(path);
    FILE* file = writer.Open();
    if (!file) {
        error_ = "JpegFile :\nCan't open " + path.string() + "\n";
        return false;
    }
    if (!encodeJpeg(file, samples.data(), width, height, colour, quality, error_)) return false;
    if (!writer.Commit()) {
        error_ = "JpegFile :\nCan't write " + path.string() + "\n";
        return false;
    }
    return true;
}

} // namespace tracemill
