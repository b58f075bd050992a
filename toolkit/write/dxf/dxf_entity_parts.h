// The pieces every DXF entity writer shares: the point writers of each version rule, the
// extrusion, the elevation of an entity.
#pragma once

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

class DxfEntityParts {
public:
    DxfEntityParts(const Drawing& drawing, OutputContext& output) : drawing_(drawing), output_(output) {}

    // x at code, y at code + 10; from "AC1006" on z at code + 20, unless it is 0.0 and the
    // force-Z switch is clear.
    int point(int code, const Point3& p);
    // x and y only.
    int point2d(int code, const Point3& p);
    // x, y and z always.
    int point3d(int code, const Point3& p);
    // z unless it is 0.0 and the version is before "AC1006".
    int pointR12(int code, const Point3& p);
    // 210, 220, 230 with 16 decimals when the entity carries an extrusion.
    int extrusion(const EntityHeader& header);
    // 7 and the text style's name, unless the style is the default one ("Standard" before
    // "AC1012", the drawing's first style from then on) or the handle names no style.
    int styleName(Handle style);
    // The z of the entity's first point (the elevation field of a POLYLINE), 0 for kinds
    // without one.
    double elevation(const EntityRecord& entity) const;

    const Drawing& drawing() const { return drawing_; }
    OutputContext& output() { return output_; }

private:
    const Drawing& drawing_;
    OutputContext& output_;
};

} // namespace tracemill
