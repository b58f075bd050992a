#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/render/conversion_calls.h"
#include "app/render/converted_file_cache.h"
#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"
#include "app/render/xref_loading.h"
#include "host_test_support.h"
#include "app/convert/conversion_library.h"

namespace tracemill::test {
namespace {

struct LibraryCall {
    std::string source;
    std::string password; // "(none)" for a null password
    std::string target;
    int versionCode = 0;
    int format = 0;
    uint32_t serial = 0;
};

// A conversion library that records its calls and answers from a queue; on success it writes a
// drawing the toolkit reads into the target.
struct RecordingLibrary {
    static inline std::vector<LibraryCall> calls;
    static inline std::deque<int> results;
    static inline std::string convertedBytes;

    static int convert(const char* source, const char* password, const char* target, int versionCode, int format,
                       uint32_t serial) {
        calls.push_back({source, password ? password : "(none)", target, versionCode, format, serial});
        const int result = results.empty() ? kConvertDone : results.front();
        if (!results.empty()) results.pop_front();
        if (result == kConvertDone) std::ofstream(target, std::ios::binary) << convertedBytes;
        return result;
    }
};

class XrefLoading : public HostCallbackTest {
protected:
    void SetUp() override {
        HostCallbackTest::SetUp();
        RecordingLibrary::calls.clear();
        RecordingLibrary::results.clear();
        RecordingLibrary::convertedBytes = linesDxf(2);
        ownLibrary = SetConversionLibrary({RecordingLibrary::convert, nullptr, nullptr});
        readable = folder.write("part.dxf", linesDxf(3));
        unreadable = folder.write("newer.dwg", std::string("AC1018") + std::string(200, '\0'));
        drawingObject.SetSourcePath(folder / "host.dxf");
        drawingObject.SetPassword("secret");
        filesBefore = programTemporaryFiles().size();
    }
    void TearDown() override {
        GetConvertedFileCache().Clear();
        EndDrawingOpen();
        SetConversionLibrary(ownLibrary);
        HostCallbackTest::TearDown();
    }

    // The external-reference hook as the entity walk calls it.
    int load(const std::string& name, std::string& out) { return gOutputHookTable->xrefLoad(name.c_str(), out, &drawingObject); }

