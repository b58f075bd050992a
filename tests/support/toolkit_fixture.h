// Starts the toolkit before each test and stops it after, so no state leaks between tests:
// the built-in init data, the system context and the toolkit's global state, as the host
// starts them.
#pragma once

#include <gtest/gtest.h>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit/read/dwg_driver.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dxf_driver.h"

namespace tracemill::test {

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(gSystemContext, nullptr) << "a previous test left the toolkit running";
        dbSetInitDataMemoryBlock({});
        dbUseBuiltinInitData();
        int error = 0;
        ASSERT_EQ(dbCreateSystemContext(nullptr, error), 1) << "error " << error;
        dbInstallDwgReaderTable();
        dbInstallDxfReaderTable();
        dbSetReferenceOpener(rdOpenXrefDrawing);
        ASSERT_EQ(dbInitToolkit(), 1);
    }
    void TearDown() override {
        dbTermToolkit();
        dbDestroySystemContext();
    }
};

} // namespace tracemill::test
