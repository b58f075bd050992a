// Entity records of R13-2000 DWG files that need more than their fields: clip boundaries of
// IMAGE and WIPEOUT, saved and read back.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dwg13_structure_check.h"
#include "toolkit/core/class_list.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/read/drawing_loader.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

class Dwg13EntityRecords : public test::WriterTest {};

// The clip boundary of an IMAGE or WIPEOUT comes back with every vertex: a polygon written
// without its closing vertex (only a last vertex that repeats the first is left out), none
// written as none, a rectangle with fewer corners than two as zeros.
TEST_F(Dwg13EntityRecords, ClipBoundariesComeBackWithEveryVertex) {
    const Point2 a{0, 0}, b{4, 0}, c{4, 3};
    struct Row {
        const char* what;
        ClassKind kind;
        int16_t boundaryType;
        std::vector<Point2> written;
        std::vector<Point2> read;
    } rows[] = {
        {"closed polygon", ClassKind::Image, 2, {a, b, c, a}, {a, b, c, a}},
        {"open polygon", ClassKind::Image, 2, {a, b, c}, {a, b, c, a}},
        {"open wipeout polygon", ClassKind::Wipeout, 2, {a, b, c}, {a, b, c, a}},
        {"closed wipeout polygon", ClassKind::Wipeout, 2, {a, b, c, a}, {a, b, c, a}},
        {"polygon without vertices", ClassKind::Image, 2, {}, {}},
        {"rectangle", ClassKind::Image, 1, {a, c}, {a, c}},
        {"rectangle without corners", ClassKind::Image, 1, {}, {Point2{}, Point2{}}},
    };
    for (int16_t version : {kVersionAC1012, kVersionAC1014, kVersionAC1015}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.what) + " as " + std::string(kVersionSignatures[version]));
            Drawing* d = keep(dbCreateDrawing(nullptr, nullptr, 0, kVersionAC1015));
            const uint16_t type = dbAddDefaultClass(d->classes, row.kind);
            ASSERT_NE(type, 0);
            EntityRecord image = test::newEntity(d, type);
            RasterImageBody& body = image.body.emplace<RasterImageBody>();
            body.clipping = 1;
            body.clipBoundaryType = row.boundaryType;
            body.clipVertices = row.written;
            ASSERT_EQ(dbAppendEntity(d, d->modelSpace, image), 1);
            const auto path = folder_ / "image.dwg";
            ASSERT_EQ(test::saveAs(d, path, kSaveFormatDwg, version), 1) << dbGetError();
            const test::Dwg13CheckResult check = test::checkDwg13File(path);
            EXPECT_TRUE(check.ok()) << check.report();
            Drawing* back = keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0));
            ASSERT_NE(back, nullptr) << dbGetError();
            std::vector<std::vector<Point2>> found;
            for (const EntityNode& node : *back->modelSpace)
                if (const auto* read = node.record.body.getIf<RasterImageBody>()) found.push_back(read->clipVertices);
            ASSERT_EQ(found.size(), 1u);
            EXPECT_EQ(found[0], row.read);
        }
    }
}

} // namespace
} // namespace tracemill
