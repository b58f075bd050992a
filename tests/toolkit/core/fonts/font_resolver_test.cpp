#include "toolkit/core/fonts/font_resolver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "font_test_support.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/stored_record.h"
#include "toolkit/core/file_name_resolver.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_list.h"
#include "toolkit/core/fonts/shape_names.h"
#include "toolkit_fixture.h"

namespace tracemill {

namespace {

// Folders the test file finder searches, and how often each finder was asked.
std::vector<std::filesystem::path> gSearchDirs;
int gFileFinderCalls = 0;
int gFontFinderCalls = 0;

int fixtureFileFinder(const char* name, std::string& outPath, void*) {
    ++gFileFinderCalls;
    for (const std::filesystem::path& dir : gSearchDirs) {
        if (auto found = dbResolveFileName((dir / name).string())) {
            outPath = *found;
            return 1;
        }
    }
    outPath = name;
    return 0;
}

// A host that has three faces: it answers a face name (in the block's family) or a font file
// whose name without folder and extension is the face name, and clears the request otherwise.
// "Heavy" exists in bold only and is answered as bold.
void stubFontFinder(TrueTypeLookup& request, void*) {
    ++gFontFinderCalls;
    std::string wanted = request.family;
    if (wanted.empty()) wanted = std::filesystem::path(request.name).stem().string();
    for (const char* face : {"Arial", "DejaVu Sans", "Heavy"}) {
        if (dbEqualsNoCase(wanted, face)) {
            request.family = face;
            if (wanted == "Heavy") request.params |= 0x02000000;
            return;
        }
    }
    request.name.clear();
    request.family.clear();
}

// Fonts resolve as TrueType only while the toolkit has a glyph routine; its work is not
// needed here.
void stubGlyphFill(GlyphFillArguments&) {}

class FontResolverTest : public test::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
        ASSERT_NE(drawing, nullptr);
        scratch = std::filesystem::temp_directory_path() /
                  ("tracemill_fonts_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(scratch);
        gSearchDirs = {test::fontFixtureDir(), scratch, test::testDataDir()};
        gFileFinderCalls = 0;
        gFontFinderCalls = 0;
        gSystemContext->fileFinder = fixtureFileFinder;
        gSystemContext->fontFinder = stubFontFinder;
        gSystemContext->glyphFill = stubGlyphFill;
    }
    void TearDown() override {
        dbFailAllocationAfter(-1);
        dbFreeDrawing(drawing);
        std::filesystem::remove_all(scratch);
        ToolkitTest::TearDown();
    }

    ShapeFont* simplex() { return gSystemContext->builtinFonts[0].get(); }
    ShapeFont* gdt() { return gSystemContext->builtinFonts[1].get(); }

    ShapeFont* resolve(std::string_view name, uint16_t mask = kAcceptPrimaryFont, std::string_view family = {},
                       int32_t params = -1) {
        return FontResolver(drawing, name, mask, &fallback, family, params);
    }

