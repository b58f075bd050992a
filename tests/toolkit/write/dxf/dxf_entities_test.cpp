// Entities as the DXF writer gives them: the groups of each kind that depend on the version and
// on the entity's values, texts cut into pieces, modeler data, viewports and the names of
// entities of classes the writer has no layout for.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/read/drawing_loader.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

using test::DxfCheckGroup;

class DxfEntitiesTest : public test::WriterTest {
protected:
    void SetUp() override {
        WriterTest::SetUp();
        drawing_ = keep(dbCreateDrawing(nullptr, nullptr, 0, 7));
        ASSERT_NE(drawing_, nullptr);
    }
    EntityRecord entity(uint16_t type) { return test::newEntity(drawing_, type); }
    // An INSERT of a new empty block "B".
    EntityRecord insertOfNewBlock() {
        BlockRecord block;
        block.name = "B";
        block.handle = dbNewHandle(*drawing_);
        EXPECT_EQ(dbBlockAdd(drawing_, block), 1);
        EntityRecord insert = entity(kEntityInsert);
        insert.bodyAs<InsertBody>().block = block.handle;
        return insert;
    }
    // Saves a drawing whose model space holds only `e` and gives the entity's groups.
    std::vector<DxfCheckGroup> written(const EntityRecord& e, int16_t version, uint8_t format = kSaveFormatAsciiDxf) {
        dbRewindEntityList(drawing_->modelSpace);
        while (drawing_->modelSpace->first) {
            const auto* first = static_cast<const EntityNode*>(drawing_->modelSpace->first);
            dbDeleteEntity(drawing_, drawing_->modelSpace, first->record.header.handle);
        }
        EXPECT_EQ(dbAppendEntity(drawing_, drawing_->modelSpace, e), 1);
        const auto path = folder_ / ("e" + std::to_string(version) + (format == kSaveFormatBinaryDxf ? ".dxfb" : ".dxf"));
        EXPECT_EQ(test::saveAs(drawing_, path, format, version), 1) << dbGetError();
        const test::DxfCheckResult result = test::checkDxfFile(path, std::string(kVersionSignatures[version]));
        EXPECT_TRUE(result.ok()) << result.report();
        const size_t section = test::findGroup(result.groups, 2, "ENTITIES");
        if (section + 1 >= result.groups.size() || result.groups[section + 1].value == "ENDSEC") return {};
        return test::recordAt(result.groups, section + 1);
    }
    Drawing* drawing_ = nullptr;
};

bool hasCode(const std::vector<DxfCheckGroup>& groups, int code) {
    return std::any_of(groups.begin(), groups.end(), [&](const DxfCheckGroup& g) { return g.code == code; });
}

std::string valueOf(const std::vector<DxfCheckGroup>& groups, int code) {
    for (const DxfCheckGroup& g : groups) {
        if (g.code == code) return g.value;
    }
    return "(none)";
}

std::vector<int> pieceSizes(const std::vector<DxfCheckGroup>& groups, std::vector<int>* codes) {
    std::vector<int> sizes;
    for (const DxfCheckGroup& g : groups) {
        if (g.code == 1 || g.code == 3) {
            sizes.push_back(int(g.value.size()));
            codes->push_back(g.code);
        }
    }
    return sizes;
}

TEST_F(DxfEntitiesTest, LineWritesZOnlyWhenAnEndLeavesThePlane) {
    EntityRecord line = entity(kEntityLine);
    line.bodyAs<LineBody>() = {{0, 0, 0}, {1, 1, 0}};
    std::vector<DxfCheckGroup> flat = written(line, 7);
    EXPECT_FALSE(hasCode(flat, 30));
    EXPECT_FALSE(hasCode(flat, 31));
    line.bodyAs<LineBody>().end.z = 2.0;
    std::vector<DxfCheckGroup> raised = written(line, 7);
    EXPECT_EQ(valueOf(raised, 30), "0.0");
    EXPECT_EQ(valueOf(raised, 31), "2.0");
}

