// The UCS icon drawn over the picture: three labelled arrows along the x, y and z axes, at the
// origin of the drawing when the setting asks for it and room allows, else in the lower left
// corner.
#include <array>
#include <cmath>
#include <cstdlib>

#include "app/render/drawing_object.h"
#include "app/render/gdi_output_state.h"
#include "platform/gdi/device_context.h"

namespace tracemill {
namespace {

constexpr int32_t kArmPixels = 35;
constexpr int32_t kCornerOffset = 45;
constexpr int32_t kOriginRing = 5;
constexpr int32_t kLabelGap = 2;
constexpr uint16_t kIconOff = 0;
constexpr uint16_t kIconOffOrigin = 2;
constexpr uint16_t kIconAtOrigin = 3;

struct Arm {
    size_t colourIndex;
    Point3 axis;   // unit direction of the arm
    Point3 side;   // across the arrow head
    const char* label;
};

constexpr std::array<Arm, 3> kArms{{
    {1, {1, 0, 0}, {0, 1, 0}, "X"},
    {3, {0, 1, 0}, {1, 0, 0}, "Y"},
    {5, {0, 0, 1}, {1, 0, 0}, "Z"},
}};

Point3 along(const Point3& p, const Point3& direction, double length) {
    return {p.x + direction.x * length, p.y + direction.y * length, p.z + direction.z * length};
}

} // namespace

void CDrawingObject::DrawUcsIcon(gdi::DeviceContext& dc, int32_t width, int32_t height) {
    const uint16_t state = GetUcsIconState();
    if (state == kIconOff || state == kIconOffOrigin) return;
    dc.setBkMode(gdi::BackgroundMode::Transparent);
    const int32_t bottom = deviceRect_.bottom;
    const gdi::Pen oldPen = dc.pen();

    gdi::Point origin{kCornerOffset, kCornerOffset};
    if (state == kIconAtOrigin) {
        const Point3 worldOrigin{};
        gdi::Point o;
        WorldToDevice(&worldOrigin, &o.x, &o.y);
        if (o.x >= kArmPixels && o.x <= width - kArmPixels && o.y >= kArmPixels && o.y <= height - kArmPixels) {
            origin = o;
            dc.selectPen(SolidPen(0, ColorWorkingTable()[7]));
            dc.fullArc({o.x - kOriginRing, bottom - o.y - kOriginRing, o.x + kOriginRing, bottom - o.y + kOriginRing});
        }
    }

    Point3 p0, armEnd;
    DeviceToWorld(origin.x, origin.y, &p0);
    DeviceToWorld(origin.x + kArmPixels, origin.y, &armEnd);
    const double length =
        std::sqrt((armEnd.x - p0.x) * (armEnd.x - p0.x) + (armEnd.y - p0.y) * (armEnd.y - p0.y) +
                  (armEnd.z - p0.z) * (armEnd.z - p0.z));
    const int32_t labelHeight = dc.textExtent("X").cy;

    auto device = [&](const Point3& world) {
        gdi::Point p;
        WorldToDevice(&world, &p.x, &p.y);
        return p;
    };
    auto onTarget = [&](const gdi::Point& p) { return gdi::Point{p.x, bottom - p.y}; };
    for (const Arm& arm : kArms) {
        const gdi::ColorRef colour = ColorWorkingTable()[arm.colourIndex];
        const Point3 endWorld = along(p0, arm.axis, length);
        const Point3 headBase = along(endWorld, arm.axis, -length / 5.0);
        gdi::Point end = device(endWorld);
        const gdi::Point headA = device(along(headBase, arm.side, -length / 6.0));
        const gdi::Point headB = device(along(headBase, arm.side, length / 6.0));
        // An end one pixel beside the origin's row or column is drawn straight along it.
        if (std::abs(origin.x - end.x) == 1) end.x = origin.x;
        if (std::abs(origin.y - end.y) == 1) end.y = origin.y;
        dc.selectPen(SolidPen(0, colour));
        if (!(end == origin)) {
            dc.moveTo(onTarget(origin));
            dc.lineTo(onTarget(end));
            dc.moveTo(onTarget(headA));
            dc.lineTo(onTarget(end));
            dc.lineTo(onTarget(headB));
        }
        dc.setTextColor(colour);
        dc.textOut({end.x + kLabelGap, bottom - (end.y + labelHeight)}, arm.label);
    }
    dc.selectPen(oldPen);
}

} // namespace tracemill
