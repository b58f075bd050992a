#include "toolkit/core/header_block.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

constexpr HeaderVariable kHeaderVariables[] = {
    {"ACADMAINTVER", HeaderValueType::I16, 0, &HeaderBlock::acadmaintver},
    {"ACADVER", HeaderValueType::Text, 7, &HeaderBlock::acadver},
    {"ANGBASE", HeaderValueType::Double, 0, &HeaderBlock::angbase},
    {"ANGDIR", HeaderValueType::I16, 0, &HeaderBlock::angdir},
    {"ATTDIA", HeaderValueType::I16, 0, &HeaderBlock::attdia},
    {"ATTMODE", HeaderValueType::I16, 0, &HeaderBlock::attmode},
    {"ATTREQ", HeaderValueType::I16, 0, &HeaderBlock::attreq},
    {"AUNITS", HeaderValueType::I16, 0, &HeaderBlock::aunits},
    {"AUPREC", HeaderValueType::I16, 0, &HeaderBlock::auprec},
    {"AXISMODE", HeaderValueType::I16, 0, &HeaderBlock::axismode},
    {"AXISUNIT", HeaderValueType::Point2, 0, &HeaderBlock::axisunit},
    {"BLIPMODE", HeaderValueType::I16, 0, &HeaderBlock::blipmode},
    {"CECOLOR", HeaderValueType::I16, 0, &HeaderBlock::cecolor},
    {"CELTSCALE", HeaderValueType::Double, 0, &HeaderBlock::celtscale},
    {"CELWEIGHT", HeaderValueType::I16, 0, &HeaderBlock::celweight},
    {"CEPSNTYPE", HeaderValueType::I16, 0, &HeaderBlock::cepsntype},
    {"CHAMFERA", HeaderValueType::Double, 0, &HeaderBlock::chamfera},
    {"CHAMFERB", HeaderValueType::Double, 0, &HeaderBlock::chamferb},
    {"CHAMFERC", HeaderValueType::Double, 0, &HeaderBlock::chamferc},
    {"CHAMFERD", HeaderValueType::Double, 0, &HeaderBlock::chamferd},
    {"CMLJUST", HeaderValueType::I16, 0, &HeaderBlock::cmljust},
    {"CMLSCALE", HeaderValueType::Double, 0, &HeaderBlock::cmlscale},
    {"COORDS", HeaderValueType::I16, 0, &HeaderBlock::coords},
    {"DELOBJ", HeaderValueType::U8, 0, &HeaderBlock::delobj},
    {"DIMADEC", HeaderValueType::I16, 0, &HeaderBlock::dimadec},
    {"DIMALT", HeaderValueType::U8, 0, &HeaderBlock::dimalt},
    {"DIMALTD", HeaderValueType::U8, 0, &HeaderBlock::dimaltd},
    {"DIMALTF", HeaderValueType::Double, 0, &HeaderBlock::dimaltf},
    {"DIMALTRND", HeaderValueType::Double, 0, &HeaderBlock::dimaltrnd},
    {"DIMALTTD", HeaderValueType::I16, 0, &HeaderBlock::dimalttd},
    {"DIMALTTZ", HeaderValueType::U8, 0, &HeaderBlock::dimalttz},
    {"DIMALTU", HeaderValueType::I16, 0, &HeaderBlock::dimaltu},
    {"DIMALTZ", HeaderValueType::U8, 0, &HeaderBlock::dimaltz},
    {"DIMAPOST", HeaderValueType::Text, 16, &HeaderBlock::dimapost},
    {"DIMASO", HeaderValueType::U8, 0, &HeaderBlock::dimaso},
    {"DIMASZ", HeaderValueType::Double, 0, &HeaderBlock::dimasz},
    {"DIMATFIT", HeaderValueType::U8, 0, &HeaderBlock::dimatfit},
    {"DIMAUNIT", HeaderValueType::I16, 0, &HeaderBlock::dimaunit},
    {"DIMAZIN", HeaderValueType::I16, 0, &HeaderBlock::dimazin},
    {"DIMBLK", HeaderValueType::Text, 32, &HeaderBlock::dimblk},
    {"DIMBLK1", HeaderValueType::Text, 32, &HeaderBlock::dimblk1},
    {"DIMBLK2", HeaderValueType::Text, 32, &HeaderBlock::dimblk2},
    {"DIMCEN", HeaderValueType::Double, 0, &HeaderBlock::dimcen},
    {"DIMCLRD", HeaderValueType::I16, 0, &HeaderBlock::dimclrd},
    {"DIMCLRE", HeaderValueType::I16, 0, &HeaderBlock::dimclre},
    {"DIMCLRT", HeaderValueType::I16, 0, &HeaderBlock::dimclrt},
    {"DIMDEC", HeaderValueType::I16, 0, &HeaderBlock::dimdec},
    {"DIMDLE", HeaderValueType::Double, 0, &HeaderBlock::dimdle},
    {"DIMDLI", HeaderValueType::Double, 0, &HeaderBlock::dimdli},
    {"DIMDSEP", HeaderValueType::I16, 0, &HeaderBlock::dimdsep},
    {"DIMEXE", HeaderValueType::Double, 0, &HeaderBlock::dimexe},
    {"DIMEXO", HeaderValueType::Double, 0, &HeaderBlock::dimexo},
    {"DIMFIT", HeaderValueType::U8, 0, &HeaderBlock::dimatfit},
    {"DIMFRAC", HeaderValueType::I16, 0, &HeaderBlock::dimfrac},
    {"DIMGAP", HeaderValueType::Double, 0, &HeaderBlock::dimgap},
    {"DIMJUST", HeaderValueType::U8, 0, &HeaderBlock::dimjust},
    {"DIMLDRBLK", HeaderValueType::Text, 32, &HeaderBlock::dimldrblk},
    {"DIMLFAC", HeaderValueType::Double, 0, &HeaderBlock::dimlfac},
    {"DIMLIM", HeaderValueType::U8, 0, &HeaderBlock::dimlim},
    {"DIMLUNIT", HeaderValueType::I16, 0, &HeaderBlock::dimlunit},
    {"DIMLWD", HeaderValueType::I16, 0, &HeaderBlock::dimlwd},
    {"DIMLWE", HeaderValueType::I16, 0, &HeaderBlock::dimlwe},
    {"DIMPOST", HeaderValueType::Text, 16, &HeaderBlock::dimpost},
    {"DIMRND", HeaderValueType::Double, 0, &HeaderBlock::dimrnd},
    {"DIMSAH", HeaderValueType::U8, 0, &HeaderBlock::dimsah},
    {"DIMSCALE", HeaderValueType::Double, 0, &HeaderBlock::dimscale},
    {"DIMSD1", HeaderValueType::U8, 0, &HeaderBlock::dimsd1},
    {"DIMSD2", HeaderValueType::U8, 0, &HeaderBlock::dimsd2},
    {"DIMSE1", HeaderValueType::U8, 0, &HeaderBlock::dimse1},
    {"DIMSE2", HeaderValueType::U8, 0, &HeaderBlock::dimse2},
    {"DIMSHO", HeaderValueType::U8, 0, &HeaderBlock::dimsho},
    {"DIMSOXD", HeaderValueType::U8, 0, &HeaderBlock::dimsoxd},
    {"DIMTAD", HeaderValueType::U8, 0, &HeaderBlock::dimtad},
    {"DIMTDEC", HeaderValueType::I16, 0, &HeaderBlock::dimtdec},
    {"DIMTFAC", HeaderValueType::Double, 0, &HeaderBlock::dimtfac},
    {"DIMTIH", HeaderValueType::U8, 0, &HeaderBlock::dimtih},
    {"DIMTIX", HeaderValueType::U8, 0, &HeaderBlock::dimtix},
    {"DIMTM", HeaderValueType::Double, 0, &HeaderBlock::dimtm},
    {"DIMTMOVE", HeaderValueType::I16, 0, &HeaderBlock::dimtmove},
    {"DIMTOFL", HeaderValueType::U8, 0, &HeaderBlock::dimtofl},
    {"DIMTOH", HeaderValueType::U8, 0, &HeaderBlock::dimtoh},
    {"DIMTOL", HeaderValueType::U8, 0, &HeaderBlock::dimtol},
    {"DIMTOLJ", HeaderValueType::U8, 0, &HeaderBlock::dimtolj},
    {"DIMTP", HeaderValueType::Double, 0, &HeaderBlock::dimtp},
    {"DIMTSZ", HeaderValueType::Double, 0, &HeaderBlock::dimtsz},
    {"DIMTVP", HeaderValueType::Double, 0, &HeaderBlock::dimtvp},
    {"DIMTXT", HeaderValueType::Double, 0, &HeaderBlock::dimtxt},
    {"DIMTZIN", HeaderValueType::U8, 0, &HeaderBlock::dimtzin},
    {"DIMUNIT", HeaderValueType::I16, 0, &HeaderBlock::dimlunit},
    {"DIMUPT", HeaderValueType::U8, 0, &HeaderBlock::dimupt},
    {"DIMZIN", HeaderValueType::U8, 0, &HeaderBlock::dimzin},
    {"DISPSILH", HeaderValueType::U8, 0, &HeaderBlock::dispsilh},
    {"DRAGMODE", HeaderValueType::I16, 0, &HeaderBlock::dragmode},
    {"DWGCODEPAGE", HeaderValueType::CodePage, 0, &HeaderBlock::dwgcodepage},
    {"ELEVATION", HeaderValueType::Double, 0, &HeaderBlock::elevation},
    {"ENDCAPS", HeaderValueType::U8, 0, &HeaderBlock::endcaps},
    {"EXTMAX", HeaderValueType::Point3, 0, &HeaderBlock::extmax},
    {"EXTMIN", HeaderValueType::Point3, 0, &HeaderBlock::extmin},
    {"EXTNAMES", HeaderValueType::U8, 0, &HeaderBlock::extnames},
    {"FASTZOOM", HeaderValueType::I16, 0, &HeaderBlock::fastzoom},
    {"FILLETRAD", HeaderValueType::Double, 0, &HeaderBlock::filletrad},
    {"FILLMODE", HeaderValueType::I16, 0, &HeaderBlock::fillmode},
    {"FINGERPRINTGUID", HeaderValueType::Text, 39, &HeaderBlock::fingerprintguid},
    {"FLATLAND", HeaderValueType::I16, 0, &HeaderBlock::flatland},
    {"GRIDMODE", HeaderValueType::I16, 0, &HeaderBlock::gridmode},
    {"GRIDUNIT", HeaderValueType::Point2, 0, &HeaderBlock::gridunit},
    {"HANDLING", HeaderValueType::I16, 0, &HeaderBlock::handling},
    {"HANDSEED", HeaderValueType::Handle, 8, &HeaderBlock::handseed},
    {"HYPERLINKBASE", HeaderValueType::Text, 127, &HeaderBlock::hyperlinkbase},
    {"INSBASE", HeaderValueType::Point3, 0, &HeaderBlock::insbase},
    {"INSUNITS", HeaderValueType::I16, 0, &HeaderBlock::insunits},
    {"JOINSTYLE", HeaderValueType::U8, 0, &HeaderBlock::joinstyle},
    {"LIMCHECK", HeaderValueType::I16, 0, &HeaderBlock::limcheck},
    {"LIMMAX", HeaderValueType::Point2, 0, &HeaderBlock::limmax},
    {"LIMMIN", HeaderValueType::Point2, 0, &HeaderBlock::limmin},
    {"LTSCALE", HeaderValueType::Double, 0, &HeaderBlock::ltscale},
    {"LUNITS", HeaderValueType::I16, 0, &HeaderBlock::lunits},
    {"LUPREC", HeaderValueType::I16, 0, &HeaderBlock::luprec},
    {"LWDISPLAY", HeaderValueType::U8, 0, &HeaderBlock::lwdisplay},
    {"MAXACTVP", HeaderValueType::I16, 0, &HeaderBlock::maxactvp},
    {"MEASUREMENT", HeaderValueType::I16, 0, &HeaderBlock::measurement},
    {"MENU", HeaderValueType::Text, 61, &HeaderBlock::menu},
    {"MIRRTEXT", HeaderValueType::I16, 0, &HeaderBlock::mirrtext},
    {"ORTHOMODE", HeaderValueType::I16, 0, &HeaderBlock::orthomode},
    {"OSMODE", HeaderValueType::I16, 0, &HeaderBlock::osmode},
    {"PDMODE", HeaderValueType::I16, 0, &HeaderBlock::pdmode},
    {"PDSIZE", HeaderValueType::Double, 0, &HeaderBlock::pdsize},
    {"PELEVATION", HeaderValueType::Double, 0, &HeaderBlock::pelevation},
    {"PEXTMAX", HeaderValueType::Point3, 0, &HeaderBlock::pextmax},
    {"PEXTMIN", HeaderValueType::Point3, 0, &HeaderBlock::pextmin},
    {"PICKSTYLE", HeaderValueType::U8, 0, &HeaderBlock::pickstyle},
    {"PINSBASE", HeaderValueType::Point3, 0, &HeaderBlock::pinsbase},
    {"PLIMCHECK", HeaderValueType::I16, 0, &HeaderBlock::plimcheck},
    {"PLIMMAX", HeaderValueType::Point2, 0, &HeaderBlock::plimmax},
    {"PLIMMIN", HeaderValueType::Point2, 0, &HeaderBlock::plimmin},
    {"PLINEGEN", HeaderValueType::I16, 0, &HeaderBlock::plinegen},
    {"PLINEWID", HeaderValueType::Double, 0, &HeaderBlock::plinewid},
    {"PROXYGRAPHICS", HeaderValueType::U8, 0, &HeaderBlock::proxygraphics},
    {"PSLTSCALE", HeaderValueType::I16, 0, &HeaderBlock::psltscale},
    {"PSTYLEMODE", HeaderValueType::U8, 0, &HeaderBlock::pstylemode},
    {"PSVPSCALE", HeaderValueType::Double, 0, &HeaderBlock::psvpscale},
    {"PUCSORG", HeaderValueType::Point3, 0, &HeaderBlock::pucsorg},
    {"PUCSORGBACK", HeaderValueType::Point3, 0, &HeaderBlock::pucsorgback},
    {"PUCSORGBOTTOM", HeaderValueType::Point3, 0, &HeaderBlock::pucsorgbottom},
    {"PUCSORGFRONT", HeaderValueType::Point3, 0, &HeaderBlock::pucsorgfront},
    {"PUCSORGLEFT", HeaderValueType::Point3, 0, &HeaderBlock::pucsorgleft},
    {"PUCSORGRIGHT", HeaderValueType::Point3, 0, &HeaderBlock::pucsorgright},
    {"PUCSORGTOP", HeaderValueType::Point3, 0, &HeaderBlock::pucsorgtop},
    {"PUCSORTHOVIEW", HeaderValueType::I16, 0, &HeaderBlock::pucsorthoview},
    {"PUCSXDIR", HeaderValueType::Point3, 0, &HeaderBlock::pucsxdir},
    {"PUCSYDIR", HeaderValueType::Point3, 0, &HeaderBlock::pucsydir},
    {"QTEXTMODE", HeaderValueType::I16, 0, &HeaderBlock::qtextmode},
    {"REGENMODE", HeaderValueType::I16, 0, &HeaderBlock::regenmode},
    {"SAVEIMAGES", HeaderValueType::U8, 0, &HeaderBlock::proxygraphics},
    {"SHADEDGE", HeaderValueType::I16, 0, &HeaderBlock::shadedge},
    {"SHADEDIF", HeaderValueType::I16, 0, &HeaderBlock::shadedif},
    {"SKETCHINC", HeaderValueType::Double, 0, &HeaderBlock::sketchinc},
    {"SKPOLY", HeaderValueType::I16, 0, &HeaderBlock::skpoly},
    {"SNAPANG", HeaderValueType::Double, 0, &HeaderBlock::snapang},
    {"SNAPBASE", HeaderValueType::Point2, 0, &HeaderBlock::snapbase},
    {"SNAPISOPAIR", HeaderValueType::I16, 0, &HeaderBlock::snapisopair},
    {"SNAPMODE", HeaderValueType::I16, 0, &HeaderBlock::snapmode},
    {"SNAPSTYLE", HeaderValueType::I16, 0, &HeaderBlock::snapstyle},
    {"SNAPUNIT", HeaderValueType::Point2, 0, &HeaderBlock::snapunit},
    {"SPLFRAME", HeaderValueType::I16, 0, &HeaderBlock::splframe},
    {"SPLINESEGS", HeaderValueType::I16, 0, &HeaderBlock::splinesegs},
    {"SPLINETYPE", HeaderValueType::I16, 0, &HeaderBlock::splinetype},
    {"STYLESHEET", HeaderValueType::Text, 127, &HeaderBlock::stylesheet},
    {"SURFTAB1", HeaderValueType::I16, 0, &HeaderBlock::surftab1},
    {"SURFTAB2", HeaderValueType::I16, 0, &HeaderBlock::surftab2},
    {"SURFTYPE", HeaderValueType::I16, 0, &HeaderBlock::surftype},
    {"SURFU", HeaderValueType::I16, 0, &HeaderBlock::surfu},
    {"SURFV", HeaderValueType::I16, 0, &HeaderBlock::surfv},
    {"TDCREATE", HeaderValueType::Date, 0, &HeaderBlock::tdcreate},
    {"TDINDWG", HeaderValueType::Date, 0, &HeaderBlock::tdindwg},
    {"TDUCREATE", HeaderValueType::Date, 0, &HeaderBlock::tducreate},
    {"TDUPDATE", HeaderValueType::Date, 0, &HeaderBlock::tdupdate},
    {"TDUSRTIMER", HeaderValueType::Date, 0, &HeaderBlock::tdusrtimer},
    {"TDUUPDATE", HeaderValueType::Date, 0, &HeaderBlock::tduupdate},
    {"TEXTSIZE", HeaderValueType::Double, 0, &HeaderBlock::textsize},
    {"THICKNESS", HeaderValueType::Double, 0, &HeaderBlock::thickness},
    {"TILEMODE", HeaderValueType::I16, 0, &HeaderBlock::tilemode},
    {"TRACEWID", HeaderValueType::Double, 0, &HeaderBlock::tracewid},
    {"TREEDEPTH", HeaderValueType::I16, 0, &HeaderBlock::treedepth},
    {"UCSORG", HeaderValueType::Point3, 0, &HeaderBlock::ucsorg},
    {"UCSORGBACK", HeaderValueType::Point3, 0, &HeaderBlock::ucsorgback},
    {"UCSORGBOTTOM", HeaderValueType::Point3, 0, &HeaderBlock::ucsorgbottom},
    {"UCSORGFRONT", HeaderValueType::Point3, 0, &HeaderBlock::ucsorgfront},
    {"UCSORGLEFT", HeaderValueType::Point3, 0, &HeaderBlock::ucsorgleft},
    {"UCSORGRIGHT", HeaderValueType::Point3, 0, &HeaderBlock::ucsorgright},
    {"UCSORGTOP", HeaderValueType::Point3, 0, &HeaderBlock::ucsorgtop},
    {"UCSORTHOVIEW", HeaderValueType::I16, 0, &HeaderBlock::ucsorthoview},
    {"UCSXDIR", HeaderValueType::Point3, 0, &HeaderBlock::ucsxdir},
    {"UCSYDIR", HeaderValueType::Point3, 0, &HeaderBlock::ucsydir},
    {"UNITMODE", HeaderValueType::I16, 0, &HeaderBlock::unitmode},
    {"USERI1", HeaderValueType::UserInt, 0, &HeaderBlock::useri},
    {"USERI2", HeaderValueType::UserInt, 1, &HeaderBlock::useri},
    {"USERI3", HeaderValueType::UserInt, 2, &HeaderBlock::useri},
    {"USERI4", HeaderValueType::UserInt, 3, &HeaderBlock::useri},
    {"USERI5", HeaderValueType::UserInt, 4, &HeaderBlock::useri},
    {"USERR1", HeaderValueType::UserReal, 0, &HeaderBlock::userr},
    {"USERR2", HeaderValueType::UserReal, 1, &HeaderBlock::userr},
    {"USERR3", HeaderValueType::UserReal, 2, &HeaderBlock::userr},
    {"USERR4", HeaderValueType::UserReal, 3, &HeaderBlock::userr},
    {"USERR5", HeaderValueType::UserReal, 4, &HeaderBlock::userr},
    {"USRTIMER", HeaderValueType::I16, 0, &HeaderBlock::usrtimer},
    {"VERSIONGUID", HeaderValueType::Text, 39, &HeaderBlock::versionguid},
    {"VIEWCTR", HeaderValueType::Point3, 0, &HeaderBlock::viewctr},
    {"VIEWDIR", HeaderValueType::Point3, 0, &HeaderBlock::viewdir},
    {"VIEWSIZE", HeaderValueType::Double, 0, &HeaderBlock::viewsize},
    {"VIEWTWIST", HeaderValueType::Double, 0, &HeaderBlock::viewtwist},
    {"VISRETAIN", HeaderValueType::I16, 0, &HeaderBlock::visretain},
    {"WORLDVIEW", HeaderValueType::I16, 0, &HeaderBlock::worldview},
    {"XEDIT", HeaderValueType::U8, 0, &HeaderBlock::xedit},
};

