#include "toolkit/acis/sat/acis_entity.h"

#include <ostream>

#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/acis_attrib.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {

const char* acisRecordWord(AcisKind kind) {
    switch (kind) {
    case AcisKind::Body: return "body";
    case AcisKind::Lump: return "lump";
    case AcisKind::Shell: return "shell";
    case AcisKind::Subshell: return "subshell";
    case AcisKind::Wire: return "wire";
    case AcisKind::Face: return "face";
    case AcisKind::Loop: return "loop";
    case AcisKind::CoEdge: return "coedge";
    case AcisKind::Edge: return "edge";
    case AcisKind::Vertex: return "vertex";
    case AcisKind::Point: return "point";
    case AcisKind::Transform: return "transform";
    case AcisKind::PlaneSurface: return "plane-surface";
    case AcisKind::ConeSurface: return "cone-surface";
    case AcisKind::SphereSurface: return "sphere-surface";
    case AcisKind::TorusSurface: return "torus-surface";
    case AcisKind::SplineSurface: return "spline-surface";
    case AcisKind::StraightCurve: return "straight-curve";
    case AcisKind::EllipseCurve: return "ellipse-curve";
    case AcisKind::IntCurve: return "intcurve-curve";
    case AcisKind::PCurve: return "pcurve";
    case AcisKind::IgnoredAttrib: return "IGNORED-attrib";
    case AcisKind::RgbColourAttrib: return "rgb_color-st-attrib";
    case AcisKind::TslColourAttrib: return "colour-tsl-attrib";
    case AcisKind::AdeskColourAttrib: return "color-adesk-attrib";
    }
    return "";
}

void acis_Entity::print(std::ostream& out) const {
    if (mIndex >= 0) {
        out << '-' << mIndex << ' ';
    } else {
        out << "<*> ";
    }
    out << recordWord();
    printFields(out);
}

void acis_Entity::printFields(std::ostream& out) const { printPointer(out, mAttribute); }

void acis_Entity::printPointer(std::ostream& out, const acis_Entity* target) {
    if (target) {
        out << " $" << target->index();
    } else {
        out << " ---NULL---";
    }
}

void acis_Entity::readData(satParser& parser) {
    parser.readPointers(*this, kAttributeField, 1);
    readFields(parser);
}

void acis_Entity::setPointerField(int field, acis_Entity* target) {
    if (field == kAttributeField) {
        acisSetReference(mAttribute, target);
    } else if (satSwitches().errorDetails) {
        kernelDiagnostics() << "*** ERROR: " << "Cannot setPointerField (" << field << ")" << '\n';
    }
}

} // namespace tracemill
