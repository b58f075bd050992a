// The header block of a drawing: its header variables with their types and template values,
// and the tables by which the DXF side names them.
//
// Each named variable is a member spelled as its name in lower case (DIMSCALE is `dimscale`);
// a pair of names that share one field (DIMATFIT/DIMFIT, DIMLUNIT/DIMUNIT,
// PROXYGRAPHICS/SAVEIMAGES) is spelled as the first. The members named `dwg...` carry values
// between the named variables that only the DWG reader and writers use. The default member
// values are the template that every new header starts from.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"

namespace tracemill {

// A stored date: Julian day number and milliseconds of the day.
struct HeaderDate {
    uint32_t day = 0;
    uint32_t milliseconds = 0;
    friend bool operator==(const HeaderDate&, const HeaderDate&) = default;
};

// Handles of the current table entries, which DXF names by the entry's name.
struct CurrentEntryHandles {
    Handle celtype;
    Handle clayer;
    Handle cmlstyle;
    Handle dimstyle;
    Handle dimtxsty;
    Handle pucsname;
    Handle textstyle;
    Handle ucsname;
    friend bool operator==(const CurrentEntryHandles&, const CurrentEntryHandles&) = default;
};

// Handles of the blocks that the dimension arrow variables name.
struct DimensionArrowHandles {
    Handle dimldrblk;
    Handle dimblk;
    Handle dimblk1;
    Handle dimblk2;
    friend bool operator==(const DimensionArrowHandles&, const DimensionArrowHandles&) = default;
};

struct HeaderBlock {
    int16_t acadmaintver{};
    std::string acadver{"AC1012"};
    double angbase{};
    int16_t angdir{};
    int16_t attdia{};
    int16_t attmode{1};
    int16_t attreq{1};
    int16_t aunits{};
    int16_t auprec{};
    int16_t axismode{};
    Point2 axisunit{};
    int16_t blipmode{1};
    int16_t cecolor{256};
    double celtscale{1.0};
    int16_t celweight{};
    int16_t cepsntype{};
    double chamfera{};
    double chamferb{};
    double chamferc{};
    double chamferd{};
    int16_t cmljust{};
    double cmlscale{1.0};
    int16_t coords{};
    std::array<int16_t, 2> dwgShortsAfterCoords{1, 5};
    uint8_t delobj{1};
    int16_t dimadec{};
    uint8_t dimalt{};
    uint8_t dimaltd{2};
    double dimaltf{25.4};
    double dimaltrnd{};
    int16_t dimalttd{2};
    uint8_t dimalttz{};
    int16_t dimaltu{2};
    uint8_t dimaltz{};
    std::string dimapost{};
    uint8_t dimaso{1};
    double dimasz{0.18};
    int16_t dimaunit{};
    int16_t dimazin{};
    std::string dimblk{};
    std::string dimblk1{};
    std::string dimblk2{};
    double dimcen{0.09};
    int16_t dimclrd{};
    int16_t dimclre{};
    int16_t dimclrt{};
    int16_t dimdec{4};
    double dimdle{};
    double dimdli{0.38};
    int16_t dimdsep{};
    double dimexe{0.18};
    double dimexo{0.0625};
    uint8_t dimatfit{3};  // also DIMFIT
    int16_t dimfrac{};
    double dimgap{0.09};
    uint8_t dimjust{};
    std::string dimldrblk{};
    double dimlfac{1.0};
    uint8_t dimlim{};
    int16_t dimlwd{};
    int16_t dimlwe{};
    std::string dimpost{};
    double dimrnd{};
    uint8_t dimsah{};
    double dimscale{1.0};
    uint8_t dimsd1{};
    uint8_t dimsd2{};
    uint8_t dimse1{};
    uint8_t dimse2{};
    uint8_t dimsho{1};
    uint8_t dimsoxd{};
    uint8_t dimtad{};
    int16_t dimtdec{4};
    double dimtfac{1.0};
    uint8_t dimtih{1};
    uint8_t dimtix{};
    double dimtm{};
    int16_t dimtmove{};
    uint8_t dimtofl{};
    uint8_t dimtoh{1};
    uint8_t dimtol{};
    uint8_t dimtolj{1};
    double dimtp{};
    double dimtsz{};
    double dimtvp{};
    double dimtxt{0.18};
    uint8_t dimtzin{};
    int16_t dimlunit{2};  // also DIMUNIT
    uint8_t dimupt{};
    uint8_t dimzin{};
    uint8_t dispsilh{};
    int16_t dragmode{2};
    int16_t dwgcodepage{};
    double elevation{};
    uint8_t endcaps{};
    Point3 extmin{1e+20, 1e+20, 1e+20};
    Point3 extmax{-1e+20, -1e+20, -1e+20};
    uint8_t extnames{1};
    double dwgDoubleAfterExtnames{0.5};
    int16_t fastzoom{1};
    double filletrad{};
    int16_t fillmode{1};
    std::string fingerprintguid{};
    int16_t flatland{};
    int16_t gridmode{};
    Point2 gridunit{};
    int16_t handling{1};
    Handle handseed{};
    std::string hyperlinkbase{};
    Point3 insbase{};
    int16_t insunits{};
    uint8_t dwgByteAfterInsunits{4};
    uint8_t joinstyle{};
    double dwgDoubleAfterJoinstyle{50.0};
    int16_t limcheck{};
    Point2 limmin{};
    Point2 limmax{};
    double ltscale{1.0};
    int16_t lunits{2};
    int16_t luprec{4};
    uint8_t lwdisplay{};
    int16_t maxactvp{16};
    int16_t measurement{};
    std::string menu{"acad"};
    int16_t mirrtext{1};
    int16_t orthomode{};
    int16_t osmode{};
    int16_t pdmode{};
    double pdsize{};
    double pelevation{};
    Point3 pextmin{1e+20, 1e+20, 1e+20};
    Point3 pextmax{-1e+20, -1e+20, -1e+20};
    uint8_t pickstyle{1};
    Point3 pinsbase{};
    int16_t plimcheck{};
    Point2 plimmin{};
    Point2 plimmax{12, 9};
    int16_t plinegen{1};
    double plinewid{};
    uint8_t proxygraphics{};  // also SAVEIMAGES
    int16_t psltscale{};
    uint8_t pstylemode{1};
    double psvpscale{};
    Point3 pucsorg{};
    Point3 pucsorgback{};
    Point3 pucsorgbottom{};
    Point3 pucsorgfront{};
    Point3 pucsorgleft{};
    Point3 pucsorgright{};
    Point3 pucsorgtop{};
    int16_t pucsorthoview{};
    Point3 pucsxdir{1, 0, 0};
    Point3 pucsydir{0, 1, 0};
    int16_t qtextmode{};
    int16_t regenmode{1};
    int16_t shadedge{3};
    int16_t shadedif{70};
    double sketchinc{0.1};
    int16_t skpoly{};
    double snapang{};
    Point2 snapbase{};
    int16_t snapisopair{};
    int16_t snapmode{};
    int16_t snapstyle{};
    Point2 snapunit{1, 1};
    int16_t splframe{};
    int16_t splinesegs{8};
    int16_t splinetype{6};
    std::string stylesheet{};
    int16_t surftab1{6};
    int16_t surftab2{6};
    int16_t surftype{6};
    int16_t surfu{6};
    int16_t surfv{6};
    HeaderDate tdcreate{};
    HeaderDate tdindwg{};
    HeaderDate tducreate{};
    HeaderDate tdupdate{};
    HeaderDate tdusrtimer{};
    HeaderDate tduupdate{};
    uint8_t dwgByteAfterTduupdate{50};
    double textsize{0.2};
    double thickness{};
    int16_t tilemode{1};
    double tracewid{0.05};
    int16_t treedepth{3020};
    std::array<int16_t, 4> dwgShortsAfterTreedepth{1, 70, 0, 1};
    Point3 ucsorg{};
    Point3 ucsorgback{};
    Point3 ucsorgbottom{};
    Point3 ucsorgfront{};
    Point3 ucsorgleft{};
    Point3 ucsorgright{};
    Point3 ucsorgtop{};
    int16_t ucsorthoview{};
    Point3 ucsxdir{1, 0, 0};
    Point3 ucsydir{0, 1, 0};
    int16_t unitmode{};
    // The UCS icon setting of a drawing without an "*ACTIVE" viewport record (0 off, 1 on,
    // 3 on at the origin). No file variable names it; a drawing starts with the icon on.
    int16_t ucsicon{1};
    std::array<int16_t, 5> useri{};  // USERI1-USERI5
    std::array<double, 5> userr{};   // USERR1-USERR5
    int16_t usrtimer{1};
    std::string versionguid{};
    Point3 viewctr{6.59129, 4.57918, 0};
    double viewsize{9.15837};
    double viewtwist{};
    int16_t visretain{};
    Point3 viewdir{0, 0, 1};
    int16_t worldview{1};
    uint8_t xedit{1};

