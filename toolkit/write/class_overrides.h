// The application names (and, for DWG files before 2000, the proxy flags) that the writers give
// the classes they know, whatever the drawing's class list holds: one table for the CLASSES
// section of DXF files and the classes section of DWG files.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/class_list.h"

namespace tracemill {

struct ClassOverride {
    std::string_view dxfName;
    std::string_view applicationName;
    int16_t proxyFlags;
};

// The row of a DXF name (compared without case), null for a class the table does not know.
const ClassOverride* wrFindClassOverride(std::string_view dxfName);

// The entry as a DXF file or an R13/R14 DWG file carries it: the table's application name
// (and, when `withProxyFlags`, its proxy flags) for a known class, the stored values otherwise.
ClassEntry wrOverriddenClass(const ClassEntry& entry, bool withProxyFlags);

} // namespace tracemill
