// What the DXF file driver and the HEADER and TABLES writers put into a file for each version:
// the sections and tables a version has, the header of each version and extent, the groups of
// the table records, the conversions of entities and names for older versions.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/write/dxf/dxf_file_driver.h"
#include "toolkit_fixture.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

using test::DxfCheckGroup;

class DxfSectionsTest : public test::ToolkitTest {
protected:
    void TearDown() override {
        if (drawing_) dbFreeDrawing(drawing_);
        ToolkitTest::TearDown();
    }
    Drawing* make(uint16_t version) {
        if (drawing_) dbFreeDrawing(drawing_);
        drawing_ = dbCreateDrawing(nullptr, nullptr, 0, version);
        return drawing_;
    }
    // Saves and reads back the groups; the file passes the structure check.
    std::vector<DxfCheckGroup> save(int16_t version, uint8_t format = kSaveFormatAsciiDxf, bool check = true) {
        const auto path = folder_ / ("out" + std::to_string(version) + (format == kSaveFormatBinaryDxf ? ".dxfb" : ".dxf"));
        EXPECT_EQ(test::saveAs(drawing_, path, format, version), 1) << "error " << dbGetError();
        const test::DxfCheckResult result = test::checkDxfFile(path, std::string(kVersionSignatures[version]));
        if (check) {
            EXPECT_TRUE(result.ok()) << result.report();
        }
        return result.groups;
    }
    EntityRecord entity(uint16_t type) { return test::newEntity(drawing_, type); }
    Handle addBlock(const std::string& name, uint8_t flags) {
        BlockRecord block;
        block.name = name;
        block.flags = flags;
        block.handle = dbNewHandle(*drawing_);
        EXPECT_EQ(dbBlockAdd(drawing_, block), 1);
        return block.handle;
    }
    void insertOf(Handle block) {
        EntityRecord insert = entity(kEntityInsert);
        insert.bodyAs<InsertBody>().block = block;
        ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, insert), 1);
    }

    Drawing* drawing_ = nullptr;
    test::TemporaryFolder folder_;
};

std::vector<std::string> headerVariables(const std::vector<DxfCheckGroup>& groups) {
    std::vector<std::string> names;
    for (const DxfCheckGroup& g : groups) {
        if (g.code == 0 && g.value == "ENDSEC") break;
        if (g.code == 9) names.push_back(g.value);
    }
    return names;
}