    // Writes a file into the scratch folder, which the file finder searches too.
    void writeScratch(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream out(scratch / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    size_t loadedCount() const { return drawing->fonts.list.size(); }

    Drawing* drawing = nullptr;
    ShapeFont fallback;  // stands for the caller's fallback font
    std::filesystem::path scratch;
};

TEST(FontNames, NormalisedShapeFileNames) {
    const struct {
        const char* name;
        const char* request;
    } cases[] = {
        {"romans", "ROMANS.SHX"},     {"romans.shx", "ROMANS.SHX"}, {"Txt", "TXT.SHX"},
        {"a.b", "A.B.SHX"},           {"a.shx", "A.SHX"},           {"font.x", "FONT.X.SHX"},
        {"isocp.SHX", "ISOCP.SHX"},   {"font.pfb", "FONT.PFB"},     {"", ".SHX"},
    };
    for (const auto& c : cases) EXPECT_EQ(genNormaliseShxName(c.name), c.request) << c.name;
}

TEST_F(FontResolverTest, ShapeFilesOfEveryKindAreLoadedOnce) {
    const struct {
        const char* name;
        uint16_t mask;
        const char* request;
        uint8_t kind;
    } cases[] = {
        {"shapes10", kAcceptPrimaryFont, "SHAPES10.SHX", 0x02},
        {"shapes11.shx", kAcceptPrimaryFont, "SHAPES11.SHX", 0x04},
        {"unifont", kAcceptPrimaryBesideBigFont, "UNIFONT.SHX", 0x10},
        {"bigfont", kAcceptBigFont, "BIGFONT.SHX", 0x08},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeFont* font = resolve(c.name, c.mask);
        ASSERT_NE(font, &fallback);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->request, c.request);
        EXPECT_EQ(font->kind, c.kind);
        std::string path = (test::fontFixtureDir() / c.request).string();
        std::transform(path.begin(), path.end(), path.begin(), [](char ch) { return char(std::toupper(ch)); });
        EXPECT_EQ(font->path, path) << "the found path, upper-cased";
        const int calls = gFileFinderCalls;
        EXPECT_EQ(resolve(c.name, c.mask), font) << "a second request returns the same record";
        EXPECT_EQ(gFileFinderCalls, calls) << "and searches nothing";
    }
    EXPECT_EQ(loadedCount(), 4u);
    EXPECT_EQ(genFindFontByRequest(drawing, "UNIFONT.SHX"), drawing->fonts.list[2].get());
    EXPECT_EQ(genFindFontByPath(drawing, drawing->fonts.list[3]->path), drawing->fonts.list[3].get());
    EXPECT_EQ(genFindFontByRequest(drawing, "unifont.shx"), nullptr) << "case matters";

    // The same file under another request is found by its path.
    EXPECT_EQ(resolve("fonts\\shapes10"), drawing->fonts.list[0].get());
    EXPECT_EQ(loadedCount(), 4u);
}

TEST_F(FontResolverTest, TrueTypeRequests) {
    const struct {
        const char* name;
        const char* family;
        int32_t params;
        const char* request;
        int32_t storedParams;
        const char* path;
        const char* askedName;
        const char* askedFamily;
    } cases[] = {
        {"Arial|b1|i0|c0|p34", "", -1, "Arial", 0x02000000 + 34, "ARIAL", "", "Arial"},
        {"Arial|b0|i1|c128|p2", "", 7, "Arial", 0x01000000 | (128 << 8) | 2, "ARIAL", "", "Arial"},
        {"arial.ttf", "", -1, "arial.ttf", -1, "ARIAL.TTF", "arial.ttf", "Arial"},
        {"", "DejaVu Sans", 0x22, "", 0x22, "DEJAVU SANS", "", "DejaVu Sans"},
        {"dejavusans.ttf", "DejaVu Sans", 0, "dejavusans.ttf", 0, "DEJAVUSANS.TTF", "dejavusans.ttf", "DejaVu Sans"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + std::string("/") + c.family);
        ShapeFont* font = resolve(c.name, kAcceptPrimaryFont, c.family, c.params);
        ASSERT_NE(font, &fallback);
        EXPECT_EQ(font->kind, kFontKindTrueType);
        EXPECT_EQ(font->above, 1000);
        EXPECT_EQ(font->request, c.request);
        EXPECT_EQ(font->trueType.params, c.storedParams);
        EXPECT_EQ(font->path, c.path);
        EXPECT_EQ(font->trueType.name, c.askedName);
        EXPECT_EQ(font->trueType.family, c.askedFamily);
        const int calls = gFontFinderCalls;
        EXPECT_EQ(resolve(c.name, kAcceptPrimaryFont, c.family, c.params), font);
        EXPECT_EQ(gFontFinderCalls, calls);
    }
    EXPECT_EQ(gFileFinderCalls, 0) << "TrueType requests never look for files";

    // Other parameters make another record of the same face.
    ShapeFont* bold = resolve("Arial|b1|i0|c0|p34");
    ShapeFont* italic = resolve("Arial|b0|i1|c0|p34");
    EXPECT_NE(bold, italic);
    EXPECT_EQ(italic->trueType.params, 0x01000000 + 34);
}

TEST_F(FontResolverTest, FaceAnsweredWithOtherParametersIsLoadedOnce) {
    ShapeFont* font = resolve("", kAcceptPrimaryFont, "Heavy", 0);
    ASSERT_NE(font, &fallback);
    EXPECT_EQ(font->trueType.params, 0x02000000) << "the host's answer is kept";
    EXPECT_EQ(resolve("", kAcceptPrimaryFont, "Heavy", 0), font);
    EXPECT_EQ(resolve("Heavy|b0"), font) << "another request of the same face and parameters, found by its path";
    EXPECT_EQ(loadedCount(), 1u);
}

TEST_F(FontResolverTest, TrueTypeFaceUnderTheBigFontMaskIsLoadedOnce) {
    ShapeFont* font = resolve("arial.ttf", kAcceptPrimaryBesideBigFont);
    ASSERT_EQ(font->kind, kFontKindTrueType);
    EXPECT_EQ(resolve("arial.ttf", kAcceptPrimaryBesideBigFont), font);
    EXPECT_EQ(loadedCount(), 1u);
    EXPECT_EQ(gFontFinderCalls, 1);
}

TEST_F(FontResolverTest, ShapeFileNotFoundTurnsToTrueTypeWhenTheMaskAllows) {
    ShapeFont* font = resolve("Arial");
    ASSERT_NE(font, &fallback);
    EXPECT_EQ(font->kind, kFontKindTrueType);
    EXPECT_EQ(font->request, "ARIAL.SHX");
    EXPECT_EQ(font->trueType.name, "Arial") << "the lookup gets the name as given";

    EXPECT_EQ(resolve("DejaVu Sans", kAcceptPrimaryBesideBigFont), &fallback) << "no TrueType beside a big font";
    EXPECT_EQ(resolve("nosuch.pfb"), &fallback) << "a Type 1 name never turns TrueType";
    EXPECT_EQ(gFontFinderCalls, 1);
}

TEST_F(FontResolverTest, BuiltinGdtWithoutTouchingTheList) {
    const struct {
        const char* name;
        uint16_t mask;
    } cases[] = {{"gdt", kAcceptPrimaryFont}, {"GDT.SHX", kAcceptPrimaryFont}, {"Gdt.shx", kAcceptBigFont},
                 {"gdt", kAcceptPrimaryBesideBigFont}, {"amgdt", kAcceptPrimaryFont}, {"AMGDT.SHX", kAcceptPrimaryFont}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(resolve(c.name, c.mask), gdt());
    }
    EXPECT_EQ(loadedCount(), 0u);
    EXPECT_EQ(drawing->fonts.missingCount, 0);
    gSystemContext->fontFinder = nullptr;
    EXPECT_EQ(resolve("amgdt"), gdt()) << "not found as a file";
}

TEST_F(FontResolverTest, MissingNamesAreNotSearchedAgain) {
    const struct {
        const char* name;
        uint16_t mask;
        const char* why;
    } cases[] = {
        {"nosuch", kAcceptPrimaryFont, "neither a file nor a face"},
        {"type1.pfb", kAcceptPrimaryFont, "a found file of another extension"},
        {"shapes11", kAcceptBigFont, "a kind the mask refuses"},
        {"bigfont", kAcceptPrimaryFont, "a big font as a primary font"},
        {"notafont", kAcceptPrimaryBesideBigFont, "not a shape file"},
    };
    writeScratch("notafont.shx", std::vector<uint8_t>(64, 'x'));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(resolve(c.name, c.mask), &fallback);
        EXPECT_EQ(genIsMissingFont(drawing, c.name), 1);
        const int files = gFileFinderCalls;
        const int faces = gFontFinderCalls;
        EXPECT_EQ(resolve(c.name, c.mask), &fallback);
        EXPECT_EQ(gFileFinderCalls, files);
        EXPECT_EQ(gFontFinderCalls, faces);
    }
    EXPECT_EQ(loadedCount(), 0u);

