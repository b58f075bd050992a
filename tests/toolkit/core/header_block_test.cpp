#include "toolkit/core/header_block.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using test::ToolkitTest;

// The names of the header variables as the drawing format lists them, in template order.
constexpr const char* kVariableNames =
    "ACADMAINTVER ACADVER ANGBASE ANGDIR ATTDIA ATTMODE ATTREQ AUNITS AUPREC AXISMODE AXISUNIT "
    "BLIPMODE CECOLOR CELTSCALE CELWEIGHT CEPSNTYPE CHAMFERA CHAMFERB CHAMFERC CHAMFERD CMLJUST "
    "CMLSCALE COORDS DELOBJ DIMADEC DIMALT DIMALTD DIMALTF DIMALTRND DIMALTTD DIMALTTZ DIMALTU "
    "DIMALTZ DIMAPOST DIMASO DIMASZ DIMAUNIT DIMAZIN DIMBLK DIMBLK1 DIMBLK2 DIMCEN DIMCLRD DIMCLRE "
    "DIMCLRT DIMDEC DIMDLE DIMDLI DIMDSEP DIMEXE DIMEXO DIMATFIT DIMFIT DIMFRAC DIMGAP DIMJUST "
    "DIMLDRBLK DIMLFAC DIMLIM DIMLWD DIMLWE DIMPOST DIMRND DIMSAH DIMSCALE DIMSD1 DIMSD2 DIMSE1 "
    "DIMSE2 DIMSHO DIMSOXD DIMTAD DIMTDEC DIMTFAC DIMTIH DIMTIX DIMTM DIMTMOVE DIMTOFL DIMTOH DIMTOL "
    "DIMTOLJ DIMTP DIMTSZ DIMTVP DIMTXT DIMTZIN DIMLUNIT DIMUNIT DIMUPT DIMZIN DISPSILH DRAGMODE "
    "DWGCODEPAGE ELEVATION ENDCAPS EXTMIN EXTMAX EXTNAMES FASTZOOM FILLETRAD FILLMODE "
    "FINGERPRINTGUID FLATLAND GRIDMODE GRIDUNIT HANDLING HANDSEED HYPERLINKBASE INSBASE INSUNITS "
    "JOINSTYLE LIMCHECK LIMMIN LIMMAX LTSCALE LUNITS LUPREC LWDISPLAY MAXACTVP MEASUREMENT MENU "
    "MIRRTEXT ORTHOMODE OSMODE PDMODE PDSIZE PELEVATION PEXTMIN PEXTMAX PICKSTYLE PINSBASE PLIMCHECK "
    "PLIMMIN PLIMMAX PLINEGEN PLINEWID PROXYGRAPHICS SAVEIMAGES PSLTSCALE PSTYLEMODE PSVPSCALE "
    "PUCSORG PUCSORGBACK PUCSORGBOTTOM PUCSORGFRONT PUCSORGLEFT PUCSORGRIGHT PUCSORGTOP "
    "PUCSORTHOVIEW PUCSXDIR PUCSYDIR QTEXTMODE REGENMODE SHADEDGE SHADEDIF SKETCHINC SKPOLY SNAPANG "
    "SNAPBASE SNAPISOPAIR SNAPMODE SNAPSTYLE SNAPUNIT SPLFRAME SPLINESEGS SPLINETYPE STYLESHEET "
    "SURFTAB1 SURFTAB2 SURFTYPE SURFU SURFV TDCREATE TDINDWG TDUCREATE TDUPDATE TDUSRTIMER TDUUPDATE "
    "TEXTSIZE THICKNESS TILEMODE TRACEWID TREEDEPTH UCSORG UCSORGBACK UCSORGBOTTOM UCSORGFRONT "
    "UCSORGLEFT UCSORGRIGHT UCSORGTOP UCSORTHOVIEW UCSXDIR UCSYDIR UNITMODE USERI1 USERI2 USERI3 "
    "USERI4 USERI5 USERR1 USERR2 USERR3 USERR4 USERR5 USRTIMER VERSIONGUID VIEWCTR VIEWSIZE "
    "VIEWTWIST VISRETAIN VIEWDIR WORLDVIEW XEDIT ";

