#include "ink_compare.h"

#include "app/render/devices/svg_device.h"
#include "scripted_page.h"

namespace tracemill::test {

namespace {

// A pixel clearly darker than the white paper.
bool IsInk(const RgbImage& image, int x, int y) {
    const uint8_t* p = &image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3];
    return int(p[0]) + int(p[1]) + int(p[2]) < 615;
}

} // namespace

double InkMatch(const RgbImage& a, const RgbImage& b, int dx, int dy, int reach, int* inkCount) {
    int ink = 0, matched = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            if (!IsInk(a, x, y)) continue;
            ++ink;
            bool found = false;
            for (int v = -reach; v <= reach && !found; ++v) {
                for (int u = -reach; u <= reach && !found; ++u) {
                    const int bx = x + dx + u, by = y + dy + v;
                    found = bx >= 0 && by >= 0 && bx < b.width && by < b.height && IsInk(b, bx, by);
                }
            }
            matched += found;
        }
    }
    *inkCount = ink;
    return ink ? double(matched) / ink : 0;
}

std::optional<RgbImage> RenderSvg(const std::string& file, const std::string& png) {
    if (!runCommand("rsvg-convert -b white -w 800 -h 600 -o " + shellQuote(png) + " " + shellQuote(file)))
        return std::nullopt;
    return readWithImageMagick(png);
}

std::optional<RgbImage> RenderScriptedPageAsSvg(const std::filesystem::path& folder) {
    const std::string file = (folder / "reference.svg").string();
    render::CSvgDevice device;
    device.SetUsePenWidths(true);
    if (!device.Begin("", file.c_str(), "", kPageWidth, kPageHeight)) return std::nullopt;
    DrawScriptedPage(device);
    if (!device.End()) return std::nullopt;
    return RenderSvg(file, (folder / "reference.png").string());
}

} // namespace tracemill::test
