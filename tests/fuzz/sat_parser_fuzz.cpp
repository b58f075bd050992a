// Fuzz harness for the SAT parser and the ACIS entity model.
//
// Input: a SAT text. It is parsed into its model; every entity and subtype is printed, the
// body walks are followed (bounded, as a hostile text may link them in circles), and every curve
// and surface record is evaluated at a parameter inside its range. Kernel messages are dropped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string_view>

#include "toolkit/acis/geometry/nurbs_surface.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/kernel_state.h"
#include "toolkit/acis/sat/acis_curve.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/sat_parser.h"

using namespace tracemill;

namespace {

// Steps of one walk: more than any entity table of the corpus holds.
constexpr int kLongestWalk = 100000;

// The coedges met on the walks that run along their edge's curve.
int walkBody(const acis_Body* body) {
    int steps = 0, along = 0;
    for (const acis_Lump* lump = body->lump(); lump && steps < kLongestWalk; lump = lump->next(), ++steps) {
        for (const acis_Shell* shell = lump->shell(); shell && steps < kLongestWalk; shell = shell->next(), ++steps) {
            for (const acis_Face* face = shell->face(); face && steps < kLongestWalk; face = face->next(), ++steps) {
                for (const acis_Loop* loop = face->loop(); loop && steps < kLongestWalk; loop = loop->next(), ++steps) {
                    const acis_CoEdge* first = loop->coedge();
                    for (const acis_CoEdge* coedge = first; coedge && steps < kLongestWalk; ++steps) {
                        if (coedge->alongCurve()) ++along;
                        coedge = coedge->next();
                        if (coedge == first) break;
                    }
                }
            }
        }
    }
    return along;
}

void evaluate(const acis_Entity* entity) {
    aPoint p;
    if (const auto* curve = acis_cast<acis_Curve>(entity)) {
        const double middle = 0.5 * (curve->minParam() + curve->maxParam());
        curve->getPointAt(middle, p);
        curve->tangentAt(middle);
    }
    if (const auto* surface = acis_cast<acis_Surface>(entity)) {
        if (const c_NURBSSurface* nurbs = surface->getNURBSSurface()) {
            const double u = 0.5 * (nurbs->uKnots().minParam() + nurbs->uKnots().maxParam());
            const double v = 0.5 * (nurbs->vKnots().minParam() + nurbs->vKnots().maxParam());
            surface->getPointAt(u, v, p);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ostream dropped(nullptr);
    std::ostream* previous = setKernelDiagnostics(&dropped);
    {
        satParser parser(std::string_view(reinterpret_cast<const char*>(data), size));
        const int result = parser.parse();
        if (result < satParser::kNoText || result > satParser::kParsed) std::abort();
        if (parser.tableSize() > int(size) + 2) std::abort();
        parser.dumpTables(dropped, dropped);
        for (const acis_Body* body = parser.firstBody(); body; body = parser.nextBody()) {
            if (walkBody(body) > kLongestWalk) std::abort();
        }
        for (int i = 0; i < parser.tableSize(); ++i) evaluate(parser.entityAt(i));
    }
    setKernelDiagnostics(previous);
    acisResetKernelState();
    return 0;
}