bool has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(DxfSectionsTest, EachVersionHasItsSectionsAndTables) {
    struct Row {
        int16_t version;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {0, {"HEADER", "TABLES", "LTYPE", "LAYER", "STYLE", "VIEW", "BLOCKS", "ENTITIES"}},
        {2, {"HEADER", "TABLES", "LTYPE", "LAYER", "STYLE", "VIEW", "BLOCKS", "ENTITIES"}},
        {3, {"HEADER", "TABLES", "VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "BLOCKS", "ENTITIES"}},
        {4,
         {"HEADER", "TABLES", "VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "APPID", "DIMSTYLE", "BLOCKS",
          "ENTITIES"}},
        {5,
         {"HEADER", "CLASSES", "TABLES", "VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "APPID", "DIMSTYLE",
          "BLOCK_RECORD", "BLOCKS", "ENTITIES", "OBJECTS"}},
        {7,
         {"HEADER", "CLASSES", "TABLES", "VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "APPID", "DIMSTYLE",
          "BLOCK_RECORD", "BLOCKS", "ENTITIES", "OBJECTS"}},
    };
    for (const Row& row : rows) {
        ASSERT_NE(make(uint16_t(std::min<int16_t>(row.version, 7))), nullptr);
        EXPECT_EQ(test::sectionsAndTables(save(row.version)), row.expected) << row.version;
    }
}

TEST_F(DxfSectionsTest, OutputModeFourWritesEntitiesOnly) {
    ASSERT_NE(make(7), nullptr);
    gSystemContext->dxfOutputMode = kDxfEntitiesOnly;
    EXPECT_EQ(test::sectionsAndTables(save(4, kSaveFormatAsciiDxf, false)), (std::vector<std::string>{"ENTITIES"}));
    EXPECT_EQ(test::sectionsAndTables(save(7, kSaveFormatAsciiDxf, false)),
              (std::vector<std::string>{"ENTITIES", "OBJECTS"}));
    gSystemContext->dxfOutputMode = 0;
}

TEST_F(DxfSectionsTest, HeaderOfEachVersionAndExtent) {
    ASSERT_NE(make(7), nullptr);
    drawing_->header->dwgcodepage = 30;  // ansi_1252
    struct Row {
        const char* name;
        int16_t version;
        int16_t extent;
        std::vector<std::string> exactly;  // when not empty: the whole list
    };
    const Row rows[] = {
        {"extent 1 below AC1014", 4, 1, {"$ACADVER", "$EXTMIN", "$EXTMAX"}},
        {"extent 1 at AC1014", 6, 1, {"$ACADVER", "$ACADMAINTVER", "$EXTMIN", "$EXTMAX"}},
        {"extent 1 at AC1015", 7, 1, {"$ACADVER", "$ACADMAINTVER", "$EXTMIN", "$EXTMAX"}},
        {"extent 2", 5, 2, {"$EXTMIN", "$EXTMAX"}},
    };
    for (const Row& row : rows) {
        gSystemContext->dxfHeaderExtent = row.extent;
        EXPECT_EQ(headerVariables(save(row.version, kSaveFormatAsciiDxf, false)), row.exactly) << row.name;
    }
    gSystemContext->dxfHeaderExtent = 0;

    const std::vector<DxfCheckGroup> r10 = save(0);
    const std::vector<std::string> names = headerVariables(r10);
    for (const char* present : {"$VIEWCTR", "$SNAPMODE", "$GRIDUNIT", "$VIEWDIR", "$FASTZOOM"})
        EXPECT_TRUE(has(names, present)) << present;
    EXPECT_FALSE(has(names, "$MIRRTEXT"));
    EXPECT_FALSE(has(names, "$DWGCODEPAGE"));
    const size_t extmin = test::findGroup(r10, 9, "$EXTMIN");
    ASSERT_LT(extmin + 3, r10.size());
    EXPECT_EQ(r10[extmin + 1].code, 10);
    EXPECT_EQ(r10[extmin + 2].code, 20);
    EXPECT_EQ(r10[extmin + 3].code, 9) << "no 30 group before AC1009";

    const std::vector<DxfCheckGroup> r2000 = save(7);
    ASSERT_GE(r2000.size(), 12u);
    EXPECT_EQ(r2000[2].value, "$ACADVER");
    EXPECT_EQ(r2000[3].value, "AC1015");
    EXPECT_EQ(r2000[4].value, "$ACADMAINTVER");
    EXPECT_EQ(r2000[5].value, "     6");
    EXPECT_EQ(r2000[6].value, "$DWGCODEPAGE");
    EXPECT_EQ(r2000[7].value, "ANSI_1252");

    // The release switch of "AC1009" adds $PLINEGEN to $TREEDEPTH and a second $DWGCODEPAGE.
    const std::vector<std::string> r12 = headerVariables(save(4));
    EXPECT_EQ(std::count(r12.begin(), r12.end(), "$DWGCODEPAGE"), 2);
    EXPECT_EQ(r12.back(), "$DWGCODEPAGE");
    EXPECT_TRUE(has(r12, "$TREEDEPTH"));
}

TEST_F(DxfSectionsTest, DimUnitIsAdjustedInTheSavedHeaderOnly) {
    ASSERT_NE(make(7), nullptr);
    drawing_->header->dimlunit = 4;
    drawing_->header->dimfrac = 2;
    const std::vector<DxfCheckGroup> groups = save(6);
    const size_t dimunit = test::findGroup(groups, 9, "$DIMUNIT");
    ASSERT_LT(dimunit + 1, groups.size());
    EXPECT_EQ(groups[dimunit + 1].value, "     6");
    EXPECT_EQ(drawing_->header->dimlunit, 4) << "the drawing keeps its own value";
}

TEST_F(DxfSectionsTest, LayerRecordsByVersion) {
    ASSERT_NE(make(7), nullptr);
    LayerRecord defpoints;
    defpoints.name = "DefPoints";
    defpoints.handle = dbNewHandle(*drawing_);
    defpoints.colour = 7;
    defpoints.plotFlag = 1;
    defpoints.linetype = drawing_->continuousLinetype;
    ASSERT_EQ(dbLayerAdd(drawing_, defpoints), 1);

    std::vector<DxfCheckGroup> r12 = save(4);
    const size_t layer12 = test::findGroup(r12, 0, "LAYER", test::findGroup(r12, 2, "LAYER") + 1);
    EXPECT_EQ(test::codesOf(test::recordAt(r12, layer12)), (std::vector<int>{0, 2, 70, 62, 6}));

    std::vector<DxfCheckGroup> r2000 = save(7);
    const size_t layer = test::findGroup(r2000, 0, "LAYER", test::findGroup(r2000, 2, "LAYER") + 1);
    const std::vector<int> codes = test::codesOf(test::recordAt(r2000, layer));
    ASSERT_GE(codes.size(), 6u);
    EXPECT_EQ(std::vector<int>(codes.begin(), codes.begin() + 2), (std::vector<int>{0, 5}));
    EXPECT_EQ(std::vector<int>(codes.end() - 3, codes.end()), (std::vector<int>{290, 370, 390}));
    EXPECT_EQ(r2000[test::findGroup(r2000, 100, "AcDbSymbolTableRecord", layer) + 1].value, "AcDbLayerTableRecord");
    const size_t defpointsAt = test::findGroup(r2000, 2, "DefPoints");
    ASSERT_LT(defpointsAt, r2000.size());
    const std::vector<DxfCheckGroup> record = test::recordAt(r2000, defpointsAt);
    const auto plot = std::find_if(record.begin(), record.end(), [](const DxfCheckGroup& g) { return g.code == 290; });
    ASSERT_NE(plot, record.end());
    EXPECT_EQ(plot->value, "     0") << "DEFPOINTS never plots";
}

TEST_F(DxfSectionsTest, DimensionStyleHandlesAndArrowNames) {
    ASSERT_NE(make(7), nullptr);
    std::vector<DxfCheckGroup> r13 = save(5);
    const size_t style = test::findGroup(r13, 0, "DIMSTYLE", test::findGroup(r13, 2, "DIMSTYLE") + 1);
    ASSERT_LT(style + 1, r13.size());
    EXPECT_EQ(r13[style + 1].code, 105) << "a dimension style's handle goes under 105";
    const std::vector<int> codes = test::codesOf(test::recordAt(r13, style));
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 5), 0) << "null arrow blocks give no 5, 6, 7";
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 6), 0);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 7), 0);
}

