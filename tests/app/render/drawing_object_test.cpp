// The drawing object's open with the conversion fallback, its save with the toolkit writer
// behind the conversion library, and the preview of the open dialog.
#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/image/dib.h"
#include "app/render/conversion_calls.h"
#include "app/convert/conversion_library.h"
#include "drawing_object_test_support.h"
#include "render_test_support.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill::test {
namespace {

struct ConversionCall {
    std::string source;
    std::string target;
    int versionCode = 0;
    int format = 0;
};

// A conversion library that records its calls and answers from a queue (failing with 5 once
// the queue is empty); a call answered with 0 writes `convertedBytes` to the target.
struct ConversionRecorder {
    static inline std::vector<ConversionCall> calls;
    static inline std::deque<int> results;
    static inline std::string convertedBytes;

    static int convert(const char* source, const char*, const char* target, int versionCode, int format,
                       uint32_t) {
        calls.push_back({source, target, versionCode, format});
        const int result = results.empty() ? 5 : results.front();
        if (!results.empty()) results.pop_front();
        if (result == 0) std::ofstream(target, std::ios::binary) << convertedBytes;
        return result;
    }
};

struct WriterCall {
    std::string target;
    uint8_t format = 0;
    int16_t versionIndex = 0;
    int16_t tileMode = 0;
    std::vector<int> extra;
};

// A toolkit writer that records what it was given and the drawing's TILEMODE at the call.
struct WriterRecorder {
    static inline std::vector<WriterCall> calls;
    static inline bool throws = false;