    EXPECT_EQ(resolve("", kAcceptPrimaryFont, "No Such Face", 0), &fallback);
    EXPECT_EQ(genIsMissingFont(drawing, "No Such Face"), 1) << "the family stands for an empty name";
    EXPECT_EQ(resolve("other", kAcceptPrimaryFont, "No Such Face", 0), &fallback) << "a missing family";
    EXPECT_EQ(resolve("", kAcceptPrimaryFont, {}, 0), &fallback) << "nothing named";
}

TEST_F(FontResolverTest, LongNamesAndPathsAreKeptWhole) {
    const std::string folder(120, 'd');
    std::filesystem::create_directories(scratch / folder);
    const std::string name = folder + "/" + std::string(90, 'f');
    writeScratch(name + ".shx", test::fileBytes(test::fontFixtureDir() / "shapes11.shx"));
    ShapeFont* font = resolve(name);
    ASSERT_NE(font, &fallback);
    EXPECT_EQ(font->request, genNormaliseShxName(name));
    EXPECT_GT(font->path.size(), 220u);
    EXPECT_TRUE(font->path.ends_with(genNormaliseShxName(name)));
    const std::string missing(300, 'm');
    EXPECT_EQ(resolve(missing), &fallback);
    EXPECT_EQ(genIsMissingFont(drawing, missing), 1);
    EXPECT_EQ(genIsMissingFont(drawing, missing.substr(0, 255)), 0);
}

TEST_F(FontResolverTest, MissingFontRingKeepsTheLastFive) {
    for (const char* name : {"m1", "m2", "m3", "m4", "m5", "m6"}) genNoteMissingFont(drawing, name);
    EXPECT_EQ(drawing->fonts.missingCount, 5);
    EXPECT_EQ(genIsMissingFont(drawing, "m1"), 0) << "overwritten by the sixth";
    for (const char* name : {"m2", "m3", "m4", "m5", "m6"}) EXPECT_EQ(genIsMissingFont(drawing, name), 1) << name;
    drawing->fonts.missingNext = 9;  // a slot outside the ring starts again at 0
    genNoteMissingFont(drawing, "m7");
    EXPECT_EQ(drawing->fonts.missing[0], "m7");
}

TEST_F(FontResolverTest, WithoutFinderOrGlyphRoutineNoTrueType) {
    gSystemContext->glyphFill = nullptr;
    EXPECT_EQ(resolve("arial.ttf"), &fallback);
    EXPECT_EQ(gFontFinderCalls, 0);
    gSystemContext->glyphFill = stubGlyphFill;
    gSystemContext->fontFinder = nullptr;
    EXPECT_EQ(resolve("Arial|b1|i0|c0|p34"), &fallback);
}

TEST_F(FontResolverTest, WithoutFileFinderThePathIsTheRequest) {
    gSystemContext->fileFinder = nullptr;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::create_directories(scratch / "cwd");
    writeScratch("cwd/SHAPES11.SHX", test::fileBytes(test::fontFixtureDir() / "shapes11.shx"));
    std::filesystem::current_path(scratch / "cwd");
    ShapeFont* font = resolve("shapes11");
    std::filesystem::current_path(previous);
    ASSERT_NE(font, &fallback);
    EXPECT_EQ(font->path, "SHAPES11.SHX");
}

TEST_F(FontResolverTest, BigFontThatFailsGivesNull) {
    std::vector<uint8_t> damaged = test::fileBytes(test::fontFixtureDir() / "bigfont.shx");
    damaged[26] = 0xFF;  // more index slots than the file holds
    writeScratch("damaged.shx", damaged);
    EXPECT_EQ(FontResolver(drawing, "nosuchbig", kAcceptBigFont, nullptr, {}, -1), nullptr);
    EXPECT_EQ(FontResolver(drawing, "damaged", kAcceptBigFont, nullptr, {}, -1), nullptr);
    EXPECT_EQ(genIsMissingFont(drawing, "damaged"), 1) << "a damaged file is not read again";
    EXPECT_EQ(FontResolver(drawing, "shapes10", kAcceptBigFont, nullptr, {}, -1), nullptr);
    EXPECT_EQ(loadedCount(), 0u);
}

TEST_F(FontResolverTest, DamagedShapeFontGivesTheFallback) {
    std::vector<uint8_t> damaged = test::fileBytes(test::fontFixtureDir() / "shapes11.shx");
    damaged[28] = 0xFF;  // more index entries than the file holds
    writeScratch("cut.shx", damaged);
    EXPECT_EQ(resolve("cut"), &fallback);
    EXPECT_EQ(genIsMissingFont(drawing, "cut"), 1);
}

TEST_F(FontResolverTest, Simplex6IsMarked) {
    writeScratch("simplex6.shx", test::fileBytes(test::fontFixtureDir() / "shapes11.shx"));
    ShapeFont* font = resolve("simplex6");
    ASSERT_NE(font, &fallback);
    EXPECT_EQ(font->kind, kFontKindShapes11 | kFontKindSimplex6);
}

TEST_F(FontResolverTest, ExhaustedMemory) {
    enum Result { Fallback, Simplex, Null };
    const struct {
        const char* name;
        uint16_t mask;
        long failingAllocation;
        int error;
        Result result;
    } cases[] = {
        {"shapes11", kAcceptPrimaryFont, 0, 293, Fallback},  // the record
        {"shapes11", kAcceptPrimaryFont, 1, 293, Fallback},  // the file's bytes
        {"shapes11", kAcceptPrimaryFont, 2, 268, Simplex},   // the index pairs
        {"shapes11", kAcceptPrimaryFont, 3, 267, Simplex},   // the index
        {"shapes11", kAcceptPrimaryFont, 4, 267, Simplex},   // its sorted copy
        {"bigfont", kAcceptBigFont, 1, 293, Fallback},       // the file's bytes
        {"bigfont", kAcceptBigFont, 2, 270, Null},           // the ranges
        {"bigfont", kAcceptBigFont, 3, 270, Null},           // the slots
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " allocation " + std::to_string(c.failingAllocation));
        gSystemContext->errorNumber = 0;
        dbFailAllocationAfter(c.failingAllocation);
        ShapeFont* font = FontResolver(drawing, c.name, c.mask, &fallback, {}, -1);
        dbFailAllocationAfter(-1);
        EXPECT_EQ(gSystemContext->errorNumber, c.error);
        EXPECT_EQ(font, c.result == Simplex ? simplex() : c.result == Null ? nullptr : &fallback);
        EXPECT_EQ(loadedCount(), 0u);
        EXPECT_EQ(genIsMissingFont(drawing, c.name), 0) << "tried again once memory is back";
    }
    EXPECT_NE(resolve("shapes11"), &fallback);
}

