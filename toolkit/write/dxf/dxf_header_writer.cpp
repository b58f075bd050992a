#include "toolkit/write/dxf/dxf_header_writer.h"

#include <string>
#include <string_view>

#include "toolkit/core/code_page_text.h"
#include "toolkit/core/code_pages.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/write/byte_output.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_names.h"

namespace tracemill {
namespace {

// How a variable is written.
enum class Form : uint8_t {
    Int16,       // the value as a 16-bit group of the row's code
    Double,      // 40
    Angle,       // 50, degrees
    Text,        // the row's code
    Point2,      // 10, 20
    Point3,      // 10, 20, and 30 from the row's z version on
    Point3Full,  // 10, 20, 30 with 16 decimals
    Date,        // 40, calendar date (9 decimals)
    Duration,    // 40, duration (10 decimals)
    // Variables written by their own rule.
    AcadVer,
    AcadMaintVer,
    CodePage,      // upper-cased from "AC1014"
    CodePagePlain, // never upper-cased
    HandSeed,
    DimFit,
    DimUnit,
    Layer,
    Linetype,
    TextStyle,
    DimStyle,
    UcsName,
    MlineStyle,
    Empty,       // a name variable the drawing keeps no record for: an empty text
    ArrowBlock,  // DIMBLK, DIMBLK1, DIMBLK2, DIMLDRBLK: the block of the header's handle
    // Section ends.
    Stop,            // at the row's versions
    StopUnlessRelease,  // at the row's versions when the release switch is clear
};

// Versions as bits of the version index.
constexpr uint8_t range(int first, int last) {
    uint8_t bits = 0;
    for (int i = first; i <= last; ++i) bits |= uint8_t(1u << i);
    return bits;
}
constexpr uint8_t kAll = 0xFF;
constexpr uint8_t kRelease = 0x80;  // row flag: at index 4 only with the release switch

struct Row {
    std::string_view name;
    Form form;
    int16_t code;
    uint8_t versions;
    uint8_t flags = 0;  // kRelease
    int8_t zFrom = 0;   // Point3: the first version with the 30 group
};

constexpr uint8_t kExtentAny = 0x01;  // flag: written whatever the header extent
constexpr uint8_t kExtentAll = 0x02;  // flag: written at extents 0 and 1, not 2

constexpr Row kRows[] = {
    {"ACADVER", Form::AcadVer, 1, kAll, kExtentAll},
    {"ACADMAINTVER", Form::AcadMaintVer, 70, range(6, 7), kExtentAll},
    {"DWGCODEPAGE", Form::CodePage, 3, range(3, 7)},
    {"INSBASE", Form::Point3, 10, kAll, 0, 3},
    {"EXTMIN", Form::Point3, 10, kAll, kExtentAny, 4},
    {"EXTMAX", Form::Point3, 10, kAll, kExtentAny, 4},
    {"LIMMIN", Form::Point2, 10, kAll},
    {"LIMMAX", Form::Point2, 10, kAll},
    {"VIEWCTR", Form::Point2, 10, range(0, 3)},
    {"VIEWSIZE", Form::Double, 40, range(0, 3)},
    {"SNAPMODE", Form::Int16, 70, range(0, 3)},
    {"SNAPUNIT", Form::Point2, 10, range(0, 3)},
    {"SNAPBASE", Form::Point2, 10, range(0, 3)},
    {"SNAPANG", Form::Angle, 50, range(0, 3)},
    {"SNAPSTYLE", Form::Int16, 70, range(0, 3)},
    {"SNAPISOPAIR", Form::Int16, 70, range(0, 3)},
    {"GRIDMODE", Form::Int16, 70, range(0, 3)},
    {"GRIDUNIT", Form::Point2, 10, range(0, 3)},
    {"ORTHOMODE", Form::Int16, 70, kAll},
    {"REGENMODE", Form::Int16, 70, kAll},
    {"FILLMODE", Form::Int16, 70, kAll},
    {"QTEXTMODE", Form::Int16, 70, kAll},
    {"MIRRTEXT", Form::Int16, 70, range(3, 7)},
    {"DRAGMODE", Form::Int16, 70, range(0, 6)},
    {"LTSCALE", Form::Double, 40, kAll},
    {"OSMODE", Form::Int16, 70, range(0, 6)},
    {"ATTMODE", Form::Int16, 70, kAll},
    {"TEXTSIZE", Form::Double, 40, kAll},
    {"TRACEWID", Form::Double, 40, kAll},
    {"TEXTSTYLE", Form::TextStyle, 7, kAll},
    {"CLAYER", Form::Layer, 8, kAll},
    {"CELTYPE", Form::Linetype, 6, kAll},
    {"CECOLOR", Form::Int16, 62, kAll},
    {"CELTSCALE", Form::Double, 40, range(5, 7)},
    {"DELOBJ", Form::Int16, 70, range(5, 6)},
    {"DISPSILH", Form::Int16, 70, range(5, 7)},
    {"DIMSCALE", Form::Double, 40, kAll},
    {"DIMASZ", Form::Double, 40, kAll},
    {"DIMEXO", Form::Double, 40, kAll},
    {"DIMDLI", Form::Double, 40, kAll},
    {"DIMRND", Form::Double, 40, kAll},
    {"DIMDLE", Form::Double, 40, kAll},
    {"DIMEXE", Form::Double, 40, kAll},
    {"DIMTP", Form::Double, 40, kAll},
    {"DIMTM", Form::Double, 40, kAll},
    {"DIMTXT", Form::Double, 40, kAll},
    {"DIMCEN", Form::Double, 40, kAll},
    {"DIMTSZ", Form::Double, 40, kAll},
    {"DIMTOL", Form::Int16, 70, kAll},
    {"DIMLIM", Form::Int16, 70, kAll},
    {"DIMTIH", Form::Int16, 70, kAll},
    {"DIMTOH", Form::Int16, 70, kAll},
    {"DIMSE1", Form::Int16, 70, kAll},
    {"DIMSE2", Form::Int16, 70, kAll},
    {"DIMTAD", Form::Int16, 70, kAll},
    {"DIMZIN", Form::Int16, 70, kAll},
    {"DIMBLK", Form::ArrowBlock, 1, kAll},
    {"DIMASO", Form::Int16, 70, range(1, 7)},
    {"DIMSHO", Form::Int16, 70, range(1, 7)},
    {"DIMPOST", Form::Text, 1, range(1, 7)},
    {"DIMAPOST", Form::Text, 1, range(1, 7)},
    {"DIMALT", Form::Int16, 70, range(1, 7)},
    {"DIMALTD", Form::Int16, 70, range(1, 7)},
    {"DIMALTF", Form::Double, 40, range(1, 7)},
    {"DIMLFAC", Form::Double, 40, range(1, 7)},
    {"DIMTOFL", Form::Int16, 70, range(3, 7)},
    {"DIMTVP", Form::Double, 40, range(3, 7)},
    {"DIMTIX", Form::Int16, 70, range(3, 7)},
    {"DIMSOXD", Form::Int16, 70, range(3, 7)},
    {"DIMSAH", Form::Int16, 70, range(3, 7)},
    {"DIMBLK1", Form::ArrowBlock, 1, range(3, 7)},
    {"DIMBLK2", Form::ArrowBlock, 1, range(3, 7)},
    {"DIMSTYLE", Form::DimStyle, 2, range(4, 7)},
    {"DIMCLRD", Form::Int16, 70, range(4, 7)},
    {"DIMCLRE", Form::Int16, 70, range(4, 7)},
    {"DIMCLRT", Form::Int16, 70, range(4, 7)},
    {"DIMTFAC", Form::Double, 40, range(4, 7)},
    {"DIMGAP", Form::Double, 40, range(4, 7)},
    {"DIMJUST", Form::Int16, 70, range(5, 7)},
    {"DIMSD1", Form::Int16, 70, range(5, 7)},
    {"DIMSD2", Form::Int16, 70, range(5, 7)},
    {"DIMTOLJ", Form::Int16, 70, range(5, 7)},
    {"DIMTZIN", Form::Int16, 70, range(5, 7)},
    {"DIMALTZ", Form::Int16, 70, range(5, 7)},
    {"DIMALTTZ", Form::Int16, 70, range(5, 7)},
    {"DIMFIT", Form::DimFit, 70, range(5, 6)},
    {"DIMUPT", Form::Int16, 70, range(5, 7)},
    {"DIMUNIT", Form::DimUnit, 70, range(5, 6)},
    {"DIMDEC", Form::Int16, 70, range(5, 7)},
    {"DIMTDEC", Form::Int16, 70, range(5, 7)},
    {"DIMALTU", Form::Int16, 70, range(5, 7)},
    {"DIMALTTD", Form::Int16, 70, range(5, 7)},
    {"DIMTXSTY", Form::TextStyle, 7, range(5, 7)},
    {"DIMAUNIT", Form::Int16, 70, range(5, 7)},
    {"DIMADEC", Form::Int16, 70, range(7, 7)},
    {"DIMALTRND", Form::Double, 40, range(7, 7)},
    {"DIMAZIN", Form::Int16, 70, range(7, 7)},
    {"DIMDSEP", Form::Int16, 70, range(7, 7)},
    {"DIMATFIT", Form::Int16, 70, range(7, 7)},
    {"DIMFRAC", Form::Int16, 70, range(7, 7)},
    {"DIMLDRBLK", Form::ArrowBlock, 1, range(7, 7)},
    {"DIMLUNIT", Form::Int16, 70, range(7, 7)},
    {"DIMLWD", Form::Int16, 70, range(7, 7)},
    {"DIMLWE", Form::Int16, 70, range(7, 7)},
    {"DIMTMOVE", Form::Int16, 70, range(7, 7)},
    {"LUNITS", Form::Int16, 70, kAll},
    {"LUPREC", Form::Int16, 70, kAll},
    {"AXISMODE", Form::Int16, 70, range(0, 4)},
    {"AXISUNIT", Form::Point2, 10, range(0, 4)},
    {"SKETCHINC", Form::Double, 40, kAll},
    {"FILLETRAD", Form::Double, 40, kAll},
    {"AUNITS", Form::Int16, 70, kAll},
    {"AUPREC", Form::Int16, 70, kAll},
    {"MENU", Form::Text, 1, kAll},
    {"ELEVATION", Form::Double, 40, kAll},
    {"PELEVATION", Form::Double, 40, range(4, 7)},
    {"THICKNESS", Form::Double, 40, kAll},
    {"VIEWDIR", Form::Point3, 10, range(0, 2)},
    {"LIMCHECK", Form::Int16, 70, kAll},
    {"BLIPMODE", Form::Int16, 70, range(0, 6)},
    {"CHAMFERA", Form::Double, 40, kAll},
    {"CHAMFERB", Form::Double, 40, kAll},
    {"CHAMFERC", Form::Double, 40, range(5, 7)},
    {"CHAMFERD", Form::Double, 40, range(5, 7)},
    {"FASTZOOM", Form::Int16, 70, range(0, 2)},
    {"SKPOLY", Form::Int16, 70, kAll},
    {"TDCREATE", Form::Date, 40, kAll},
    {"TDUCREATE", Form::Date, 40, range(7, 7)},
    {"TDUPDATE", Form::Date, 40, kAll},
    {"TDUUPDATE", Form::Date, 40, range(7, 7)},
    {"TDINDWG", Form::Duration, 40, kAll},
    {"TDUSRTIMER", Form::Duration, 40, kAll},
    {"USRTIMER", Form::Int16, 70, kAll},
    {"ANGBASE", Form::Angle, 50, kAll},
    {"ANGDIR", Form::Int16, 70, kAll},
    {"PDMODE", Form::Int16, 70, kAll},
    {"PDSIZE", Form::Double, 40, kAll},
    {"PLINEWID", Form::Double, 40, kAll},
    {"COORDS", Form::Int16, 70, range(0, 6)},
    {"SPLFRAME", Form::Int16, 70, range(2, 7)},
    {"SPLINETYPE", Form::Int16, 70, range(3, 7)},
    {"SPLINESEGS", Form::Int16, 70, range(2, 7)},
    {"ATTDIA", Form::Int16, 70, range(2, 6)},
    {"ATTREQ", Form::Int16, 70, range(2, 6)},
    {"HANDLING", Form::Int16, 70, range(3, 6)},
    {"HANDSEED", Form::HandSeed, 5, range(3, 7)},
    {"SURFTAB1", Form::Int16, 70, range(3, 7)},
    {"SURFTAB2", Form::Int16, 70, range(3, 7)},
    {"SURFTYPE", Form::Int16, 70, range(3, 7)},
    {"SURFU", Form::Int16, 70, range(3, 7)},
    {"SURFV", Form::Int16, 70, range(3, 7)},
    {"FLATLAND", Form::Int16, 70, range(3, 3)},
    {"UCSBASE", Form::Empty, 2, range(7, 7)},
    {"UCSNAME", Form::UcsName, 2, range(3, 7)},
    {"UCSORG", Form::Point3Full, 10, range(3, 7)},
    {"UCSXDIR", Form::Point3Full, 10, range(3, 7)},
    {"UCSYDIR", Form::Point3Full, 10, range(3, 7)},
    {"UCSORTHOREF", Form::Empty, 2, range(7, 7)},
    {"UCSORTHOVIEW", Form::Int16, 70, range(7, 7)},
    {"UCSORGTOP", Form::Point3Full, 10, range(7, 7)},
    {"UCSORGBOTTOM", Form::Point3Full, 10, range(7, 7)},
    {"UCSORGLEFT", Form::Point3Full, 10, range(7, 7)},
    {"UCSORGRIGHT", Form::Point3Full, 10, range(7, 7)},
    {"UCSORGFRONT", Form::Point3Full, 10, range(7, 7)},
    {"UCSORGBACK", Form::Point3Full, 10, range(7, 7)},
    {"PUCSBASE", Form::Empty, 2, range(7, 7)},
    {"PUCSNAME", Form::UcsName, 2, range(4, 7)},
    {"PUCSORG", Form::Point3Full, 10, range(4, 7)},
    {"PUCSXDIR", Form::Point3Full, 10, range(4, 7)},
    {"PUCSYDIR", Form::Point3Full, 10, range(4, 7)},
    {"PUCSORTHOREF", Form::Empty, 2, range(7, 7)},
    {"PUCSORTHOVIEW", Form::Int16, 70, range(7, 7)},
    {"PUCSORGTOP", Form::Point3Full, 10, range(7, 7)},
    {"PUCSORGBOTTOM", Form::Point3Full, 10, range(7, 7)},
    {"PUCSORGLEFT", Form::Point3Full, 10, range(7, 7)},
    {"PUCSORGRIGHT", Form::Point3Full, 10, range(7, 7)},
    {"PUCSORGFRONT", Form::Point3Full, 10, range(7, 7)},
    {"PUCSORGBACK", Form::Point3Full, 10, range(7, 7)},
    {"USERI1", Form::Int16, 70, kAll},
    {"USERI2", Form::Int16, 70, kAll},
    {"USERI3", Form::Int16, 70, kAll},
    {"USERI4", Form::Int16, 70, kAll},
    {"USERI5", Form::Int16, 70, kAll},
    {"USERR1", Form::Double, 40, kAll},
    {"USERR2", Form::Double, 40, kAll},
    {"USERR3", Form::Double, 40, kAll},
    {"USERR4", Form::Double, 40, kAll},
    {"USERR5", Form::Double, 40, kAll},
    {"WORLDVIEW", Form::Int16, 70, range(3, 7)},
    {"", Form::Stop, 0, range(0, 3)},
    {"SHADEDGE", Form::Int16, 70, range(4, 7)},
    {"SHADEDIF", Form::Int16, 70, range(4, 7)},
    {"TILEMODE", Form::Int16, 70, range(4, 7)},
    {"MAXACTVP", Form::Int16, 70, range(4, 7)},
    {"PINSBASE", Form::Point3, 10, range(4, 7)},
    {"PLIMCHECK", Form::Int16, 70, range(4, 7)},
    {"PEXTMIN", Form::Point3, 10, range(4, 7)},
    {"PEXTMAX", Form::Point3, 10, range(4, 7)},
    {"PLIMMIN", Form::Point2, 10, range(4, 7)},
    {"PLIMMAX", Form::Point2, 10, range(4, 7)},
    {"UNITMODE", Form::Int16, 70, range(4, 7)},
    {"VISRETAIN", Form::Int16, 70, range(4, 7)},
    {"", Form::StopUnlessRelease, 0, range(4, 4)},
    {"PLINEGEN", Form::Int16, 70, range(4, 7), kRelease},
    {"PSLTSCALE", Form::Int16, 70, range(4, 7), kRelease},
    {"TREEDEPTH", Form::Int16, 70, range(4, 7), kRelease},
    {"DWGCODEPAGE", Form::CodePagePlain, 3, range(4, 4), kRelease},
    {"", Form::Stop, 0, range(4, 4)},
    {"PICKSTYLE", Form::Int16, 70, range(5, 6)},
    {"CMLSTYLE", Form::MlineStyle, 2, range(5, 7)},
    {"CMLJUST", Form::Int16, 70, range(5, 7)},
    {"CMLSCALE", Form::Double, 40, range(5, 7)},
    {"PROXYGRAPHICS", Form::Int16, 70, range(6, 7)},
    {"MEASUREMENT", Form::Int16, 70, range(6, 7)},
    {"CELWEIGHT", Form::Int16, 370, range(7, 7)},
    {"ENDCAPS", Form::Int16, 280, range(7, 7)},
    {"JOINSTYLE", Form::Int16, 280, range(7, 7)},
    {"LWDISPLAY", Form::Int16, 290, range(7, 7)},
    {"INSUNITS", Form::Int16, 70, range(7, 7)},
    {"HYPERLINKBASE", Form::Text, 1, range(7, 7)},
    {"STYLESHEET", Form::Text, 1, range(7, 7)},
    {"XEDIT", Form::Int16, 290, range(7, 7)},
    {"CEPSNTYPE", Form::Int16, 380, range(7, 7)},
    {"PSTYLEMODE", Form::Int16, 290, range(7, 7)},
    {"FINGERPRINTGUID", Form::Text, 2, range(7, 7)},
    {"VERSIONGUID", Form::Text, 2, range(7, 7)},
    {"EXTNAMES", Form::Int16, 290, range(7, 7)},
    {"PSVPSCALE", Form::Double, 40, range(7, 7)},
    {"SAVEIMAGES", Form::Int16, 70, range(5, 5)},
};

class HeaderWriter {
public:
    HeaderWriter(const Drawing& drawing, OutputContext& output, int16_t release)
        : drawing_(drawing), output_(output), header_(output.header), version_(output.versionIndex),
          release_(release != 0) {}

