// A new drawing displayed through the recording hook set (display-list mode off), with helpers
// that build entities and state a view. The default view maps world (x, y) to device (x + 0.5, y + 0.5) on a 100 x 100
// device, so that a world point with integer coordinates lands on the same device integers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../core/drawing_fixture.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_recorder.h"

namespace tracemill::test {

class DisplayTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        // These tests check what a pass draws straight onto the device; the display-list cache,
        // through which a host's passes go while its mode is on, has tests of its own.
        dbSetDisplayListMode(0);
        recorder.install();
    }
    void TearDown() override {
        recorder.uninstall();
        DrawingTest::TearDown();
    }

    static constexpr HostRect kDevice{0, 0, 100, 100};

    // The view of the square (0, 0)-(100, 100).
    static ViewBlock squareView() {
        ViewBlock view;
        view.target = {50.0, 50.0, 0.0, 1.0};
        view.width = 100.0;
        view.height = 100.0;
        return view;
    }

    // Gives the drawing its display context and states the square view.
    void begin(Drawing* d = nullptr, HostRect rect = kDevice, ViewBlock view = squareView()) {
        d = d ? d : drawing;
        ViewBlock stored;
        ASSERT_EQ(genBeginDisplay(d, stored, rect, nullptr, nullptr), 1);
        genPrepareView(d, view, rect, nullptr);
    }
    DisplayContext& context(Drawing* d = nullptr) { return *(d ? d : drawing)->displayContext; }

    // Views the world square (0, 0)-(size, size) one to one on a device of size x size and
    // readies the context to draw an entity of that kind, as the vectoriser does; returns the
    // per-viewport world-to-device matrices the drawers take.
    std::vector<Matrix4> beginSquareGrid(int size, uint16_t kind) {
        ViewBlock view = squareView();
        view.target = {size / 2.0, size / 2.0, 0.0, 1.0};
        view.width = view.height = double(size);
        begin(nullptr, {0, 0, size, size}, view);
        context().planMask = 1;
        context().entity = DrawnEntity{};
        context().entity.kind = kind;
        std::vector<Matrix4> matrices;
        for (int i = 0; i < context().viewportCount; ++i) matrices.push_back(context().viewports[size_t(i)].worldToDevice);
        recorder.clear();
        return matrices;
    }

    // Draws the drawing and returns the move-to and line-to lines recorded.
    std::vector<std::string> drawStrokes() {
        recorder.clear();
        EXPECT_EQ(genDrawDrawing(drawing), 1);
        return strokes();
    }
    std::vector<std::string> strokes() const {
        std::vector<std::string> found;
        for (const std::string& line : recorder.lines()) {
            if (line.starts_with("moveTo") || line.starts_with("lineTo")) found.push_back(line);
        }
        return found;
    }

    EntityRecord entity(uint16_t type) {
        EntityRecord e;
        e.header.type = type;
        dbInitEntity(drawing, e);
        e.header.handle = dbNewHandle(*drawing);
        return e;
    }
    EntityRecord lineFrom(Point3 a, Point3 b) {
        EntityRecord e = entity(kEntityLine);
        e.bodyAs<LineBody>() = {a, b};
        return e;
    }
    EntityRecord lwpolyline(const std::vector<Point2>& points, int16_t flags = 0) {
        EntityRecord e = entity(dbClassLwpolyline(drawing->classes));
        LwpolylineBody& body = e.bodyAs<LwpolylineBody>();
        body.flags = flags;
        for (const Point2& p : points) body.vertices.push_back({p, 0.0, 0.0, 0.0});
        return e;
    }
    EntityRecord insertOf(Handle block, Point3 at) {
        EntityRecord e = entity(kEntityInsert);
        InsertBody& body = e.bodyAs<InsertBody>();
        body.block = block;
        body.insertion = at;
        body.scale = {1.0, 1.0, 1.0};
        body.columnCount = 1;
        body.rowCount = 1;
        return e;
    }
    // A paper-space VIEWPORT looking down at `viewCentre` (its id and status both `id`; id 1 is
    // the sheet itself).
    EntityRecord viewportOf(int16_t id, Point3 centre, double width, double height, double viewHeight,
                            Point2 viewCentre) {
        EntityRecord e = entity(kEntityViewport);
        e.header.flags |= kEntityInPaperSpace;
        ViewportBody& body = e.bodyAs<ViewportBody>();
        body.id = id;
        body.status = id;
        body.viewDirection = {0, 0, 1};
        body.centre = centre;
        body.width = width;
        body.height = height;
        body.viewHeight = viewHeight;
        body.viewCentre = viewCentre;
        return e;
    }
    // Appends to model space (or the list given); returns the entity's handle.
    Handle add(EntityRecord e, EntityList* list = nullptr) {
        const Handle handle = e.header.handle;
        EXPECT_EQ(dbAppendEntity(drawing, list ? list : drawing->modelSpace, std::move(e)), 1);
        return handle;
    }
    // Deletes every entity of model space.
    void clearModelSpace() {
        while (drawing->modelSpace->first) {
            const Handle handle = EntityList::asNode(drawing->modelSpace->first)->record.header.handle;
            ASSERT_EQ(dbDeleteEntity(drawing, drawing->modelSpace, handle), 1);
        }
    }
    Handle addLayer(const std::string& name, int16_t colour, uint8_t flags = 0) {
        LayerRecord layer;
        layer.name = name;
        layer.colour = colour;
        layer.flags = flags;
        layer.handle = dbNewHandle(*drawing);
        dbLtypeFindByName(drawing, "CONTINUOUS", layer.linetype);
        EXPECT_EQ(dbLayerAdd(drawing, layer), 1);
        return layer.handle;
    }
    // Adds an object with a new handle; returns the handle.
    Handle addObject(uint16_t type, ObjectBody body) {
        ObjectRecord object;
        object.header.type = type;
        object.header.handle = dbNewHandle(*drawing);
        object.body = std::move(body);
        EXPECT_EQ(dbAddObject(drawing, object), 1);
        return object.header.handle;
    }
    Handle layerZero() {
        Handle handle;
        EXPECT_EQ(dbLayerFindByName(drawing, "0", handle), 1);
        return handle;
    }

    HookRecorder recorder;
};

} // namespace tracemill::test
