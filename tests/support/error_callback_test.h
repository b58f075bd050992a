// A toolkit test that records the reasons the toolkit's error callback is called with.
#pragma once

#include <algorithm>
#include <vector>

#include "toolkit/core/system_context.h"
#include "toolkit_fixture.h"

namespace tracemill::test {

class ErrorCallbackTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        reasons().clear();
        gSystemContext->errorCallback = [](int reason) { reasons().push_back(reason); };
    }
    // How often the callback was called with a reason.
    static int callbacks(int reason) { return int(std::count(reasons().begin(), reasons().end(), reason)); }
    static void forgetCallbacks() { reasons().clear(); }

private:
    static std::vector<int>& reasons() {
        static std::vector<int> recorded;
        return recorded;
    }
};

} // namespace tracemill::test
