// The R13-2000 DWG reader as a load drives it: refused versions and damaged file structures,
// small files assembled here (large header sections, missing controls, entity chains that loop
// or break, proxies), and truncated or corrupted copies of the samples.
#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "dwg13_test_file.h"
#include "dwg13_test_support.h"
#include "test_paths.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dwg13_class_entity_layouts.h"
#include "toolkit/read/dwg13_entity_walk.h"
#include "toolkit/read/dwg13_file_header.h"
#include "toolkit/read/dwg13_object_layouts.h"
#include "toolkit/read/dwg13_table_layouts.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using test::Dwg13TestFile;
using test::fileBytes;

class Dwg13Reading : public test::ToolkitTest {};

// Handles of the small drawings assembled here.
constexpr uint64_t kControls = 1;  // 1..10
constexpr uint64_t kNamedObjects = 0xC;
constexpr uint64_t kModelSpace = 0x1F;
constexpr uint64_t kPaperSpace = 0x20;
constexpr uint64_t kByLayer = 0x15;
constexpr uint64_t kByBlock = 0x14;
constexpr uint64_t kLayerZero = 0x10;
constexpr uint64_t kModelBlock = 0x30;
constexpr uint64_t kModelEndBlock = 0x31;
constexpr uint64_t kPaperBlock = 0x32;
constexpr uint64_t kPaperEndBlock = 0x33;

// A LINE of model space whose chain links are given.
void addLine(Dwg13TestFile& file, uint64_t handle, uint64_t previous, uint64_t next, Point3 end) {
    file.addRecord(kDwgLine, Handle(handle), true, [=](Dwg13FieldWriter& io) {
        EntityHeader h;
        h.layer = Handle(kLayerZero);
        Dwg13EntityCommon c;
        c.mode = kDwgEntityInModelSpace;
        c.previous = Handle(previous);
        c.next = Handle(next);
        LineBody line{Point3{}, end};
        dwg13EntityCommonData(io, h, c);
        dwg13LineEntity(io, h, line, c);
    });
}

// A drawing of the given version with its ten controls, a named object dictionary and the two
// layout blocks; model space chains from `first` to `last`.
Dwg13TestFile smallDrawing(int version, uint64_t first, uint64_t last) {
    Dwg13TestFile file(version);
    for (size_t i = 0; i < kDwgControlCount; ++i) file.handles.controls[i] = Handle(kControls + i);
    file.handles.namedObjectDictionary = Handle(kNamedObjects);
    file.handles.modelSpaceBlock = Handle(kModelSpace);
    file.handles.paperSpaceBlock = Handle(kPaperSpace);
    file.handles.byLayerLinetype = Handle(kByLayer);
    file.handles.byBlockLinetype = Handle(kByBlock);
    static constexpr uint16_t kControlTypes[] = {48, 50, 52, 56, 60, 62, 64, 66, 68, 70};
    for (size_t i = 0; i < kDwgControlCount; ++i) {
        const uint16_t type = kControlTypes[i];
        file.addRecord(type, Handle(kControls + i), false, [type](Dwg13FieldWriter& io) {
            Dwg13ControlObject control;
            if (type == kDwgTypeLayerControl) {
                control.entries = {Handle(kLayerZero)};
                control.count = 1;
            }
            dwg13ControlObject(io, control, type, 0);
        });
    }
    file.addRecord(kDwgTypeDictionary, Handle(kNamedObjects), false, [](Dwg13FieldWriter& io) {
        ObjectHeader h;
        DictionaryBody body;
        dwg13DictionaryObject(io, h, body, 0);
    });
    file.addRecord(kDwgTypeLayer, Handle(kLayerZero), false, [](Dwg13FieldWriter& io) {
        LayerRecord layer;
        layer.name = "0";
        layer.colour = 7;
        layer.owner = Handle(kControls + kDwgControlLayer);
        Handle xrefBlock;
        dwg13LayerRecord(io, layer, 0, xrefBlock);
    });
    auto block = [&](uint64_t handle, const char* name, Dwg13BlockLinks links) {
        file.addRecord(kDwgTypeBlockHeader, Handle(handle), false, [=](Dwg13FieldWriter& io) {
            BlockRecord record;
            record.name = name;
            Dwg13BlockLinks l = links;
            Handle xrefBlock;
            HandleList inserts;
            dwg13BlockHeaderRecord(io, record, 0, xrefBlock, l, inserts);
        });
    };
    block(kModelSpace, "*MODEL_SPACE", {Handle(kModelBlock), Handle(first), Handle(last), Handle(kModelEndBlock)});
    block(kPaperSpace, "*PAPER_SPACE", {Handle(kPaperBlock), Handle(), Handle(), Handle(kPaperEndBlock)});
    return file;
}