TEST(HeaderVariableTable, EveryNameResolvesWithAndWithoutDollar) {
    std::istringstream words(kVariableNames);
    std::set<std::string> names;
    for (std::string name; words >> name;) {
        SCOPED_TRACE(name);
        names.insert(name);
        const HeaderVariable* variable = dbFindHeaderVariable(name);
        ASSERT_NE(variable, nullptr);
        EXPECT_EQ(variable->name, name);
        EXPECT_EQ(dbFindHeaderVariable("$" + name), variable);
    }
    EXPECT_EQ(names.size(), 214u);
    EXPECT_EQ(dbHeaderVariableTable().size(), 214u);
}

TEST(HeaderVariableTable, UnknownNamesAreNotFound) {
    for (const char* name : {"", "$", "ACAD", "ACADVERX", "acadver", "ZZZ", "AAA", "$DIMSTYLE", "CLAYER"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(dbFindHeaderVariable(name), nullptr);
    }
}

TEST(HeaderVariableTable, NamePairsShareOneField) {
    const std::pair<const char*, const char*> pairs[] = {
        {"DIMATFIT", "DIMFIT"}, {"DIMLUNIT", "DIMUNIT"}, {"PROXYGRAPHICS", "SAVEIMAGES"}};
    for (auto [first, second] : pairs) {
        SCOPED_TRACE(first);
        HeaderBlock header;
        ASSERT_EQ(dbSetHeaderValue(header, *dbFindHeaderVariable(first), int32_t(5)), 1);
        EXPECT_EQ(std::get<int32_t>(dbGetHeaderValue(header, *dbFindHeaderVariable(second))), 5);
    }
}

// Template values and types by hand from the list of header variables, covering each type.
TEST(HeaderVariableTable, SpotChecksOfTypesAndTemplateValues) {
    struct Case {
        const char* name;
        HeaderValueType type;
        uint16_t limit;
        HeaderValue value;
    } cases[] = {
        {"DELOBJ", HeaderValueType::U8, 0, int32_t(1)},
        {"DIMALTD", HeaderValueType::U8, 0, int32_t(2)},
        {"DIMFIT", HeaderValueType::U8, 0, int32_t(3)},
        {"XEDIT", HeaderValueType::U8, 0, int32_t(1)},
        {"CECOLOR", HeaderValueType::I16, 0, int32_t(256)},
        {"TREEDEPTH", HeaderValueType::I16, 0, int32_t(3020)},
        {"SHADEDIF", HeaderValueType::I16, 0, int32_t(70)},
        {"DIMUNIT", HeaderValueType::I16, 0, int32_t(2)},
        {"MAXACTVP", HeaderValueType::I16, 0, int32_t(16)},
        {"DIMALTF", HeaderValueType::Double, 0, 25.4},
        {"DIMEXO", HeaderValueType::Double, 0, 0.0625},
        {"VIEWSIZE", HeaderValueType::Double, 0, 9.15837},
        {"TRACEWID", HeaderValueType::Double, 0, 0.05},
        {"PLIMMAX", HeaderValueType::Point2, 0, Point2{12, 9}},
        {"SNAPUNIT", HeaderValueType::Point2, 0, Point2{1, 1}},
        {"LIMMAX", HeaderValueType::Point2, 0, Point2{0, 0}},
        {"EXTMIN", HeaderValueType::Point3, 0, Point3{1e20, 1e20, 1e20}},
        {"PEXTMAX", HeaderValueType::Point3, 0, Point3{-1e20, -1e20, -1e20}},
        {"VIEWCTR", HeaderValueType::Point3, 0, Point3{6.59129, 4.57918, 0}},
        {"UCSYDIR", HeaderValueType::Point3, 0, Point3{0, 1, 0}},
        {"PUCSXDIR", HeaderValueType::Point3, 0, Point3{1, 0, 0}},
        {"VIEWDIR", HeaderValueType::Point3, 0, Point3{0, 0, 1}},
        {"ACADVER", HeaderValueType::Text, 7, std::string("AC1012")},
        {"MENU", HeaderValueType::Text, 61, std::string("acad")},
        {"DIMAPOST", HeaderValueType::Text, 16, std::string()},
        {"DIMLDRBLK", HeaderValueType::Text, 32, std::string()},
        {"FINGERPRINTGUID", HeaderValueType::Text, 39, std::string()},
        {"STYLESHEET", HeaderValueType::Text, 127, std::string()},
        {"TDCREATE", HeaderValueType::Date, 0, HeaderDate{}},
        {"TDUUPDATE", HeaderValueType::Date, 0, HeaderDate{}},
        {"USERI1", HeaderValueType::UserInt, 0, int32_t(0)},
        {"USERI5", HeaderValueType::UserInt, 4, int32_t(0)},
        {"USERR3", HeaderValueType::UserReal, 2, 0.0},
        {"HANDSEED", HeaderValueType::Handle, 8, Handle()},
        {"DWGCODEPAGE", HeaderValueType::CodePage, 0, int32_t(0)},
    };
    const HeaderBlock header;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HeaderVariable* variable = dbFindHeaderVariable(c.name);
        ASSERT_NE(variable, nullptr);
        EXPECT_EQ(variable->type, c.type);
        EXPECT_EQ(variable->limit, c.limit);
        EXPECT_EQ(dbGetHeaderValue(header, *variable), c.value);
    }
}

