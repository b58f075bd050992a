#include "app/image/decode/cx_image_jpg.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <limits>

#include "app/image/decode/image_stream.h"
#include "app/image/decode/jpeg_stream_manager.h"

namespace tracemill {

namespace {

// Everything that must survive a jump back from libjpeg lives in this heap block.
struct JpegDecoder {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    std::jmp_buf jump;
    CxImageJPG* image = nullptr;
    JpegStreamManager source;
};

void errorExit(j_common_ptr cinfo) {
    auto* decoder = static_cast<JpegDecoder*>(cinfo->client_data);
    char message[JMSG_LENGTH_MAX] = {};
    (*cinfo->err->format_message)(cinfo, message);
    decoder->image->SetLastError(message);
    std::longjmp(decoder->jump, 1);
}

void silentMessage(j_common_ptr, int) {} // the layer prints nothing

int32_t toDpi(double value) {
    return int32_t(std::clamp(std::floor(value + 0.5), 0.0, double(std::numeric_limits<int32_t>::max())));
}

// Cap for libjpeg's own buffers: progressive files keep every coefficient, about twice the
// bytes of the largest picture.
long jpegMemoryLimit() { return long(4 * CxImage::GetMemoryLimit()); }

} // namespace

bool CxImageJPG::ReadExif(ImageStream& stream) {
    exif_ = std::make_unique<ExifReader>(&exifInfo_);
    const int64_t position = stream.Tell();
    exif_->ReadSections(stream, ExifReader::kReadExif);
    stream.Seek(position, SEEK_SET);
    return exifInfo_.isExif;
}

bool CxImageJPG::Decode(ImageStream& stream) {
    ReadExif(stream);
    const auto decoder = std::make_unique<JpegDecoder>();
    decoder->image = this;
    jpeg_decompress_struct& cinfo = decoder->cinfo;
    cinfo.err = jpeg_std_error(&decoder->errors);
    decoder->errors.error_exit = errorExit;
    decoder->errors.emit_message = silentMessage;
    decoder->errors.output_message = [](j_common_ptr) {};
    cinfo.client_data = decoder.get();
    if (setjmp(decoder->jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = jpegMemoryLimit();
    decoder->source.Attach(&cinfo, stream);
    jpeg_read_header(&cinfo, TRUE);

    const uint32_t options = GetFormatOption(CXIMAGE_FORMAT_JPG);
    if (options & kJpegDecodeGreyscale) cinfo.out_color_space = JCS_GRAYSCALE;
    if (options & kJpegQuantize) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = std::clamp<int>(GetJpegQuality(), 8, 256);
    }
    if (options & kJpegDither) cinfo.dither_mode = JDITHER_FS;
    if (options & kJpegOnePass) cinfo.two_pass_quantize = FALSE;
    if (options & kJpegNoFancyUpsampling) cinfo.do_fancy_upsampling = FALSE;
    if (GetJpegScale() != 0) cinfo.scale_denom = GetJpegScale();

    if (GetEscape() == -1) {
        jpeg_calc_output_dimensions(&cinfo);
        SetDimensions(int32_t(cinfo.output_width), int32_t(cinfo.output_height));
        jpeg_destroy_decompress(&cinfo);
        return true;
    }

    // The picture is made before libjpeg allocates its own buffers, so a header that claims
    // a picture beyond the memory limit is refused before anything of its size exists.
    jpeg_calc_output_dimensions(&cinfo);
    const uint32_t components = uint32_t(cinfo.output_components);
    if (!Create(cinfo.output_width, cinfo.output_height, 8 * components, CXIMAGE_FORMAT_JPG)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);

    if (exifInfo_.isExif && exifInfo_.xResolution != 0 && exifInfo_.resolutionUnit != 0) {
        SetXResolution(toDpi(exifInfo_.xResolution / exifInfo_.resolutionUnit));
        SetYResolution(toDpi(exifInfo_.yResolution / exifInfo_.resolutionUnit));
    } else if (cinfo.density_unit == 2) { // dots per centimetre
        SetXResolution(toDpi(cinfo.X_density * 2.54));
        SetYResolution(toDpi(cinfo.Y_density * 2.54));
    } else {
        SetXResolution(cinfo.X_density);
        SetYResolution(cinfo.Y_density);
    }

    if (cinfo.quantize_colors) {
        for (int i = 0; i < cinfo.actual_number_of_colors; ++i) {
            const uint8_t r = cinfo.colormap[0][i];
            const uint8_t g = cinfo.out_color_components > 1 ? cinfo.colormap[1][i] : r;
            const uint8_t b = cinfo.out_color_components > 2 ? cinfo.colormap[2][i] : g;
            SetPaletteColor(uint32_t(i), r, g, b);
        }
    } else if (components == 1) {
        SetGreyPalette();
    }

    const uint32_t width = cinfo.output_width;
    const uint32_t height = cinfo.output_height;
    JSAMPARRAY sample = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                    width * components, 1);
    while (cinfo.output_scanline < height) {
        if (GetEscape()) {
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        const uint32_t y = cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, sample, 1);
        uint8_t* row = GetRow(height - 1 - y);
        const JSAMPLE* src = sample[0];
        if (components == 4 && !cinfo.quantize_colors) {
            for (uint64_t x = 0; x < width && 3 * x + 2 < GetRowLength(); ++x) {
                const uint32_t k = src[4 * x + 3];
                row[3 * x] = uint8_t(k * src[4 * x + 2] / 255);
                row[3 * x + 1] = uint8_t(k * src[4 * x + 1] / 255);
                row[3 * x + 2] = uint8_t(k * src[4 * x] / 255);
            }
        } else {
            std::memcpy(row, src, std::min<uint64_t>(uint64_t(width) * components, GetRowLength()));
        }
    }
    jpeg_finish_decompress(&cinfo);
    if (components == 3 && !cinfo.quantize_colors) {
        for (uint32_t y = 0; y < height; ++y) {
            if (GetEscape()) {
                jpeg_destroy_decompress(&cinfo);
                return false;
            }
            SwapRedBlue(GetRow(y), uint64_t(width) * 3);
        }
    }
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace tracemill
