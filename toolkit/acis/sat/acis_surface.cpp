#include "toolkit/acis/sat/acis_surface.h"

#include <ostream>

#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {

bool acis_Surface::getPointAt(double u, double v, aPoint& p) const {
    if (traceSwitches().acisRecords) kernelDiagnostics() << "*** ERROR: " << "Using default acis_Surface::getPointAt\n";
    p = aPoint(u, v, 0.0);
    return false;
}

void acis_Surface::readSense(satParser& parser) { mSense = parser.readSense(); }

void acis_Surface::readRanges(satParser& parser) {
    if (parser.version() < 106) return;
    mURange = parser.readInterval();
    mVRange = parser.readInterval();
}

void acis_Surface::readSenseAndRanges(satParser& parser) {
    readSense(parser);
    readRanges(parser);
}

void acis_Surface::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    out << ' ' << typeName() << " sense=" << mSense << ' ';
    mURange.print(out);
    mVRange.print(out);
}

} // namespace tracemill
