// tmdump --report FILE: what a person wants to know of a drawing at first sight, in words:
// its format and version, its tables, its entities by kind and its extents.
#pragma once

#include <cstdio>
#include <string_view>

namespace tracemill {
struct Drawing;
}

namespace tracemill::tmdump {

// The version as users know it: "AC1015 (2000)", "AC1009 (R11/R12)".
std::string_view versionName(int versionIndex);

// Writes the report of a loaded drawing; `fileName` heads it.
void writeDrawingReport(const Drawing& drawing, std::string_view fileName, std::FILE* out);

} // namespace tracemill::tmdump