TEST_F(FontResolverTest, FreeingEmptiesTheListAndTheRing) {
    ASSERT_NE(resolve("shapes11"), &fallback);
    resolve("nosuch");
    genFreeDrawingFonts(drawing);
    EXPECT_EQ(loadedCount(), 0u);
    EXPECT_EQ(drawing->fonts.missingCount, 0);
    EXPECT_EQ(genIsMissingFont(drawing, "nosuch"), 0);
    EXPECT_NE(resolve("shapes11"), &fallback) << "loaded again";
}

// Shape names of shape-file styles.
class ShapeNamesTest : public FontResolverTest {
protected:
    Handle addStyle(const std::string& name, const std::string& fontFile, uint8_t flags) {
        StyleRecord style;
        style.name = name;
        style.fontFile = fontFile;
        style.flags = flags;
        style.handle = dbNewHandle(*drawing);
        EXPECT_NE(dbAddTableRecord(style.handle, drawing->handleIndex, StoredRecord<StyleRecord>(style), &drawing->styles,
                                   kInsertAtEnd, nullptr),
                  nullptr);
        return style.handle;
    }
};

TEST_F(ShapeNamesTest, NameFoundInTheSecondStyleThenAnsweredByTheCache) {
    addStyle("TEXTSTYLE", "shapes127", 0);  // not a shape-file style
    const Handle first = addStyle("FIRST", "shapes11", 1);
    const Handle second = addStyle("SECOND", "shapes127.shx", 1);
    Handle style;
    uint8_t number = 0;
    ASSERT_EQ(genShapeNumberByName(drawing, "RING", style, number), 1);
    EXPECT_EQ(style, second);
    EXPECT_EQ(number, 248);
    const int calls = gFileFinderCalls;
    std::filesystem::path moved = scratch / "gone";
    gSearchDirs = {moved};  // no file can be found any more
    EXPECT_EQ(genShapeNumberByName(drawing, "RING", style, number), 1) << "from the cache";
    EXPECT_EQ(style, second);
    EXPECT_EQ(gFileFinderCalls, calls);
    EXPECT_EQ(genShapeNumberByName(drawing, "CIRCLE", style, number), 0);
    EXPECT_EQ(style, Handle());
    EXPECT_EQ(number, 0);

    gSearchDirs = {test::fontFixtureDir()};
    std::string name;
    ASSERT_EQ(genShapeNameByNumber(drawing, first, 67, name), 1);
    EXPECT_EQ(name, "CIRCLE");
    EXPECT_EQ(genShapeNameByNumber(drawing, first, 127, name), 0) << "not in the first style's file";
    ASSERT_EQ(genShapeNameByNumber(drawing, second, 127, name), 1);
    EXPECT_EQ(name, "DEGREE");
    EXPECT_EQ(genShapeNameByNumber(drawing, Handle(0xFFFF), 127, name), 0) << "no such style";
}