static_assert(std::size(kHeaderVariables) == 214);
static_assert(std::is_sorted(std::begin(kHeaderVariables), std::end(kHeaderVariables),
                             [](const HeaderVariable& a, const HeaderVariable& b) { return a.name < b.name; }));

constexpr HeaderNameVariable kHeaderNameVariables[] = {
    {"CELTYPE", HeaderEntryName::Celtype},     {"CLAYER", HeaderEntryName::Clayer},
    {"CMLSTYLE", HeaderEntryName::Cmlstyle},   {"DIMSTYLE", HeaderEntryName::Dimstyle},
    {"DIMTXSTY", HeaderEntryName::Dimtxsty},   {"PUCSBASE", HeaderEntryName::Pucsbase},
    {"PUCSNAME", HeaderEntryName::Pucsname},   {"PUCSORTHOREF", HeaderEntryName::Pucsorthoref},
    {"TEXTSTYLE", HeaderEntryName::Textstyle}, {"UCSBASE", HeaderEntryName::Ucsbase},
    {"UCSNAME", HeaderEntryName::Ucsname},     {"UCSORTHOREF", HeaderEntryName::Ucsorthoref},
};

static_assert(std::size(kHeaderNameVariables) == kHeaderEntryNameCount);
static_assert(std::is_sorted(std::begin(kHeaderNameVariables), std::end(kHeaderNameVariables),
                             [](const HeaderNameVariable& a, const HeaderNameVariable& b) {
                                 return a.name < b.name;
                             }));

