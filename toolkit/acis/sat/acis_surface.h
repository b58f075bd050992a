// acis_Surface: the base of the surface records ("plane-surface", "cone-surface", ...). It
// holds the sense and the u and v ranges that every surface record carries after its own
// fields, and the queries through which faces reach their geometry.
#pragma once

#include "toolkit/acis/geometry/interval.h"
#include "toolkit/acis/geometry/point_vector.h"
#include "toolkit/acis/sat/acis_entity.h"

namespace tracemill {

class c_NURBSSurface;
class c_Surface;

class acis_Surface : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return isAcisSurfaceKind(kind); }

    // 0 forward, 1 reversed, 3 unknown (2 before the field is read).
    int sense() const { return mSense; }
    const c_Interval& uRange() const { return mURange; }
    const c_Interval& vRange() const { return mVRange; }

    // The kernel surface the record holds; none in the base.
    virtual const c_Surface* kernelSurface() const { return nullptr; }
    // The point at (u, v). The base has no parametrisation: the point (u, v, 0) and false,
    // with "Using default acis_Surface::getPointAt" under the records' trace switch.
    virtual bool getPointAt(double u, double v, aPoint& p) const;
    // Whether the record has a NURBS approximation, and the approximation.
    virtual bool hasNURBSApproximation() const { return false; }
    virtual const c_NURBSSurface* getNURBSSurface() const { return nullptr; }
    // The normal of the surface at a point of it.
    virtual aVector normalAt(const aPoint& p) const = 0;
    // The kind name ("plane", "cone", ...); "-surface" in the base.
    virtual const char* typeName() const { return "-surface"; }

protected:
    explicit acis_Surface(AcisKind kind) : acis_Entity(kind) {}

    // The sense (readSense), then from version 106 the u and v ranges.
    void readSenseAndRanges(satParser& parser);
    void readRanges(satParser& parser);
    void readSense(satParser& parser);
    // The attribute, then the kind name and the two ranges.
    void printFields(std::ostream& out) const override;

private:
    c_Interval mURange;
    c_Interval mVRange;
    int mSense = 2;
};

} // namespace tracemill
