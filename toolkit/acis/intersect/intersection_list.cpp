#include "toolkit/acis/intersect/intersection_list.h"

#include <algorithm>
#include <ostream>

#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {
namespace {

void addItem(const IntersectionGeometry& geometry, bool tangent, IntersectionList& list) {
    if (list.count >= kIntersectionListCapacity) {
        kernelDiagnostics() << "*\n*\n*\n***** TOO MANY INTERSECTION POINTS\n*\n*\n*\n\n";
        return;
    }
    list.items[size_t(list.count++)] = IntersectionItem{geometry, tangent};
}

} // namespace

RecordKind IntersectionItem::kind() const {
    static constexpr RecordKind kinds[] = {RecordKind::Point,   RecordKind::Line,     RecordKind::Circle,
                                           RecordKind::Ellipse, RecordKind::Parabola, RecordKind::Hyperbola};
    return kinds[geometry.index()];
}

OldStyleRecord IntersectionItem::curveRecord() const {
    return std::visit(
        [](const auto& g) -> OldStyleRecord {
            if constexpr (std::is_same_v<std::decay_t<decltype(g)>, aPoint>) return std::monostate{};
            else return g;
        },
        geometry);
}

void addIntersectionPoint(const aPoint& p, bool tangent, IntersectionList& list) { addItem(p, tangent, list); }
void addIntersectionLine(const LineRecord& line, bool tangent, IntersectionList& list) {
    addItem(line, tangent, list);
}
void addIntersectionCircle(const CircleRecord& circle, bool tangent, IntersectionList& list) {
    addItem(circle, tangent, list);
}
void addIntersectionEllipse(const EllipseRecord& ellipse, bool tangent, IntersectionList& list) {
    addItem(ellipse, tangent, list);
}
void addIntersectionParabola(const ParabolaRecord& parabola, bool tangent, IntersectionList& list) {
    addItem(parabola, tangent, list);
}
void addIntersectionHyperbola(const HyperbolaRecord& hyperbola, bool tangent, IntersectionList& list) {
    addItem(hyperbola, tangent, list);
}

void appendIntersections(const IntersectionList& source, IntersectionList& target) {
    for (const IntersectionItem& item : source.used()) {
        if (target.count >= kIntersectionListCapacity) return;
        target.items[size_t(target.count++)] = item;
    }
}

void copyIntersections(const IntersectionList& source, IntersectionList& target) {
    target.count = source.count;
    std::copy_n(source.items.begin(), source.count, target.items.begin());
}

bool isFinite(const IntersectionItem& item) {
    if (const aPoint* p = item.point()) return isFinite(*p);
    return isFinite(item.curveRecord());
}

int checkedIntersection(int result, IntersectionList& list) {
    if (result != kIntersectDone) return result;
    if (std::all_of(list.used().begin(), list.used().end(), [](const auto& item) { return isFinite(item); })) {
        return result;
    }
    list.clear();
    return kIntersectNone;
}

} // namespace tracemill