// A scale within the writers' distance tolerance of 1.0 (which an ASCII file gives as 1.0) is
// left out as the default, in both forms, like a value within it of 0; so a file read back
// writes the same groups.
TEST_F(DxfEntitiesTest, ValuesWrittenAsOneAreLeftOutAsDefaults) {
    EntityRecord insert = insertOfNewBlock();
    insert.bodyAs<InsertBody>().scale = {1.0 + 1e-9, 1.0, 1.0};
    insert.header.linetypeScale = 1.0 - 1e-9;
    for (int16_t version : {4, 7}) {
        for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
            const std::vector<DxfCheckGroup> groups = written(insert, version, format);
            EXPECT_FALSE(hasCode(groups, 41)) << version << " form " << int(format);
            EXPECT_FALSE(hasCode(groups, 48)) << version << " form " << int(format);
        }
    }
    insert.bodyAs<InsertBody>().scale.x = 1.00001;
    insert.header.linetypeScale = 0.99999;
    const std::vector<DxfCheckGroup> scaled = written(insert, 7);
    EXPECT_EQ(valueOf(scaled, 41), "1.00001");
    EXPECT_EQ(valueOf(scaled, 48), "0.99999");
}

TEST_F(DxfEntitiesTest, InsertMarkerAndArrayGroups) {
    EntityRecord insert = insertOfNewBlock();
    insert.bodyAs<InsertBody>().columnCount = 1;
    insert.bodyAs<InsertBody>().rowCount = 1;
    std::vector<DxfCheckGroup> single = written(insert, 7);
    EXPECT_NE(test::findGroup(single, 100, "AcDbBlockReference"), single.size());
    EXPECT_FALSE(hasCode(single, 70));
    EXPECT_FALSE(hasCode(single, 71));
    insert.bodyAs<InsertBody>().columnCount = 2;
    std::vector<DxfCheckGroup> array = written(insert, 7);
    EXPECT_NE(test::findGroup(array, 100, "AcDbMInsertBlock"), array.size());
    EXPECT_EQ(valueOf(array, 70), "     2");
    EXPECT_EQ(valueOf(array, 71), "     1");
}

TEST_F(DxfEntitiesTest, DefaultTextStyleIsLeftOut) {
    EntityRecord text = entity(kEntityText);
    text.bodyAs<TextBody>().text = "A^B";
    text.bodyAs<TextBody>().style = drawing_->header->current.textstyle;
    std::vector<DxfCheckGroup> r12 = written(text, 4);
    EXPECT_FALSE(hasCode(r12, 7)) << "Standard at index 4";
    EXPECT_EQ(valueOf(r12, 1), "A^ B");
}

TEST_F(DxfEntitiesTest, LineweightIsWrittenAt2000UnlessByLayer) {
    EntityRecord line = entity(kEntityLine);
    line.header.lineweight = kLineweightByLayer;
    EXPECT_FALSE(hasCode(written(line, 7), 370));
    line.header.lineweight = 25;
    std::vector<DxfCheckGroup> heavy = written(line, 7);
    EXPECT_EQ(valueOf(heavy, 370), "    25");
    EXPECT_FALSE(hasCode(written(line, 6), 370));
}

TEST_F(DxfEntitiesTest, MtextOf600BytesGoesOutInThreePieces) {
    EntityRecord mtext = entity(kEntityMtext);
    mtext.bodyAs<MtextBody>().text = std::string(600, 'm');
    std::vector<int> codes;
    EXPECT_EQ(pieceSizes(written(mtext, 7), &codes), (std::vector<int>{249, 249, 102}));
    EXPECT_EQ(codes, (std::vector<int>{3, 3, 1}));
    // A double-byte character is never split: the lead byte at 249 takes its trail byte.
    drawing_->header->dwgcodepage = 38;
    std::string text(248, 'a');
    text += "\x81\x40";
    text += std::string(10, 'b');
    mtext.bodyAs<MtextBody>().text = text;
    codes.clear();
    EXPECT_EQ(pieceSizes(written(mtext, 7), &codes), (std::vector<int>{250, 10}));
}

