// The text of a colour in an SVG file: its SVG colour keyword when one names the value,
// else "RGB(r,g,b)" in decimal.
#pragma once

#include <string>

#include "app/render/devices/output_device.h"

namespace tracemill::render {

std::string SvgColourText(ColorRef colour);

} // namespace tracemill::render