    TempFolder folder;
    CDrawingObject drawingObject;
    ConversionLibrary ownLibrary{};
    std::string readable;
    std::string unreadable;
    size_t filesBefore = 0;
};

TEST_F(XrefLoading, AReferenceTheToolkitReadsNeedsNoConversion) {
    std::string out;
    EXPECT_EQ(load("part.dxf", out), 1);
    EXPECT_EQ(out, readable);
    EXPECT_EQ(load("C:\\XREF\\PART.DXF", out), 1); // the file part, found beside the drawing
    EXPECT_EQ(out, readable);
    EXPECT_TRUE(RecordingLibrary::calls.empty());
}

TEST_F(XrefLoading, AnUnreadableReferenceIsConvertedOnceWhileItIsUnchanged) {
    const uint32_t serial = GetConversionSerial();
    std::string first;
    EXPECT_EQ(load("newer.dwg", first), 1);
    ASSERT_EQ(RecordingLibrary::calls.size(), 1u);
    const LibraryCall& call = RecordingLibrary::calls[0];
    EXPECT_EQ(call.source, unreadable);
    EXPECT_EQ(call.password, "(none)");
    EXPECT_EQ(call.target, first);
    EXPECT_EQ(call.versionCode, 8);
    EXPECT_EQ(call.format, 1);
    EXPECT_EQ(call.serial, serial);
    EXPECT_EQ(GetConversionSerial(), serial + 1);
    EXPECT_TRUE(std::filesystem::path(first).filename().string().starts_with("dwg")) << first;

    std::string again;
    EXPECT_EQ(load("newer.dwg", again), 1);
    EXPECT_EQ(again, first); // from the cache
    EXPECT_EQ(RecordingLibrary::calls.size(), 1u);

    std::filesystem::last_write_time(unreadable,
                                     std::filesystem::last_write_time(unreadable) + std::chrono::seconds(10));
    std::string afterTouch;
    EXPECT_EQ(load("newer.dwg", afterTouch), 1);
    EXPECT_EQ(RecordingLibrary::calls.size(), 2u);
    EXPECT_NE(afterTouch, first);
    EXPECT_EQ(GetConvertedFileCache().Count(), 2u);
    EXPECT_EQ(programTemporaryFiles().size(), filesBefore + 2);

    GetConvertedFileCache().Clear(); // as at shut-down
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(afterTouch));
    EXPECT_EQ(programTemporaryFiles().size(), filesBefore);
}

TEST_F(XrefLoading, APasswordRequestIsAnsweredOnceWithTheDrawingsPassword) {
    RecordingLibrary::results = {kConvertPasswordNeeded, kConvertDone};
    const uint32_t serial = GetConversionSerial();
    std::string out;
    EXPECT_EQ(load("newer.dwg", out), 1);
    ASSERT_EQ(RecordingLibrary::calls.size(), 2u);
    EXPECT_EQ(RecordingLibrary::calls[0].password, "(none)");
    EXPECT_EQ(RecordingLibrary::calls[1].password, "secret");
    EXPECT_EQ(RecordingLibrary::calls[1].serial, serial + 1);
    EXPECT_EQ(RecordingLibrary::calls[1].target, out);

    RecordingLibrary::calls.clear();
    RecordingLibrary::results = {kConvertPasswordNeeded, kConvertPasswordNeeded};
    std::filesystem::last_write_time(unreadable,
                                     std::filesystem::last_write_time(unreadable) + std::chrono::seconds(10));
    EXPECT_EQ(load("newer.dwg", out), 1);
    EXPECT_EQ(RecordingLibrary::calls.size(), 2u); // not a third time
    EXPECT_EQ(out, unreadable);
}

TEST_F(XrefLoading, AFailedConversionLeavesTheFoundFileAndNoTemporaryFile) {
    RecordingLibrary::results = {kConvertSourceRefused};
    std::string out;
    EXPECT_EQ(load("newer.dwg", out), 1);
    EXPECT_EQ(out, unreadable);
    EXPECT_EQ(GetConvertedFileCache().Count(), 0u);
    EXPECT_EQ(programTemporaryFiles().size(), filesBefore);
}

TEST_F(XrefLoading, AStoppedOpenOrDrawingSearchesNothing) {
    std::string out = "stale";
    drawingObject.SetStopFlag(1);
    EXPECT_EQ(load("part.dxf", out), 0);
    EXPECT_EQ(out, "");
    drawingObject.SetStopFlag(0);
    BeginDrawingOpen(folder / "host.dxf", 1);
    out = "stale";
    EXPECT_EQ(load("part.dxf", out), 0);
    EXPECT_EQ(out, "");
    EXPECT_TRUE(RecordingLibrary::calls.empty());
}

TEST_F(XrefLoading, ReferencesAreLookedForBesideTheDrawingBeingOpened) {
    TempFolder opened;
    std::filesystem::create_directory(opened.path() / "sub");
    const std::string beside = opened.write("sub/detail.dxf", linesDxf(1));
    BeginDrawingOpen(opened / "site.dwg", 0);
    std::string out;
    EXPECT_EQ(load("SUB\\Detail.DXF", out), 1);
    EXPECT_EQ(out, beside);
    EndDrawingOpen();
    EXPECT_EQ(load("SUB\\Detail.DXF", out), 0);
    EXPECT_EQ(out, "SUB\\Detail.DXF");
}

TEST_F(XrefLoading, NamesThatCannotBeSearchedComeBackUnchanged) {
    for (const char* name : {"", "x.dwg", "nowhere.dwg"}) {
        std::string out = "stale";
        EXPECT_EQ(load(name, out), 0) << name;
        EXPECT_EQ(out, name);
    }
    EXPECT_TRUE(RecordingLibrary::calls.empty());
}

} // namespace
} // namespace tracemill::test
