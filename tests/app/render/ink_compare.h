// Pictures of the export tests compared by where they put ink, and the scripted page as the
// SVG device writes it, rendered by rsvg-convert (the reference the other formats meet).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "external_tools.h"

namespace tracemill::test {

// The share of the ink pixels of `a` that have ink of `b` within `reach` pixels, where
// pixel (x, y) of `a` stands at (x + dx, y + dy) of `b`; `inkCount` gets a's ink pixels.
double InkMatch(const RgbImage& a, const RgbImage& b, int dx, int dy, int reach, int* inkCount);

// Renders an SVG file at 800 x 600 pixels on white.
std::optional<RgbImage> RenderSvg(const std::string& file, const std::string& png);

// The scripted page written by the SVG device (with pen widths) into `folder` and rendered.
std::optional<RgbImage> RenderScriptedPageAsSvg(const std::filesystem::path& folder);

} // namespace tracemill::test
