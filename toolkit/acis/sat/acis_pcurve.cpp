#include "toolkit/acis/sat/acis_pcurve.h"

#include <cstring>
#include <ostream>

#include "toolkit/acis/sat/acis_int_cur.h"
#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {

acis_PCurve::acis_PCurve() : acis_Entity(AcisKind::PCurve) {}

acis_PCurve::~acis_PCurve() = default;

void acis_PCurve::readFields(satParser& parser) {
    int32_t type = 0;
    parser.readInteger(type);
    mType = type;
    const std::string_view word = parser.readWord();
    if (mType == 0) {
        mReversed = (word == "reversed" || word == "1") ? 1 : 0;
        if (parser.version() >= 105) {
            const acis_Subtype* data = parser.readSubtype();
            if (data && std::strcmp(data->typeName(), "int_cur") == 0) mData = static_cast<const acis_int_cur*>(data);
        } else {
            mOwnData = std::make_unique<acis_int_cur>("exppc");
            mOwnData->readData(parser);
            mData = mOwnData.get();
        }
    }
    parser.readDouble(mParameter1);
    parser.readDouble(mParameter2);
}

void acis_PCurve::printFields(std::ostream& out) const {
    acis_Entity::printFields(out);
    out << " type=" << mType << " reversed=" << mReversed << ' ';
    if (mData) {
        mData->print(out);
    } else {
        out << "---NULL---";
    }
    out << ' ' << mParameter1 << ' ' << mParameter2;
}

} // namespace tracemill
