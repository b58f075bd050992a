// A new drawing with the output hook table and a display context, for the database operations
// that read the display's state.
#pragma once

#include <memory>

#include "drawing_fixture.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_context.h"

namespace tracemill::test {

class DisplayDrawingTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        ASSERT_EQ(dbCreateOutputHookTable(), 1);
    }
    void TearDown() override {
        dbDestroyOutputHookTable();
        DrawingTest::TearDown();
    }
    // The drawing's display context, made on first use.
    DisplayContext& display() {
        if (!drawing->displayContext) drawing->displayContext = genNewDisplayContext();
        return *drawing->displayContext;
    }
};

} // namespace tracemill::test