TEST_F(ShapeNamesTest, CacheHoldsTenNamesAndRestartsFromTheNames) {
    const Handle style = addStyle("SHAPES", "shapes11", 1);
    // Ten answers by number fill the cache; an eleventh is not kept.
    std::string name;
    for (int i = 0; i < kShapeNameCacheSize; ++i) {
        drawing->fonts.shapeNames[i] = ShapeNameCacheEntry{Handle(0x100 + i), 1, "N" + std::to_string(i)};
    }
    drawing->fonts.shapeNameCount = kShapeNameCacheSize;
    ASSERT_EQ(genShapeNameByNumber(drawing, style, 63, name), 1);
    EXPECT_EQ(name, "QUESTION");
    EXPECT_EQ(drawing->fonts.shapeNameCount, kShapeNameCacheSize);
    // An answer by name into a full cache starts it anew.
    Handle found;
    uint8_t number = 0;
    ASSERT_EQ(genShapeNumberByName(drawing, "CIRCLE", found, number), 1);
    EXPECT_EQ(drawing->fonts.shapeNameCount, 1);
    EXPECT_EQ(drawing->fonts.shapeNames[0].name, "CIRCLE");
    EXPECT_EQ(drawing->fonts.shapeNames[0].number, 67);
    ASSERT_EQ(genShapeNameByNumber(drawing, style, 63, name), 1);
    EXPECT_EQ(drawing->fonts.shapeNameCount, 2);
}

} // namespace
} // namespace tracemill
