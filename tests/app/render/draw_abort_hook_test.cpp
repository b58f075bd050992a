#include "app/render/draw_abort_hook.h"
#include "app/render/drawing_object.h"
#include "app/services/progress_dialog.h"
#include "app/services/progress_step.h"
#include "host_test_support.h"
#include "toolkit/core/drawing.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_counter.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill::test {
namespace {

// The percentage at which the user presses Stop during a pass; above 100: never.
int stopAtPercent = 1000;

void progressWithStop(int32_t percent, HostWord host) {
    if (percent >= stopAtPercent) GetMainProgressDialog()->OnStop();
    ToolkitProgressCallback(percent, host);
}

// A drawing of forty lines, displayed with the drawing object as its host word, the main
// frame's progress dialog running and the primitives counted.
class DrawAbort : public HostCallbackTest {
protected:
    void SetUp() override {
        HostCallbackTest::SetUp();
        drawing = rdOpenDrawing(folder.write("lines.dxf", linesDxf(40)).c_str(), kOpenOrdinary, 0);
        ASSERT_NE(drawing, nullptr);
        ViewBlock view;
        const HostRect device{0, 0, 100, 100};
        ASSERT_EQ(genBeginDisplay(drawing, view, device, nullptr, nullptr), 1);
        view.target = {20, 5, 0, 1};
        view.width = 60;
        view.height = 60;
        genPrepareView(drawing, view, device, nullptr);
        drawingObject.SetDrawing(drawing);
        dbSetHostContext(drawing, &drawingObject);
        SetMainProgressDialog(&dialog);
        dialog.SetRange(0, 100);
        dialog.Begin();
        counter.install();
        stopAtPercent = 1000;
    }
    void TearDown() override {
        counter.uninstall();
        SetDrawAbortHook(false);
        SetMainProgressDialog(nullptr);
        dbFreeDrawing(drawing);
        HostCallbackTest::TearDown();
    }

    TempFolder folder;
    Drawing* drawing = nullptr;
    CDrawingObject drawingObject;
    CProgressDialog dialog;
    HookCounter counter;
};

TEST_F(DrawAbort, TheHookIsInstalledOnlyWhileSwitchedOn) {
    SetDrawAbortHook(true);
    EXPECT_TRUE(GetDrawAbortHook());
    EXPECT_EQ(gOutputHookTable->progress, ToolkitProgressCallback);
    SetDrawAbortHook(false);
    EXPECT_FALSE(GetDrawAbortHook());
    EXPECT_EQ(gOutputHookTable->progress, nullptr);
}

TEST_F(DrawAbort, AWholePassMovesTheBarAndKeepsTheDisplay) {
    SetDrawAbortHook(true);
    EXPECT_EQ(genDrawDrawing(drawing), 1);
    EXPECT_EQ(counter.count(1), 40u); // one line-to per line
    EXPECT_EQ(dialog.GetPos(), 100);
    EXPECT_NE(drawing->displayContext, nullptr);
}

TEST_F(DrawAbort, StopEndsThePassAndReleasesTheDisplayAfterIt) {
    dbSetProgressHook(progressWithStop);
    stopAtPercent = 25;
    genDrawDrawing(drawing);
    EXPECT_GT(counter.count(1), 0u);
    EXPECT_LT(counter.count(1), 40u);
    EXPECT_GE(dialog.GetPos(), 25);
    EXPECT_EQ(drawing->displayContext, nullptr);
}

TEST_F(DrawAbort, StopWithoutADrawingObjectOnlyReportsIt) {
    dialog.OnStop();
    ToolkitProgressCallback(50, nullptr);
    EXPECT_EQ(dialog.GetPos(), 50);
    EXPECT_EQ(gOutputHookTable->walkContinue, 1);
    EXPECT_NE(drawing->displayContext, nullptr);
    SetMainProgressDialog(nullptr);
    ToolkitProgressCallback(60, &drawingObject); // no progress dialog: no Stop to see
    EXPECT_NE(drawing->displayContext, nullptr);
}

} // namespace
} // namespace tracemill::test
