#include "toolkit/acis/sat/acis_topology.h"

#include <ostream>
#include <string_view>

#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/acis_curve.h"
#include "toolkit/acis/sat/acis_pcurve.h"
#include "toolkit/acis/sat/acis_point.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/acis_transform.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {
namespace {

// 0 or 1 for the word of either value (a word or the integer the older texts write), else -1.
int twoWayWord(std::string_view word, std::string_view zero, std::string_view one) {
    if (word == zero || word == "0") return 0;
    if (word == one || word == "1") return 1;
    return -1;
}

bool looksLikeInteger(std::string_view word) {
    if (!word.empty() && (word.front() == '-' || word.front() == '+')) word.remove_prefix(1);
    if (word.empty()) return false;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

} // namespace

// --- body ---------------------------------------------------------------------------------

void acis_Body::readFields(satParser& parser) { parser.readPointers(*this, 200, 3); }

void acis_Body::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 200: acisSetReference(mLump, target); break;
    case 201: acisSetReference(mWire, target); break;
    case 202: acisSetReference(mTransform, target); break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Body::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mLump);
    printPointer(out, mWire);
    printPointer(out, mTransform);
}

// --- lump ---------------------------------------------------------------------------------

void acis_Lump::readFields(satParser& parser) { parser.readPointers(*this, 300, 3); }

void acis_Lump::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 300: acisSetReference(mNext, target); break;
    case 301: acisSetReference(mShell, target); break;
    case 302: acisSetReference(mBody, target); break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Lump::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mNext);
    printPointer(out, mShell);
    printPointer(out, mBody);
}

// --- shell --------------------------------------------------------------------------------

void acis_Shell::readFields(satParser& parser) {
    parser.readPointers(*this, 400, 3);
    if (parser.version() >= 107) parser.readPointers(*this, 403, 1);
    parser.readPointers(*this, 404, 1);
}

void acis_Shell::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 400: acisSetReference(mNext, target); break;
    case 401: acisSetReference(mSubshell, target); break;
    case 402: acisSetReference(mFace, target); break;
    case 403: acisSetReference(mWire, target); break;
    case 404: acisSetReference(mLump, target); break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Shell::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mNext);
    printPointer(out, mSubshell);
    printPointer(out, mFace);
    printPointer(out, mWire);
    printPointer(out, mLump);
}

// --- subshell -----------------------------------------------------------------------------

void acis_Subshell::readFields(satParser& parser) { parser.readPointers(*this, 500, 5); }

void acis_Subshell::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 500: acisSetReference(mParent, target); break;
    case 501: acisSetReference(mNext, target); break;
    case 502: acisSetReference(mChild, target); break;
    case 503: acisSetReference(mFace, target); break;
    case 504: break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Subshell::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mParent);
    printPointer(out, mNext);
    printPointer(out, mChild);
    printPointer(out, mFace);
}

// --- wire ---------------------------------------------------------------------------------

void acis_Wire::readFields(satParser& parser) {
    parser.readPointers(*this, 1100, 3);
    if (parser.version() < 107) return;
    parser.readPointers(*this, 1103, 1);
    mSide = parser.readWord() == "out" ? 1 : 2;
}

void acis_Wire::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 1100: acisSetReference(mNext, target); break;
    case 1101: acisSetReference(mCoEdge, target); break;
    case 1102: mOwner = target; break;
    case 1103: mFourth = target; break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Wire::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mNext);
    printPointer(out, mCoEdge);
    printPointer(out, mOwner);
    printPointer(out, mFourth);
    out << " side=" << mSide;
}

// --- face ---------------------------------------------------------------------------------

void acis_Face::readFields(satParser& parser) {
    parser.readPointers(*this, 600, 5);
    const std::string_view sense = parser.readWord();
    mSense = twoWayWord(sense, "forward", "reversed");
    if (mSense < 0) {
        mSense = 3;
        kernelDiagnostics() << "*** ERROR: "
                            << (looksLikeInteger(sense) ? "Bad face orientation int: " : "Bad face orientation string: ")
                            << sense << '\n';
    }
    if (parser.version() < 105) {
        mSides = 0;
        mContainment = 2;
        return;
    }
    mSides = twoWayWord(parser.readWord(), "single", "double");
    if (mSides < 0) mSides = 3;
    if (mSides != 1) {
        mContainment = 2;
        return;
    }
    mContainment = twoWayWord(parser.readWord(), "out", "in");
    if (mContainment < 0) mContainment = 4;
}