TEST(HeaderVariableTable, UserArraysAreAddressedByIndex) {
    HeaderBlock header;
    for (int i = 1; i <= 5; ++i) {
        ASSERT_EQ(dbSetHeaderValue(header, *dbFindHeaderVariable("USERI" + std::to_string(i)), int32_t(10 * i)), 1);
        ASSERT_EQ(dbSetHeaderValue(header, *dbFindHeaderVariable("USERR" + std::to_string(i)), 0.5 * i), 1);
    }
    EXPECT_EQ(header.useri, (std::array<int16_t, 5>{10, 20, 30, 40, 50}));
    EXPECT_EQ(header.userr, (std::array<double, 5>{0.5, 1.0, 1.5, 2.0, 2.5}));
}

TEST(HeaderVariableTable, TextIsCutToItsReadLimit) {
    HeaderBlock header;
    const HeaderVariable& acadver = *dbFindHeaderVariable("$ACADVER");
    ASSERT_EQ(dbSetHeaderValue(header, acadver, std::string("AC1015")), 1);
    EXPECT_EQ(header.acadver, "AC1015");
    ASSERT_EQ(dbSetHeaderValue(header, acadver, std::string("AC1015XYZ")), 1);
    EXPECT_EQ(header.acadver, "AC1015");
    ASSERT_EQ(dbSetHeaderValue(header, *dbFindHeaderVariable("DIMPOST"), std::string(40, 'x')), 1);
    EXPECT_EQ(header.dimpost, std::string(15, 'x'));
}

TEST(HeaderVariableTable, ValueOfTheWrongKindIsRefused) {
    HeaderBlock header;
    EXPECT_EQ(dbSetHeaderValue(header, *dbFindHeaderVariable("LTSCALE"), int32_t(2)), 0);
    EXPECT_EQ(dbSetHeaderValue(header, *dbFindHeaderVariable("CECOLOR"), 2.0), 0);
    EXPECT_EQ(dbSetHeaderValue(header, *dbFindHeaderVariable("EXTMIN"), Point2{}), 0);
    EXPECT_EQ(dbSetHeaderValue(header, *dbFindHeaderVariable("MENU"), Handle(1)), 0);
    EXPECT_EQ(header, HeaderBlock{});
    EXPECT_EQ(dbSetHeaderValue(header, *dbFindHeaderVariable("HANDSEED"), Handle(0x2F)), 1);
    EXPECT_EQ(header.handseed, Handle(0x2F));
}

