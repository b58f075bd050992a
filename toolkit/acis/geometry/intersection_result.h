// c_IntersectionResult: the intersection of two geometry objects. Constructing it picks the
// routine that suits the pair of classes (the NURBS routines, a surface's own intersect, or
// the record-level kernels on the objects' old-style records) and collects the items.
#pragma once

#include "toolkit/acis/geometry/curve.h"
#include "toolkit/acis/geometry/surface.h"
#include "toolkit/acis/intersect/intersection_list.h"

namespace tracemill {

class c_Line;

class c_IntersectionResult {
public:
    // A view of one result: an overlap (the objects coincide) or an item of the list; empty
    // when neither.
    struct ItemView {
        bool overlap = false;
        const IntersectionItem* item = nullptr;
    };

    c_IntersectionResult(const c_Curve& a, const c_Curve& b);
    c_IntersectionResult(const c_Curve& curve, const c_Surface& surface);
    c_IntersectionResult(const c_Surface& a, const c_Surface& b);

    // 1 no result, 2 result.
    int status() const { return mStatus; }
    const IntersectionList& items() const { return mItems; }
    // The number of items; an empty list counts 1 (one overlap) when the status is 2.
    int itemCount() const;
    ItemView item(int i) const;

    // 1 overlap, 2 point, 3 line, circle or ellipse, 0 anything else.
    static int kind(const ItemView& view);
    // The point of a point item (true), else the origin (false).
    static bool point(const ItemView& view, aPoint& p);
    // The line of a line item (true), else the x axis through the origin (false).
    static bool line(const ItemView& view, c_Line& out);

private:
    void intersectNURBSPair(const c_Curve& a, const c_Curve& b);

    int mStatus = 1;
    IntersectionList mItems;
};

} // namespace tracemill
