// Round trips through the DXF writer: every sample drawing the reader accepts and a new drawing
// of every version, saved as ASCII and binary DXF of each version, read back and compared with
// the first load after the allowed differences; the written file passes the structure check,
// and a second save of the reloaded drawing gives the same bytes.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dxf_differences.h"
#include "round_trip.h"
#include "test_paths.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit_fixture.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

// Where each process notes the rows its cases needed (set by CTest), so that the last test of
// the run can tell whether every row was needed by some case.
std::string rowsDirectory() {
    const char* dir = std::getenv("TRACEMILL_ROUND_TRIP_ROWS");
    return dir ? dir : "";
}

// How many differing lines a failure shows (TRACEMILL_ROUND_TRIP_SHOW, 12 by default).
size_t shownLines() {
    const char* shown = std::getenv("TRACEMILL_ROUND_TRIP_SHOW");
    return shown ? size_t(std::atoi(shown)) : 12;
}

class DxfRoundTrip : public test::WriterTest {
protected:
    // Saves the drawing as every version in both forms and compares. `name` names the case.
    void roundTrips(Drawing* original, const std::string& name) {
        test::RoundTripComparison comparison(test::dxfAllowedDifferences());
        const test::DumpLines first = test::dumpLines(*original);
        for (int16_t version = 0; version <= 7; ++version) {
            for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
                const std::string label = name + " as " + std::string(kVersionSignatures[version]) +
                                          (format == kSaveFormatBinaryDxf ? " binary" : " ASCII");
                const auto path = folder_ / ("first." + std::to_string(version) + "." + std::to_string(format));
                const int saved = test::saveAs(original, path, format, version);
                if (original->creationVersion != kCreationVersionLoaded && original->creationVersion < 7 &&
                    version == 7) {
                    EXPECT_EQ(saved, 0) << label;
                    continue;
                }
                ASSERT_EQ(saved, 1) << label << ": error " << dbGetError();
                const test::DxfCheckResult check = test::checkDxfFile(path, std::string(kVersionSignatures[version]));
                EXPECT_TRUE(check.ok()) << label << "\n" << check.report();
                Drawing* reloaded = keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0));
                ASSERT_NE(reloaded, nullptr) << label << ": reload error " << dbGetError();
                test::RoundTripCase c{version, format, original->versionIndex, uint8_t(original->sourceFormat), {}};
                for (const test::DxfCheckGroup& g : check.groups) {
                    if (g.code == 0 && g.value == "ENDSEC") break;
                    if (g.code == 9 && g.value.starts_with("$")) c.fileHeaderVariables.insert(g.value.substr(1));
                }
                const std::vector<std::string> left = comparison.compare(first, test::dumpLines(*reloaded), c);
                std::string shown;
                for (size_t i = 0; i < left.size() && i < shownLines(); ++i) shown += left[i].substr(0, 4000) + "\n";
                EXPECT_TRUE(left.empty()) << label << ": " << left.size() << " lines differ\n" << shown;

                // Our own file saved again the same way gives the same bytes.
                const auto second = folder_ / ("second." + std::to_string(version) + "." + std::to_string(format));
                ASSERT_EQ(test::saveAs(reloaded, second, format, version), 1) << label << ": second save";
                EXPECT_TRUE(test::readFileBytes(second) == test::readFileBytes(path))
                    << label << ": the second round differs";

            }
        }
        if (!rowsDirectory().empty())
            test::recordNeededRows(rowsDirectory(), name, comparison.needed(), comparison.applied());
    }

};

class SampleRoundTrip : public DxfRoundTrip, public ::testing::WithParamInterface<const char*> {};

TEST_P(SampleRoundTrip, EveryVersionBothForms) {
    TM_REQUIRE_SAMPLES(samples);
    const std::filesystem::path path = samples / GetParam();
    Drawing* drawing = keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0));
    ASSERT_NE(drawing, nullptr) << path << ": error " << dbGetError();
    roundTrips(drawing, test::sampleTestName(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleRoundTrip, ::testing::ValuesIn(test::roundTripSamples()),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return test::sampleTestName(info.param);
                         });

class NewDrawingRoundTrip : public DxfRoundTrip, public ::testing::WithParamInterface<int> {};

TEST_P(NewDrawingRoundTrip, EveryVersionBothForms) {
    Drawing* drawing = keep(dbCreateDrawing(nullptr, nullptr, 0, uint16_t(GetParam())));
    ASSERT_NE(drawing, nullptr);
    roundTrips(drawing, "new_" + std::to_string(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Versions, NewDrawingRoundTrip, ::testing::Range(0, 8));

// Runs after every round trip of the run (CTest orders it last): every row of the table of
// allowed differences must have been needed by some case, when all cases ran.
TEST(DxfRoundTripRows, EveryRowIsNeeded) {
    test::expectEveryRowNeeded(rowsDirectory(), test::roundTripSamples().size() + 8, test::dxfAllowedDifferences());
}

} // namespace
} // namespace tracemill
