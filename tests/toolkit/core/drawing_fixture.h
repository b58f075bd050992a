// A new drawing per test, with the small helpers the database tests share.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit_fixture.h"

namespace tracemill::test {

class DrawingTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
        ASSERT_NE(drawing, nullptr);
    }
    void TearDown() override {
        dbFreeDrawing(drawing);
        drawing = nullptr;
        ToolkitTest::TearDown();
    }

    // A LINE from (x, 0, 0) to (x, 1, 0) with a new handle.
    EntityRecord line(double x) {
        EntityRecord entity;
        entity.header.type = kEntityLine;
        dbInitEntity(drawing, entity);
        entity.header.handle = dbNewHandle(*drawing);
        entity.bodyAs<LineBody>() = {{x, 0, 0}, {x, 1, 0}};
        return entity;
    }

    // Adds a block record of that name with a new handle; returns the handle.
    Handle addBlock(const std::string& name) {
        BlockRecord block;
        block.name = name;
        block.handle = dbNewHandle(*drawing);
        EXPECT_EQ(dbBlockAdd(drawing, block), 1) << name;
        return block.handle;
    }

    Drawing* drawing = nullptr;
};

} // namespace tracemill::test
