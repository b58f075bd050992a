// The layers and linetypes of an external-reference drawing while its host draws it: named
// "block|name", layer "0" as the host layer of the reference, the host's retained overrides,
// and everything back as it was after the restore.
#include "toolkit/display/xref_layer_state.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "toolkit/display/display_context.h"

namespace tracemill {
namespace {

using test::ToolkitTest;

Handle addLayer(Drawing* drawing, const std::string& name, int16_t colour, Handle linetype = Handle()) {
    LayerRecord layer;
    layer.name = name;
    layer.colour = colour;
    layer.linetype = linetype;
    layer.drawing = drawing;
    layer.handle = dbNewHandle(*drawing);
    EXPECT_EQ(dbLayerAdd(drawing, layer), 1);
    return layer.handle;
}

Handle addLinetype(Drawing* drawing, const std::string& name, const std::string& description) {
    LinetypeRecord linetype;
    linetype.name = name;
    linetype.description = description;
    linetype.drawing = drawing;
    linetype.handle = dbNewHandle(*drawing);
    EXPECT_EQ(dbLtypeAdd(drawing, linetype), 1);
    return linetype.handle;
}

// The first layer of a drawing is its layer "0".
Handle layerZero(Drawing* drawing) {
    if (dbLayerCount(drawing) == 0) return addLayer(drawing, "0", 7);
    return static_cast<StoredRecord<LayerRecord>*>(drawing->layers.first)->record.handle;
}

LayerRecord layerOf(Drawing* drawing, Handle handle) {
    LayerRecord record;
    EXPECT_EQ(dbLayerGet(drawing, handle, record), 1);
    return record;
}

LinetypeRecord linetypeOf(Drawing* drawing, Handle handle) {
    LinetypeRecord record;
    EXPECT_EQ(dbLtypeGet(drawing, handle, record), 1);
    return record;
}

class XrefLayerState : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        host = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
        xref = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
        ASSERT_TRUE(host && xref);
        layerZero(host);
        hostHidden = addLinetype(host, "HIDDEN", "host hidden");
        hostXrefDashed = addLinetype(host, "P|DASHED", "host copy of dashed");
        hostLayer = addLayer(host, "HOSTLAYER", 5, hostHidden);
        LayerRecord record = layerOf(host, hostLayer);
        record.lineweight = 35;
        record.plotStyle = Handle(0x99);
        ASSERT_EQ(dbLayerUpdate(host, record), 1);

        xrefZero = layerZero(xref);
        dashed = addLinetype(xref, "DASHED", "own dashed");
        center = addLinetype(xref, "CENTER", "own center");
        walls = addLayer(xref, "WALLS", 1, dashed);
        doors = addLayer(xref, "DOORS", 2, center);

        xref->displayContext = genNewDisplayContext();
        xref->displayContext->ownerDrawing = host;
        xref->displayContext->xrefBlockName = "P";
    }
    void TearDown() override {
        dbFreeDrawing(host);
        dbFreeDrawing(xref);
        ToolkitTest::TearDown();
    }

    std::vector<LayerRecord> layers(Drawing* drawing) {
        std::vector<LayerRecord> records;
        for (const auto& node : drawing->layers) records.push_back(node.record);
        return records;
    }
    std::vector<LinetypeRecord> linetypes(Drawing* drawing) {
        std::vector<LinetypeRecord> records;
        for (const auto& node : drawing->linetypes) records.push_back(node.record);
        return records;
    }

    Drawing* host = nullptr;
    Drawing* xref = nullptr;
    Handle hostHidden, hostXrefDashed, hostLayer, xrefZero, dashed, center, walls, doors;
};

