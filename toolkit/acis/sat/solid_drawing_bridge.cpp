#include "toolkit/acis/sat/solid_drawing_bridge.h"

#include <istream>
#include <iterator>
#include <string>

#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/render/gl_callback_output.h"
#include "toolkit/acis/render/gl_renderer.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/sat_memory_stream.h"
#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {
namespace {

// Renders every body of the parsed text through the record's callbacks; the last body of the
// text is body 0.
void drawParsedSat(satParser& parser, const SatCallbackRecord& record) {
    GlCallbackOutput output(record);
    const GL_RendererSettings settings = satRendererSettings(record);
    int32_t index = 0;
    for (acis_Body* body = parser.firstBody(); body; body = parser.nextBody()) {
        GL_Renderer renderer(*body, settings, output, parser.modelBox());
        renderer.render(index++);
    }
}

} // namespace

GL_RendererSettings satRendererSettings(const SatCallbackRecord& record) {
    GL_RendererSettings settings;
    settings.curveCounts[GL_RendererSettings::kAxialCurves] = record.settingsWordA;
    settings.curveCounts[GL_RendererSettings::kNURBSCurves] = record.settingsWordB;
    settings.curveCounts[GL_RendererSettings::kSphereCurves] = record.settingsWordA;
    settings.curveCounts[GL_RendererSettings::kTorusCurves] = record.settingsWordA;
    settings.isoLineCount = record.isoLineCount >= 1 && record.isoLineCount <= 10 ? record.isoLineCount : 5;
    aVector view, up;
    aVector(1.0, 1.0, 1.0).unitVector(view);
    aVector(0.0, 1.0, 0.0).unitVector(up);
    if (view.cross(up).lengthSquared() > 1e-6) {
        settings.viewDirection = view;
        settings.upVector = up;
    }
    return settings;
}

int32_t genDrawSolidFromSat(const SatCallbackRecord& record) {
    // The renderer sets the kernel's tolerances for each body; the caller gets back those it had.
    const ScopedValue<GeometryTolerances> tolerances(geometryTolerances(), geometryTolerances());
    try {
        SatMemoryStream buffer(record);
        std::istream in(&buffer);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        satParser parser(text);
        if (parser.parse() == satParser::kParsed) drawParsedSat(parser, record);
    } catch (...) {
        // Memory ran out (or a callback threw): the call ends, everything it made freed.
    }
    return 0;
}

} // namespace tracemill
