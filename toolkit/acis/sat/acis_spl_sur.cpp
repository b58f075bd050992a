#include "toolkit/acis/sat/acis_spl_sur.h"

#include <algorithm>
#include <array>
#include <ostream>

#include "toolkit/acis/geometry/nurbs_surface.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/acis_curve.h"
#include "toolkit/acis/sat/acis_pcurve.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/acis_transform.h"
#include "toolkit/acis/sat/nurbs_data.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {
namespace {

constexpr std::string_view kNames[] = {"exactsur", "netsur",  "offsur",   "pipesur",  "rbblnsur",
                                       "rotsur",   "skinsur", "sumsur",   "sweepsur", "vertexblendsur"};

void skipDoubles(satParser& parser, int count) {
    double value = 0.0;
    for (int i = 0; i < count && parser.readDouble(value); ++i) {
    }
}

void skipIntervals(satParser& parser, int count) {
    for (int i = 0; i < count && parser.ok(); ++i) parser.readInterval();
}

// A law: a counted string ("null_law" ends it), then a count and that many items, each a
// counted string naming its data.
void readLaw(satParser& parser) {
    const std::string_view expression = parser.readCountedString();
    if (!parser.ok() || expression == "null_law") return;
    int32_t items = 0;
    parser.readInteger(items);
    for (int32_t i = 0; i < items && parser.ok(); ++i) {
        const std::string_view item = parser.readCountedString();
        if (!parser.ok()) return;
        if (item == "TRANS") {
            acis_Transform().readFields(parser);
        } else if (item == "EDGE") {
            parser.restoreCurve();
            skipDoubles(parser, 2);
        } else if (item == "SURF") {
            parser.restoreSurface();
            skipIntervals(parser, 2);
        } else if (item == "WIRE") {
            int32_t curves = 0;
            parser.readInteger(curves);
            for (int32_t c = 0; c < curves && parser.ok(); ++c) {
                parser.restoreCurve();
                skipDoubles(parser, 2);
                parser.readInterval();
            }
        } else if (item == "PCURVE") {
            acis_PCurve().readFields(parser);
            skipDoubles(parser, 2);
        } else if (satSwitches().errorDetails) {
            kernelDiagnostics() << "*** ERROR: " << "Unrecognized law data item: " << item << '\n';
        }
    }
}

// A blend support of a rolling-ball blend: a counted string naming its kind and its data.
void readBlendSupport(satParser& parser) {
    const std::string_view kind = parser.readCountedString();
    if (!parser.ok()) return;
    if (kind == "blendsupsur") {
        parser.restoreSurface();
        parser.restoreCurve();
        satReadNurbsCurve(parser, 2);
        skipDoubles(parser, 3);
    } else if (kind == "blendsupcur" || kind == "blendsupzro") {
        parser.restoreCurve();
    } else if (satSwitches().warnings) {
        kernelDiagnostics() << "+++ Warning: " << "Skipping rbblnsur tag: " << kind << '\n';
    }
}

} // namespace

bool acis_spl_sur::isName(std::string_view word) {
    return std::find(std::begin(kNames), std::end(kNames), word) != std::end(kNames);
}

acis_spl_sur::acis_spl_sur(std::string_view name) : mName(name) {}

acis_spl_sur::~acis_spl_sur() = default;

void acis_spl_sur::print(std::ostream& out) const { out << mName; }

aVector acis_spl_sur::normalAt(double u, double v) const {
    std::array<aVector, 9> d;
    if (!mSurface || !mSurface->derivatives(u, v, 1, d)) {
        kernelDiagnostics() << "acis_spl_sur::normalAt returning (0,0,0)" << '\n';
        return kZeroVector;
    }
    aVector n = d[3].cross(d[1]);
    n.normalize();
    return n;
}

void acis_spl_sur::readData(satParser& parser) {
    const int version = parser.version();
    if (mName == "exactsur") {
        restoreCommonData(parser);
    } else if (mName == "netsur") {
        readNetSur(parser);
        restoreCommonData(parser);
    } else if (mName == "rbblnsur") {
        readRbBlnSur(parser);
        if (version >= 500) restoreCommonData(parser);
    } else if (mName == "rotsur") {
        restoreRotSur(parser);
        if (version >= 500) restoreCommonData(parser);
    } else if (mName == "skinsur") {
        readSkinSur(parser);
        restoreCommonData(parser);
    } else if (mName == "sweepsur") {
        readSweepSur(parser);
        restoreCommonData(parser);
    }
    // "offsur", "pipesur", "sumsur" and "vertexblendsur" are read past up to the block's end.
}