    int run();

private:
    int writeRow(const Row& row);
    HeaderValue value(std::string_view name) const {
        const HeaderVariable* variable = dbFindHeaderVariable(name);
        return variable ? dbGetHeaderValue(header_, *variable) : HeaderValue{};
    }
    int16_t int16Of(std::string_view name) const {
        const HeaderValue v = value(name);
        return std::holds_alternative<int32_t>(v) ? int16_t(std::get<int32_t>(v)) : int16_t(0);
    }
    double doubleOf(std::string_view name) const {
        const HeaderValue v = value(name);
        return std::holds_alternative<double>(v) ? std::get<double>(v) : 0.0;
    }
    Point3 pointOf(std::string_view name) const {
        const HeaderValue v = value(name);
        if (const auto* p = std::get_if<Point3>(&v)) return *p;
        if (const auto* p = std::get_if<Point2>(&v)) return {p->x, p->y, 0.0};
        return {};
    }
    int name(const Row& row, std::string_view text, Handle handle) {
        return wrDxfHeaderName(output_, row.name) &&
               wrDxfSymbolName(drawing_, output_, row.code, text, wrRecordPosition(output_, handle),
                               wrSymbolNameLimit());
    }
    int tableName(const Row& row, Handle handle, int (*lookup)(const Drawing&, Handle, std::string&)) {
        std::string text;
        if (!handle.isNull() && !lookup(drawing_, handle, text)) return 0;
        return name(row, text, handle);
    }
    int codePage(const Row& row, bool upper) {
        std::string text = dbCodePageName(header_.dwgcodepage) ? dbCodePageName(header_.dwgcodepage) : "";
        if (upper) dbUpperCaseCp(text, 0);
        return wrDxfHeaderString(output_, row.name, row.code, text);
    }

