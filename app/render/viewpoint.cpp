// The 3D viewpoint of a drawing object, the UCS icon setting, and the view written back into
// the drawing's "*ACTIVE" viewport and header before a save or a layout switch.
#include <cmath>
#include <numbers>
#include <vector>

#include "app/render/drawing_object.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/view_navigation.h"
#include "toolkit/display/viewports.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr const char* kActiveViewportName = "*ACTIVE";

Point3 xyz(const Point4& p) { return {p.x, p.y, p.z}; }
double dot(const Point3& a, const Point3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The twist a viewport record stores for the view: the angle about the view direction that
// turns the up vector a viewport of that direction starts with into the view's up vector.
double twistOf(const ViewBlock& view) {
    const Point3 up0 = xyz(genUpFromTwist(view.direction, 0.0));
    const Point3 upQuarter = xyz(genUpFromTwist(view.direction, kPi / 2.0));
    const Point3 up = xyz(view.up);
    const double twist = std::atan2(dot(up, upQuarter), dot(up, up0));
    return twist < 0.0 ? twist + 2.0 * kPi : twist;
}

// The "*ACTIVE" records of the viewport table, in table order.
std::vector<VportRecord> activeViewports(Drawing* drawing, VportRecord& scratch) {
    std::vector<VportRecord> found;
    dbVportRewind(drawing);
    while (dbVportNext(drawing, scratch)) {
        if (dbEqualsNoCase(scratch.name, kActiveViewportName)) found.push_back(scratch);
    }
    return found;
}

} // namespace

void CDrawingObject::GetViewpointAngles(const ViewBlock* view, double* inXY, double* fromXY) {
    if (!view) return;
    const Point4& d = view->direction;
    const Point4& up = view->up;
    double in = -3.0 * kPi / 2.0;
    if (d.x != 0.0 || d.y != 0.0) in = std::atan2(d.y, d.x);
    else if (up.x != 0.0 || up.y != 0.0) in = std::atan2(up.y, up.x) + kPi;
    while (in < 0.0) in += 2.0 * kPi;
    if (inXY) *inXY = in;
    if (fromXY) *fromXY = d.z == 0.0 ? 0.0 : std::atan2(d.z, std::sqrt(d.x * d.x + d.y * d.y));
}

void CDrawingObject::SetViewpointAngles(double inXY, double fromXY) {
    if (!openFlag_) return;
    PushViewHistory();
    view_.direction = {0.0, 0.0, 1.0, 0.0};
    view_.up = {0.0, 1.0, 0.0, 0.0};
    dbViewRoll(view_, 3.0 * kPi / 2.0 - inXY);
    dbViewOrbitVertical(view_, fromXY - kPi / 2.0);
    if (-kPi / 2.0 + 1e-6 < fromXY && fromXY < 0.0) dbViewRoll(view_, kPi);
    PrepareView();
}

uint16_t CDrawingObject::GetUcsIconState() {
    if (!openFlag_ || !drawing_) return 1;
    if (work_) {
        const std::vector<VportRecord> active = activeViewports(drawing_, work_->vport);
        if (!active.empty()) return uint16_t(active.front().ucsIcon);
    }
    return header_ ? uint16_t(header_->ucsicon) : uint16_t(1);
}

void CDrawingObject::SetUcsIconState(uint16_t value) {
    if (!drawing_) return;
    if (header_) header_->ucsicon = int16_t(value);
    if (!work_) return;
    for (VportRecord& record : activeViewports(drawing_, work_->vport)) {
        record.ucsIcon = int16_t(value);
        dbVportUpdate(drawing_, record);
    }
}

void CDrawingObject::WriteActiveViewport() {
    if (!openFlag_ || !drawing_) return;
    const double twist = twistOf(view_);
    if (header_) {
        header_->viewctr = {view_.target.x, view_.target.y, 0.0};
        header_->viewdir = xyz(view_.direction);
        header_->viewtwist = twist;
        header_->viewsize = view_.height;
    }
    if (!work_) return;
    const std::vector<VportRecord> active = activeViewports(drawing_, work_->vport);
    if (active.empty()) return;
    VportRecord record = active.front();
    WriteViewToViewport(&view_, &record);
    dbVportUpdate(drawing_, record);
}

void CDrawingObject::WriteViewToViewport(const ViewBlock* view, VportRecord* record) const {
    if (!view || !record) return;
    record->direction = xyz(view->direction);
    record->target = xyz(view->target);
    record->centre = {0.0, 0.0};
    record->twist = twistOf(*view);
    record->height = view->height;
    record->aspect = view->height > 0.0 ? view->width / view->height : 1.0;
}

} // namespace tracemill
