#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/render/cad_support_folder.h"
#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"
#include "app/render/shx_search_dirs.h"
#include "app/render/support_file_search.h"
#include "host_test_support.h"

namespace tracemill::test {
namespace {

// Support files spread over the search folders: the CAD support folder, the folder of the
// drawing, a font search directory and the program folder.
class SupportFileSearch : public HostCallbackTest {
protected:
    void SetUp() override {
        HostCallbackTest::SetUp();
        for (const char* dir : {"cad", "drawing", "fonts", "program"}) std::filesystem::create_directory(folder.path() / dir);
        folder.write("cad/txt.shx", "in the CAD folder");
        folder.write("fonts/txt.shx", "in a font folder");
        folder.write("cad/a.shx", "one letter");
        folder.write("drawing/ltypeshp.shx", "beside the drawing");
        folder.write("fonts/simplex.shx", "lower case");
        folder.write("fonts/gdt.shx", "lower case");
        folder.write("program/isocp.shx", "with the program");
        folder.write("program/acad.lin", "linetypes");
        SetCadSupportDir(folder / "cad");
        drawingObject.SetSourcePath(folder / "drawing/plan.dwg");
        CreateShxDirList();
        SetShxDirList({folder / "fonts"});
        SetProgramFolder(folder / "program/");
    }
    void TearDown() override {
        DeleteShxDirList();
        SetProgramFolder("");
        SetCurrentDrawingFolder("");
        HostCallbackTest::TearDown();
    }

    TempFolder folder;
    CDrawingObject drawingObject;
};

struct SupportFileCase {
    const char* name;
    const char* found; // under the test folder; null: not found, the name comes back
};

TEST_F(SupportFileSearch, FilesAreFoundAlongTheFoldersInOrder) {
    const std::string existing = folder / "fonts/gdt.shx";
    const SupportFileCase cases[] = {
        {"txt.shx", "cad/txt.shx"},
        {"ltypeshp.shx", "drawing/ltypeshp.shx"},
        {"C:\\Fonts\\SIMPLEX.SHX", "fonts/simplex.shx"},
        {"..\\fonts\\GDT.SHX", "fonts/gdt.shx"},
        {"isocp.shx", "program/isocp.shx"},
        {existing.c_str(), "fonts/gdt.shx"},
        {"missing.shx", nullptr},
        {"a.shx", nullptr},     // a one-letter title is not searched
        {"C:\\fonts\\", nullptr}, // no file name
        {"", nullptr},
    };
    for (const SupportFileCase& c : cases) {
        std::string out = "stale";
        const int found = FindSupportFile(c.name, out, &drawingObject);
        EXPECT_EQ(found, c.found ? 1 : 0) << c.name;
        EXPECT_EQ(out, c.found ? folder / c.found : std::string(c.name)) << c.name;
    }
    const char* searched = std::getenv("KirvGlintviewTempEnv");
    ASSERT_NE(searched, nullptr);
    EXPECT_TRUE(std::string(searched).starts_with(folder / "cad;" + folder / "drawing/;" + folder / "fonts;"))
        << searched;
}

TEST_F(SupportFileSearch, TheDrawingsFolderIsSearchedOnlyWithItsDrawingObject) {
    std::string out;
    EXPECT_EQ(FindSupportFile("ltypeshp.shx", out, nullptr), 0);
    EXPECT_EQ(out, "ltypeshp.shx");
    DeviceHostContext pair{&drawingObject, nullptr};
    GetGdiOutputState().deviceHooks = 1; // during export the host word is the pair
    EXPECT_EQ(FindSupportFile("ltypeshp.shx", out, &pair), 1);
    GetGdiOutputState().deviceHooks = 0;
    EXPECT_EQ(out, folder / "drawing/ltypeshp.shx");
}

TEST_F(SupportFileSearch, TheLinetypeFileIsLookedForBesideTheCurrentDrawing) {
    std::string out;
    EXPECT_TRUE(FindAcadLinFile(out));
    EXPECT_EQ(out, folder / "program/acad.lin");
    folder.write("drawing/acad.lin", "the drawing's own");
    SetCurrentDrawingFolder(folder / "drawing/");
    EXPECT_TRUE(FindAcadLinFile(out));
    EXPECT_EQ(out, folder / "drawing/acad.lin");
    SetProgramFolder(folder / "fonts/");
    SetCurrentDrawingFolder(folder / "cad/");
    out = "unchanged";
    EXPECT_FALSE(FindAcadLinFile(out));
    EXPECT_EQ(out, "unchanged");
}

TEST_F(SupportFileSearch, NothingIsSearchedWithoutANameOrAList) {
    std::string found = "unchanged";
    SearchFileOnEnvPath("", folder / "cad", found);
    SearchFileOnEnvPath("txt.shx", "", found);
    EXPECT_EQ(found, "unchanged");
    SearchFileOnEnvPath("txt.shx", ";;" + folder / "fonts" + ";", found);
    EXPECT_EQ(found, folder / "fonts/txt.shx");
    SearchFileOnEnvPath("nothing.shx", folder / "fonts", found);
    EXPECT_EQ(found, "");
}

} // namespace
} // namespace tracemill::test
