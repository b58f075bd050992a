// Starts the toolkit before each test and stops it after, so no state leaks between tests.
#pragma once

#include <gtest/gtest.h>

#include "toolkit/core/system_context.h"

namespace tracemill::test {

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(gSystemContext, nullptr) << "a previous test left the toolkit running";
        gSystemContext = new SystemContext();
    }
    void TearDown() override {
        delete gSystemContext;
        gSystemContext = nullptr;
    }
};

} // namespace tracemill::test
