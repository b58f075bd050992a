// A new drawing per test, with the small helpers the database tests share.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_access.h"
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

    // Names that object in the named object dictionary, in place of an entry of the same name
    // (a new 2000 drawing has ACAD_PLOTSTYLENAME and the other standard dictionaries).
    void nameInRoot(const std::string& name, Handle object) {
        ObjectRecord* root = dbFindStoredObject(drawing, drawing->handles.namedObjectDictionary);
        ASSERT_NE(root, nullptr);
        auto& entries = root->bodyAs<DictionaryBody>().entries;
        std::erase_if(entries, [&](const DictionaryEntry& entry) { return entry.name == name; });
        entries.push_back({name, object});
    }
    // Takes the entry of that name out of the named object dictionary.
    void unnameInRoot(const std::string& name) {
        ObjectRecord* root = dbFindStoredObject(drawing, drawing->handles.namedObjectDictionary);
        ASSERT_NE(root, nullptr);
        std::erase_if(root->bodyAs<DictionaryBody>().entries,
                      [&](const DictionaryEntry& entry) { return entry.name == name; });
    }

    Drawing* drawing = nullptr;
};

// A drawing as the loader allocates it: the header template and empty tables.
class AllocatedDrawingTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        drawing = dbAllocDrawing();
        ASSERT_NE(drawing, nullptr);
        drawing->header = std::make_unique<HeaderBlock>();
        dbInitHeader(*drawing->header);
    }
    void TearDown() override {
        dbFreeDrawing(drawing);
        drawing = nullptr;
        ToolkitTest::TearDown();
    }

    // Adds an object of that kind, handle and body; returns it.
    ObjectRecord addObject(uint16_t type, uint64_t handle, ObjectBody body) {
        ObjectRecord object;
        object.header.type = type;
        object.header.handle = Handle(handle);
        object.body = std::move(body);
        EXPECT_EQ(dbAddObject(drawing, object), 1);
        return object;
    }

    Drawing* drawing = nullptr;
};

} // namespace tracemill::test