TEST_F(DxfSectionsTest, ViewTableHeadCountsNothingBeforeR13) {
    ASSERT_NE(make(7), nullptr);
    ViewRecord view;
    view.name = "V1";
    view.handle = dbNewHandle(*drawing_);
    StoredRecord<ViewRecord> node;
    node.record = view;
    ASSERT_NE(dbAddTableRecord(view.handle, drawing_->handleIndex, std::move(node), &drawing_->views, kInsertAtEnd,
                               nullptr),
              nullptr);
    std::vector<DxfCheckGroup> r12 = save(4);
    const size_t head = test::findGroup(r12, 2, "VIEW");
    ASSERT_LT(head + 1, r12.size());
    EXPECT_EQ(r12[head + 1].code, 70);
    EXPECT_EQ(r12[head + 1].value, "     0");
    EXPECT_LT(test::findGroup(r12, 2, "V1"), r12.size());
}

TEST_F(DxfSectionsTest, EntitiesAVersionCannotHoldAreLeftOut) {
    ASSERT_NE(make(7), nullptr);
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, entity(kEntityFace3d)), 1);
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, entity(kEntityLine)), 1);
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, entity(kEntityEllipse)), 1);
    auto kinds = [](const std::vector<DxfCheckGroup>& groups) {
        std::vector<std::string> names;
        const size_t start = test::findGroup(groups, 2, "ENTITIES");
        for (size_t i = start + 1; i < groups.size(); ++i) {
            if (groups[i].code == 0 && groups[i].value == "ENDSEC") break;
            if (groups[i].code == 0) names.push_back(groups[i].value);
        }
        return names;
    };
    EXPECT_EQ(kinds(save(0)), (std::vector<std::string>{"LINE"}));
    EXPECT_EQ(kinds(save(3)), (std::vector<std::string>{"3DFACE", "LINE"}));
    EXPECT_EQ(kinds(save(5)), (std::vector<std::string>{"3DFACE", "LINE", "ELLIPSE"}));
}