void acis_Face::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 600: acisSetReference(mNext, target); break;
    case 601: acisSetReference(mLoop, target); break;
    case 602: acisSetReference(mShell, target); break;
    case 603: acisSetReference(mSubshell, target); break;
    case 604: acisSetReference(mSurface, target); break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Face::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mNext);
    printPointer(out, mLoop);
    printPointer(out, mShell);
    printPointer(out, mSubshell);
    printPointer(out, mSurface);
    out << " sense=" << mSense << " sides=" << mSides << " containment=" << mContainment;
}

// --- loop ---------------------------------------------------------------------------------

void acis_Loop::readFields(satParser& parser) { parser.readPointers(*this, 700, 3); }

bool acis_Loop::hasNoCurve() const { return !mCoEdge || !mCoEdge->edge() || !mCoEdge->edge()->curve(); }

void acis_Loop::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 700: acisSetReference(mNext, target); break;
    case 701: acisSetReference(mCoEdge, target); break;
    case 702: acisSetReference(mFace, target); break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Loop::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mNext);
    printPointer(out, mCoEdge);
    printPointer(out, mFace);
}

// --- coedge -------------------------------------------------------------------------------

void acis_CoEdge::readFields(satParser& parser) {
    parser.readPointers(*this, 800, 4);
    const std::string_view sense = parser.readWord();
    const int value = twoWayWord(sense, "forward", "reversed");
    if (value >= 0) {
        mSense = value;
    } else {
        kernelDiagnostics() << "*** ERROR: " << "Bad edge direction enum: " << sense << '\n';
    }
    parser.readPointers(*this, 804, 2);
}

bool acis_CoEdge::alongCurve() const { return mEdge && mSense == mEdge->sense(); }

void acis_CoEdge::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 800: acisSetReference(mNext, target); break;
    case 801: acisSetReference(mPrevious, target); break;
    case 802: acisSetReference(mPartner, target); break;
    case 803: acisSetReference(mEdge, target); break;
    case 804: acisSetReference(mLoop, target); break;
    case 805: acisSetReference(mPCurve, target); break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_CoEdge::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mNext);
    printPointer(out, mPrevious);
    printPointer(out, mPartner);
    printPointer(out, mEdge);
    out << " sense=" << mSense;
    printPointer(out, mLoop);
    printPointer(out, mPCurve);
}

// --- edge ---------------------------------------------------------------------------------

void acis_Edge::readFields(satParser& parser) {
    const bool withParameters = parser.version() >= 500;
    double parameter = 0.0;
    parser.readPointers(*this, 900, 1);
    if (withParameters) parser.readDouble(parameter);
    parser.readPointers(*this, 901, 1);
    if (withParameters) parser.readDouble(parameter);
    parser.readPointers(*this, 902, 2);
    mSense = parser.readSense();
    if (!withParameters) return;
    const std::string_view convexity = parser.readCountedString();
    if (convexity != "unknown" && satSwitches().warnings)
        kernelDiagnostics() << "+++ Warning: " << "acis_Edge: " << convexity << '\n';
}

void acis_Edge::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 900: acisSetReference(mStart, target); break;
    case 901: acisSetReference(mEnd, target); break;
    case 902: acisSetReference(mCoEdge, target); break;
    case 903: acisSetReference(mCurve, target); break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Edge::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mStart);
    printPointer(out, mEnd);
    printPointer(out, mCoEdge);
    printPointer(out, mCurve);
    out << " sense=" << mSense;
}

// --- vertex -------------------------------------------------------------------------------

void acis_Vertex::readFields(satParser& parser) { parser.readPointers(*this, 1000, 2); }

aPoint acis_Vertex::position() const { return mPoint ? mPoint->position() : kOrigin; }

void acis_Vertex::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 1000: acisSetReference(mEdge, target); break;
    case 1001: acisSetReference(mPoint, target); break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Vertex::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mEdge);
    printPointer(out, mPoint);
}

} // namespace tracemill
