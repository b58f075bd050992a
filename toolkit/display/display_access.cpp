#include "toolkit/display/display_access.h"

#include "toolkit/core/device_point.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/display_list_view.h"

namespace tracemill {

int dbFreeDisplayContext(Drawing* drawing) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return 0;
    if (context->passDepth > 0) {
        context->freeRequested = true;
        if (gOutputHookTable) gOutputHookTable->walkContinue = 0;
        return 1;
    }
    // The display list's cell streams go with the context.
    drawing->displayContext.reset();
    return 1;
}

int dbWorldToDevice(const Drawing* drawing, const Point3& world, Point2& device) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return 0;
    Point4 out;
    genPointTransform({world.x, world.y, world.z, 1.0}, context->viewports[0].worldToDevice, out);
    device = {out.x, out.y};
    // With the display-list cache the view transform gives grid units (half a unit on, as on
    // the device), which reach the device through the window.
    if (context->displayList.active) device = genDlistGridToDevice(context->displayList, {out.x - 0.5, out.y - 0.5});
    return 1;
}

int dbDeviceToWorld(const Drawing* drawing, const Point2& device, Point3& world) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return 0;
    Matrix4 inverse = context->viewports[0].worldToDevice;
    if (!genMatrixInverse(inverse)) return 0;
    Point2 in = device;
    if (context->displayList.active) {
        in = genDlistDeviceToGrid(context->displayList, device);
        in = {in.x + 0.5, in.y + 0.5};
    }
    Point4 out;
    genPointTransform({in.x, in.y, 0.0, 1.0}, inverse, out);
    world = {out.x, out.y, out.z};
    return 1;
}

uint8_t dbGetDisplayKind(const Drawing* drawing) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    return context ? context->extentsFlag : 0;
}

int dbGetDisplayExtents(const Drawing* drawing, int32_t min[2], int32_t max[2]) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return 0;
    Point2 lo{context->extentsMinX, context->extentsMinY}, hi{context->extentsMaxX, context->extentsMaxY};
    // With the display-list cache a pass collects them in grid units.
    if (context->displayList.active && context->extentsFlag) {
        lo = genDlistGridToDevice(context->displayList, {lo.x - 0.5, lo.y - 0.5});
        hi = genDlistGridToDevice(context->displayList, {hi.x - 0.5, hi.y - 0.5});
    }
    min[0] = dbDeviceCoordinateTruncated(lo.x);
    min[1] = dbDeviceCoordinateTruncated(lo.y);
    max[0] = dbDeviceCoordinateTruncated(hi.x);
    max[1] = dbDeviceCoordinateTruncated(hi.y);
    return 1;
}

const ViewBlock* dbGetDisplayViewBlock(const Drawing* drawing) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    return context ? &context->extentsView : nullptr;
}

} // namespace tracemill
