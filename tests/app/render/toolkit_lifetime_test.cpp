#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../shell/settings_test_support.h"
#include "app/render/converted_file_cache.h"
#include "app/render/embedded_objects.h"
#include "app/render/gdi_hook_primitives.h"
#include "app/render/partial_blit.h"
#include "app/render/shx_search_dirs.h"
#include "app/render/support_file_search.h"
#include "app/render/xref_loading.h"
#include "app/services/message_box.h"
#include "app/services/registry_key.h"
#include "host_test_support.h"
#include "platform/fonts/host_font_state.h"
#include "platform/fonts/host_fonts.h"
#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"

namespace tracemill::test {
namespace {

std::vector<std::string>& shownMessages() {
    static std::vector<std::string> messages;
    return messages;
}

void collectMessage(std::string_view text) { shownMessages().emplace_back(text); }

// Start-up and shut-down as the program runs them, with the settings of each test empty and
// the messages collected.
class ToolkitLifetime : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        ASSERT_EQ(gSystemContext, nullptr) << "a previous test left the toolkit running";
        shownMessages().clear();
        previousHandler_ = SetMessageBoxHandler(collectMessage);
    }
    void TearDown() override {
        dbFailAllocationAfter(-1);
        dbSetInitDataMemoryBlock({});
        StopDrawingToolkit();
        SetMessageBoxHandler(previousHandler_);
        SettingsTest::TearDown();
    }

private:
    MessageBoxHandler previousHandler_ = nullptr;
};

TEST_F(ToolkitLifetime, StartUpInstallsTheProgramsCallbacks) {
    ASSERT_EQ(StartDrawingToolkit(), 1);
    ASSERT_NE(gSystemContext, nullptr);
    ASSERT_NE(gOutputHookTable, nullptr);
    EXPECT_TRUE(shownMessages().empty());
    EXPECT_EQ(gSystemContext->acceptAc1013, 1);
    EXPECT_NE(gSystemContext->dwgDriver, nullptr);
    EXPECT_NE(gSystemContext->dxfDriver, nullptr);
    EXPECT_EQ(gSystemContext->fileFinder, FindSupportFile);
    EXPECT_EQ(gSystemContext->fontFinder, dbTrueTypeFontLookup);
    EXPECT_EQ(gOutputHookTable->glyphOutline, GlyphOutlineProvider);
    EXPECT_EQ(gOutputHookTable->xrefLoad, LoadXrefDrawing);
    EXPECT_EQ(gOutputHookTable->refresh, BlitPartialRegen);
    EXPECT_EQ(gOutputHookTable->oleData, OleObjectPictureHook);
    EXPECT_EQ(gOutputHookTable->hostColor, ScreenSetColor);
    EXPECT_EQ(gOutputHookTable->hostLineWidth, GdiSetLineWeight);
    EXPECT_EQ(gOutputHookTable->progress, nullptr);
    EXPECT_EQ(dbGetCurveResolution(), 40);
    EXPECT_EQ(gOutputHookTable->displayListMode, 1);
    EXPECT_EQ((*dbGetColorIndexMap())[200], 200);
    EXPECT_EQ(GetGdiOutputState().lineWeightFlag, 0);
    EXPECT_EQ(GetGdiOutputState().lineWeightValue, 0);
    EXPECT_NE(dbHostFontState(), nullptr);
    ASSERT_TRUE(GetShxDirList().has_value());
    EXPECT_TRUE(GetShxDirList()->empty());
    const std::string program = GetProgramFolder();
    EXPECT_TRUE(program.ends_with("/tests/app/render/")) << program;

    EXPECT_EQ(StopDrawingToolkit(), 1);
    EXPECT_EQ(gSystemContext, nullptr);
    EXPECT_EQ(gOutputHookTable, nullptr);
    EXPECT_EQ(dbHostFontState(), nullptr);
    EXPECT_FALSE(GetShxDirList().has_value());
}