    CurrentEntryHandles current;
    // The blocks of the dimension arrows that DIMLDRBLK, DIMBLK, DIMBLK1 and DIMBLK2 name.
    DimensionArrowHandles arrowBlocks;

    // The fixed leading values of the R13-2000 DWG header section.
    double dwgLeadingDouble{412148564080.0};
    std::array<double, 3> dwgLeadingUnits{1.0, 1.0, 1.0};
    uint32_t dwgLeadingLong{24};
    // Further values of the R13-2000 DWG header section that no DXF variable names: the rest
    // of its leading values (four texts, a second long, and for R13 and R14 a short), the
    // isoline count, the text quality, the facet resolution, the polygon-ellipse flag, the
    // stacked-text alignment and size, the OLE start-up flag (bit 14 of the 2000 flag word)
    // and the four shorts that end the 2000 section.
    std::array<std::string, 4> dwgLeadingTexts{};
    uint32_t dwgLeadingLong2{};
    int16_t dwgLeadingShort{};
    int16_t dwgIsolines{4};
    int16_t dwgTextQuality{50};
    double dwgFacetResolution{0.5};
    uint8_t dwgPolygonEllipse{};
    int16_t dwgStackedTextAlign{1};
    int16_t dwgStackedTextSize{70};
    uint8_t dwgOleStartup{};
    std::array<int16_t, 4> dwgTrailingShorts{};

