#include "toolkit/core/system_context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/file_finder.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

std::vector<int> gCallbackReasons;
void recordReason(int reason) { gCallbackReasons.push_back(reason); }

// Creation outside the fixture: each test starts and ends without a context.
class ContextCreation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(gSystemContext, nullptr);
        dbSetInitDataMemoryBlock({});
        dbUseBuiltinInitData();
        gCallbackReasons.clear();
    }
    void TearDown() override {
        dbFailAllocationAfter(-1);
        dbSetDefaultErrorCallback(nullptr);
        dbDestroySystemContext();
    }
};

TEST_F(ContextCreation, SetsTheInitialValuesAndLeavesTheOutWordAlone) {
    int error = 12345;
    ASSERT_EQ(dbCreateSystemContext(nullptr, error), 1);
    EXPECT_EQ(error, 12345);
    const SystemContext& c = *gSystemContext;
    EXPECT_EQ(c.errorNumber, 0);
    EXPECT_EQ(c.fileFinder, &dbDefaultFileFinder);
    EXPECT_EQ(c.fontFinder, nullptr);
    EXPECT_EQ(c.errorCallback, nullptr);
    EXPECT_EQ(c.loadProgress, nullptr);
    EXPECT_EQ(c.saveProgress, nullptr);
    EXPECT_EQ(c.scratchBlock.size(), 10u);
    EXPECT_EQ(c.workBuffer128a.size(), 131072u);
    EXPECT_EQ(c.workBuffer128b.size(), 131072u);
    EXPECT_EQ(c.workBuffer32a.size(), 32768u);
    EXPECT_EQ(c.workBuffer32b.size(), 32768u);
    EXPECT_EQ(c.nullHandle, Handle(0));
    EXPECT_EQ(c.initialHandleSeed, Handle(1));
    EXPECT_EQ(c.distanceTolerance, 5e-7);
    EXPECT_EQ(c.angleTolerance, 8.726646259971647e-9);
    EXPECT_EQ(c.precision, 6);
    EXPECT_EQ(c.intFormat, "%6d");
    EXPECT_EQ(c.fixedFormat, "%.6f");
    EXPECT_EQ(c.expFormat, "%.6lE");
    EXPECT_EQ(c.largeValue, 1e6);
    EXPECT_EQ(c.acceptAc1013, 0);
    EXPECT_EQ(c.defaultCodePage, 26);
    EXPECT_EQ(dbGetDefaultCodePage(), 26);
    EXPECT_EQ(c.textWidthFactor, 0.5);
    ASSERT_NE(c.builtinFonts[0], nullptr);
    ASSERT_NE(c.builtinFonts[1], nullptr);
    EXPECT_EQ(c.initData.name, "0") << "a null name is kept as \"0\" for reopening";

    dbEnableAc1013();
    EXPECT_EQ(gSystemContext->acceptAc1013, 1);
}

TEST_F(ContextCreation, ASecondContextIsRefusedAndTheFirstKept) {
    int error = 0;
    ASSERT_EQ(dbCreateSystemContext(nullptr, error), 1);
    SystemContext* first = gSystemContext;
    EXPECT_EQ(dbCreateSystemContext(nullptr, error), 0);
    EXPECT_EQ(error, 284);
    EXPECT_EQ(gSystemContext, first);
}

TEST_F(ContextCreation, DestructionClearsTheContextAndTheHeapAndMayRepeat) {
    int error = 0;
    ASSERT_EQ(dbCreateSystemContext(nullptr, error), 1);
    ASSERT_NE(dbHeapAlloc(64), nullptr);
    dbDestroySystemContext();
    EXPECT_EQ(gSystemContext, nullptr);
    EXPECT_EQ(dbHeapBlockCount(), 0u);
    dbDestroySystemContext();  // nothing to do
    EXPECT_EQ(gSystemContext, nullptr);
}

