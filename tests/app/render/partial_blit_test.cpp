#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"
#include "app/render/partial_blit.h"
#include "host_test_support.h"

namespace tracemill::test {
namespace {

uint32_t fakeNow = 0;
uint32_t fakeTicks() { return fakeNow; }

class PartialBlit : public HostCallbackTest {
protected:
    void SetUp() override {
        HostCallbackTest::SetUp();
        previousSource = SetTickSource(fakeTicks);
        drawingObject.AttachWindow([this] { ++repaints; });
    }
    void TearDown() override {
        SetTickSource(previousSource);
        HostCallbackTest::TearDown();
    }
    // The refresh hook as the toolkit calls it.
    void refresh(HostWord host) { gOutputHookTable->refresh(host); }

    TickSource previousSource = nullptr;
    CDrawingObject drawingObject;
    int repaints = 0;
};

TEST_F(PartialBlit, RepaintsOnlyAfterTwoThousandFiveHundredAndOneMilliseconds) {
    drawingObject.SetLastBlitTick(10000);
    fakeNow = 12500;
    refresh(&drawingObject);
    EXPECT_EQ(repaints, 0);
    EXPECT_EQ(drawingObject.GetLastBlitTick(), 10000u);
    fakeNow = 12501;
    refresh(&drawingObject);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(drawingObject.GetLastBlitTick(), 12501u);
    fakeNow = 12600;
    refresh(&drawingObject);
    EXPECT_EQ(repaints, 1);
}

TEST_F(PartialBlit, TheClockMayWrapAround) {
    drawingObject.SetLastBlitTick(0xFFFFF000u);
    fakeNow = 0x00000200u; // 4,608 ms later
    refresh(&drawingObject);
    EXPECT_EQ(repaints, 1);
}

TEST_F(PartialBlit, NothingWithoutAWindowOrDuringADevicePass) {
    fakeNow = 100000;
    refresh(nullptr);
    DeviceHostContext pair{&drawingObject, nullptr};
    GetGdiOutputState().deviceHooks = 1;
    refresh(&pair);
    GetGdiOutputState().deviceHooks = 0;
    CDrawingObject withoutWindow;
    refresh(&withoutWindow);
    EXPECT_EQ(repaints, 0);
    EXPECT_EQ(withoutWindow.GetLastBlitTick(), 0u);
    drawingObject.DetachWindow();
    refresh(&drawingObject);
    EXPECT_EQ(repaints, 0);
}

} // namespace
} // namespace tracemill::test