TEST_F(ToolkitLifetime, AFailedStartShowsOneMessageAndInstallsNothing) {
    const std::vector<uint8_t> damaged(64, 0x5A); // no banner: the context cannot be made
    dbSetInitDataMemoryBlock(damaged);
    {
        CToolkitLifetime lifetime;
        EXPECT_EQ(gSystemContext, nullptr);
        EXPECT_EQ(gOutputHookTable, nullptr);
        EXPECT_FALSE(GetShxDirList().has_value());
        EXPECT_EQ(shownMessages(), std::vector<std::string>{"Unable to initialize."});
    }
    EXPECT_EQ(shownMessages().size(), 1u);
    EXPECT_EQ(settingsFileText().find("ShxDirs"), std::string::npos);
}

TEST_F(ToolkitLifetime, EveryAllocationThatFailsEndsTheStartCleanly) {
    // Fail each allocation of the start-up in turn until it gets through: the context and the
    // global state of the toolkit both fail this way.
    int failures = 0;
    for (long after = 0; after < 10000; ++after) {
        shownMessages().clear();
        dbFailAllocationAfter(after);
        const int16_t started = StartDrawingToolkit();
        dbFailAllocationAfter(-1);
        if (started) break;
        ++failures;
        EXPECT_EQ(gSystemContext, nullptr) << after;
        EXPECT_EQ(gOutputHookTable, nullptr) << after;
        EXPECT_FALSE(GetShxDirList().has_value()) << after;
        EXPECT_EQ(shownMessages(), std::vector<std::string>{"Unable to initialize."}) << after;
        EXPECT_EQ(StopDrawingToolkit(), 1);
    }
    EXPECT_GE(failures, 2);
    EXPECT_NE(gOutputHookTable, nullptr);
}

TEST_F(ToolkitLifetime, SearchDirectoriesLoadUpToTheFirstMissingNumber) {
    {
        CRegistryKey key;
        ASSERT_EQ(key.Create("Option/ShxDirs"), kRegSuccess);
        key.SetString("/fonts/one", "Dir0");
        key.SetString("/fonts/two", "Dir1");
        key.SetString("/fonts/four", "Dir3");
    }
    {
        CToolkitLifetime lifetime;
        EXPECT_EQ(GetShxDirList(), (std::vector<std::string>{"/fonts/one", "/fonts/two"}));
        ASSERT_TRUE(SetShxDirList({"/a", "/b", "/c"}));
    }
    CRegistryKey key;
    ASSERT_EQ(key.Open("Option/ShxDirs"), kRegSuccess);
    std::vector<std::string> stored;
    std::string value;
    for (const char* name : {"Dir0", "Dir1", "Dir2", "Dir3"}) {
        ASSERT_EQ(key.QueryString(value, name), kRegSuccess) << name;
        stored.push_back(value);
    }
    EXPECT_EQ(stored, (std::vector<std::string>{"/a", "/b", "/c", "/fonts/four"}));
}

TEST_F(ToolkitLifetime, WithoutStoredDirectoriesTheListStaysEmpty) {
    CToolkitLifetime lifetime;
    ASSERT_TRUE(GetShxDirList().has_value());
    EXPECT_TRUE(GetShxDirList()->empty());
    LoadShxSearchDirs();
    EXPECT_TRUE(GetShxDirList()->empty());
}

TEST_F(ToolkitLifetime, ShutDownDeletesTheConvertedFiles) {
    ASSERT_EQ(StartDrawingToolkit(), 1);
    TempFolder folder;
    const std::string source = folder.write("source.dwg", "AC1018 and more");
    const std::string converted = folder.write("converted.dwg", "AC1015 and more");
    GetConvertedFileCache().Add(source, converted);
    ASSERT_EQ(GetConvertedFileCache().Count(), 1u);
    StopDrawingToolkit();
    EXPECT_FALSE(std::filesystem::exists(converted));
    EXPECT_TRUE(std::filesystem::exists(source));
    EXPECT_EQ(GetConvertedFileCache().Count(), 0u);
}

} // namespace
} // namespace tracemill::test