// Allocations of the creation in order, and the error number a failure of each gives. The
// context, the scratch block, the four work buffers, the init data's font buffers (index and
// file of each font), then the two font records with their page tables and indexes.
TEST_F(ContextCreation, EveryFailedAllocationGivesItsErrorNumberAndLeavesNothing) {
    const std::vector<int> expected = {284, 216, 11, 12, 9, 10, 182, 182, 182, 182,
                                       293, 293, 293, 293, 293, 293};
    dbSetDefaultErrorCallback(recordReason);
    for (size_t step = 0;; ++step) {
        SCOPED_TRACE("allocation " + std::to_string(step));
        gCallbackReasons.clear();
        dbFailAllocationAfter(long(step));
        int error = 0;
        const int created = dbCreateSystemContext(nullptr, error);
        dbFailAllocationAfter(-1);
        if (created) {
            EXPECT_EQ(step, expected.size()) << "creation needs a different number of allocations";
            break;
        }
        ASSERT_LT(step, expected.size());
        EXPECT_EQ(error, expected[step]);
        EXPECT_EQ(gSystemContext, nullptr);
        EXPECT_EQ(dbHeapBlockCount(), 0u);
        // The context's own allocation has no context to call back through.
        const std::vector<int> reasons = step == 0 ? std::vector<int>{} : std::vector<int>{2};
        EXPECT_EQ(gCallbackReasons, reasons);
    }
}

TEST_F(ContextCreation, InitDataThatCannotBeOpenedGives182) {
    dbSetInitDataOpen([](const char*) -> InitDataStream { return nullptr; });
    int error = 0;
    EXPECT_EQ(dbCreateSystemContext("anything", error), 0);
    EXPECT_EQ(error, 182);
    EXPECT_EQ(gSystemContext, nullptr);
    dbUseBuiltinInitData();
}

using ToolkitStartup = test::ToolkitTest;

TEST_F(ToolkitStartup, InitNeedsAContextAndTermIsSafeToRepeat) {
    EXPECT_NE(gOutputHookTable, nullptr);
    EXPECT_EQ(dbInitToolkit(), 1);
    dbTermToolkit();
    EXPECT_EQ(gOutputHookTable, nullptr);
    dbTermToolkit();
    EXPECT_EQ(dbInitToolkit(), 1);

    SystemContext* saved = gSystemContext;
    gSystemContext = nullptr;
    EXPECT_EQ(dbInitToolkit(), 0);
    gSystemContext = saved;
}

std::vector<int> gSaveProgress;

TEST_F(ToolkitStartup, SaveProgressIsReportedUpTo100) {
    dbReportSaveProgress(10); // no callback installed: nothing happens
    gSaveProgress.clear();
    dbSetSaveProgress([](int percent) { gSaveProgress.push_back(percent); });
    for (int percent : {0, 40, 100, 150}) dbReportSaveProgress(percent);
    EXPECT_EQ(gSaveProgress, (std::vector<int>{0, 40, 100, 100}));
    dbSetSaveProgress(nullptr);
}

TEST_F(ToolkitStartup, SettersStoreTheHostCallbacks) {
    auto finder = [](const char*, std::string&, void*) { return 1; };
    auto fontFinder = [](TrueTypeLookup&, void*) {};
    auto progress = [](int) {};
    auto release = [](void*, void*) {};
    dbSetFileFinder(finder);
    dbSetFontFinder(fontFinder);
    dbSetLoadProgress(progress);
    dbSetSaveProgress(progress);
    dbSetEntityDataReleaseHook(release);
    EXPECT_EQ(gSystemContext->fileFinder, static_cast<FileFinder>(finder));
    EXPECT_EQ(gSystemContext->fontFinder, static_cast<FontFinder>(fontFinder));
    EXPECT_EQ(gSystemContext->loadProgress, static_cast<ProgressCallback>(progress));
    EXPECT_EQ(gSystemContext->saveProgress, static_cast<ProgressCallback>(progress));
    EXPECT_EQ(gSystemContext->entityDataRelease, static_cast<EntityDataReleaseHook>(release));
    dbSetFileFinder(nullptr);
    EXPECT_EQ(gSystemContext->fileFinder, nullptr);
}

TEST_F(ToolkitStartup, ReportErrorCallsTheCallbackButStillFails) {
    gCallbackReasons.clear();
    EXPECT_EQ(dbReportError(218, kErrorReasonNoMemory), 0);
    EXPECT_EQ(dbGetError(), 218);
    EXPECT_TRUE(gCallbackReasons.empty());
    gSystemContext->errorCallback = recordReason;
    EXPECT_EQ(dbReportError(77, kErrorReasonBadLength), 0);
    EXPECT_EQ(dbGetError(), 77);
    EXPECT_EQ(gCallbackReasons, std::vector<int>{5});
}

} // namespace
} // namespace tracemill
