// Drawing raster images through the screen set's raster-data hook: a 1,024 x 768 picture in
// RGB rows sent as display generation sends them (blocks of a little over 16,000 bytes) into a
// 1920 x 1080 image, once at one device pixel per picture pixel (single pixels) and once at 4
// device pixels per picture pixel over its top left quarter (quadrilaterals). The best of five
// passes gives the figures.
//
// Run: build/bench/raster_hooks_bench
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"
#include "app/render/picture_hooks.h"
#include "app/render/raster_data_reader.h"
#include "platform/gdi/image_device_context.h"
#include "screen_set_toolkit.h"
#include "raster_block_builder.h"

namespace {

constexpr uint32_t kPictureWidth = 1024;
constexpr uint32_t kPictureHeight = 768;

// The blocks of one pass: every row of `columns` pixels, `scale` device units per pixel.
std::vector<std::vector<uint8_t>> makeBlocks(uint32_t rows, uint32_t columns, double scale) {
    std::vector<std::vector<uint8_t>> blocks;
    tracemill::test::RasterBlockBuilder b;
    b.header(kPictureWidth, kPictureHeight, tracemill::kRasterFormatRgb);
    for (uint32_t row = 0; row < rows; ++row) {
        const double y = 1079.0 - row * scale;
        b.rowStart().piece({0, y, 0, 0}, {columns * scale, y, double(columns), 0}, columns, scale, 0.0);
        for (uint32_t x = 0; x < columns; ++x) b.rgb(uint8_t(x), uint8_t(row), uint8_t(x ^ row));
        if (b.bytes.size() > tracemill::kRasterBlockFlushSize) {
            blocks.push_back(std::move(b.bytes));
            b.bytes.clear();
        }
    }
    if (!b.bytes.empty()) blocks.push_back(std::move(b.bytes));
    return blocks;
}

double bestPass(const std::vector<std::vector<uint8_t>>& blocks, QImage& image) {
    using namespace tracemill;
    std::vector<double> seconds;
    for (int pass = 0; pass < 5; ++pass) {
        image.fill(Qt::white);
        gdi::ImageDeviceContext dc(image);
        GetGdiOutputState().target = &dc;
        GetRasterDataReader().reset();
        const auto start = std::chrono::steady_clock::now();
        for (const std::vector<uint8_t>& block : blocks) ScreenRasterData(block.data(), uint32_t(block.size()), nullptr);
        dc.end();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        GetGdiOutputState().target = nullptr;
    }
    return *std::min_element(seconds.begin(), seconds.end());
}

} // namespace

int main(int argc, char** argv) {
    using namespace tracemill;
    QGuiApplication application(argc, argv);
    const bench::ScreenSetToolkit toolkit;
    if (!toolkit.started()) return 2;
    QImage image(1920, 1080, QImage::Format_RGB32);
    const double pixels = bestPass(makeBlocks(kPictureHeight, kPictureWidth, 1.0), image);
    std::printf("1:1, %u x %u pixels: best %.3f s, %.1f million pixels per second\n", kPictureWidth, kPictureHeight,
                pixels, kPictureWidth * kPictureHeight / pixels / 1e6);
    const double quads = bestPass(makeBlocks(kPictureHeight / 4, kPictureWidth / 4, 4.0), image);
    std::printf("4:1, %u x %u pixels as quadrilaterals: best %.3f s, %.1f million pixels per second\n",
                kPictureWidth / 4, kPictureHeight / 4, quads, kPictureWidth / 4 * kPictureHeight / 4 / quads / 1e6);
    return 0;
}
