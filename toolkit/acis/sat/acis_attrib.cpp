#include "toolkit/acis/sat/acis_attrib.h"

#include <ostream>

#include "toolkit/acis/sat/colour_index_table.h"
#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {

void acis_Attrib::readFields(satParser& parser) { parser.readPointers(*this, 1200, 3); }

void acis_Attrib::setPointerField(int field, acis_Entity* target) {
    switch (field) {
    case 1200: acisSetReference(mNext, target); break;
    case 1201: acisSetReference(mPrevious, target); break;
    case 1202: mOwner = target; break;
    default: acis_Entity::setPointerField(field, target);
    }
}

void acis_Attrib::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    printPointer(out, mNext);
    printPointer(out, mPrevious);
    printPointer(out, mOwner);
}

void acis_IgnoredAttrib::readFields(satParser& parser) {
    acis_Attrib::readFields(parser);
    parser.skipToEndOfEntity();
}

void AcisColourAttrib::printFields(std::ostream& out) const {
    acis_Attrib::printFields(out);
    out << " (r,g,b) = (" << mColour[0] << ", " << mColour[1] << ", " << mColour[2] << ")";
}

void acis_RgbColourAttrib::readFields(satParser& parser) {
    acis_Attrib::readFields(parser);
    double rgb[3] = {0.0, 0.0, 0.0};
    parser.readDoubles(rgb, 3);
    setColour(rgb[0], rgb[1], rgb[2]);
}

void AcisIndexedColourAttrib::readFields(satParser& parser) {
    acis_Attrib::readFields(parser);
    int32_t index = 0;
    parser.readInteger(index);
    mIndex = index < 0 ? 0 : index;
    const ColourTriple& entry = acisColourIndexTable()[size_t(mIndex % 256)];
    setColour(entry[0] / 255.0, entry[1] / 255.0, entry[2] / 255.0);
}

void AcisIndexedColourAttrib::printFields(std::ostream& out) const {
    AcisColourAttrib::printFields(out);
    out << " mIndex = " << mIndex;
}

} // namespace tracemill
