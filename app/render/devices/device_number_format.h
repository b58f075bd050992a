// Number text of the vector files, the same whatever the process locale: fixed notation with
// a given number of decimals as the C locale prints it ("%-.3f"), and the trimmed form of the
// SVG device and the PDF writer, which drops trailing zeros and a point left at the end.
#pragma once

#include <cstddef>
#include <string>

namespace tracemill::render {

// Decimals beyond this are written as this many.
inline constexpr int kMaxDeviceDecimals = 17;
// Room for every finite double at kMaxDeviceDecimals decimals, with sign and terminator.
inline constexpr size_t kDeviceNumberBufferSize = 336;

// Writes `value` with `decimals` digits after the point into `out`, which holds
// kDeviceNumberBufferSize characters; returns the length (the text is also terminated).
size_t FormatFixed(double value, char* out, int decimals);

// FormatFixed, then trailing zeros and a point left at the end removed: 12.50 at 2 gives
// "12.5", 3.0 gives "3", -0.004 gives "-0" (a negative value keeps its sign).
size_t FormatDeviceNumber(double value, char* out, int decimals);

void AppendFixed(std::string& text, double value, int decimals);
void AppendDeviceNumber(std::string& text, double value, int decimals);
std::string FormatDeviceNumber(double value, int decimals);

} // namespace tracemill::render