    friend bool operator==(const HeaderBlock&, const HeaderBlock&) = default;
};

// Resets the header to the template and sets DWGCODEPAGE to the context's code page for new
// headers.
void dbInitHeader(HeaderBlock& header);

// How a header variable's value is stored; the numbers are those of the variable table.
enum class HeaderValueType : uint8_t {
    U8 = 0,
    I16 = 1,
    Double = 2,
    Point2 = 3,
    Point3 = 4,
    Text = 5,
    Date = 6,
    UserInt = 7,  // element of USERI
    UserReal = 8, // element of USERR
    Handle = 9,
    CodePage = 10, // a code-page number; DXF names it by the page's name
};

using HeaderField =
    std::variant<uint8_t HeaderBlock::*, int16_t HeaderBlock::*, double HeaderBlock::*, Point2 HeaderBlock::*,
                 Point3 HeaderBlock::*, std::string HeaderBlock::*, HeaderDate HeaderBlock::*,
                 std::array<int16_t, 5> HeaderBlock::*, std::array<double, 5> HeaderBlock::*,
                 Handle HeaderBlock::*>;

struct HeaderVariable {
    std::string_view name; // without the leading "$"
    HeaderValueType type;
    // Text: the read limit, the buffer size of the DXF reader with its NUL, so at most
    // limit - 1 characters are kept. UserInt/UserReal: the array index. Handle: 8. Else 0.
    uint16_t limit;
    HeaderField field;
};

// The 214 named variables sorted by name in byte order.
std::span<const HeaderVariable> dbHeaderVariableTable();

// Binary search by name; a leading "$" is ignored. Null when the name is not a variable.
const HeaderVariable* dbFindHeaderVariable(std::string_view name);

// A header value of any type: integers of every width as int32_t, doubles of both kinds as
// double.
using HeaderValue = std::variant<int32_t, double, Point2, Point3, std::string, HeaderDate, Handle>;

HeaderValue dbGetHeaderValue(const HeaderBlock& header, const HeaderVariable& variable);

// Stores the value; text is cut to the variable's read limit less one. Returns 1, or 0 when
// the value's kind does not fit the variable's type (the header is then unchanged).
int dbSetHeaderValue(HeaderBlock& header, const HeaderVariable& variable, const HeaderValue& value);

// A DXF date value: day = trunc(d), milliseconds = trunc((d - day) * 86,400,000). Values
// outside the stored range are clamped to it.
HeaderDate dbHeaderDateFromDxf(double value);

// The variables whose DXF value is a table entry's name; the loader keeps those names until
// the tables are read and then turns them into handles.
enum class HeaderEntryName : uint8_t {
    Celtype,
    Clayer,
    Cmlstyle,
    Dimstyle,
    Dimtxsty,
    Pucsbase,
    Pucsname,
    Pucsorthoref,
    Textstyle,
    Ucsbase,
    Ucsname,
    Ucsorthoref,
};
inline constexpr size_t kHeaderEntryNameCount = 12;

// The names of the current entries as a file gave them, one per HeaderEntryName.
struct HeaderEntryNames {
    static constexpr uint16_t kLimit = 512; // buffer size of each name with its NUL
    std::array<std::string, kHeaderEntryNameCount> names;
    // Keeps at most kLimit - 1 characters, as the name buffers of the readers do.
    void set(HeaderEntryName which, std::string_view name) {
        names[size_t(which)] = std::string(name.substr(0, kLimit - 1));
    }
    std::string& operator[](HeaderEntryName which) { return names[size_t(which)]; }
    const std::string& operator[](HeaderEntryName which) const { return names[size_t(which)]; }
};

struct HeaderNameVariable {
    std::string_view name; // without the leading "$"
    HeaderEntryName which;
};

// The 12 entry-name variables sorted by name in byte order.
std::span<const HeaderNameVariable> dbHeaderNameVariableTable();

// Binary search by name; a leading "$" is ignored. Null when the name is not one of them.
const HeaderNameVariable* dbFindHeaderNameVariable(std::string_view name);

} // namespace tracemill
