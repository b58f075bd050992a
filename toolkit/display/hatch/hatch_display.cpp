#include "toolkit/display/hatch/hatch_display.h"

#include <new>
#include <stdexcept>
#include <vector>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/arc_drawer.h"
#include "toolkit/display/hatch/hatch_boundary.h"
#include "toolkit/display/hatch/pattern_fill.h"
#include "toolkit/display/hatch/pattern_lines.h"
#include "toolkit/display/hatch/solid_fill.h"

namespace tracemill {
namespace {

int outOfMemory() {
    dbNotifyError(kErrorReasonNoMemory);
    return 0;
}

} // namespace

int genDrawHatch(Drawing* drawing, const EntityHeader& header, const HatchBody& hatch, const Matrix4* matrices,
                 const LinetypeRecord* linetype) {
    std::vector<HatchSegments> paths;
    std::vector<uint8_t> flags;
    if (!dbTryResize(paths, hatch.paths.size()) || !dbTryResize(flags, hatch.paths.size())) return outOfMemory();
    const int32_t resolution = genCurveResolution(header.flags);
    const bool solid = hatch.solidFill != 0;
    try {
        for (size_t i = 0; i < hatch.paths.size(); ++i) {
            const HatchPath& path = hatch.paths[i];
            flags[i] = uint8_t(path.flags);
            if (solid && (path.flags & kHatchPathTextBox)) continue;
            genHatchPathSegments(drawing, path, resolution, matrices, paths[i]);
        }
        if (solid) {
            genHatchSolidFill(drawing, matrices, paths, hatch.style, hatch.elevation);
            return 1;
        }
        HatchPatternLines pattern;
        if (!genReadHatchPatternLines(hatch, pattern)) return 0;
        genHatchPatternFill(drawing, matrices, paths, flags, pattern.lines, hatch.style, hatch.elevation, linetype);
        genFreeHatchPatternLines(pattern);
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    } catch (const std::length_error&) {
        return outOfMemory();
    }
    return 1;
}

} // namespace tracemill
