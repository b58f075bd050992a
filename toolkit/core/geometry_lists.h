// The variable-length lists that entities, objects and table records carry, declared once and
// shared by the readers that fill them, the display that draws them and the writers that save
// them. Every count that a file stores beside such a list is the list's size here.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"

namespace tracemill {

// A list of handles: reactors, INSERT references of a block, frozen layers of a viewport,
// GROUP members, IDBUFFER entries, boundary objects of a hatch path.
using HandleList = std::vector<Handle>;

// One vertex of a lightweight polyline. The bulge and the widths are kept for every vertex;
// the polyline's flags say whether a file carries them (16 bulges, 32 widths).
struct LwpolylineVertex {
    Point2 point;
    double bulge = 0.0;
    double startWidth = 0.0;
    double endWidth = 0.0;
    friend bool operator==(const LwpolylineVertex&, const LwpolylineVertex&) = default;
};

// Knots, control points (with their weights when the spline is rational) and fit points of a
// SPLINE, in the order the formats store them.
struct SplineData {
    std::vector<double> knots;
    std::vector<Point3> controlPoints;
    std::vector<double> weights;  // one per control point when rational, else empty
    std::vector<Point3> fitPoints;
    friend bool operator==(const SplineData&, const SplineData&) = default;
};

// Edges of a hatch boundary path that is not a polyline.
struct HatchLineEdge {
    Point2 start;
    Point2 end;
    friend bool operator==(const HatchLineEdge&, const HatchLineEdge&) = default;
};

struct HatchArcEdge {
    Point2 centre;
    double radius = 0.0;
    double startAngle = 0.0;  // radians
    double endAngle = 0.0;
    int16_t counterClockwise = 0;
    friend bool operator==(const HatchArcEdge&, const HatchArcEdge&) = default;
};

struct HatchEllipseEdge {
    Point2 centre;
    Point2 majorAxisEnd;  // relative to the centre
    double axisRatio = 0.0;
    double startParameter = 0.0;
    double endParameter = 0.0;
    int16_t counterClockwise = 0;
    friend bool operator==(const HatchEllipseEdge&, const HatchEllipseEdge&) = default;
};

struct HatchSplineControlPoint {
    Point2 point;
    double weight = 1.0;  // used when the edge is rational
    friend bool operator==(const HatchSplineControlPoint&, const HatchSplineControlPoint&) = default;
};

struct HatchSplineEdge {
    int32_t degree = 0;
    int16_t rational = 0;
    int16_t periodic = 0;
    std::vector<double> knots;
    std::vector<HatchSplineControlPoint> controlPoints;
    friend bool operator==(const HatchSplineEdge&, const HatchSplineEdge&) = default;
};

// Edge types as the formats number them: 1 line, 2 circular arc, 3 elliptic arc, 4 spline.
using HatchEdge = std::variant<HatchLineEdge, HatchArcEdge, HatchEllipseEdge, HatchSplineEdge>;

// The file code of an edge (1 to 4).
inline int hatchEdgeType(const HatchEdge& edge) { return int(edge.index()) + 1; }

struct HatchPolylineVertex {
    Point2 point;
    double bulge = 0.0;
    friend bool operator==(const HatchPolylineVertex&, const HatchPolylineVertex&) = default;
};

// Path flag of a polyline boundary path; flag 4 makes the hatch carry a pixel size; flag 8
// marks the box around a text, which a solid fill leaves out and a pattern goes around.
inline constexpr uint32_t kHatchPathPolyline = 0x02;
inline constexpr uint32_t kHatchPathNeedsPixelSize = 0x04;
inline constexpr uint32_t kHatchPathTextBox = 0x08;

// One boundary path (loop) of a hatch: a polyline path when its flags have 0x02, else a
// chain of edges; then the handles of the objects the path was made from.
struct HatchPath {
    uint32_t flags = 0;
    int16_t hasBulges = 0;  // polyline path
    int16_t closed = 0;     // polyline path
    std::vector<HatchPolylineVertex> vertices;  // polyline path
    std::vector<HatchEdge> edges;               // other paths
    HandleList boundaryObjects;
    bool isPolyline() const { return (flags & kHatchPathPolyline) != 0; }
    friend bool operator==(const HatchPath&, const HatchPath&) = default;
};

// One line of a hatch pattern definition.
struct HatchPatternLine {
    double angle = 0.0;  // radians
    Point2 base;
    Point2 offset;
    std::vector<double> dashes;
    friend bool operator==(const HatchPatternLine&, const HatchPatternLine&) = default;
};

// Parameters of one line (element) of a multiline at one vertex.
struct MlineElementParameters {
    std::vector<double> segment;
    std::vector<double> areaFill;
    friend bool operator==(const MlineElementParameters&, const MlineElementParameters&) = default;
};

// One vertex of a multiline with the parameters of each of its lines.
struct MlineVertex {
    Point3 position;
    Point3 direction;
    Point3 miter;
    std::vector<MlineElementParameters> elements;
    friend bool operator==(const MlineVertex&, const MlineVertex&) = default;
};

// One line of a multiline style.
struct MlineStyleElement {
    double offset = 0.0;
    int16_t colour = 0;
    int16_t linetypeIndex = 0;  // 32767 BYLAYER, 32766 BYBLOCK, else the LTYPE position from 0
    friend bool operator==(const MlineStyleElement&, const MlineStyleElement&) = default;
};

inline constexpr int16_t kMlineLinetypeByLayer = 32767;
inline constexpr int16_t kMlineLinetypeByBlock = 32766;

// One entry of a dictionary: the name it is known by and the object it names.
struct DictionaryEntry {
    std::string name;
    Handle handle;
    friend bool operator==(const DictionaryEntry&, const DictionaryEntry&) = default;
};

// How a proxy or class-based record refers to another object (1 soft pointer, 2 hard pointer,
// 3 soft owner, 4 hard owner), kept with the handle as the formats store it.
struct ObjectReference {
    Handle handle;
    uint8_t kind = 0;
    friend bool operator==(const ObjectReference&, const ObjectReference&) = default;
};

} // namespace tracemill
