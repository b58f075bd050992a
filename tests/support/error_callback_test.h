// A toolkit test that records the reasons the toolkit's error callback is called with.
#pragma once

#include <algorithm>
#include <vector>

#include "toolkit/core/system_context.h"
#include "toolkit_fixture.h"

namespace tracemill::test {

// The reasons the error callback was called with since recordErrorReasons installed it.
inline std::vector<int>& recordedErrorReasons() {
    static std::vector<int> recorded;
    return recorded;
}

inline void recordErrorReasons() {
    recordedErrorReasons().clear();
    gSystemContext->errorCallback = [](int reason) { recordedErrorReasons().push_back(reason); };
}

class ErrorCallbackTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        recordErrorReasons();
    }
    // How often the callback was called with a reason.
    static int callbacks(int reason) {
        return int(std::count(recordedErrorReasons().begin(), recordedErrorReasons().end(), reason));
    }
    static void forgetCallbacks() { recordedErrorReasons().clear(); }
};

} // namespace tracemill::test
