// Round trips through the DWG writer of the files before R13: every sample drawing the reader
// accepts and a new drawing of every version, saved as "AC1002" to "AC1009". Each written file
// passes the structure check and the reader's light file check, its load dumps as the first
// load but for the allowed differences, and a second save of the reloaded drawing gives the
// same bytes.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dwg12_differences.h"
#include "dwg12_structure_check.h"
#include "version_differences.h"
#include "round_trip.h"
#include "test_paths.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg_file_check.h"
#include "toolkit_fixture.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

// Where each process notes the rows its cases needed (set by CTest).
std::string dwg12RowsDirectory() {
    const char* dir = std::getenv("TRACEMILL_DWG12_ROUND_TRIP_ROWS");
    return dir ? dir : "";
}

size_t dwg12ShownLines() {
    const char* shown = std::getenv("TRACEMILL_ROUND_TRIP_SHOW");
    return shown ? size_t(std::atoi(shown)) : 12;
}

class Dwg12RoundTrip : public test::WriterTest {
protected:
    void roundTrips(Drawing* original, const std::string& name) {
        test::RoundTripComparison comparison(test::versionAllowedDifferences());
        test::RoundTripComparison ownComparison(test::dwg12OwnVersionDifferences());
        const test::DumpLines first = test::dumpLines(*original);
        for (int16_t version = 0; version <= 4; ++version) {
            const std::string label = name + " as " + std::string(kVersionSignatures[version]);
            const auto path = folder_ / ("first." + std::to_string(version) + ".dwg");
            ASSERT_EQ(test::saveAs(original, path, kSaveFormatDwg, version), 1) << label << ": error " << dbGetError();
            const std::vector<uint8_t> bytes = test::readFileBytes(path);
            const test::Dwg12CheckResult check = test::checkDwg12Structure(bytes);
            EXPECT_TRUE(check.ok()) << label << "\n" << check.report();
            EXPECT_EQ(check.version, version) << label;
            EXPECT_NE(rdCheckDwgFile(bytes, kDwgCheckLight), 1) << label << ": light check, error " << dbGetError();
            Drawing* reloaded = keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0));
            ASSERT_NE(reloaded, nullptr) << label << ": reload error " << dbGetError();
            test::RoundTripCase c{version, kSaveFormatDwg, original->versionIndex, uint8_t(original->sourceFormat), {}};
            // A DWG file of its own version needs none of the differences of other versions.
            const bool ownVersion = original->creationVersion == kCreationVersionLoaded &&
                                    original->sourceFormat == SourceFormat::Dwg && original->versionIndex == version;
            const std::vector<std::string> left = ownVersion
                                                      ? ownComparison.compare(first, test::dumpLines(*reloaded), c)
                                                      : comparison.compare(first, test::dumpLines(*reloaded), c);
            std::string shown;
            for (size_t i = 0; i < left.size() && i < dwg12ShownLines(); ++i) shown += left[i].substr(0, 4000) + "\n";
            EXPECT_TRUE(left.empty()) << label << ": " << left.size() << " lines differ\n" << shown;

            // Our own file loaded and saved again the same way gives the same bytes.
            const auto second = folder_ / ("second." + std::to_string(version) + ".dwg");
            ASSERT_EQ(test::saveAs(reloaded, second, kSaveFormatDwg, version), 1) << label << ": second save";
            EXPECT_TRUE(test::readFileBytes(second) == bytes) << label << ": the second round differs";
        }
        if (!dwg12RowsDirectory().empty()) {
            std::set<std::string> needed = comparison.needed();
            needed.insert(ownComparison.needed().begin(), ownComparison.needed().end());
            std::set<std::string> applied = comparison.applied();
            applied.insert(ownComparison.applied().begin(), ownComparison.applied().end());
            test::recordNeededRows(dwg12RowsDirectory(), name, needed, applied);
        }
    }
};

class Dwg12SampleRoundTrip : public Dwg12RoundTrip, public ::testing::WithParamInterface<const char*> {};

TEST_P(Dwg12SampleRoundTrip, EveryOldVersion) {
    TM_REQUIRE_SAMPLES(samples);
    const std::filesystem::path path = samples / GetParam();
    Drawing* drawing = keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0));
    ASSERT_NE(drawing, nullptr) << path << ": error " << dbGetError();
    roundTrips(drawing, test::sampleTestName(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Samples, Dwg12SampleRoundTrip, ::testing::ValuesIn(test::roundTripSamples()),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return test::sampleTestName(info.param);
                         });

class Dwg12NewDrawingRoundTrip : public Dwg12RoundTrip, public ::testing::WithParamInterface<int> {};

TEST_P(Dwg12NewDrawingRoundTrip, EveryOldVersion) {
    Drawing* drawing = keep(dbCreateDrawing(nullptr, nullptr, 0, uint16_t(GetParam())));
    ASSERT_NE(drawing, nullptr);
    roundTrips(drawing, "new_" + std::to_string(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Versions, Dwg12NewDrawingRoundTrip, ::testing::Range(0, 8));

// Runs after every round trip of the run (CTest orders it last): every row of the tables of
// allowed differences must have been needed by some case, when all cases ran.
TEST(Dwg12RoundTripRows, EveryRowIsNeeded) {
    std::vector<test::AllowedDifference> rows(test::versionAllowedDifferences().begin(),
                                              test::versionAllowedDifferences().end());
    rows.insert(rows.end(), test::dwg12OwnVersionDifferences().begin(), test::dwg12OwnVersionDifferences().end());
    test::expectEveryRowNeeded(dwg12RowsDirectory(), test::roundTripSamples().size() + 8, rows);
}

} // namespace
} // namespace tracemill
