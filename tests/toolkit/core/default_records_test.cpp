#include "toolkit/core/default_records.h"

#include <gtest/gtest.h>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_access.h"
#include "drawing_fixture.h"

namespace tracemill {
namespace {

// The built-in templates agree with the header template (docs/drawing-defaults.md).
TEST(DefaultRecordTemplates, VportShowsTheHeadersView) {
    const HeaderBlock header;
    VportRecord vport;
    vport.name = "dirty";
    dbInitVportRecord(vport);
    EXPECT_EQ(vport.name, "");
    EXPECT_EQ(vport.centre, (Point2{header.viewctr.x, header.viewctr.y}));
    EXPECT_EQ(vport.height, header.viewsize);
    EXPECT_EQ(vport.direction, header.viewdir);
    EXPECT_EQ(vport.twist, header.viewtwist);
    EXPECT_NEAR(vport.aspect * vport.height, 2 * header.viewctr.x, 1e-12) << "the view starts at x = 0";
    EXPECT_EQ(vport.snapBase, header.snapbase);
    EXPECT_EQ(vport.snapSpacing, header.snapunit);
    EXPECT_EQ(vport.gridSpacing, header.gridunit);
    EXPECT_EQ(vport.snapAngle, header.snapang);
    EXPECT_EQ(vport.snapOn, header.snapmode);
    EXPECT_EQ(vport.snapStyle, header.snapstyle);
    EXPECT_EQ(vport.snapIsoPair, header.snapisopair);
    EXPECT_EQ(vport.gridOn, header.gridmode);
    EXPECT_EQ(vport.fastZoom, header.fastzoom);
    EXPECT_EQ(vport.ucs.xAxis, header.ucsxdir);
    EXPECT_EQ(vport.ucs.yAxis, header.ucsydir);
    EXPECT_EQ(vport.lowerLeft, (Point2{0, 0}));
    EXPECT_EQ(vport.upperRight, (Point2{1, 1}));
    EXPECT_EQ(vport.lensLength, 50.0);
    EXPECT_EQ(vport.circleZoom, 100);
    EXPECT_EQ(vport.ucsIcon, 3);
    EXPECT_EQ(vport.ucsPerViewport, 1);
}

TEST(DefaultRecordTemplates, ViewShowsTheHeadersView) {
    const HeaderBlock header;
    ViewRecord view;
    dbInitViewRecord(view);
    EXPECT_EQ(view.centre, (Point2{header.viewctr.x, header.viewctr.y}));
    EXPECT_EQ(view.height, header.viewsize);
    EXPECT_NEAR(view.width, 2 * header.viewctr.x, 1e-12);
    EXPECT_EQ(view.direction, header.viewdir);
    EXPECT_EQ(view.target, (Point3{0, 0, 0}));
    EXPECT_EQ(view.twist, header.viewtwist);
    EXPECT_EQ(view.lensLength, 50.0);
    EXPECT_EQ(view.ucs.xAxis, header.ucsxdir);
    EXPECT_EQ(view.ucs.yAxis, header.ucsydir);
}

TEST(DefaultRecordTemplates, DimStyleHoldsTheHeadersDimensionVariables) {
    DimStyleRecord style;
    dbDimStyleFromHeader(HeaderBlock{}, style);
    // The template values of the header variables, by hand.
    EXPECT_EQ(style.dimscale, 1.0);
    EXPECT_EQ(style.dimasz, 0.18);
    EXPECT_EQ(style.dimexo, 0.0625);
    EXPECT_EQ(style.dimdli, 0.38);
    EXPECT_EQ(style.dimexe, 0.18);
    EXPECT_EQ(style.dimtxt, 0.18);
    EXPECT_EQ(style.dimcen, 0.09);
    EXPECT_EQ(style.dimgap, 0.09);
    EXPECT_EQ(style.dimaltf, 25.4);
    EXPECT_EQ(style.dimlfac, 1.0);
    EXPECT_EQ(style.dimtfac, 1.0);
    EXPECT_EQ(style.dimtih, 1);
    EXPECT_EQ(style.dimtoh, 1);
    EXPECT_EQ(style.dimtolj, 1);
    EXPECT_EQ(style.dimaltd, 2);
    EXPECT_EQ(style.dimalttd, 2);
    EXPECT_EQ(style.dimaltu, 2);
    EXPECT_EQ(style.dimlunit, 2);
    EXPECT_EQ(style.dimdec, 4);
    EXPECT_EQ(style.dimtdec, 4);
    EXPECT_EQ(style.dimatfit, 3);
    EXPECT_EQ(style.dimtad, 0);
    EXPECT_EQ(style.dimpost, "");

    HeaderBlock header;
    header.dimpost = "<> mm";
    header.dimclrt = 3;
    header.dimlwd = -2;
    header.dimatfit = 1;
    dbDimStyleFromHeader(header, style);
    EXPECT_EQ(style.dimpost, "<> mm");
    EXPECT_EQ(style.dimclrt, 3);
    EXPECT_EQ(style.dimlwd, -2);
    EXPECT_EQ(style.dimatfit, 1);
}

TEST(DefaultRecordTemplates, PlainRecords) {
    LinetypeRecord linetype;
    linetype.dashes[3].length = 5;
    dbInitLinetypeRecord(linetype);
    EXPECT_EQ(linetype.alignment, 'A');
    EXPECT_EQ(linetype.flags, 64);
    for (const LinetypeDash& dash : linetype.dashes) {
        EXPECT_EQ(dash.length, 0.0);
        EXPECT_EQ(dash.scale, 1.0);
    }
    EXPECT_TRUE(linetype.textArea.empty());

    StyleRecord style;
    dbInitStyleRecord(style);
    EXPECT_EQ(style.widthFactor, 1.0);

    UcsRecord ucs;
    dbInitUcsRecord(ucs);
    EXPECT_EQ(ucs.origin, (Point3{0, 0, 0}));
    EXPECT_EQ(ucs.xAxis, (Point3{1, 0, 0}));
    EXPECT_EQ(ucs.yAxis, (Point3{0, 1, 0}));

    AppIdRecord appId;
    appId.handle = Handle(5);
    dbInitAppIdRecord(appId);
    EXPECT_EQ(appId, AppIdRecord{});
}

class DefaultRecords : public test::AllocatedDrawingTest {
protected:
    void SetUp() override {
        AllocatedDrawingTest::SetUp();
        drawing->handleSeed = Handle(0x40);
    }
};

TEST_F(DefaultRecords, HandlesComeFromTheSetOrTheSeed) {
    HandleSet handles{};
    handles[kHandleSetContinuousLinetype] = Handle(0x99);
    ASSERT_EQ(dbAddContinuousLinetype(*drawing, &handles), 1);
    ASSERT_EQ(dbAddByBlockByLayerLinetypes(*drawing, &handles), 1); // zero entries: new handles
    ASSERT_EQ(dbAddAcadAppId(*drawing, nullptr), 1);
    EXPECT_EQ(drawing->handles.byBlockLinetype, Handle(0x40));
    EXPECT_EQ(drawing->handles.byLayerLinetype, Handle(0x41));
    std::vector<uint64_t> handlesOfLinetypes;
    for (auto& node : drawing->linetypes) handlesOfLinetypes.push_back(node.record.handle.value);
    EXPECT_EQ(handlesOfLinetypes, (std::vector<uint64_t>{0x99, 0x40, 0x41}));
    EXPECT_EQ(drawing->appIds.begin()->record.handle, Handle(0x42));
    EXPECT_EQ(drawing->handleSeed, Handle(0x43));
}

TEST_F(DefaultRecords, ByLayerIsNotAddedWhenByBlockFails) {
    HandleSet handles{};
    handles[kHandleSetAcadAppId] = Handle(0x7);
    handles[kHandleSetByBlockLinetype] = Handle(0x7);
    handles[kHandleSetByLayerLinetype] = Handle(0x8);
    ASSERT_EQ(dbAddAcadAppId(*drawing, &handles), 1);
    EXPECT_EQ(dbAddByBlockByLayerLinetypes(*drawing, &handles), 0);
    EXPECT_EQ(dbGetError(), 172);
    EXPECT_EQ(dbListCount(&drawing->linetypes), 0);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, Handle(0x8)), nullptr);
}

