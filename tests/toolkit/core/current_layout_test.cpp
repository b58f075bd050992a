#include "toolkit/core/current_layout.h"

#include <gtest/gtest.h>

#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/symbol_tables.h"
#include "drawing_fixture.h"

namespace tracemill {
namespace {

class CurrentLayout : public test::AllocatedDrawingTest {
protected:
    void SetUp() override {
        AllocatedDrawingTest::SetUp();
        drawing->versionIndex = kVersionIndex2000;
        dbAddDefaultClasses(drawing->classes);
    }
};

TEST_F(CurrentLayout, TheCurrentLayoutIsTheOneItsSpaceBlockNames) {
    const uint16_t layoutClass = dbClassLayout(drawing->classes);
    LayoutBody model;
    model.name = "Model";
    LayoutBody sheet;
    sheet.name = "Layout1";
    addObject(layoutClass, 0x30, model);
    addObject(layoutClass, 0x31, sheet);
    addObject(kObjectDictionary, 0x32, DictionaryBody{});
    Handle space[2] = {Handle(0x40), Handle(0x41)};
    for (int i = 0; i < 2; ++i) {
        BlockRecord block;
        block.name = i == 0 ? "*Model_Space" : "*Paper_Space";
        block.handle = space[i];
        block.layout = Handle(0x30 + i);
        ASSERT_EQ(dbBlockAdd(drawing, block), 1);
    }
    drawing->handles.modelSpaceBlock = space[0];
    drawing->handles.paperSpaceBlock = space[1];

    LayoutBody current;
    ASSERT_EQ(dbApplyCurrentLayout(drawing, true, current), 1);
    EXPECT_EQ(current.name, "Layout1");
    ASSERT_EQ(dbApplyCurrentLayout(drawing, false, current), 1);
    EXPECT_EQ(current.name, "Model");

    BlockRecord block;
    ASSERT_EQ(dbBlockGet(drawing, space[1], block), 1);
    block.layout = Handle(0x32); // a dictionary, not a LAYOUT
    ASSERT_EQ(dbBlockUpdate(drawing, block), 1);
    EXPECT_EQ(dbApplyCurrentLayout(drawing, true, current), 0);

    drawing->versionIndex = 6;
    EXPECT_EQ(dbApplyCurrentLayout(drawing, false, current), 0);
}

} // namespace
} // namespace tracemill
