// A new drawing complete in memory: its default records, their handles and the header's
// current entries, as a reader will later fill a drawing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "toolkit/core/object_access.h"

namespace tracemill {
namespace {

using test::DrawingTest;

class NewDrawing : public test::ToolkitTest {};

template <class List>
std::vector<std::pair<std::string, uint64_t>> recordsOf(List& list) {
    std::vector<std::pair<std::string, uint64_t>> records;
    for (auto& node : list) records.emplace_back(node.record.name, node.record.handle.value);
    return records;
}

using Records = std::vector<std::pair<std::string, uint64_t>>;

// Handles by hand: the ten controls but the viewport-entity-header control 1-9, the space
// block records A and B, that control C, BLOCK/ENDBLK D-10, then the default records in the
// order of creation, then the dictionaries and the multiline style.
TEST_F(DrawingTest, DefaultRecordsAreNumberedAfterTheFixedHandles) {
    EXPECT_EQ(recordsOf(drawing->linetypes), (Records{{"Continuous", 0x13}, {"ByBlock", 0x11}, {"ByLayer", 0x12}}));
    EXPECT_EQ(recordsOf(drawing->layers), (Records{{"0", 0x14}}));
    EXPECT_EQ(recordsOf(drawing->vports), (Records{{"*ACTIVE", 0x15}}));
    EXPECT_EQ(recordsOf(drawing->appIds), (Records{{"ACAD", 0x16}}));
    EXPECT_EQ(recordsOf(drawing->styles), (Records{{"Standard", 0x17}}));
    EXPECT_EQ(recordsOf(drawing->dimStyles), (Records{{"Standard", 0x18}}));
    EXPECT_EQ(recordsOf(drawing->ucss), Records{});
    EXPECT_EQ(recordsOf(drawing->views), Records{});
    EXPECT_EQ(drawing->handles.byBlockLinetype, Handle(0x11));
    EXPECT_EQ(drawing->handles.byLayerLinetype, Handle(0x12));
    EXPECT_EQ(drawing->handles.namedObjectDictionary, Handle(0x19));
    EXPECT_EQ(drawing->handles.groupDictionary, Handle(0x1A));
    EXPECT_EQ(drawing->handles.mlineStyleDictionary, Handle(0x1B));
    EXPECT_EQ(drawing->header->current.cmlstyle, Handle(0x1C));
    // The plot styles, layouts and plot settings of a 2000 drawing take 0x1D to 0x22.
    EXPECT_EQ(drawing->handleSeed, Handle(0x23));
    EXPECT_EQ(drawing->header->handseed, Handle(0x23));
}

TEST_F(DrawingTest, CurrentEntriesAreTheFirstRecords) {
    const CurrentEntryHandles& current = drawing->header->current;
    EXPECT_EQ(current.celtype, Handle(0x13)) << "Continuous, added at the front";
    EXPECT_EQ(current.clayer, Handle(0x14));
    EXPECT_EQ(current.textstyle, Handle(0x17));
    EXPECT_EQ(current.dimtxsty, Handle(0x17));
    EXPECT_EQ(current.dimstyle, Handle(0x18));
    EXPECT_EQ(current.pucsname, Handle());
    EXPECT_EQ(current.ucsname, Handle());
}

TEST_F(DrawingTest, DefaultRecordContents) {
    const LayerRecord& zero = drawing->layers.begin()->record;
    EXPECT_EQ(zero.colour, 7);
    EXPECT_EQ(zero.linetype, Handle(0x13));
    EXPECT_EQ(zero.owner, drawing->handles.layerControl);
    const LinetypeRecord& continuous = drawing->linetypes.begin()->record;
    EXPECT_EQ(continuous.description, "Solid line");
    EXPECT_EQ(continuous.alignment, 'A');
    const VportRecord& active = drawing->vports.begin()->record;
    EXPECT_EQ(active.centre, (Point2{6.59129, 4.57918}));
    EXPECT_EQ(active.height, 9.15837);
    EXPECT_EQ(active.direction, (Point3{0, 0, 1}));
    const StyleRecord& standard = drawing->styles.begin()->record;
    EXPECT_EQ(standard.fontFile, "txt");
    const DimStyleRecord& dimStyle = drawing->dimStyles.begin()->record;
    EXPECT_EQ(dimStyle.dimtxsty, Handle(0x17));
    EXPECT_EQ(dimStyle.dimscale, drawing->header->dimscale);
    EXPECT_EQ(dimStyle.dimasz, drawing->header->dimasz);
}

TEST_F(NewDrawing, AHandleSetNamesTheDefaultRecords) {
    HandleSet set{};
    for (int i = 0; i < kHandleSetSize; ++i) set[size_t(i)] = Handle(0x100 + i);
    Drawing* drawing = dbCreateDrawing(&set, nullptr, 0, kVersionIndex2000);
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(recordsOf(drawing->linetypes), (Records{{"Continuous", 0x112}, {"ByBlock", 0x110}, {"ByLayer", 0x111}}));
    EXPECT_EQ(recordsOf(drawing->layers), (Records{{"0", 0x113}}));
    EXPECT_EQ(recordsOf(drawing->vports), (Records{{"*ACTIVE", 0x114}}));
    EXPECT_EQ(recordsOf(drawing->appIds), (Records{{"ACAD", 0x115}}));
    EXPECT_EQ(recordsOf(drawing->styles), (Records{{"Standard", 0x116}}));
    EXPECT_EQ(recordsOf(drawing->dimStyles), (Records{{"Standard", 0x117}}));
    EXPECT_EQ(drawing->handleSeed, Handle(0x100 + kHandleSetSize));
    dbFreeDrawing(drawing);
}

TEST_F(NewDrawing, GivenClassesReplaceTheDefaults) {
    ClassEntry classes[2];
    classes[0].number = 600;
    classes[0].dxfName = "HATCH";
    classes[1].number = 601;
    classes[1].dxfName = "MYCLASS";
    Drawing* drawing = dbCreateDrawing(nullptr, classes, 2, kVersionIndex2000);
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(dbCountClasses(drawing->classes), 2);
    EXPECT_EQ(dbClassHatch(drawing->classes), 600);
    dbFreeDrawing(drawing);

    gSystemContext->extraClasses = 1;
    drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(dbCountClasses(drawing->classes), 24);
    EXPECT_EQ(dbClassArcAlignedText(drawing->classes), 523);
    dbFreeDrawing(drawing);
}

} // namespace
} // namespace tracemill