template <class Entry>
const Entry* findByName(std::span<const Entry> table, std::string_view name) {
    if (!name.empty() && name.front() == '$') name.remove_prefix(1);
    auto it = std::lower_bound(table.begin(), table.end(), name,
                               [](const Entry& entry, std::string_view key) { return entry.name < key; });
    return it != table.end() && it->name == name ? &*it : nullptr;
}

std::string cutToLimit(std::string_view text, uint16_t limit) {
    return std::string(text.substr(0, limit > 0 ? limit - 1 : 0));
}

} // namespace

void dbInitHeader(HeaderBlock& header) {
    header = HeaderBlock{};
    header.dwgcodepage = gSystemContext ? gSystemContext->headerCodePage : 0;
}

std::span<const HeaderVariable> dbHeaderVariableTable() { return kHeaderVariables; }

const HeaderVariable* dbFindHeaderVariable(std::string_view name) {
    return findByName(dbHeaderVariableTable(), name);
}

std::span<const HeaderNameVariable> dbHeaderNameVariableTable() { return kHeaderNameVariables; }

const HeaderNameVariable* dbFindHeaderNameVariable(std::string_view name) {
    return findByName(dbHeaderNameVariableTable(), name);
}

HeaderValue dbGetHeaderValue(const HeaderBlock& header, const HeaderVariable& variable) {
    return std::visit(
        [&](auto member) -> HeaderValue {
            const auto& stored = header.*member;
            using Stored = std::decay_t<decltype(stored)>;
            if constexpr (std::is_same_v<Stored, std::array<int16_t, 5>>) {
                return int32_t(stored[variable.limit]);
            } else if constexpr (std::is_same_v<Stored, std::array<double, 5>>) {
                return stored[variable.limit];
            } else if constexpr (std::is_integral_v<Stored>) {
                return int32_t(stored);
            } else {
                return stored;
            }
        },
        variable.field);
}

