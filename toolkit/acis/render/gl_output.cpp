#include "toolkit/acis/render/gl_output.h"

namespace tracemill {

void GlOutput::drawCurve(const c_Curve&, double, double, GL_Renderer*) {}
bool GlOutput::drawNURBSCurve(const c_NURBSCurve&, GL_Renderer*) { return false; }
void GlOutput::begin(int32_t) {}
void GlOutput::end() {}
void GlOutput::vertex(double, double, double) {}
void GlOutput::color(float, float, float) {}
void GlOutput::color3d(double, double, double) {}
void GlOutput::colorAttrib(const std::array<double, 3>&) {}
void GlOutput::pushMatrix() {}
void GlOutput::popMatrix() {}
void GlOutput::multMatrix(const std::array<double, 16>&) {}
void GlOutput::pushAttrib(int32_t) {}
void GlOutput::popAttrib() {}
void GlOutput::newList(int32_t, int32_t) {}
int32_t GlOutput::endList() { return 0; }
int32_t GlOutput::segmentsPerSpan() { return 10; }

} // namespace tracemill