// The entities one pass over a file reads, by handle.
std::vector<uint64_t> entityHandles(const std::vector<uint8_t>& bytes) {
    Drawing drawing;
    Dwg13Reader reader(bytes);
    test::Dwg13Pass pass = test::dwg13ReadEverything(reader, drawing);
    std::vector<uint64_t> handles;
    for (const EntityRecord& entity : pass.entities) handles.push_back(entity.header.handle.value);
    return handles;
}

TEST_F(Dwg13Reading, NewerAndOlderSignaturesAreRefusedWithError8) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"example_2004.dwg", "r1.4_entities.dwg"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = fileBytes(samples / "dwg" / name);
        Drawing drawing;
        Dwg13Reader reader(file);
        EXPECT_EQ(reader.openHeader(drawing), 0);
        EXPECT_EQ(dbGetError(), kErrorDwgUnknownVersion);
    }
}

TEST_F(Dwg13Reading, Ac1013IsReadAsR14OnlyWhenAccepted) {
    Dwg13TestFile file = smallDrawing(kVersionAC1014, 0, 0);
    std::vector<uint8_t> bytes = file.build();
    std::copy_n("AC1013", 6, bytes.begin());
    {
        Drawing drawing;
        Dwg13Reader reader(bytes, false);
        EXPECT_EQ(reader.openHeader(drawing), 0);
        EXPECT_EQ(dbGetError(), kErrorDwgAc1013NotEnabled);
    }
    Drawing drawing;
    Dwg13Reader reader(bytes, true);
    ASSERT_EQ(reader.openHeader(drawing), 1);
    EXPECT_EQ(drawing.versionIndex, kVersionAC1014);
}

