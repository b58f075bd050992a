// GlOutput: the drawing interface of the solids kernel, in the manner of an immediate-mode
// graphics library (display lists, colours, a matrix stack, an attribute stack, primitives made
// of vertices). The wireframe renderer draws through nothing else. Every operation of the base
// does nothing (drawNURBSCurve answers false, segmentsPerSpan 10), so a host overrides only what
// it needs.
#pragma once

#include <array>
#include <cstdint>

namespace tracemill {

class GL_Renderer;
class c_Curve;
class c_NURBSCurve;

class GlOutput {
public:
    // The primitive modes of begin.
    static constexpr int32_t kSegments = 1;  // the vertices pair up into separate segments
    static constexpr int32_t kStrip = 3;     // the vertices form one connected polyline
    // The mode of newList: a display list that is compiled only.
    static constexpr int32_t kCompileList = 4864;

    virtual ~GlOutput() = default;

    // An ellipse or circle from parameter t0 to t1; the renderer's vertex sink receives its
    // control points.
    virtual void drawCurve(const c_Curve& curve, double t0, double t1, GL_Renderer* renderer);
    // A whole NURBS curve; false when the output cannot draw one.
    virtual bool drawNURBSCurve(const c_NURBSCurve& curve, GL_Renderer* renderer);
    virtual void begin(int32_t mode);
    virtual void end();
    virtual void vertex(double x, double y, double z);
    virtual void color(float red, float green, float blue);
    virtual void color3d(double red, double green, double blue);
    // The colour of an attribute in force (red, green, blue, each 0 to 1).
    virtual void colorAttrib(const std::array<double, 3>& colour);
    virtual void pushMatrix();
    virtual void popMatrix();
    // Multiplies the current matrix by m, given column by column: m[4 c + r] is row r of column
    // c, points are columns multiplied from the right.
    virtual void multMatrix(const std::array<double, 16>& m);
    virtual void pushAttrib(int32_t mask);
    virtual void popAttrib();
    virtual void newList(int32_t index, int32_t mode);
    // Its result is the result of GL_Renderer::render.
    virtual int32_t endList();
    // Line segments per NURBS span for the curve emitters.
    virtual int32_t segmentsPerSpan();
};

} // namespace tracemill