int dbSetHeaderValue(HeaderBlock& header, const HeaderVariable& variable, const HeaderValue& value) {
    return std::visit(
        [&](auto member) -> int {
            auto& stored = header.*member;
            using Stored = std::decay_t<decltype(stored)>;
            if constexpr (std::is_same_v<Stored, std::array<int16_t, 5>>) {
                if (!std::holds_alternative<int32_t>(value)) return 0;
                stored[variable.limit] = int16_t(std::get<int32_t>(value));
            } else if constexpr (std::is_same_v<Stored, std::array<double, 5>>) {
                if (!std::holds_alternative<double>(value)) return 0;
                stored[variable.limit] = std::get<double>(value);
            } else if constexpr (std::is_integral_v<Stored>) {
                if (!std::holds_alternative<int32_t>(value)) return 0;
                stored = Stored(std::get<int32_t>(value));
            } else if constexpr (std::is_same_v<Stored, std::string>) {
                if (!std::holds_alternative<std::string>(value)) return 0;
                stored = cutToLimit(std::get<std::string>(value), variable.limit);
            } else {
                if (!std::holds_alternative<Stored>(value)) return 0;
                stored = std::get<Stored>(value);
            }
            return 1;
        },
        variable.field);
}

HeaderDate dbHeaderDateFromDxf(double value) {
    constexpr double kMillisecondsPerDay = 86400000.0;
    constexpr double kLargestDay = double(std::numeric_limits<uint32_t>::max());
    if (!(value > 0.0)) return {}; // also NaN
    if (value >= kLargestDay + 1.0) return {std::numeric_limits<uint32_t>::max(), 0};
    const double day = std::trunc(value);
    const double milliseconds = std::trunc((value - day) * kMillisecondsPerDay);
    return {uint32_t(day), uint32_t(std::min(milliseconds, kMillisecondsPerDay - 1.0))};
}

} // namespace tracemill
