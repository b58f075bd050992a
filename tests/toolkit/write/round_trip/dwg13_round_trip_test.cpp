// Round trips through the R13-2000 DWG writer: every sample drawing the reader accepts and a new
// drawing of each of the three versions, saved as DWG "AC1012", "AC1014" and "AC1015", read back
// and compared with the first load after the allowed differences (a DWG sample saved as its
// own version only those that say why they remain); the written file passes the structure
// check, and a second save of the reloaded drawing gives the same bytes.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dwg13_differences.h"
#include "dwg13_structure_check.h"
#include "round_trip.h"
#include "test_paths.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit_fixture.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

// Where each process notes the rows its cases needed (set by CTest).
std::string dwgRowsDirectory() {
    const char* dir = std::getenv("TRACEMILL_DWG_ROUND_TRIP_ROWS");
    return dir ? dir : "";
}

// How many differing lines a failure shows (TRACEMILL_ROUND_TRIP_SHOW, 12 by default).
size_t shownDifferences() {
    const char* shown = std::getenv("TRACEMILL_ROUND_TRIP_SHOW");
    return shown ? size_t(std::atoi(shown)) : 12;
}

class Dwg13RoundTrip : public test::WriterTest {
protected:
    void roundTrips(Drawing* original, const std::string& name, bool newDrawing) {
        test::RoundTripComparison comparison(test::dwg13AllowedDifferences());
        const test::DumpLines whole = test::dumpLines(*original);
        std::set<std::string> needed;
        std::set<std::string> applied;
        for (int16_t version = kVersionAC1012; version <= kVersionAC1015; ++version) {
            const std::string label = name + " as " + std::string(kVersionSignatures[version]);
            if (newDrawing && original->creationVersion < version && version == kVersionAC1015) continue;
            const auto path = folder_ / ("first." + std::to_string(version) + ".dwg");
            ASSERT_EQ(test::saveAs(original, path, kSaveFormatDwg, version), 1) << label << ": error " << dbGetError();
            EXPECT_EQ(test::dumpLines(*original), whole) << label << ": the save changed the drawing";
            const test::Dwg13CheckResult check = test::checkDwg13File(path);
            EXPECT_TRUE(check.ok()) << label << "\n" << check.report();
            Drawing* reloaded = keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0));
            ASSERT_NE(reloaded, nullptr) << label << ": reload error " << dbGetError();
            test::RoundTripCase c{version, kSaveFormatDwg, original->versionIndex, uint8_t(original->sourceFormat), {}};
            // A DWG file saved as its own version needs none of the rows but those that say why
            // they remain.
            const bool ownVersion = original->creationVersion == kCreationVersionLoaded &&
                                    original->sourceFormat == SourceFormat::Dwg && original->versionIndex == version;
            test::RoundTripComparison own(comparison.rows());
            const std::vector<std::string> left = (ownVersion ? own : comparison)
                                                      .compare(test::dwg13ComparedLines(whole),
                                                               test::dwg13ComparedLines(test::dumpLines(*reloaded)), c);
            for (const std::string& row : own.needed()) {
                EXPECT_TRUE(test::dwg13RemainsForOwnVersion(row)) << label << ": saved as its own version it needs "
                                                                  << "the row " << row;
                needed.insert(row);
            }
            applied.insert(own.applied().begin(), own.applied().end());
            std::string shown;
            for (size_t i = 0; i < left.size() && i < shownDifferences(); ++i) shown += left[i].substr(0, 3000) + "\n";
            EXPECT_TRUE(left.empty()) << label << ": " << left.size() << " lines differ\n" << shown;

            // Our own file saved again the same way gives the same bytes.
            const auto second = folder_ / ("second." + std::to_string(version) + ".dwg");
            ASSERT_EQ(test::saveAs(reloaded, second, kSaveFormatDwg, version), 1) << label << ": second save";
            EXPECT_TRUE(test::readFileBytes(second) == test::readFileBytes(path)) << label << ": the second round differs";
        }
        if (dwgRowsDirectory().empty()) return;
        needed.insert(comparison.needed().begin(), comparison.needed().end());
        applied.insert(comparison.applied().begin(), comparison.applied().end());
        test::recordNeededRows(dwgRowsDirectory(), name, needed, applied);
    }
};

class DwgSampleRoundTrip : public Dwg13RoundTrip, public ::testing::WithParamInterface<const char*> {};

TEST_P(DwgSampleRoundTrip, AsEachBitCodedVersion) {
    TM_REQUIRE_SAMPLES(samples);
    const std::filesystem::path path = samples / GetParam();
    Drawing* drawing = keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0));
    ASSERT_NE(drawing, nullptr) << path << ": error " << dbGetError();
    roundTrips(drawing, test::sampleTestName(GetParam()), false);
}

INSTANTIATE_TEST_SUITE_P(Samples, DwgSampleRoundTrip, ::testing::ValuesIn(test::roundTripSamples()),
                         [](const ::testing::TestParamInfo<const char*>& info) { return test::sampleTestName(info.param); });

class DwgNewDrawingRoundTrip : public Dwg13RoundTrip, public ::testing::WithParamInterface<int> {};

// A new drawing of index 5, 6 and 7, saved as each version it may be saved as.
TEST_P(DwgNewDrawingRoundTrip, AsEachBitCodedVersion) {
    Drawing* drawing = keep(dbCreateDrawing(nullptr, nullptr, 0, uint16_t(GetParam())));
    ASSERT_NE(drawing, nullptr);
    roundTrips(drawing, "new_" + std::to_string(GetParam()), true);
}

INSTANTIATE_TEST_SUITE_P(Versions, DwgNewDrawingRoundTrip, ::testing::Range(5, 8));

// Runs after every round trip of the run (CTest orders it last): every row of the table of
// allowed differences must have been needed by some case, when all cases ran.
TEST(DwgRoundTripRows, EveryRowIsNeeded) {
    test::expectEveryRowNeeded(dwgRowsDirectory(), test::roundTripSamples().size() + 3, test::dwg13AllowedDifferences());
}

} // namespace
} // namespace tracemill
