// GlCallbackOutput: the toolkit's own GlOutput, which hands the renderer's primitives to the
// callbacks of a SatCallbackRecord. Curves are drawn by the curve emitter; colours, attributes
// and display lists are ignored. The matrix stack is kept, and the current matrix is applied to
// every vertex, so that a body with a transform is drawn where its transform puts it.
//
// A primitive is held until its end: one with a vertex that is not finite is dropped whole, so
// that no such number reaches the caller.
#pragma once

#include <vector>

#include "toolkit/acis/geometry/matrix4x4.h"
#include "toolkit/acis/geometry/point_vector.h"
#include "toolkit/acis/render/gl_output.h"

namespace tracemill {

struct SatCallbackRecord;

class GlCallbackOutput final : public GlOutput {
public:
    // The record must outlive the output.
    explicit GlCallbackOutput(const SatCallbackRecord& record);

    // The ellipse or circle from t0 to t1 (t1 raised by a turn when it is not above t0) as a
    // NURBS arc through the emitter; its control points go to the renderer's vertex sink.
    void drawCurve(const c_Curve& curve, double t0, double t1, GL_Renderer* renderer) override;
    // The curve through the emitter, its control points to the vertex sink; true.
    bool drawNURBSCurve(const c_NURBSCurve& curve, GL_Renderer* renderer) override;
    void begin(int32_t mode) override;
    void end() override;
    void vertex(double x, double y, double z) override;
    void pushMatrix() override;
    void popMatrix() override;
    void multMatrix(const std::array<double, 16>& m) override;
    // The record's outputValue.
    int32_t segmentsPerSpan() override;

    // Primitives dropped because a vertex was not finite.
    int droppedPrimitives() const { return mDropped; }

private:
    const SatCallbackRecord& mRecord;
    int32_t mMode = 0;
    bool mOpen = false;
    std::vector<aPoint> mVertices;
    c_Matrix4x4 mMatrix;
    bool mTransforms = false;
    struct SavedMatrix {
        c_Matrix4x4 matrix;
        bool transforms;
    };
    std::vector<SavedMatrix> mMatrixStack;
    int mDropped = 0;
};

} // namespace tracemill
