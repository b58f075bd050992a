// A display test for the drawers of one entity kind: a square view of `scale` device units per
// drawing unit (world (0, 0) at the device's corner), the drawn entity of that kind, the
// per-viewport matrices and the values a drawer gets from the vectoriser, and the device form
// of world points as clipped lines take them.
#pragma once

#include <set>
#include <vector>

#include "display_fixture.h"
#include "recorded_strokes.h"
#include "toolkit/core/device_point.h"
#include "toolkit/display/entity_pass_values.h"

namespace tracemill::test {

class EntityDrawingTest : public DisplayTest {
protected:
    void start(uint16_t kind, double scale = 1.0) {
        ViewBlock view = squareView();
        view.target = {50.0 / scale, 50.0 / scale, 0.0, 1.0};
        view.width = view.height = 100.0 / scale;
        begin(nullptr, kDevice, view);
        context().planMask = 1;
        context().entity = DrawnEntity{};
        context().entity.kind = kind;
        matrices.clear();
        for (int i = 0; i < context().viewportCount; ++i) matrices.push_back(context().viewports[size_t(i)].worldToDevice);
        restart();
    }
    // Forgets what was recorded and where the pen is.
    void restart() {
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
        context().colourSent = -1;
    }
    EntityPassValues pass() const {
        EntityPassValues values;
        values.matrices = matrices.data();
        return values;
    }
    DevicePair device(const Point3& p) const {
        Point4 out;
        genPointTransform({p.x, p.y, p.z, 1.0}, matrices[0], out);
        return {dbDeviceCoordinateTruncated(out.x), dbDeviceCoordinateTruncated(out.y)};
    }
    Stroke stroke(const Point3& a, const Point3& b) const {
        const DevicePair p = device(a), q = device(b);
        return p < q ? Stroke{p, q} : Stroke{q, p};
    }
    std::set<Stroke> strokes() const { return strokesOf(recorder.lines()); }
    // Adds a dimension style; returns its handle.
    Handle addDimStyle(DimStyleRecord record) {
        record.handle = dbNewHandle(*drawing);
        EXPECT_NE(dbAddTableRecord(record.handle, drawing->handleIndex, StoredRecord<DimStyleRecord>(record),
                                   &drawing->dimStyles, kInsertAtEnd, nullptr),
                  nullptr);
        return record.handle;
    }
    // The recorded fills (polygon and poly-polygon lines).
    std::vector<std::string> fills() const {
        std::vector<std::string> found = recorder.linesOf("polygon");
        for (const std::string& line : recorder.linesOf("polyPolygon")) found.push_back(line);
        return found;
    }

    std::vector<Matrix4> matrices;
};

} // namespace tracemill::test