TEST_F(DxfSectionsTest, LwpolylineBecomesPolylineBeforeR14) {
    ASSERT_NE(make(7), nullptr);
    EntityRecord lwpolyline = entity(dbClassLwpolyline(drawing_->classes));
    auto& body = lwpolyline.bodyAs<LwpolylineBody>();
    for (double x : {0.0, 1.0, 2.0}) body.vertices.push_back({Point2{x, 0.0}, 0.0, 0.0, 0.0});
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, lwpolyline), 1);
    const Handle seed = drawing_->handleSeed;
    for (int16_t version : {4, 5}) {
        const std::vector<DxfCheckGroup> groups = save(version);
        const size_t start = test::findGroup(groups, 2, "ENTITIES");
        std::vector<std::string> names;
        for (size_t i = start; i < groups.size(); ++i) {
            if (groups[i].code == 0 && groups[i].value != "ENDSEC" && groups[i].value != "SECTION")
                names.push_back(groups[i].value);
            if (groups[i].code == 0 && groups[i].value == "ENDSEC") break;
        }
        EXPECT_EQ(names, (std::vector<std::string>{"POLYLINE", "VERTEX", "VERTEX", "VERTEX", "SEQEND"})) << version;
    }
    EXPECT_EQ(drawing_->handleSeed, seed) << "the handles of the conversion are the save's own";
    const std::vector<DxfCheckGroup> r14 = save(6);
    EXPECT_LT(test::findGroup(r14, 0, "LWPOLYLINE"), r14.size());
}

// The hexadecimal value of a handle group; 0 for anything else.
uint64_t handleValue(const std::string& text) {
    uint64_t value = 0;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return 0;
        value = value << 4 | uint64_t(digit);
    }
    return value;
}

// The names (2) of the BLOCK entities of the BLOCKS section, in file order.
std::vector<std::string> blockNames(const std::vector<DxfCheckGroup>& groups) {
    std::vector<std::string> names;
    const size_t end = test::findGroup(groups, 2, "ENTITIES");
    for (size_t i = test::findGroup(groups, 2, "BLOCKS"); i < end; ++i) {
        if (groups[i].code != 0 || groups[i].value != "BLOCK") continue;
        for (size_t j = i + 1; j < end && groups[j].code != 0; ++j) {
            if (groups[j].code == 2) {
                names.push_back(groups[j].value);
                break;
            }
        }
    }
    return names;
}

// A copy of the list's first record under another name and a new handle, added at the end of
// the list and marked deleted.
template <class Record>
void addDeletedCopy(Drawing* drawing, RecordList<StoredRecord<Record>>& list, const std::string& name) {
    ASSERT_NE(list.first, nullptr);
    StoredRecord<Record> node;
    node.record = RecordList<StoredRecord<Record>>::asNode(list.first)->record;
    node.record.name = name;
    node.record.handle = dbNewHandle(*drawing);
    node.record.deleted = 1;
    ASSERT_NE(dbAddTableRecord(node.record.handle, drawing->handleIndex, std::move(node), &list, kInsertAtEnd, nullptr),
              nullptr);
}

// The record count of a table's head (70) and the names (2) of its records.
std::pair<std::string, std::vector<std::string>> tableRecords(const std::vector<DxfCheckGroup>& groups,
                                                                const std::string& table) {
    const size_t head = test::findGroup(groups, 2, table, test::findGroup(groups, 2, "TABLES"));
    std::pair<std::string, std::vector<std::string>> result;
    bool inRecord = false;
    for (size_t i = head + 1; i < groups.size() && !(groups[i].code == 0 && groups[i].value == "ENDTAB"); ++i) {
        if (groups[i].code == 0) inRecord = groups[i].value == table;
        else if (!inRecord && groups[i].code == 70 && result.first.empty()) result.first = groups[i].value;
        else if (inRecord && groups[i].code == 2) result.second.push_back(groups[i].value);
    }
    return result;
}