void acis_spl_sur::restoreCommonData(satParser& parser) {
    if (!parser.ok()) return;
    if (parser.version() >= 500) {
        const std::string_view form = parser.readWord();
        if (form != "full") {
            if (parser.ok() && satSwitches().warnings) {
                kernelDiagnostics() << (form == "summary" ? "Ignoring 'summary' in acis_spl_sur::restore_common_data"
                                                          : "Ignoring 'other' in acis_spl_sur::restore_common_data")
                                    << '\n';
            }
            return;
        }
    }
    mSurface = satReadNurbsSurface(parser);
}

void acis_spl_sur::restoreRotSur(satParser& parser) {
    mProfile = parser.restoreCurve();
    aPoint root;
    aVector direction;
    parser.readPoint(root);
    parser.readVector(direction);
    direction.normalize();
    mAxis = c_Line(root, direction);
    const aVector w = mAxis.direction();
    aPoint middle;
    bool onProfile = false;
    if (mProfile) {
        onProfile = mProfile->getPointAt(0.5 * (mProfile->minParam() + mProfile->maxParam()), middle);
    }
    aVector u = middle - root;
    u = u - w * u.dot(w);
    if (!onProfile || u.length() < 1e-6) {
        kernelDiagnostics() << "zero U vector in acis_spl_sur::restore_rot_sur." << '\n';
        u = w.perpendicular();
    }
    u.normalize();
    mFrameU = u;
    mFrameV = w.cross(u);
    const int version = parser.version();
    if (version >= 500) return;
    skipIntervals(parser, 2);
    if (version < 300) return;
    for (int list = 0; list < 2 && parser.ok(); ++list) {
        int32_t count = 0;
        parser.readInteger(count);
        for (int64_t i = 0; i < 3 * int64_t(count) && parser.ok(); ++i) skipDoubles(parser, 1);
    }
}

void acis_spl_sur::readNetSur(satParser& parser) {
    int32_t n = 0, m = 0;
    parser.readInteger(n);
    for (int32_t i = 0; i < n && parser.ok(); ++i) {
        skipDoubles(parser, 1);
        parser.restoreCurve();
    }
    parser.readInteger(m);
    for (int32_t i = 0; i < m && parser.ok(); ++i) {
        skipDoubles(parser, 1);
        parser.restoreCurve();
    }
    for (int64_t i = 0; i < int64_t(m) * int64_t(n) && parser.ok(); ++i) skipDoubles(parser, 2);
}

void acis_spl_sur::readRbBlnSur(satParser& parser) {
    const int version = parser.version();
    readBlendSupport(parser);
    readBlendSupport(parser);
    parser.restoreCurve();
    skipDoubles(parser, 2);
    const std::string_view radius = parser.readWord();
    if (radius == "one_radius" || radius == "two_radii") {
        skipDoubles(parser, radius == "two_radii" ? 2 : 1);
        parser.restoreCurve();
    }
    if (version < 500) {
        skipIntervals(parser, 3);
        int32_t value = 0;
        parser.readInteger(value);
        parser.readInteger(value);
    } else {
        skipIntervals(parser, 1);
    }
    if (version >= 201) {
        int32_t value = 0;
        parser.readInterval();
        parser.readInteger(value);
        skipDoubles(parser, 2);
        parser.readInteger(value);
    }
}

void acis_spl_sur::readSkinSur(satParser& parser) {
    const int version = parser.version();
    if (version >= 202) {
        for (int i = 0; i < 3; ++i) parser.readWord();
    }
    int32_t sections = 0;
    parser.readInteger(sections);
    for (int32_t i = 0; i < sections && parser.ok(); ++i) {
        skipDoubles(parser, 5);
        parser.restoreCurve();
        skipDoubles(parser, 3);
        parser.restoreSurface();
        skipDoubles(parser, 1);
        if (version >= 400) readLaw(parser);
        if (version >= 600) parser.readWord();
    }
    if (version >= 400) {
        int32_t curves = 0;
        parser.readInteger(curves);
        for (int32_t i = 0; i < curves && parser.ok(); ++i) parser.restoreCurve();
    }
}

void acis_spl_sur::readSweepSur(satParser& parser) {
    const int version = parser.version();
    parser.readWord();
    parser.restoreCurve();
    parser.restoreCurve();
    parser.readWord();
    skipDoubles(parser, 15);
    skipDoubles(parser, version >= 500 ? 2 : 4);
    skipDoubles(parser, 2);
    if (version >= 202) {
        for (int i = 0; i < 3 && parser.ok(); ++i) readLaw(parser);
    }
}

} // namespace tracemill
