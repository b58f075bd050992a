// Trace switches of the solids kernel, one per class family. All are off; nothing in the
// program switches them on. A message said to be a trace message is written only while its
// switch is on.
#pragma once

namespace tracemill {

struct TraceSwitches {
    bool acisRecords = false;  // the SAT surface and curve records
    bool curveBase = false;    // c_Curve
    bool nurbsCurve = false;   // c_NURBSCurve
    bool plane = false;        // c_Plane
    bool surface = false;      // c_Surface with the cone and cylinder classes
    bool torus = false;        // c_Torus
    bool renderer = false;     // the wireframe renderer
    bool faceClassification = false;  // point-in-face classification of the SAT faces
};

TraceSwitches& traceSwitches();

} // namespace tracemill
