#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "app/services/progress_dialog.h"
#include "app/services/progress_step.h"

namespace tracemill::test {
namespace {

TEST(ProgressStep, MovesTheBarAndTellsAboutStop) {
    EXPECT_EQ(ProgressStep(10), 0); // no progress dialog
    CProgressDialog dialog;
    SetMainProgressDialog(&dialog);
    dialog.Begin();
    EXPECT_EQ(ProgressStep(40), 0);
    EXPECT_EQ(dialog.GetPos(), 40);
    // A press on Stop that waits in the event queue arrives through the step.
    QTimer::singleShot(0, [&dialog] { dialog.OnStop(); });
    EXPECT_EQ(ProgressStep(50), 1);
    EXPECT_EQ(ProgressStep(55), 1);
    SetMainProgressDialog(nullptr);
}

TEST(ProgressStep, AStepInsideAStepHandlesNoEvents) {
    CProgressDialog dialog;
    SetMainProgressDialog(&dialog);
    dialog.Begin();
    int nestedResult = -1;
    bool stopHandled = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            stopHandled = true;
            dialog.OnStop();
        });
        nestedResult = ProgressStep(20); // must not run the timer queued just now
    });
    ProgressStep(10);
    EXPECT_EQ(nestedResult, 0);
    EXPECT_EQ(dialog.GetPos(), 20);
    QCoreApplication::processEvents();
    EXPECT_TRUE(stopHandled);
    SetMainProgressDialog(nullptr);
}

} // namespace
} // namespace tracemill::test
