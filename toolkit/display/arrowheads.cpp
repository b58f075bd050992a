#include "toolkit/display/arrowheads.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "toolkit/core/dim_arrow_settings.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/entity_vectoriser.h"
#include "toolkit/display/linetype_drawer.h"

namespace tracemill {
namespace {

// The open-90 arrow's proportions.
constexpr double kOpen90Factor = 2.777777;

Point3 plus(const Point3& p, const Point3& v, double f) { return {p.x + v.x * f, p.y + v.y * f, p.z + v.z * f}; }

void strokeLine(Drawing* drawing, const Point3& a, const Point3& b, const Matrix4* matrices,
                const LinetypeRecord* linetype) {
    DisplayContext& context = *drawing->displayContext;
    genDrawLinetypedSegment(drawing, a, b, matrices, linetype, nullptr, ++context.segmentCounter, 0.0);
}

// The circle of a dot or origin arrow: N chords about the centre in the plane of u and w,
// starting at the tip; with `filled` each chord is filled as a triangle with the tip.
void arrowCircle(Drawing* drawing, const Point3& tip, const Point3& centre, const Point3& u, const Point3& w,
                 double radius, bool filled, const Matrix4* matrices, const LinetypeRecord* linetype) {
    int32_t chords = 4 * (gOutputHookTable ? gOutputHookTable->curveResolution : 0);
    if (chords < 1) chords = kArrowCircleChords;
    DisplayContext& context = *drawing->displayContext;
    const uint32_t identity = ++context.segmentCounter;
    Point3 from = tip;
    for (int32_t i = 1; i <= chords; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / chords;
        const Point3 to = plus(plus(centre, u, -radius * std::cos(angle)), w, radius * std::sin(angle));
        if (filled) genFillQuad(drawing, tip, from, to, to, matrices);
        genDrawLinetypedSegment(drawing, from, to, matrices, linetype, nullptr, identity, 0.0);
        from = to;
    }
}

// The block an arrowhead name stands for, when it holds entities to draw.
EntityList* arrowBlockList(Drawing* drawing, Handle block) {
    const BlockNode* node = block.isNull() ? nullptr : dbLookupBlock(*drawing, block);
    EntityList* list = node ? node->entityList.get() : nullptr;
    if (!list) return nullptr;
    for (ListLink* link = list->first; link; link = link->next) {
        const uint16_t type = EntityList::asNode(link)->record.header.type;
        if (type == kEntityEndBlock) break;
        if (type != kEntityBlock) return list;
    }
    return nullptr;
}

// Inserts the arrowhead block at the tip, turned along the line in the entity's plane and
// scaled by the full arrow size; its entities take the entity's colour and linetype.
void insertArrowBlock(Drawing* drawing, EntityList* list, const EntityHeader& header, const Point3& tip,
                      const Point3& otherEnd, const EntityPassValues& pass, double size, int32_t colour) {
    DisplayContext& context = *drawing->displayContext;
    if (std::find(context.activeLists.begin(), context.activeLists.end(), static_cast<const void*>(list)) !=
        context.activeLists.end())
        return;
    Matrix4 plane = kIdentityMatrix4;
    Point3 at = tip, from = otherEnd;
    if (header.flags & kEntityHasExtrusion) {
        genOcsMatrix(header.extrusion, plane);
        Matrix4 inverse = plane;
        if (genMatrixInverse(inverse)) {
            Point4 a, b;
            genPointTransform({tip.x, tip.y, tip.z, 1.0}, inverse, a);
            genPointTransform({otherEnd.x, otherEnd.y, otherEnd.z, 1.0}, inverse, b);
            at = {a.x, a.y, a.z};
            from = {b.x, b.y, b.z};
        }
    }
    Matrix4 transform = kIdentityMatrix4;
    genMatrixScale(size, size, size, transform);
    Matrix4 turn = kIdentityMatrix4;
    genMatrixRotateZ(genLineAngle({from.x, from.y}, {at.x, at.y}), turn);
    genMatrixMultiply(transform, turn, transform);
    genMatrixPostTranslate(at.x, at.y, at.z, transform);
    genMatrixMultiply(transform, plane, transform);
    genMatrixMultiply(transform, pass.transform, transform);

    // The block's entities are drawn as those of a reference of the entity: what they change
    // of the context for themselves is put back for the rest of the entity.
    const DrawnEntity entity = context.entity;
    const uint64_t hidden = context.hiddenMask, plan = context.planMask;
    const double tolerance = context.threeUnitTolerance, viewScale = context.viewScale;
    const uint8_t paperPass = context.paperSpacePass;
    if (header.flags & kEntityInPaperSpace) context.paperSpacePass = 1;
    dbRewindEntityList(list);
    const ReferenceChain none;
    genVectoriseEntityList(drawing, list, transform, uint16_t(colour), pass.linetype, pass.plotStyle, pass.lineweight,
                           int16_t(pass.depth + 1), pass.xrefDepth, hidden, pass.chain ? *pass.chain : none, nullptr);
    context.paperSpacePass = paperPass;
    context.entity = entity;
    context.hiddenMask = hidden;
    context.planMask = plan;
    context.threeUnitTolerance = tolerance;
    context.viewScale = viewScale;
}

} // namespace

bool genArrowKeepsLineEnd(std::string_view name) {
    for (std::string_view kept : {"_NONE", "_OBLIQUE", "_ARCHTICK", "_DOTSMALL", "_INTEGRAL"}) {
        if (dbEqualsNoCase(name, kept)) return true;
    }
    return false;
}

void genDrawArrowShape(Drawing* drawing, int16_t kind, Point3& tip, const Point3& otherEnd, const Point3& normal,
                       const Matrix4* matrices, const LinetypeRecord* linetype, double halfSize, bool trim) {
    if (!drawing || !drawing->displayContext) return;
    const double s = 2.0 * halfSize;
    const double length = genDistance3(tip, otherEnd);
    if (kind == kArrowNone || kind == kArrowOther || 2.0 * s > length || !(length > 0.0)) return;
    const Point3 u{(otherEnd.x - tip.x) / length, (otherEnd.y - tip.y) / length, (otherEnd.z - tip.z) / length};
    const Point3 w = genNormalized(genCross(normal, u));

    Point3 base = tip;
    switch (kind) {
    case kArrowDefault:
    case kArrowClosed:
    case kArrowOpen: {
        base = plus(tip, u, s);
        const Point3 p1 = plus(base, w, s / 6.0), p2 = plus(base, w, -s / 6.0);
        if (kind == kArrowDefault) genFillQuad(drawing, tip, p1, p2, p2, matrices);
        strokeLine(drawing, tip, p1, matrices, linetype);
        if (kind != kArrowOpen) strokeLine(drawing, p1, p2, matrices, linetype);
        strokeLine(drawing, p2, tip, matrices, linetype);
        break;
    }
    case kArrowDot:
    case kArrowOrigin:
        base = plus(tip, u, s / 2.0);
        arrowCircle(drawing, tip, base, u, w, s / 2.0, kind == kArrowDot, matrices, linetype);
        break;
    case kArrowOpen90: {
        base = plus(tip, u, s * kOpen90Factor / 3.0);
        const Point3 p1 = plus(base, w, s * kOpen90Factor / 6.0), p2 = plus(base, w, -s * kOpen90Factor / 6.0);
        strokeLine(drawing, tip, p1, matrices, linetype);
        strokeLine(drawing, p2, tip, matrices, linetype);
        break;
    }
    case kArrowOblique: {
        const Point3 across{u.x + w.x, u.y + w.y, u.z + w.z};
        const Point3 p1 = plus(tip, across, s / 2.0), p2 = plus(tip, across, -s / 2.0);
        strokeLine(drawing, tip, p1, matrices, linetype);
        strokeLine(drawing, p1, p2, matrices, linetype);
        strokeLine(drawing, p2, tip, matrices, linetype);
        return;
    }
    default:
        return;
    }
    if ((kind == kArrowOpen || kind == kArrowOpen90) && !trim) return;
    tip = base;
}

void genDrawArrowhead(Drawing* drawing, const EntityHeader& header, Point3& tip, const Point3& otherEnd,
                      const EntityPassValues& pass, Handle block, double halfSize, int32_t colour, bool trim) {
    if (!drawing || !drawing->displayContext) return;
    std::string name;
    if (!block.isNull()) {
        if (const BlockNode* node = dbLookupBlock(*drawing, block)) name = node->record.name;
    }
    const double size = 2.0 * halfSize;
    bool inserted = false;
    if (name != "_NONE") {
        // An arrow twice as long as the line does not fit: nothing is drawn, the line keeps its end.
        if (2.0 * size > genDistance3(tip, otherEnd)) {
            genSetIndexColour(drawing, colour);
            return;
        }
        EntityList* list = name.empty() ? nullptr : arrowBlockList(drawing, block);
        if (!list) {
            int16_t kind = kArrowDefault;
            dbArrowKindFromBlockName(name, kind);
            const Point3 normal = (header.flags & kEntityHasExtrusion) ? header.extrusion : Point3{0.0, 0.0, 1.0};
            genDrawArrowShape(drawing, kind, tip, otherEnd, normal, pass.matrices, pass.linetype, halfSize, trim);
            genSetIndexColour(drawing, colour);
            return;
        }
        insertArrowBlock(drawing, list, header, tip, otherEnd, pass, size, colour);
        inserted = true;
    }
    if (trim || !genArrowKeepsLineEnd(name)) genMovePointAlong(tip, otherEnd, inserted ? size : halfSize);
    genSetIndexColour(drawing, colour);
}

} // namespace tracemill
