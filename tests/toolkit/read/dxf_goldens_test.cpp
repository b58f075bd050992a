// The fixture set of every entity and object kind the DXF reader reads: the dump of each
// loaded fixture equals its committed golden (tests/data/dxf/<name>.dump), and the binary twin
// of the 2000 fixture dumps like its ASCII file. TRACEMILL_UPDATE_GOLDENS=1 rewrites the
// goldens (review the difference before committing it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/test_paths.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/core/drawing_dump.h"

namespace tracemill::test {
namespace {

using DxfGoldensTest = ToolkitTest;

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The dump without its first line, which names the source format.
std::string withoutFirstLine(const std::string& dump) { return dump.substr(dump.find('\n') + 1); }

void expectSameText(const std::string& actual, const std::string& expected, const std::string& what) {
    if (actual == expected) return;
    std::istringstream a(actual);
    std::istringstream e(expected);
    std::string lineA;
    std::string lineE;
    for (int line = 1;; ++line) {
        const bool moreA = bool(std::getline(a, lineA));
        const bool moreE = bool(std::getline(e, lineE));
        if (!moreA && !moreE) break;
        if (lineA != lineE || moreA != moreE) {
            ADD_FAILURE() << what << ": line " << line << "\nactual:   " << lineA << "\nexpected: " << lineE;
            return;
        }
    }
}

TEST_F(DxfGoldensTest, FixtureDumpsEqualTheirGoldens) {
    const bool update = std::getenv("TRACEMILL_UPDATE_GOLDENS") != nullptr;
    for (const char* name : {"kinds_2000", "kinds_r12", "minimal"}) {
        const std::filesystem::path dir = testDataDir() / "dxf";
        DrawingPtr drawing = loadFile((dir / (std::string(name) + ".dxf")).string());
        ASSERT_TRUE(drawing) << name << ": error " << dbGetError();
        const std::string dump = dbDumpDrawingText(*drawing);
        const std::filesystem::path golden = dir / (std::string(name) + ".dump");
        if (update) std::ofstream(golden, std::ios::binary) << dump;
        expectSameText(dump, readText(golden), name);
    }
}

TEST_F(DxfGoldensTest, TheBinaryTwinDumpsLikeItsAsciiFile) {
    const std::filesystem::path dir = testDataDir() / "dxf";
    DrawingPtr ascii = loadFile((dir / "kinds_2000.dxf").string());
    DrawingPtr binary = loadFile((dir / "kinds_2000.dxfb").string());
    ASSERT_TRUE(ascii && binary) << dbGetError();
    expectSameText(withoutFirstLine(dbDumpDrawingText(*binary)), withoutFirstLine(dbDumpDrawingText(*ascii)),
                   "kinds_2000 binary against ASCII");
}

} // namespace
} // namespace tracemill::test
