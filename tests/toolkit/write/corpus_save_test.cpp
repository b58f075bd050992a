// The writers read no outside input, but whatever a reader accepts must save: every input of
// the committed DXF and DWG reader fuzz corpora that loads is saved as "AC1009" and "AC1015"
// DXF, ASCII and binary, and as DWG "AC1002", "AC1009", "AC1012", "AC1014" and "AC1015" (under
// the sanitizers in the test build). Each save passes the structure check of its format (a DWG file also loads again), or
// fails with an error number and leaves no file; the drawing is the same after the save.
#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "dwg12_structure_check.h"
#include "dwg13_structure_check.h"
#include "round_trip.h"
#include "test_paths.h"
#include "toolkit/read/drawing_loader.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

class CorpusSave : public test::WriterTest {};

TEST_F(CorpusSave, EveryLoadableInputSavesOrFailsCleanly) {
    const std::filesystem::path corpora = test::testDataDir() / ".." / "fuzz" / "corpus";
    int loaded = 0;
    for (const char* corpus : {"dxf_reader", "dwg13_reader", "dwg12_reader"}) {
        ASSERT_TRUE(std::filesystem::is_directory(corpora / corpus)) << corpus;
        std::vector<std::filesystem::path> inputs;
        for (const auto& entry : std::filesystem::directory_iterator(corpora / corpus)) inputs.push_back(entry.path());
        std::sort(inputs.begin(), inputs.end());
        for (const std::filesystem::path& input : inputs) {
            Drawing* drawing = keep(rdOpenDrawing(input.c_str(), kOpenOrdinary, 0));
            if (!drawing) continue;
            ++loaded;
            const test::DumpLines before = test::dumpLines(*drawing);
            const std::pair<uint8_t, int16_t> saves[] = {{kSaveFormatAsciiDxf, 4}, {kSaveFormatBinaryDxf, 4},
                                                         {kSaveFormatAsciiDxf, 7}, {kSaveFormatBinaryDxf, 7},
                                                         {kSaveFormatDwg, 0},      {kSaveFormatDwg, 4},
                                                         {kSaveFormatDwg, 5},      {kSaveFormatDwg, 6},
                                                         {kSaveFormatDwg, 7}};
            for (const auto& [format, version] : saves) {
                const std::string label = input.filename().string() + " as " +
                                          std::string(kVersionSignatures[version]) + " form " + std::to_string(format);
                const auto out = folder_ / (format == kSaveFormatDwg ? "out.dwg" : "out.dxf");
                if (test::saveAs(drawing, out, format, version)) {
                    if (format == kSaveFormatDwg) {
                        if (version < 5) {
                            const test::Dwg12CheckResult result = test::checkDwg12File(out);
                            EXPECT_TRUE(result.ok()) << label << "\n" << result.report();
                        } else {
                            const test::Dwg13CheckResult result = test::checkDwg13File(out);
                            EXPECT_TRUE(result.ok()) << label << "\n" << result.report();
                        }
                        EXPECT_NE(keep(rdOpenDrawing(out.c_str(), kOpenOrdinary, 0)), nullptr)
                            << label << ": reload error " << dbGetError();
                    } else {
                        const test::DxfCheckResult result =
                            test::checkDxfFile(out, std::string(kVersionSignatures[version]));
                        EXPECT_TRUE(result.ok()) << label << "\n" << result.report();
                    }
                    std::filesystem::remove(out);
                } else {
                    EXPECT_NE(dbGetError(), 0) << label;
                    EXPECT_TRUE(folder_.files().empty()) << label << ": a failed save leaves no file";
                }
                EXPECT_EQ(test::dumpLines(*drawing), before) << label;
            }
        }
    }
    EXPECT_GT(loaded, 0) << "no corpus input loads";
}

} // namespace
} // namespace tracemill