TEST_F(Dwg13Reading, DamagedLocatorsFailWith186) {
    const std::vector<uint8_t> good = smallDrawing(kVersionAC1015, 0, 0).build();
    struct Case {
        const char* name;
        size_t offset;
        uint32_t value;
    } cases[] = {
        {"the object map beyond the file", dwg13::kLocatorsOffset + 2 * dwg13::kLocatorSize + 1, 0x7FFFFFFF},
        {"a later record beyond the file", dwg13::kLocatorsOffset + 5 * dwg13::kLocatorSize + 1, 0x7FFFFFFF},
        {"two locators only", dwg13::kLocatorCountOffset, 2},
        {"more locators than the header holds", dwg13::kLocatorCountOffset, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = good;
        putLe32(&bytes[c.offset], c.value);
        Drawing drawing;
        Dwg13Reader reader(bytes);
        EXPECT_EQ(reader.openHeader(drawing), 0);
        EXPECT_EQ(dbGetError(), kErrorDwgLocatorOutside);
    }
}

TEST_F(Dwg13Reading, AMissingControlOrLayoutBlockFailsWith300) {
    for (int missing = 0; missing < 3; ++missing) {
        SCOPED_TRACE(missing);
        Dwg13TestFile file = smallDrawing(kVersionAC1015, 0, 0);
        if (missing == 0) file.handles.controls[kDwgControlStyle] = Handle();
        if (missing == 1) file.handles.namedObjectDictionary = Handle();
        if (missing == 2) file.handles.byLayerLinetype = Handle();
        const std::vector<uint8_t> bytes = file.build();
        Drawing drawing;
        Dwg13Reader reader(bytes);
        EXPECT_EQ(reader.openHeader(drawing), 0);
        EXPECT_EQ(dbGetError(), kErrorDwgControlMissing);
    }
}

// The section's size is read as 32 bits: a header section of 40,000 bytes reads like a small
// one (a 16-bit signed count could not say its size).
TEST_F(Dwg13Reading, HeaderSectionsOf32KilobytesAndMoreAreRead) {
    for (int version : {kVersionAC1014, kVersionAC1015}) {
        SCOPED_TRACE(version);
        Dwg13TestFile file = smallDrawing(version, 0, 0);
        file.header.textsize = 2.75;
        file.headerPadding = 40000;
        const std::vector<uint8_t> bytes = file.build();
        Drawing drawing;
        Dwg13Reader reader(bytes);
        ASSERT_EQ(reader.openHeader(drawing), 1);
        EXPECT_EQ(drawing.header->textsize, 2.75);
        EXPECT_EQ(drawing.handles.modelSpaceBlock, Handle(kModelSpace));
    }
}

TEST_F(Dwg13Reading, ModelSpaceChainsAreWalkedFromFirstToLast) {
    for (int version : {kVersionAC1012, kVersionAC1014, kVersionAC1015}) {
        SCOPED_TRACE(version);
        Dwg13TestFile file = smallDrawing(version, 0x40, 0x42);
        addLine(file, 0x40, 0, 0x41, Point3{1, 0, 0});
        addLine(file, 0x41, 0x40, 0x42, Point3{2, 0, 0});
        addLine(file, 0x42, 0x41, 0x43, Point3{3, 0, 0});
        addLine(file, 0x43, 0x42, 0, Point3{4, 0, 0}); // after the last: not read
        EXPECT_EQ(entityHandles(file.build()), (std::vector<uint64_t>{0x40, 0x41, 0x42}));
    }
}

TEST_F(Dwg13Reading, AChainThatLoopsBackEndsInsteadOfHanging) {
    Dwg13TestFile file = smallDrawing(kVersionAC1015, 0x40, 0x50);
    addLine(file, 0x40, 0, 0x41, Point3{1, 0, 0});
    addLine(file, 0x41, 0x40, 0x40, Point3{2, 0, 0}); // back to the first
    EXPECT_EQ(entityHandles(file.build()), (std::vector<uint64_t>{0x40, 0x41}));
}

TEST_F(Dwg13Reading, ABrokenChainKeepsWhatWasReadBeforeTheBreak) {
    Dwg13TestFile file = smallDrawing(kVersionAC1015, 0x40, 0x42);
    addLine(file, 0x40, 0, 0x41, Point3{1, 0, 0});
    addLine(file, 0x41, 0x40, 0x99, Point3{2, 0, 0}); // the map does not know 0x99
    addLine(file, 0x42, 0x41, 0, Point3{3, 0, 0});
    Drawing drawing;
    const std::vector<uint8_t> bytes = file.build();
    Dwg13Reader reader(bytes);
    test::Dwg13Pass pass = test::dwg13ReadEverything(reader, drawing);
    ASSERT_EQ(pass.entities.size(), 2u);
    EXPECT_EQ(pass.entities[1].bodyAs<LineBody>().end, (Point3{2, 0, 0}));
    EXPECT_EQ(reader.skippedRecords(), 1u);
}

// A 2000 proxy whose data has the form of its class (a class the toolkit knows) is read as
// that class.
TEST_F(Dwg13Reading, AProxyOfAKnownClassIsReadAsThatClass) {
    Dwg13TestFile file = smallDrawing(kVersionAC1015, 0x40, 0x40);
    ClassEntry lwpolyline;
    lwpolyline.number = 500;
    lwpolyline.dxfName = "LWPOLYLINE";
    lwpolyline.className = "AcDbPolyline";
    lwpolyline.itemClassId = kClassOfEntities;
    file.classes.push_back(lwpolyline);
    file.addRecord(kDwgTypeProxyEntity, Handle(0x40), true, [](Dwg13FieldWriter& io) {
        EntityHeader h;
        h.layer = Handle(kLayerZero);
        Dwg13EntityCommon c;
        c.mode = kDwgEntityInModelSpace;
        c.noLinks = 1;
        dwg13EntityCommonData(io, h, c);
        ProxyEntityBody proxy;
        proxy.proxyClassId = 500;
        uint8_t originalForm = 0;
        dwg13ProxyEntityHead(io, proxy, originalForm);
        LwpolylineBody body;
        body.vertices = {{Point2{0, 0}}, {Point2{5, 0}}, {Point2{5, 5}}};
        dwg13LwpolylineEntity(io, h, body, c);
    });
    Drawing drawing;
    const std::vector<uint8_t> bytes = file.build();
    Dwg13Reader reader(bytes);
    test::Dwg13Pass pass = test::dwg13ReadEverything(reader, drawing);
    ASSERT_EQ(pass.entities.size(), 1u);
    EXPECT_EQ(pass.entities[0].header.type, 500);
    ASSERT_TRUE(pass.entities[0].body.holds<LwpolylineBody>());
    EXPECT_EQ(pass.entities[0].bodyAs<LwpolylineBody>().vertices.size(), 3u);
    EXPECT_EQ(pass.entities[0].header.layer, Handle(kLayerZero));
}

TEST_F(Dwg13Reading, TheWalkOfAnInsertWithAttributesAtTheEndOfItsChain) {
    Dwg13EntityWalk walk;
    walk.startSpaces(Handle(), Handle(), Handle(0x10), Handle(0x10));
    ASSERT_EQ(walk.next(), Handle(0x10));
    Dwg13EntityLinks insert;
    insert.next = Handle(0x11);
    insert.hasChildren = true;
    insert.firstChild = Handle(0x20);
    insert.lastChild = Handle(0x21);
    insert.sequenceEnd = Handle(0x22);
    walk.advance(Handle(0x10), kEntityInsert, insert);
    ASSERT_EQ(walk.next(), Handle(0x20));
    Dwg13EntityLinks attribute;
    attribute.next = Handle(0x21);
    walk.advance(Handle(0x20), kEntityAttribute, attribute);
    ASSERT_EQ(walk.next(), Handle(0x21));
    walk.advance(Handle(0x21), kEntityAttribute, Dwg13EntityLinks{});
    ASSERT_EQ(walk.next(), Handle(0x22));
    walk.advance(Handle(0x22), kEntitySequenceEnd, Dwg13EntityLinks{});
    EXPECT_TRUE(walk.next().isNull());
}

TEST_F(Dwg13Reading, ABlockWalkGoesFromItsBlockEntityToItsEndblk) {
    Dwg13EntityWalk walk;
    walk.startBlock(Handle(0x30), Handle(0x31), Handle(0x32), Handle(0x33));
    std::vector<uint64_t> order;
    for (Handle h = walk.next(); !h.isNull(); h = walk.next()) {
        order.push_back(h.value);
        Dwg13EntityLinks links;
        links.next = Handle(h.value + 1);
        const uint16_t kind = h.value == 0x30 ? kEntityBlock : h.value == 0x33 ? kEntityEndBlock : kEntityLine;
        if (h.value == 0x31) {
            walk.chainBroken(); // an entity that cannot be read
        } else {
            walk.advance(h, kind, links);
        }
        if (kind == kEntityEndBlock) break;
    }
    EXPECT_EQ(order, (std::vector<uint64_t>{0x30, 0x31, 0x33}));
}

// Truncated and corrupted copies of the samples load what is intact or fail with an error
// number; they never crash, hang or read outside the file (the sanitizer build runs this).
TEST_F(Dwg13Reading, TruncatedAndCorruptedSamplesNeverCrash) {
    TM_REQUIRE_SAMPLES(samples);
    std::mt19937 random(20261210);
    for (const char* name : {"example_r13.dwg", "example_r14.dwg", "example_2000.dwg", "2000_entities-2d.dwg",
                             "oscilloscope_case_2000.dwg"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> whole = fileBytes(samples / "dwg" / name);
        for (int variant = 0; variant < 12; ++variant) {
            std::vector<uint8_t> bytes = whole;
            if (variant % 2 == 0) {
                bytes.resize(std::uniform_int_distribution<size_t>(0, whole.size() - 1)(random));
            } else {
                for (int flip = 0; flip < 8; ++flip)
                    bytes[std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random)] ^=
                        uint8_t(1 + random() % 255);
            }
            Drawing drawing;
            Dwg13Reader reader(bytes);
            const test::Dwg13Pass pass = test::dwg13ReadEverything(reader, drawing);
            if (!pass.opened) {
                EXPECT_NE(dbGetError(), 0);
            }
        }
    }
}

} // namespace
} // namespace tracemill