// Records marked deleted (kept so that files before R13 name records by position) are left out
// of every table, the table heads count only the records written, and a deleted block is
// written neither as a block nor as a block record.
TEST_F(DxfSectionsTest, DeletedTableRecordsAreLeftOut) {
    ASSERT_NE(make(7), nullptr);
    addDeletedCopy(drawing_, drawing_->layers, "GONE_LAYER");
    addDeletedCopy(drawing_, drawing_->linetypes, "GONE_LTYPE");
    addDeletedCopy(drawing_, drawing_->styles, "GONE_STYLE");
    addDeletedCopy(drawing_, drawing_->vports, "GONE_VPORT");
    addDeletedCopy(drawing_, drawing_->appIds, "GONE_APPID");
    addDeletedCopy(drawing_, drawing_->dimStyles, "GONE_DIMSTYLE");
    for (const char* name : {"GONE_VIEW", "KEPT_VIEW"}) {
        ViewRecord view;
        view.name = name;
        view.handle = dbNewHandle(*drawing_);
        StoredRecord<ViewRecord> node;
        node.record = view;
        ASSERT_NE(dbAddTableRecord(view.handle, drawing_->handleIndex, std::move(node), &drawing_->views,
                                   kInsertAtEnd, nullptr),
                  nullptr);
    }
    RecordList<StoredRecord<ViewRecord>>::asNode(drawing_->views.first)->record.deleted = 1;
    const Handle gone = addBlock("GONE_BLOCK", 0);
    addBlock("*U", 1);
    for (BlockNode& node : drawing_->blocks) {
        if (node.record.handle == gone) node.record.deleted = 1;
    }
    const std::pair<const char*, int16_t> tables[] = {{"LAYER", 0},   {"LTYPE", 0}, {"STYLE", 0},
                                                      {"VPORT", 3},   {"VIEW", 0},  {"APPID", 4},
                                                      {"DIMSTYLE", 4}, {"BLOCK_RECORD", 5}};
    for (int16_t version : {int16_t(4), int16_t(7)}) {
        for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
            const std::vector<DxfCheckGroup> groups = save(version, format);
            for (const auto& [table, from] : tables) {
                if (version < from) continue;
                const auto [count, names] = tableRecords(groups, table);
                for (const std::string& name : names) EXPECT_FALSE(name.starts_with("GONE_")) << table << " " << version;
                // Files before R13 give no count in the VIEW table head.
                if (!(version < 5 && std::string(table) == "VIEW")) {
                    EXPECT_EQ(std::stoi(count), int(names.size())) << table << " " << version;
                }
            }
            EXPECT_EQ(tableRecords(groups, "VIEW").second, (std::vector<std::string>{"KEPT_VIEW"})) << version;
            // The anonymous block after the deleted one keeps its number.
            std::vector<std::string> blocks = blockNames(groups);
            if (version >= 5) blocks.erase(blocks.begin(), blocks.begin() + 2);  // the layout blocks
            EXPECT_EQ(blocks, (std::vector<std::string>{"*U1"})) << version;
        }
    }
}

TEST_F(DxfSectionsTest, HandleSeedFollowsTheLargestHandleOfTheFile) {
    ASSERT_NE(make(7), nullptr);
    auto check = [&](Handle expectedLargest, const char* stage) {
        for (int16_t version : {4, 5, 6, 7}) {
            for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
                const std::vector<DxfCheckGroup> groups = save(version, format);
                const size_t seed = test::findGroup(groups, 9, "$HANDSEED");
                ASSERT_LT(seed + 1, groups.size()) << version;
                uint64_t largest = 0;
                for (size_t i = test::findGroup(groups, 0, "ENDSEC"); i < groups.size(); ++i) {
                    if (groups[i].code == 5 || groups[i].code == 105) largest = std::max(largest, handleValue(groups[i].value));
                }
                EXPECT_EQ(handleValue(groups[seed + 1].value), largest + 1) << stage << " " << version << " " << int(format);
                EXPECT_EQ(largest, expectedLargest.value) << stage << " " << version << " " << int(format);
            }
        }
    };
    // The largest handle is the last entity of model space.
    EntityRecord first = entity(kEntityLine);
    EntityRecord second = entity(kEntityLine);
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, first), 1);
    // Handles handed out and never used (records deleted, or of records DXF does not carry) do
    // not move the seed of the file.
    for (int i = 0; i < 100; ++i) dbNewHandle(*drawing_);
    check(first.header.handle, "last entity");
    // The largest handle stands inside the list, before a smaller one.
    EntityRecord third = entity(kEntityLine);
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, third), 1);
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, second), 1);
    check(third.header.handle, "inside the list");
}

