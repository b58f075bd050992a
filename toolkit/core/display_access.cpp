#include "toolkit/core/display_access.h"

#include "toolkit/core/device_point.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_context.h"

namespace tracemill {

int dbFreeDisplayContext(Drawing* drawing) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return 0;
    if (context->passDepth > 0) {
        context->freeRequested = true;
        if (gOutputHookTable) gOutputHookTable->walkContinue = 0;
        return 1;
    }
    drawing->displayContext.reset();
    return 1;
}

int dbWorldToDevice(const Drawing* drawing, const Point3& world, Point2& device) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return 0;
    Point4 out;
    genPointTransform({world.x, world.y, world.z, 1.0}, context->viewports[0].worldToDevice, out);
    device = {out.x, out.y};
    return 1;
}

int dbDeviceToWorld(const Drawing* drawing, const Point2& device, Point3& world) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return 0;
    Matrix4 inverse = context->viewports[0].worldToDevice;
    if (!genMatrixInverse(inverse)) return 0;
    Point4 out;
    genPointTransform({device.x, device.y, 0.0, 1.0}, inverse, out);
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
    min[0] = dbDeviceCoordinateTruncated(context->extentsMinX);
    min[1] = dbDeviceCoordinateTruncated(context->extentsMinY);
    max[0] = dbDeviceCoordinateTruncated(context->extentsMaxX);
    max[1] = dbDeviceCoordinateTruncated(context->extentsMaxY);
    return 1;
}

const ViewBlock* dbGetDisplayViewBlock(const Drawing* drawing) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    return context ? &context->extentsView : nullptr;
}

} // namespace tracemill