TEST_F(DxfEntitiesTest, ModelerDataLinesOf255Bytes) {
    EntityRecord solid = entity(kEntitySolid3d);
    std::string sat(600, 'x');
    sat += "\r\nshort line\r\n";
    solid.bodyAs<AcisBody>().satText.create(4096);
    solid.bodyAs<AcisBody>().satText.get()->bytes.assign(sat.begin(), sat.end());
    std::vector<int> codes;
    const std::vector<DxfCheckGroup> groups = written(solid, 7);
    EXPECT_EQ(pieceSizes(groups, &codes), (std::vector<int>{255, 255, 90, 10}));
    EXPECT_EQ(codes, (std::vector<int>{3, 3, 1, 1}));
    const auto firstPiece =
        std::find_if(groups.begin(), groups.end(), [](const DxfCheckGroup& g) { return g.code == 3; });
    ASSERT_NE(firstPiece, groups.end());
    EXPECT_EQ(firstPiece->value[0], char(159 - 'x')) << "printable bytes are coded as 159 minus the byte";
    EXPECT_TRUE(written(solid, 4).empty()) << "no 3DSOLID before R13";
}

TEST_F(DxfEntitiesTest, ViewportSettingsByVersion) {
    EntityRecord viewport = entity(kEntityViewport);
    viewport.header.flags |= kEntityInPaperSpace;
    viewport.bodyAs<ViewportBody>().id = 2;
    viewport.bodyAs<ViewportBody>().viewHeight = 12.5;
    // Index 3 has no VIEWPORT; 4 to 6 carry the settings as MVIEW extended data; 7 as groups.
    EXPECT_TRUE(written(viewport, 3).empty());
    for (int16_t version : {4, 5, 6}) {
        const std::vector<DxfCheckGroup> groups = written(viewport, version);
        EXPECT_NE(test::findGroup(groups, 1000, "MVIEW"), groups.size()) << version;
        EXPECT_FALSE(hasCode(groups, 45)) << version;
        EXPECT_EQ(valueOf(groups, 69), "     2") << version;
    }
    const std::vector<DxfCheckGroup> r2000 = written(viewport, 7);
    EXPECT_EQ(test::findGroup(r2000, 1000, "MVIEW"), r2000.size());
    EXPECT_EQ(valueOf(r2000, 45), "12.5");
}

TEST_F(DxfEntitiesTest, EntitiesOfClassesWithoutALayoutAreZombiesOrProxies) {
    const uint16_t number = dbAddClass(drawing_->classes, "SOMETHING", "AcDbSomething", "Other", 0, kClassOfEntities, 0);
    ASSERT_NE(number, 0);
    EntityRecord other;
    other.header.type = number;
    dbInitEntity(drawing_, other);
    other.header.handle = dbNewHandle(*drawing_);
    ProxyEntityBody proxy;
    proxy.proxyClassId = 498;
    proxy.classNumber = number;
    const Handle layer = dbFirstRecordHandle(drawing_->layers);
    proxy.references.push_back({layer, 2});
    other.body = std::move(proxy);
    // The reader takes either form back as the entity of the proxied class.
    auto readBack = [&](int16_t version) {
        Drawing* loaded = rdOpenDrawing((folder_ / ("e" + std::to_string(version) + ".dxf")).c_str(), kOpenOrdinary, 0);
        ASSERT_NE(loaded, nullptr) << version;
        const auto* first = loaded->modelSpace ? static_cast<const EntityNode*>(loaded->modelSpace->first) : nullptr;
        ASSERT_NE(first, nullptr) << version;
        const auto* body = first->record.body.getIf<ProxyEntityBody>();
        ASSERT_NE(body, nullptr) << version;
        EXPECT_EQ(body->proxyClassId, 498) << version;
        ASSERT_EQ(body->references.size(), 1u) << version;
        EXPECT_EQ(body->references[0].handle, layer) << version;
        EXPECT_EQ(body->references[0].kind, 2) << version;
        dbFreeDrawing(loaded);
    };
    const std::vector<DxfCheckGroup> r13 = written(other, 5);
    ASSERT_FALSE(r13.empty());
    EXPECT_EQ(r13[0].value, "ACAD_ZOMBIE_ENTITY");
    EXPECT_NE(test::findGroup(r13, 100, "AcDbZombieEntity"), r13.size());
    readBack(5);
    for (int16_t version : {6, 7}) {
        const std::vector<DxfCheckGroup> groups = written(other, version);
        ASSERT_FALSE(groups.empty());
        EXPECT_EQ(groups[0].value, "ACAD_PROXY_ENTITY") << version;
        EXPECT_NE(test::findGroup(groups, 100, "AcDbProxyEntity"), groups.size()) << version;
        readBack(version);
    }
}

} // namespace
} // namespace tracemill