TEST_F(XrefLayerState, NamesArePrefixedWhileAppliedAndRestoredExactly) {
    const std::vector<LayerRecord> layersBefore = layers(xref);
    const std::vector<LinetypeRecord> linetypesBefore = linetypes(xref);
    std::unique_ptr<LayerStateSnapshot> snapshot = dbSaveLayerState(xref);
    ASSERT_TRUE(snapshot);

    ASSERT_EQ(dbApplyXrefLayerState(xref, layerOf(host, hostLayer)), 1);
    const LayerRecord wallsApplied = layerOf(xref, walls);
    EXPECT_EQ(wallsApplied.name, "P|WALLS");
    EXPECT_EQ(wallsApplied.colour, 1) << "VISRETAIN 0: the layer keeps its own colour";
    EXPECT_EQ(wallsApplied.linetype, dashed);
    EXPECT_EQ(layerOf(xref, doors).name, "P|DOORS");
    EXPECT_EQ(linetypeOf(xref, center).name, "P|CENTER");
    EXPECT_EQ(linetypeOf(xref, center).description, "own center");

    const LayerRecord zero = layerOf(xref, xrefZero);
    EXPECT_EQ(zero.name, "HOSTLAYER");
    EXPECT_EQ(zero.colour, 5);
    EXPECT_EQ(zero.linetype, hostHidden);
    EXPECT_EQ(zero.lineweight, 35);
    EXPECT_EQ(zero.plotStyle, Handle(0x99));
    EXPECT_EQ(zero.drawing, host) << "its linetype and plot style are the host's";

    const LinetypeRecord dashedApplied = linetypeOf(xref, dashed);
    EXPECT_EQ(dashedApplied.name, "P|DASHED");
    EXPECT_EQ(dashedApplied.description, "host copy of dashed") << "the host's record of that name";
    EXPECT_EQ(dashedApplied.handle, dashed);

    ASSERT_EQ(dbRestoreLayerState(xref, snapshot), 1);
    EXPECT_FALSE(snapshot);
    EXPECT_EQ(layers(xref), layersBefore);
    EXPECT_EQ(linetypes(xref), linetypesBefore);
}

TEST_F(XrefLayerState, RetainedHostOverridesApply) {
    host->header->visretain = 1;
    const Handle hostWalls = addLayer(host, "p|walls", -3, hostXrefDashed);
    LayerRecord kept = layerOf(host, hostWalls);
    kept.flags = kLayerFrozen | kLayerLocked;
    kept.lineweight = 50;
    kept.plotStyle = Handle(0x98);
    ASSERT_EQ(dbLayerUpdate(host, kept), 1);
    const Handle hostDoors = addLayer(host, "P|DOORS", 4, hostHidden);

    ASSERT_EQ(dbApplyXrefLayerState(xref, layerOf(host, hostLayer)), 1);
    const LayerRecord wallsApplied = layerOf(xref, walls);
    EXPECT_EQ(wallsApplied.colour, -3) << "off in the host";
    EXPECT_EQ(wallsApplied.flags & kLayerFrozen, kLayerFrozen);
    EXPECT_EQ(wallsApplied.flags & kLayerLocked, 0) << "only the frozen bit comes from the host";
    EXPECT_EQ(wallsApplied.lineweight, 50);
    EXPECT_EQ(wallsApplied.plotStyle, Handle(0x98));
    EXPECT_EQ(wallsApplied.linetype, dashed) << "the host's P|DASHED is this drawing's DASHED";
    EXPECT_EQ(wallsApplied.drawing, xref);

    const LayerRecord doorsApplied = layerOf(xref, doors);
    EXPECT_EQ(doorsApplied.colour, 4);
    EXPECT_EQ(doorsApplied.linetype, hostHidden) << "a linetype of the host's own";
    EXPECT_EQ(doorsApplied.drawing, host);
    (void)hostDoors;
}

TEST_F(XrefLayerState, ADrawingThatIsItsOwnHostIsLeftAlone) {
    xref->displayContext->ownerDrawing = xref;
    const std::vector<LayerRecord> before = layers(xref);
    ASSERT_EQ(dbApplyXrefLayerState(xref, layerOf(host, hostLayer)), 1);
    EXPECT_EQ(layers(xref), before);
}

TEST_F(XrefLayerState, ARestoreSkipsRecordsNoLongerThere) {
    std::unique_ptr<LayerStateSnapshot> snapshot = dbSaveLayerState(xref);
    ASSERT_EQ(dbApplyXrefLayerState(xref, layerOf(host, hostLayer)), 1);
    ASSERT_EQ(dbLtypeDelete(xref, center), 1);
    EXPECT_EQ(dbRestoreLayerState(xref, snapshot), 0);
    EXPECT_EQ(layerOf(xref, walls).name, "WALLS") << "the other records are restored";
    EXPECT_EQ(linetypeOf(xref, dashed).name, "DASHED");
    std::unique_ptr<LayerStateSnapshot> none;
    EXPECT_EQ(dbRestoreLayerState(xref, none), 0);
}

} // namespace
} // namespace tracemill