// Before R13 entities carry handles only with HANDLING on: in "AC1009" everywhere, in "AC1006"
// outside blocks (a load gives the entities of blocks of such a file new handles). Without
// handles $HANDSEED is the fixed handle 1.
TEST_F(DxfSectionsTest, EntityHandlesBeforeR13FollowHandling) {
    ASSERT_NE(make(7), nullptr);
    const Handle block = addBlock("WITH_LINE", 0);
    EntityRecord inBlock = entity(kEntityLine);
    ASSERT_EQ(dbAppendEntity(drawing_, dbLookupBlock(*drawing_, block)->entityList.get(), inBlock), 1);
    EntityRecord inModel = entity(kEntityLine);
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, inModel), 1);
    auto handlesIn = [](const std::vector<DxfCheckGroup>& groups, const std::string& section) {
        int count = 0;
        const size_t end = groups.size();
        for (size_t i = test::findGroup(groups, 2, section); i < end; ++i) {
            if (groups[i].code == 0 && groups[i].value == "ENDSEC") break;
            if (groups[i].code == 5) ++count;
        }
        return count;
    };
    struct Case {
        int16_t version;
        int16_t handling;
        int blockHandles;  // of the LINE in the block (its BLOCK and ENDBLK have none here)
        int modelHandles;
    };
    const Case cases[] = {{3, 1, 0, 1}, {4, 1, 1, 1}, {3, 0, 0, 0}, {4, 0, 0, 0}};
    for (const Case& c : cases) {
        drawing_->header->handling = c.handling;
        const std::vector<DxfCheckGroup> groups = save(c.version);
        EXPECT_EQ(handlesIn(groups, "BLOCKS"), c.blockHandles) << c.version << " handling " << c.handling;
        EXPECT_EQ(handlesIn(groups, "ENTITIES"), c.modelHandles) << c.version << " handling " << c.handling;
        const size_t seed = test::findGroup(groups, 9, "$HANDSEED");
        ASSERT_LT(seed + 1, groups.size());
        if (c.handling == 0) EXPECT_EQ(groups[seed + 1].value, "1") << c.version;
        else EXPECT_EQ(handleValue(groups[seed + 1].value), inModel.header.handle.value + 1) << c.version;
    }
}

// Blocks go out in the order of the block list in every version, whatever their handles, and a
// load puts them back in that order.
TEST_F(DxfSectionsTest, BlocksKeepTheirListOrderThroughASaveAndALoad) {
    ASSERT_NE(make(7), nullptr);
    std::vector<Handle> handles(6);
    for (Handle& handle : handles) handle = dbNewHandle(*drawing_);
    const std::vector<std::string> names = {"F", "E", "D", "C", "B", "A"};
    for (size_t i = 0; i < names.size(); ++i) {
        BlockRecord block;
        block.name = names[i];
        block.handle = handles[handles.size() - 1 - i];  // handles against the list order
        ASSERT_EQ(dbBlockAdd(drawing_, block), 1);
    }
    std::vector<std::string> listed;
    for (const BlockNode& node : drawing_->blocks) {
        if (node.record.name.size() == 1) listed.push_back(node.record.name);
    }
    ASSERT_EQ(listed.size(), names.size());
    for (int16_t version : {0, 4, 5, 6, 7}) {
        for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
            SCOPED_TRACE(std::to_string(version) + " form " + std::to_string(format));
            const std::vector<std::string> written = blockNames(save(version, format));
            std::vector<std::string> ours;
            for (const std::string& name : written) {
                if (name.size() == 1) ours.push_back(name);
            }
            EXPECT_EQ(ours, listed);
            const auto path = folder_ / ("out" + std::to_string(version) +
                                         (format == kSaveFormatBinaryDxf ? ".dxfb" : ".dxf"));
            Drawing* loaded = rdOpenDrawing(path.c_str(), kOpenOrdinary, 0);
            ASSERT_NE(loaded, nullptr);
            std::vector<std::string> reloaded;
            for (const BlockNode& node : loaded->blocks) {
                if (node.record.name.size() == 1) reloaded.push_back(node.record.name);
            }
            dbFreeDrawing(loaded);
            EXPECT_EQ(reloaded, listed);
        }
    }
}