TEST(HeaderBlockTemplate, ValuesBetweenTheNamedVariables) {
    const HeaderBlock header;
    EXPECT_EQ(header.dwgShortsAfterCoords, (std::array<int16_t, 2>{1, 5}));
    EXPECT_EQ(header.dwgDoubleAfterExtnames, 0.5);
    EXPECT_EQ(header.dwgByteAfterInsunits, 4);
    EXPECT_EQ(header.dwgDoubleAfterJoinstyle, 50.0);
    EXPECT_EQ(header.dwgByteAfterTduupdate, 50);
    EXPECT_EQ(header.dwgShortsAfterTreedepth, (std::array<int16_t, 4>{1, 70, 0, 1}));
    EXPECT_EQ(header.current, CurrentEntryHandles{});
    EXPECT_EQ(header.dwgLeadingDouble, 412148564080.0);
    EXPECT_EQ(header.dwgLeadingUnits, (std::array<double, 3>{1.0, 1.0, 1.0}));
    EXPECT_EQ(header.dwgLeadingLong, 24u);
}

class HeaderInit : public ToolkitTest {};

TEST_F(HeaderInit, ResetsToTheTemplateWithTheContextCodePage) {
    HeaderBlock header;
    header.ltscale = 7.0;
    header.acadver = "AC1015";
    header.current.clayer = Handle(9);
    gSystemContext->headerCodePage = 30;
    dbInitHeader(header);
    HeaderBlock expected;
    expected.dwgcodepage = 30;
    EXPECT_EQ(header, expected);
}

TEST(HeaderDate, DxfValueSplitsIntoDayAndMilliseconds) {
    struct Case {
        double value;
        HeaderDate date;
    } cases[] = {
        {2451545.5, {2451545, 43200000}},
        {2451545.0, {2451545, 0}},
        {0.25, {0, 21600000}},
        {0.0, {0, 0}},
        {-3.5, {0, 0}},
        {1e300, {4294967295u, 0}},
        {std::numeric_limits<double>::quiet_NaN(), {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(dbHeaderDateFromDxf(c.value), c.date);
    }
}

TEST(HeaderNameVariableTable, TheTwelveEntryNamesResolve) {
    const std::pair<const char*, HeaderEntryName> cases[] = {
        {"CELTYPE", HeaderEntryName::Celtype},     {"CLAYER", HeaderEntryName::Clayer},
        {"CMLSTYLE", HeaderEntryName::Cmlstyle},   {"$DIMSTYLE", HeaderEntryName::Dimstyle},
        {"DIMTXSTY", HeaderEntryName::Dimtxsty},   {"PUCSBASE", HeaderEntryName::Pucsbase},
        {"PUCSNAME", HeaderEntryName::Pucsname},   {"PUCSORTHOREF", HeaderEntryName::Pucsorthoref},
        {"TEXTSTYLE", HeaderEntryName::Textstyle}, {"UCSBASE", HeaderEntryName::Ucsbase},
        {"UCSNAME", HeaderEntryName::Ucsname},     {"$UCSORTHOREF", HeaderEntryName::Ucsorthoref},
    };
    for (auto [name, which] : cases) {
        SCOPED_TRACE(name);
        const HeaderNameVariable* variable = dbFindHeaderNameVariable(name);
        ASSERT_NE(variable, nullptr);
        EXPECT_EQ(variable->which, which);
    }
    EXPECT_EQ(dbHeaderNameVariableTable().size(), 12u);
    EXPECT_EQ(dbFindHeaderNameVariable("LTSCALE"), nullptr);
    EXPECT_EQ(dbFindHeaderNameVariable("UCSORG"), nullptr);

    HeaderEntryNames names;
    names.set(HeaderEntryName::Clayer, std::string(600, 'L'));
    EXPECT_EQ(names[HeaderEntryName::Clayer].size(), 511u);
}

} // namespace
} // namespace tracemill
