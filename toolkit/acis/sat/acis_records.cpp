#include "toolkit/acis/sat/acis_records.h"

#include "toolkit/acis/sat/acis_analytic_curves.h"
#include "toolkit/acis/sat/acis_analytic_surfaces.h"
#include "toolkit/acis/sat/acis_attrib.h"
#include "toolkit/acis/sat/acis_intcurve.h"
#include "toolkit/acis/sat/acis_pcurve.h"
#include "toolkit/acis/sat/acis_point.h"
#include "toolkit/acis/sat/acis_spline.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/acis_transform.h"

namespace tracemill {
namespace {

std::unique_ptr<acis_Entity> makeTopology(std::string_view word) {
    if (word == "coedge") return std::make_unique<acis_CoEdge>();
    if (word == "edge") return std::make_unique<acis_Edge>();
    if (word == "vertex") return std::make_unique<acis_Vertex>();
    if (word == "point") return std::make_unique<acis_Point>();
    if (word == "loop") return std::make_unique<acis_Loop>();
    if (word == "face") return std::make_unique<acis_Face>();
    if (word == "shell") return std::make_unique<acis_Shell>();
    if (word == "subshell") return std::make_unique<acis_Subshell>();
    if (word == "lump") return std::make_unique<acis_Lump>();
    if (word == "body") return std::make_unique<acis_Body>();
    if (word == "wire") return std::make_unique<acis_Wire>();
    if (word == "transform") return std::make_unique<acis_Transform>();
    return nullptr;
}

std::unique_ptr<acis_Entity> makeGeometry(std::string_view word) {
    if (word == "pcurve") return std::make_unique<acis_PCurve>();
    if (word == "intcurve-curve") return std::make_unique<acis_Intcurve>();
    if (word == "straight-curve") return std::make_unique<acis_Straight>();
    if (word == "ellipse-curve") return std::make_unique<acis_Ellipse>();
    if (word == "spline-surface") return std::make_unique<acis_Spline>();
    if (word == "plane-surface") return std::make_unique<acis_Plane>();
    if (word == "cone-surface") return std::make_unique<acis_Cone>();
    if (word == "sphere-surface") return std::make_unique<acis_Sphere>();
    if (word == "torus-surface") return std::make_unique<acis_Torus>();
    return nullptr;
}

std::unique_ptr<acis_Entity> makeAttribute(std::string_view word) {
    if (!word.ends_with("attrib")) return nullptr;
    if (word == "rgb_color-st-attrib") return std::make_unique<acis_RgbColourAttrib>();
    if (word == "colour-tsl-attrib") return std::make_unique<acis_TslColourAttrib>();
    if (word == "color-adesk-attrib") return std::make_unique<acis_AdeskColourAttrib>();
    return std::make_unique<acis_IgnoredAttrib>();
}

} // namespace

std::unique_ptr<acis_Entity> acisMakeEntity(std::string_view word) {
    if (std::unique_ptr<acis_Entity> entity = makeTopology(word)) return entity;
    if (std::unique_ptr<acis_Entity> entity = makeGeometry(word)) return entity;
    return makeAttribute(word);
}

} // namespace tracemill
