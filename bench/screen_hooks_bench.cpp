// Painting a back buffer through the screen hook set: the primitives of a regeneration (short
// lines in 30 colours, the colour changing every 20 lines, and small filled triangles) sent
// through the output hook table as the entity walk sends them, into a 1920 x 1080 image. The
// best of five passes gives the figure.
//
// Run: build/bench/screen_hooks_bench [line count]
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"
#include "platform/gdi/image_device_context.h"
#include "screen_set_toolkit.h"
#include "toolkit/core/output_hook_table.h"

namespace {

struct Primitive {
    enum Kind { Colour, Move, Line, Triangle } kind;
    tracemill::DevicePoint points[3];
    int16_t colour;
};

std::vector<Primitive> makeRegeneration(int lines) {
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int32_t> x(0, 1919);
    std::uniform_int_distribution<int32_t> y(0, 1079);
    std::uniform_int_distribution<int32_t> step(-40, 40);
    std::vector<Primitive> primitives;
    for (int i = 0; i < lines; ++i) {
        if (i % 20 == 0) primitives.push_back({Primitive::Colour, {}, int16_t(10 + (i / 20) % 30)});
        const tracemill::DevicePoint from{x(random), y(random)};
        primitives.push_back({Primitive::Move, {from}, 0});
        primitives.push_back({Primitive::Line, {{from.x + step(random), from.y + step(random)}}, 0});
        if (i % 20 == 10) {
            const tracemill::DevicePoint a{x(random), y(random)};
            primitives.push_back({Primitive::Triangle, {a, {a.x + 30, a.y}, {a.x, a.y + 30}}, 0});
        }
    }
    return primitives;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tracemill;
    const int lines = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QGuiApplication application(argc, argv);
    const bench::ScreenSetToolkit toolkit;
    if (!toolkit.started()) return 2;
    const std::vector<Primitive> regeneration = makeRegeneration(lines);

    QImage image(1920, 1080, QImage::Format_RGB32);
    std::vector<double> seconds;
    OutputHookTable& hooks = *gOutputHookTable;
    for (int pass = 0; pass < 5; ++pass) {
        image.fill(Qt::white);
        gdi::ImageDeviceContext dc(image);
        GetGdiOutputState().target = &dc;
        const auto start = std::chrono::steady_clock::now();
        for (const Primitive& p : regeneration) {
            switch (p.kind) {
            case Primitive::Colour: hooks.color(p.colour, nullptr); break;
            case Primitive::Move: hooks.moveTo(p.points[0].x, p.points[0].y, nullptr); break;
            case Primitive::Line: hooks.lineTo(p.points[0].x, p.points[0].y, nullptr); break;
            case Primitive::Triangle: hooks.polygon(PointRange{0, 2}, p.points, nullptr); break;
            }
        }
        dc.end();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        GetGdiOutputState().target = nullptr;
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("%zu primitives a pass (%d lines of up to 40 pixels, %d triangles, %d colour changes)\n",
                regeneration.size(), lines, lines / 20, (lines + 19) / 20);
    std::printf("pass: best %.3f s, median %.3f s, worst %.3f s\n", seconds.front(), seconds[seconds.size() / 2],
                seconds.back());
    std::printf("primitives per second: %.0f\n", double(regeneration.size()) / seconds.front());
    return 0;
}