    static int save(Drawing* drawing, const char* path, uint8_t format, int16_t versionIndex, int16_t a4, int16_t a5,
                    int16_t a6, uint8_t a7) {
        calls.push_back({path, format, versionIndex, dbGetHeaderBlock(drawing)->tilemode, {a4, a5, a6, a7}});
        if (throws) throw std::runtime_error("writer failed");
        return 1;
    }
};

class DrawingObjectOpen : public DrawingObjectTest {
protected:
    void SetUp() override {
        DrawingObjectTest::SetUp();
        ConversionRecorder::calls.clear();
        ConversionRecorder::results.clear();
        ConversionRecorder::convertedBytes.clear();
        WriterRecorder::calls.clear();
        WriterRecorder::throws = false;
        ownLibrary_ = SetConversionLibrary({ConversionRecorder::convert, nullptr, nullptr});
        ownWriter_ = SetDrawingWriter(WriterRecorder::save);
    }
    void TearDown() override {
        SetConversionLibrary(ownLibrary_);
        SetDrawingWriter(ownWriter_);
        DrawingObjectTest::TearDown();
    }
    void useOwnLibrary() { SetConversionLibrary(ownLibrary_); }
    void useOwnWriter() { SetDrawingWriter(ownWriter_); }

private:
    ConversionLibrary ownLibrary_{};
    DrawingWriter ownWriter_ = nullptr;
};

TEST_F(DrawingObjectOpen, ADrawingTheToolkitReadsOpensWithoutTheLibrary) {
    const uint32_t serial = GetConversionSerial();
    EXPECT_EQ(object().Open(renderFixture("two_layouts_2000.dxf").c_str(), nullptr, true, ""), 0);
    EXPECT_EQ(object().IsOpen(), 1);
    EXPECT_NE(object().GetDrawing(), nullptr);
    EXPECT_TRUE(ConversionRecorder::calls.empty());
    EXPECT_EQ(GetConversionSerial(), serial);
    EXPECT_EQ(object().GetSourcePath(), renderFixture("two_layouts_2000.dxf"));
}

TEST_F(DrawingObjectOpen, AFileTheToolkitRefusesIsReadFromTheLibrarysConversion) {
    ScratchFolder folder("open-converted");
    const std::string refused = (folder / "refused.dwg").string();
    std::ofstream(refused, std::ios::binary) << "not a drawing";
    ConversionRecorder::results = {0};
    ConversionRecorder::convertedBytes = linesDxf(3);
    const uint32_t serial = GetConversionSerial();
    const std::vector<std::string> before = programTemporaryFiles();

    EXPECT_EQ(object().Open(refused.c_str(), nullptr, false, "secret"), 0);
    ASSERT_EQ(ConversionRecorder::calls.size(), 1u);
    EXPECT_EQ(ConversionRecorder::calls[0].source, refused);
    EXPECT_EQ(ConversionRecorder::calls[0].versionCode, 8);
    EXPECT_EQ(ConversionRecorder::calls[0].format, 1);
    EXPECT_EQ(GetConversionSerial(), serial + 1);
    EXPECT_FALSE(std::filesystem::exists(ConversionRecorder::calls[0].target));
    EXPECT_EQ(programTemporaryFiles(), before);
    EXPECT_EQ(object().IsOpen(), 1);
    EXPECT_EQ(dbListCount(object().GetDrawing()->modelSpace), 3);
    EXPECT_EQ(object().GetPassword(), "secret");
}

TEST_F(DrawingObjectOpen, FailuresLeaveTheObjectClosedAndNoTemporaryFile) {
    ScratchFolder folder("open-failed");
    const std::string refused = (folder / "refused.dwg").string();
    std::ofstream(refused, std::ios::binary) << "not a drawing";
    const std::vector<std::string> before = programTemporaryFiles();
    struct Case {
        const char* name;
        int libraryResult;
        const char* convertedBytes;
        int16_t expected;
    };
    const Case cases[] = {
        {"the library refuses", 7, "", 7},
        {"the converted file cannot be read", 0, "still not a drawing", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // An open drawing first, so that the failure must close it.
        openFixture("model_lines.dxf");
        ConversionRecorder::results = {c.libraryResult};
        ConversionRecorder::convertedBytes = c.convertedBytes;
        EXPECT_EQ(object().Open(refused.c_str(), nullptr, true, ""), c.expected);
        EXPECT_EQ(object().IsOpen(), 0);
        EXPECT_EQ(object().GetDrawing(), nullptr);
        EXPECT_EQ(programTemporaryFiles(), before);
    }
}

TEST_F(DrawingObjectOpen, ANewerDrawingGivesTheLibrarysRefusal) {
    TM_REQUIRE_SAMPLES(samples);
    // The library's own answer, passed on.
    static int libraryResult = 0;
    SetConversionLibrary({[](const char* source, const char* password, const char* target, int version, int format,
                             uint32_t serial) {
                              return libraryResult = llpp(source, password, target, version, format, serial);
                          },
                          nullptr, nullptr});
    const std::vector<std::string> before = programTemporaryFiles();
    const int16_t result = object().Open((samples / "dwg/example_2004.dwg").c_str(), nullptr, true, "");
    EXPECT_NE(libraryResult, 0);
    EXPECT_EQ(result, libraryResult);
    EXPECT_EQ(object().IsOpen(), 0);
    EXPECT_EQ(object().GetDrawing(), nullptr);
    EXPECT_EQ(programTemporaryFiles(), before);
}

TEST_F(DrawingObjectOpen, AViewWithoutSizeGetsTheSizeOne) {
    openFixture("view_size_zero.dxf");
    EXPECT_EQ(object().GetView().width, 1.0);
    EXPECT_EQ(object().GetView().height, 1.0);
    EXPECT_EQ(object().GetLastViewWidth(), 1.0);
    EXPECT_EQ(object().GetLastViewHeight(), 1.0);
}

TEST_F(DrawingObjectOpen, ADrawingWithoutCodePageIsReadInCodePageTwelve) {
    openFixture("codepage_zero.dxf");
    EXPECT_EQ(object().GetHeaderBlock()->dwgcodepage, 12);
    CDrawingObject named;
    ASSERT_EQ(named.Open(renderFixture("two_layouts_2000.dxf").c_str(), nullptr, false, ""), 0);
    EXPECT_NE(named.GetHeaderBlock()->dwgcodepage, 0);
    EXPECT_NE(named.GetHeaderBlock()->dwgcodepage, 12);
}

TEST_F(DrawingObjectOpen, AnEmptyDrawingIsA2000DrawingInCodePageTwelve) {
    CDrawingObject empty;
    ASSERT_TRUE(empty.CreateEmptyDrawing());
    EXPECT_EQ(dbGetVersionIndex(empty.GetDrawing()), kVersionIndex2000);
    EXPECT_EQ(dbGetHeaderBlock(empty.GetDrawing())->dwgcodepage, 12);
    dbFreeDrawing(empty.GetDrawing());
}

TEST_F(DrawingObjectOpen, EverySampleOpensWithItsLayoutsOrFailsCleanly) {
    TM_REQUIRE_SAMPLES(samples);
    useOwnLibrary();
    for (const char* folder : {"dwg", "dxf"}) {
        for (const auto& entry : std::filesystem::directory_iterator(samples / folder)) {
            const std::string name = entry.path().filename().string();
            SCOPED_TRACE(name);
            CDrawingObject drawing;
            const int16_t result = drawing.Open(entry.path().c_str(), nullptr, true, "");
            if (name == "r1.4_entities.dwg" || name == "example_2004.dwg") {
                EXPECT_NE(result, 0);
                EXPECT_EQ(drawing.IsOpen(), 0);
                continue;
            }
            ASSERT_EQ(result, 0);
            std::vector<std::string> names;
            const int32_t current = drawing.GetLayoutNames(&names);
            EXPECT_GE(names.size(), 2u);
            EXPECT_GE(current, 0);
            EXPECT_LT(size_t(current), names.size());
        }
    }
}

TEST_F(DrawingObjectOpen, ThePreviewOfADrawingFillsTheBitmap) {
    TM_REQUIRE_SAMPLES(samples);
    useOwnLibrary();
    CDib dib;
    EXPECT_TRUE(object().LoadDrawingPreview((samples / "dwg/example_2000.dwg").c_str(), &dib));
    EXPECT_FALSE(dib.IsEmpty());
    EXPECT_GT(dib.GetWidth(), 0);
    EXPECT_GT(dib.GetHeight(), 0);
    CDib none;
    EXPECT_FALSE(object().LoadDrawingPreview(renderFixture("model_lines.dxf").c_str(), &none));
    EXPECT_TRUE(none.IsEmpty());
}

TEST_F(DrawingObjectOpen, SaveAsAsksTheLibraryFirstWithItsVersionNumbers) {
    openFixture("two_layouts_2000.dxf");
    struct Case {
        bool asDxf;
        int16_t versionIndex;
        int versionCode;
        int format;
    };
    const Case cases[] = {{false, 7, 8, 1}, {true, 0, 1, 2}, {false, 8, 9, 1}, {true, 12, 12, 2}};
    for (const Case& c : cases) {
        ConversionRecorder::calls.clear();
        ConversionRecorder::results = {0};
        EXPECT_EQ(object().SaveAs("/tmp/never-written.dwg", c.asDxf, c.versionIndex, 1, 6, 0, 1, nullptr), 0);
        ASSERT_EQ(ConversionRecorder::calls.size(), 1u);
        EXPECT_EQ(ConversionRecorder::calls[0].source, renderFixture("two_layouts_2000.dxf"));
        EXPECT_EQ(ConversionRecorder::calls[0].versionCode, c.versionCode);
        EXPECT_EQ(ConversionRecorder::calls[0].format, c.format);
    }
    EXPECT_TRUE(WriterRecorder::calls.empty());
}

TEST_F(DrawingObjectOpen, WhenTheLibraryFailsTheWriterSavesWithTheTileModeOfTheOpen) {
    openFixture("two_layouts_2000.dxf");
    ASSERT_EQ(object().GetKeptTileMode(), 1);
    object().SetActiveLayout(1);
    ASSERT_EQ(object().GetHeaderBlock()->tilemode, 0);

    EXPECT_EQ(object().SaveAs("/tmp/target.dwg", false, 7, 1, 6, 0, 1, nullptr), 1);
    ASSERT_EQ(ConversionRecorder::calls.size(), 1u);
    EXPECT_EQ(ConversionRecorder::calls[0].versionCode, 8);
    EXPECT_EQ(ConversionRecorder::calls[0].format, 1);
    ASSERT_EQ(WriterRecorder::calls.size(), 1u);
    EXPECT_EQ(WriterRecorder::calls[0].target, "/tmp/target.dwg");
    EXPECT_EQ(WriterRecorder::calls[0].format, 0);
    EXPECT_EQ(WriterRecorder::calls[0].versionIndex, 7);
    EXPECT_EQ(WriterRecorder::calls[0].tileMode, 1);
    EXPECT_EQ(WriterRecorder::calls[0].extra, (std::vector<int>{1, 6, 0, 1}));
    EXPECT_EQ(object().GetHeaderBlock()->tilemode, 0);

    WriterRecorder::throws = true;
    EXPECT_THROW(object().SaveAs("/tmp/target.dxf", true, 7, 1, 6, 0, 1, nullptr), std::runtime_error);
    ASSERT_EQ(WriterRecorder::calls.size(), 2u);
    EXPECT_EQ(WriterRecorder::calls[1].format, 1);
    EXPECT_EQ(WriterRecorder::calls[1].tileMode, 1);
    EXPECT_EQ(object().GetHeaderBlock()->tilemode, 0);
}

TEST_F(DrawingObjectOpen, ADrawingSavedByTheWriterOpensWithTheViewItWasShownIn) {
    useOwnWriter();
    ScratchFolder folder("save-as");
    const std::string target = (folder / "saved.dxf").string();
    openFixture("model_lines.dxf", true);
    struct Case {
        const char* name;
        int16_t preset;  // -1: the plan view of the open
    };
    for (const Case& c : {Case{"plan", -1}, Case{"isometric", 6}, Case{"from the right", 3}}) {
        SCOPED_TRACE(c.name);
        if (c.preset >= 0) object().SetPresetView(c.preset);
        ViewBlock shown = object().GetView();
        shown.target = {30.0, 20.0, 0.0, 1.0};
        object().SetView(shown);
        ASSERT_EQ(object().SaveAs(target.c_str(), true, 7, 1, 6, 0, 1, nullptr), 1);

        CDrawingObject saved;
        ASSERT_EQ(saved.Open(target.c_str(), nullptr, false, ""), 0);
        EXPECT_EQ(dbListCount(saved.GetDrawing()->modelSpace), 3);
        // Written with six decimals; the target may move along the line of sight.
        const ViewBlock& reopened = saved.GetView();
        EXPECT_NEAR(reopened.direction.x, shown.direction.x, 1e-6);
        EXPECT_NEAR(reopened.direction.y, shown.direction.y, 1e-6);
        EXPECT_NEAR(reopened.direction.z, shown.direction.z, 1e-6);
        EXPECT_NEAR(reopened.up.x, shown.up.x, 1e-6);
        EXPECT_NEAR(reopened.up.y, shown.up.y, 1e-6);
        EXPECT_NEAR(reopened.up.z, shown.up.z, 1e-6);
        const Point3 moved{reopened.target.x - shown.target.x, reopened.target.y - shown.target.y,
                           reopened.target.z - shown.target.z};
        const Point3 d{shown.direction.x, shown.direction.y, shown.direction.z};
        EXPECT_NEAR(moved.y * d.z - moved.z * d.y, 0.0, 1e-5);
        EXPECT_NEAR(moved.z * d.x - moved.x * d.z, 0.0, 1e-5);
        EXPECT_NEAR(moved.x * d.y - moved.y * d.x, 0.0, 1e-5);
        EXPECT_NEAR(reopened.height, shown.height, 1e-6);
    }
}

} // namespace
} // namespace tracemill::test