    const Drawing& drawing_;
    OutputContext& output_;
    HeaderBlock& header_;
    int16_t version_;
    bool release_;
};

int HeaderWriter::writeRow(const Row& row) {
    switch (row.form) {
    case Form::Int16: return wrDxfHeaderInt16(output_, row.name, row.code, int16Of(row.name));
    case Form::Double: return wrDxfHeaderDouble(output_, row.name, doubleOf(row.name));
    case Form::Angle: return wrDxfHeaderAngle(output_, row.name, doubleOf(row.name));
    case Form::Text: {
        const HeaderValue v = value(row.name);
        const auto* text = std::get_if<std::string>(&v);
        return wrDxfHeaderString(output_, row.name, row.code, text ? *text : std::string());
    }
    case Form::Point2: {
        const Point3 p = pointOf(row.name);
        return wrDxfHeaderPoint2d(output_, row.name, row.code, {p.x, p.y});
    }
    case Form::Point3: {
        const Point3 p = pointOf(row.name);
        if (version_ >= row.zFrom) return wrDxfHeaderPoint3d(output_, row.name, row.code, p);
        return wrDxfHeaderPoint2d(output_, row.name, row.code, {p.x, p.y});
    }
    case Form::Point3Full: return wrDxfHeaderPoint3dFull(output_, row.name, row.code, pointOf(row.name));
    case Form::Date:
    case Form::Duration: {
        const HeaderValue v = value(row.name);
        const auto* date = std::get_if<HeaderDate>(&v);
        return wrDxfHeaderDate(output_, row.name, date ? *date : HeaderDate{}, row.form == Form::Date ? 9 : 10);
    }
    case Form::AcadVer: return wrDxfHeaderString(output_, row.name, row.code, kVersionSignatures[version_]);
    case Form::AcadMaintVer:
        return wrDxfHeaderInt16(output_, row.name, row.code,
                                version_ == kVersionAC1015 ? int16_t(6) : header_.acadmaintver);
    case Form::CodePage: return codePage(row, version_ >= kVersionAC1014);
    case Form::CodePagePlain: return codePage(row, false);
    case Form::HandSeed: return wrDxfHeaderString(output_, row.name, row.code, dbHandleToHex(header_.handseed));
    case Form::DimFit:
        return wrDxfHeaderInt16(output_, row.name, row.code, int16_t(header_.dimatfit + header_.dimtmove));
    case Form::DimUnit: {
        if (version_ == kVersionAC1014) {
            // The context's header copy takes the adjusted value; the drawing keeps its own.
            int16_t& unit = header_.dimlunit;
            if ((unit == 4 || unit == 5) && header_.dimfrac == 2) unit = int16_t(unit + 2);
            else if (unit == 6) unit = 8;
        }
        return wrDxfHeaderInt16(output_, row.name, row.code, header_.dimlunit);
    }
    case Form::Layer: return tableName(row, header_.current.clayer, wrLayerNameByHandle);
    case Form::Linetype: {
        std::string text;
        wrLinetypeNameByHandle(drawing_, header_.current.celtype, text);
        return name(row, text, header_.current.celtype);
    }
    case Form::TextStyle:
        return tableName(row, row.name == "DIMTXSTY" ? header_.current.dimtxsty : header_.current.textstyle,
                         wrStyleNameByHandle);
    case Form::DimStyle: return tableName(row, header_.current.dimstyle, wrDimStyleNameByHandle);
    case Form::UcsName:
        return tableName(row, row.name == "PUCSNAME" ? header_.current.pucsname : header_.current.ucsname,
                         wrUcsNameByHandle);
    case Form::MlineStyle: {
        std::string text;
        if (const ObjectRecord* style = dbFindStoredObject(const_cast<Drawing*>(&drawing_), header_.current.cmlstyle)) {
            if (const auto* body = style->body.getIf<MlineStyleBody>()) text = body->name;
        }
        return name(row, text, Handle());
    }
    case Form::Empty: return wrDxfHeaderString(output_, row.name, row.code, "");
    case Form::ArrowBlock: {
        Handle handle;
        if (row.name == "DIMBLK") handle = header_.arrowBlocks.dimblk;
        else if (row.name == "DIMBLK1") handle = header_.arrowBlocks.dimblk1;
        else if (row.name == "DIMBLK2") handle = header_.arrowBlocks.dimblk2;
        else handle = header_.arrowBlocks.dimldrblk;
        const BlockNode* block = handle.isNull() ? nullptr : dbLookupBlock(drawing_, handle);
        return wrDxfHeaderString(output_, row.name, row.code, block ? block->record.name : std::string());
    }
    case Form::Stop:
    case Form::StopUnlessRelease: return 1;
    }
    return 1;
}

int HeaderWriter::run() {
    const int extent = gSystemContext ? gSystemContext->dxfHeaderExtent : 0;
    if (!wrDxfString(output_, 0, "SECTION") || !wrDxfString(output_, 2, "HEADER")) return 0;
    const uint8_t versionBit = uint8_t(1u << version_);
    bool extentsWritten = false;
    for (const Row& row : kRows) {
        if (!(row.versions & versionBit)) continue;
        if (row.form == Form::Stop) break;
        if (row.form == Form::StopUnlessRelease) {
            if (!release_) break;
            continue;
        }
        if ((row.flags & kRelease) && version_ == kVersionAC1009 && !release_) continue;
        if (extent != 0) {
            if (extentsWritten) break;  // a limited header ends with the extents
            const bool keep = (row.flags & kExtentAny) || ((row.flags & kExtentAll) && extent == 1);
            if (!keep) continue;
        }
        if (!writeRow(row)) return 0;
        if (row.name == "EXTMAX") extentsWritten = true;
    }
    return wrDxfString(output_, 0, "ENDSEC");
}

} // namespace

int DxfHeaderWriter(const Drawing& drawing, OutputContext& output, int16_t releaseSwitch) {
    if (output.format == kSaveFormatBinaryDxf) {
        if (!wrFlushPending(output) || !wrPutBytes(output, kDxfBinarySentinel, kDxfBinarySentinelSize)) return 0;
    }
    HeaderWriter writer(drawing, output, releaseSwitch);
    return writer.run();
}

} // namespace tracemill