// A block list whose BLOCK has no ENDBLK, or holds a stray BLOCK or ENDBLK among its entities,
// still gives one BLOCK and one ENDBLK around the block's entities.
TEST_F(DxfSectionsTest, DamagedBlockFramesAreMadeWhole) {
    struct Case {
        const char* name;
        std::vector<uint16_t> list;  // the block's entity list, LINE standing for any entity
    };
    const Case cases[] = {
        {"begin only", {kEntityBlock, kEntityLine}},
        {"end only", {kEntityLine, kEntityEndBlock}},
        {"stray end inside", {kEntityBlock, kEntityEndBlock, kEntityLine, kEntityEndBlock}},
        {"stray begin inside", {kEntityBlock, kEntityLine, kEntityBlock, kEntityEndBlock}},
        {"begin and end alone", {kEntityBlock}},
        {"reversed", {kEntityEndBlock, kEntityLine, kEntityBlock}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(make(7), nullptr);
        const Handle block = addBlock("DAMAGED", 0);
        EntityList* list = dbLookupBlock(*drawing_, block)->entityList.get();
        ASSERT_NE(list, nullptr);
        int lines = 0;
        for (uint16_t type : c.list) {
            EntityRecord e = entity(type);
            if (type == kEntityBlock) e.body = BlockBeginBody{"DAMAGED", {}, {}};
            if (type == kEntityLine) ++lines;
            ASSERT_EQ(dbAppendEntity(drawing_, list, e), 1);
        }
        for (int16_t version : {4, 7}) {
            const std::vector<DxfCheckGroup> groups = save(version);
            const size_t named = test::findGroup(groups, 2, "DAMAGED", test::findGroup(groups, 2, "BLOCKS"));
            ASSERT_LT(named, groups.size()) << version;
            size_t begin = named;
            while (begin > 0 && groups[begin].code != 0) --begin;
            EXPECT_EQ(groups[begin].value, "BLOCK") << version;
            int found = 0;
            size_t i = begin + 1;
            for (; i < groups.size(); ++i) {
                if (groups[i].code != 0) continue;
                if (groups[i].value == "LINE") ++found;
                else break;
            }
            ASSERT_LT(i, groups.size());
            EXPECT_EQ(groups[i].value, "ENDBLK") << version;
            EXPECT_EQ(found, lines) << version;
        }
    }
}

TEST_F(DxfSectionsTest, AnonymousBlocksAreRenumberedWithTheirInserts) {
    ASSERT_NE(make(7), nullptr);
    addBlock("PLAIN", 0);
    const Handle anonymous = addBlock("*U27", 1);
    insertOf(anonymous);
    int32_t position = 0;
    for (const BlockNode& node : drawing_->blocks) {
        if (node.record.handle == anonymous) break;
        ++position;
    }
    const std::string renumbered = "*U" + std::to_string(position);
    for (int16_t version : {4, 7}) {
        const std::vector<DxfCheckGroup> groups = save(version);
        const size_t block = test::findGroup(groups, 0, "BLOCK", test::findGroup(groups, 2, "BLOCKS"));
        size_t named = test::findGroup(groups, 2, renumbered, test::findGroup(groups, 2, "BLOCKS"));
        EXPECT_LT(named, test::findGroup(groups, 2, "ENTITIES")) << version;
        EXPECT_LT(block, named);
        const size_t insert = test::findGroup(groups, 0, "INSERT");
        EXPECT_EQ(test::findGroup(groups, 2, renumbered, insert) < groups.size(), true) << version;
        EXPECT_EQ(test::findGroup(groups, 2, "*U27"), groups.size()) << version;
    }
}

} // namespace
} // namespace tracemill
