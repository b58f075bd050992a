// GL_RendererSettings: what the wireframe renderer copies when it is built: which colour
// attributes apply, whether silhouettes are drawn, how many surface curves each kind of surface
// gets, the view, the colours and the tolerance hint.
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/acis/geometry/point_vector.h"

namespace tracemill {

struct GL_RendererSettings {
    // The switches.
    enum Switch { kAdeskColour = 0, kTslColour = 1, kRgbColour = 2, kSilhouettes = 3 };
    // The curve counts: c0 cones and cylinders (rulings), c1 NURBS surfaces (c1 curves of
    // constant u and c1 of constant v), c2 surfaces of revolution (c2 parallels and c2
    // meridians), c3 spheres (3 c3 section circles), c4 tori (c4 pairs of circles).
    enum CurveCount { kAxialCurves = 0, kNURBSCurves = 1, kRevolutionCurves = 2, kSphereCurves = 3, kTorusCurves = 4 };

    // Switches 0, 1, 2: "color-adesk-attrib", "colour-tsl-attrib" and "rgb_color-st-attrib"
    // attributes apply; switch 3: the surfaces' silhouettes are drawn.
    std::array<bool, 4> switches{true, true, true, true};
    std::array<int32_t, 5> curveCounts{0, 0, 0, 0, 0};
    // The direction silhouettes are seen from, and the up direction kept with it.
    aVector viewDirection{0.0, 0.0, 1.0};
    aVector upVector{0.0, 1.0, 0.0};
    // Red, green, blue of the body, of silhouettes and of the generated surface curves.
    std::array<float, 3> bodyColour{1.0f, 1.0f, 1.0f};
    std::array<float, 3> silhouetteColour{0.0f, 0.0f, 0.0f};
    std::array<float, 3> curveColour{0.0f, 0.0f, 0.0f};
    // The hint of the tolerance setup, 1 to 10.
    int32_t isoLineCount = 5;
};

} // namespace tracemill