TEST_F(DefaultRecords, LayerZeroTakesTheFirstLinetypeAndThePlotStyleNormal) {
    ASSERT_EQ(dbAddContinuousLinetype(*drawing, nullptr), 1); // 0x40
    ASSERT_EQ(dbAddLayerZero(*drawing, nullptr), 1);         // 0x41
    const LayerRecord& zero = drawing->layers.begin()->record;
    EXPECT_EQ(zero.name, "0");
    EXPECT_EQ(zero.colour, 7);
    EXPECT_EQ(zero.linetype, Handle(0x40));
    EXPECT_EQ(zero.plotStyle, Handle()) << "no ACAD_PLOTSTYLENAME dictionary";
    EXPECT_EQ(zero.drawing, drawing);

    // Named object dictionary -> ACAD_PLOTSTYLENAME -> "Normal".
    ObjectRecord root;
    root.header.type = kObjectDictionary;
    root.header.handle = Handle(0x50);
    root.body = DictionaryBody{{{"ACAD_GROUP", Handle(0x52)}, {"ACAD_PLOTSTYLENAME", Handle(0x51)}}};
    ASSERT_EQ(dbAddObject(drawing, root), 1);
    ObjectRecord plotStyles;
    plotStyles.header.type = kObjectDictionary;
    plotStyles.header.handle = Handle(0x51);
    plotStyles.body = DictionaryBody{{{"Other", Handle(0x53)}, {"Normal", Handle(0x54)}}};
    ASSERT_EQ(dbAddObject(drawing, plotStyles), 1);
    LayerRecord layer;
    dbInitLayerRecord(*drawing, layer);
    EXPECT_EQ(layer.plotStyle, Handle(0x54));
}

TEST_F(DefaultRecords, TheStandardRecords) {
    ASSERT_EQ(dbAddStandardStyle(*drawing, nullptr), 1); // 0x40
    ASSERT_EQ(dbAddStandardDimStyle(*drawing, nullptr), 1);
    const StyleRecord& style = drawing->styles.begin()->record;
    EXPECT_EQ(style.name, "Standard");
    EXPECT_EQ(style.fontFile, "txt");
    EXPECT_EQ(style.widthFactor, 1.0);
    EXPECT_EQ(style.flags, 0) << "a text style, not a shape file";
    const DimStyleRecord& dimStyle = drawing->dimStyles.begin()->record;
    EXPECT_EQ(dimStyle.name, "Standard");
    EXPECT_EQ(dimStyle.dimtxsty, Handle(0x40));
    EXPECT_EQ(dimStyle.dimasz, 0.18);
    EXPECT_EQ(dimStyle.handle, Handle(0x41));
}

} // namespace
} // namespace tracemill
