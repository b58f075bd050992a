// What the tests of the DWG writer before R13 share: a drawing made for a version, saved into
// a folder of its own, the bytes of the file written (checked by the structure check), and
// readers of the file's little-endian numbers and records.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dwg12_structure_check.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit_fixture.h"
#include "write_test_files.h"

namespace tracemill::test {

inline uint16_t le16At(const std::vector<uint8_t>& b, size_t at) {
    return at + 2 <= b.size() ? uint16_t(b[at] | (b[at + 1] << 8)) : 0;
}
inline uint32_t le32At(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(le16At(b, at)) | (uint32_t(le16At(b, at + 2)) << 16);
}
inline double doubleAt(const std::vector<uint8_t>& b, size_t at) {
    uint64_t bits = uint64_t(le32At(b, at)) | (uint64_t(le32At(b, at + 4)) << 32);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
inline std::vector<uint8_t> bytesAt(const std::vector<uint8_t>& b, size_t at, size_t count) {
    if (at + count > b.size()) return {};
    return std::vector<uint8_t>(b.begin() + ptrdiff_t(at), b.begin() + ptrdiff_t(at + count));
}
class Dwg12WriterTest : public ToolkitTest {
protected:
    void TearDown() override {
        for (Drawing* d : drawings_) dbFreeDrawing(d);
        drawings_.clear();
        ToolkitTest::TearDown();
    }
    Drawing* make(uint16_t version) {
        drawing_ = dbCreateDrawing(nullptr, nullptr, 0, version);
        if (drawing_) drawings_.push_back(drawing_);
        return drawing_;
    }
    Drawing* load(const std::filesystem::path& path) {
        Drawing* d = rdOpenDrawing(path.c_str(), kOpenOrdinary, 0);
        if (d) drawings_.push_back(d);
        return d;
    }
    std::filesystem::path pathOf(int16_t version) const { return folder_ / ("out" + std::to_string(version) + ".dwg"); }
    // Saves the drawing; on success the bytes of the file, which pass the structure check.
    std::vector<uint8_t> save(int16_t version) {
        const auto path = pathOf(version);
        EXPECT_EQ(saveAs(drawing_, path, kSaveFormatDwg, version), 1) << "error " << dbGetError();
        std::vector<uint8_t> bytes = readFileBytes(path);
        const Dwg12CheckResult check = checkDwg12Structure(bytes);
        EXPECT_TRUE(check.ok()) << check.report();
        return bytes;
    }
    // A save that fails: the error number, and no file is left.
    int failedSave(int16_t version) {
        const auto path = pathOf(version);
        EXPECT_EQ(saveAs(drawing_, path, kSaveFormatDwg, version), 0);
        EXPECT_TRUE(folder_.files().empty()) << "a failed save leaves no file";
        return dbGetError();
    }
    EntityRecord entity(uint16_t type) { return newEntity(drawing_, type); }
    void addToModelSpace(EntityRecord e) { ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, std::move(e)), 1); }
    // The first record of the entities section.
    static std::vector<uint8_t> firstEntityRecord(const std::vector<uint8_t>& file) {
        const uint32_t at = le32At(file, 0x14);
        return bytesAt(file, at, le16At(file, at + 2));
    }

    Drawing* drawing_ = nullptr;
    std::vector<Drawing*> drawings_;
    TemporaryFolder folder_;
};

} // namespace tracemill::test
