// The R13-2000 DWG reader on the sample drawings: their file structure and header variables,
// every record of every file read through its layout, and each layout's reader and writer
// streams agreeing on every record.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dwg13_test_support.h"
#include "test_paths.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dwg13_classes_section.h"
#include "toolkit/read/dwg13_class_entity_layouts.h"
#include "toolkit/read/dwg13_dimension_layouts.h"
#include "toolkit/read/dwg13_file_header.h"
#include "toolkit/read/dwg13_header_section.h"
#include "toolkit/read/dwg13_object_layouts.h"
#include "toolkit/read/dwg13_record_reader.h"
#include "toolkit/read/file_recognition.h"
#include "toolkit/write/dwg13/field_writer.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using test::fileBytes;

struct Sample {
    const char* file;
    int version;
    size_t locators;
};

constexpr Sample kSamples[] = {
    {"example_r13.dwg", kVersionAC1012, 5},
    {"example_r14.dwg", kVersionAC1014, 5},
    {"example_2000.dwg", kVersionAC1015, 6},
    {"2000_entities-2d.dwg", kVersionAC1015, 6},
    {"oscilloscope_case_2000.dwg", kVersionAC1015, 6},
};

class Dwg13Samples : public test::ToolkitTest {};

// What a layout stores of a record: not the values the reader derives from others (the shape
// flags of a SPLINE), the bits the writer derives from values (LWPOLYLINE), nor what the
// prologue carries (proxy graphics).
template <class Body> void comparable(Body& body) {
    if constexpr (std::is_same_v<Body, SplineBody>) body.flags = int16_t(body.data.fitPoints.empty() ? body.flags & 0x07 : 0);
    if constexpr (std::is_same_v<Body, RasterImageBody>) body.graphics.reset();
    if constexpr (std::is_same_v<Body, LwpolylineBody>) body.flags = int16_t(body.flags & ~(0x01 | 0x02 | 0x08));
}

TEST_F(Dwg13Samples, FileHeadersAndHeaderVariablesOfEverySample) {
    TM_REQUIRE_SAMPLES(samples);
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.file);
        const std::vector<uint8_t> file = fileBytes(samples / "dwg" / sample.file);
        ASSERT_EQ(rdDwgVersionIndex(file, true), sample.version);
        Dwg13FileHeader header;
        ASSERT_EQ(rdDwg13ReadFileHeader(file, sample.version, header), 1);
        EXPECT_EQ(header.locators.size(), sample.locators);
        HeaderBlock variables;
        Dwg13HeaderHandles handles;
        ASSERT_EQ(rdDwg13ReadHeaderSection(file, header, variables, handles), 1);
        EXPECT_EQ(variables.acadver, std::string(kVersionSignatures[sample.version]));
        EXPECT_EQ(variables.dwgLeadingDouble, 412148564080.0);
        for (Handle control : handles.controls) EXPECT_FALSE(control.isNull());
        EXPECT_FALSE(handles.namedObjectDictionary.isNull());
        EXPECT_FALSE(handles.modelSpaceBlock.isNull());
    }
}

TEST_F(Dwg13Samples, HeaderVariablesOfOneDrawingInR14And2000) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"example_r14.dwg", "example_2000.dwg"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = fileBytes(samples / "dwg" / name);
        const int version = rdDwgVersionIndex(file, true);
        Dwg13FileHeader header;
        ASSERT_EQ(rdDwg13ReadFileHeader(file, version, header), 1);
        HeaderBlock h;
        Dwg13HeaderHandles x;
        ASSERT_EQ(rdDwg13ReadHeaderSection(file, header, h, x), 1);
        EXPECT_EQ(h.textsize, 100.0);
        EXPECT_EQ(h.dimasz, 2.5);
        EXPECT_EQ(h.limmax, (Point2{420.0, 297.0}));
        EXPECT_EQ(h.current.clayer, Handle(0x8A));
        EXPECT_EQ(x.controls, (std::array<Handle, kDwgControlCount>{Handle(1), Handle(2), Handle(3), Handle(5), Handle(6),
                                                                    Handle(7), Handle(8), Handle(9), Handle(0xA),
                                                                    Handle(0x2D1)}));
        EXPECT_EQ(x.groupDictionary, Handle(0xD));
        EXPECT_EQ(x.mlineStyleDictionary, Handle(0x17));
        EXPECT_EQ(x.namedObjectDictionary, Handle(0xC));
        EXPECT_EQ(x.paperSpaceBlock, Handle(0x55));
        EXPECT_EQ(x.modelSpaceBlock, Handle(0x1F));
        EXPECT_EQ(x.byLayerLinetype, Handle(0x15));
        EXPECT_EQ(x.byBlockLinetype, Handle(0x14));
        EXPECT_EQ(x.continuousLinetype, Handle(0x16));
    }
}

TEST_F(Dwg13Samples, The2000FlagWordAndMeasurement) {
    TM_REQUIRE_SAMPLES(samples);
    const std::vector<uint8_t> file = fileBytes(samples / "dwg" / "2000_entities-2d.dwg");
    Dwg13FileHeader header;
    ASSERT_EQ(rdDwg13ReadFileHeader(file, kVersionAC1015, header), 1);
    HeaderBlock h;
    Dwg13HeaderHandles x;
    ASSERT_EQ(rdDwg13ReadHeaderSection(file, header, h, x), 1);
    // The flag word 0x2A1D: lineweight index 29 (BYLAYER), LWDISPLAY and XEDIT on, EXTNAMES,
    // PSTYLEMODE.
    EXPECT_EQ(h.celweight, kLineweightByLayer);
    EXPECT_EQ(h.lwdisplay, 0);
    EXPECT_EQ(h.xedit, 1);
    EXPECT_EQ(h.extnames, 1);
    EXPECT_EQ(h.pstylemode, 1);
    EXPECT_EQ(dwg13JoinHeaderFlags(h), 0x2A1Du);
    EXPECT_EQ(h.insunits, 1);
    EXPECT_EQ(h.measurement, 0);
    EXPECT_EQ(x.layoutDictionary, Handle(0x1A));
}

TEST_F(Dwg13Samples, ClassesSections) {
    TM_REQUIRE_SAMPLES(samples);
    struct Case {
        const char* file;
        size_t count;
        const char* first;
        const char* last;
    } cases[] = {
        {"example_r13.dwg", 40, "ACDBDICTIONARYWDFLT", "HATCH"},
        {"2000_entities-2d.dwg", 3, "ACDBDICTIONARYWDFLT", "LAYOUT"},
        {"oscilloscope_case_2000.dwg", 24, "LWPOLYLINE", "ARCALIGNEDTEXT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> file = fileBytes(samples / "dwg" / c.file);
        Dwg13FileHeader header;
        ASSERT_EQ(rdDwg13ReadFileHeader(file, rdDwgVersionIndex(file, true), header), 1);
        std::vector<ClassEntry> classes;
        ASSERT_EQ(rdDwg13ReadClasses(file, header, classes), 1);
        ASSERT_EQ(classes.size(), c.count);
        EXPECT_EQ(classes.front().dxfName, c.first);
        EXPECT_EQ(classes.back().dxfName, c.last);
        for (size_t i = 0; i < classes.size(); ++i) EXPECT_EQ(classes[i].number, kFirstClassNumber + i);
    }
}

// Every object of every sample is reached by exactly one pass (the table passes through their
// controls, the entity walks, the viewport entity headers, the objects pass), and every record's
// fields end exactly where its handle references start: the layouts match the files bit for bit.
TEST_F(Dwg13Samples, EveryRecordIsReadOnceAndItsFieldsEndWhereItsHandlesStart) {
    TM_REQUIRE_SAMPLES(samples);
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.file);
        const std::vector<uint8_t> file = fileBytes(samples / "dwg" / sample.file);
        Drawing drawing;
        Dwg13Reader reader(file);
        const test::Dwg13Pass pass = test::dwg13ReadEverything(reader, drawing);
        ASSERT_EQ(pass.opened, 1);
        EXPECT_TRUE(pass.repeated.empty());
        EXPECT_EQ(reader.skippedRecords(), 0u);
        EXPECT_EQ(reader.objects().fieldMismatches(), 0u);
        size_t unread = 0;
        for (const ObjectMapEntry& entry : reader.objects().map().entries())
            if (!pass.handles.count(entry.handle.value)) ++unread;
        EXPECT_EQ(unread, 0u);
        EXPECT_EQ(pass.handles.size(), reader.objects().map().size());
    }
}

TEST_F(Dwg13Samples, EntityKindsOfTheDrawingWithItsDxfTwin) {
    TM_REQUIRE_SAMPLES(samples);
    const std::vector<uint8_t> file = fileBytes(samples / "dwg" / "2000_entities-2d.dwg");
    Drawing drawing;
    Dwg13Reader reader(file);
    const test::Dwg13Pass pass = test::dwg13ReadEverything(reader, drawing);
    std::map<uint16_t, int> kinds;
    for (const EntityRecord& entity : pass.entities) ++kinds[entity.header.type];
    const std::map<uint16_t, int> expected = {
        {kEntityLine, 5},      {kEntityPoint, 4},       {kEntityCircle, 1},  {kEntityShape, 1},
        {kEntityText, 1},      {kEntityArc, 1},         {kEntityTrace, 1},   {kEntitySolid, 3},
        {kEntityBlock, 4},     {kEntityEndBlock, 4},    {kEntityInsert, 2},  {kEntityAttributeDefinition, 2},
        {kEntityAttribute, 1}, {kEntitySequenceEnd, 1}, {kEntityDimension, 1},
        {dbClassLwpolyline(drawing.classes), 1},
    };
    EXPECT_EQ(kinds, expected);
    // The block records keep the whole names that the file gives only to their BLOCK entities.
    std::vector<std::string> names;
    reader.seekBlockRecords(drawing);
    for (;;) {
        BlockRecord record;
        uint8_t hasXData = 0;
        reader.readBlockRecord(drawing, record, hasXData);
        if (record.endOfTable) break;
        names.push_back(record.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"*Paper_Space0", "BLOCK1", "BLOCK2", "*D3"}));
}

// The records a load hands the reader hold the database's defaults (a new STYLE has the flags
// -1): a record read keeps only the flag bits the file stores.
TEST_F(Dwg13Samples, TableRecordFlagsAreTheStoredBitsAlone) {
    TM_REQUIRE_SAMPLES(samples);
    const std::vector<uint8_t> file = fileBytes(samples / "dwg" / "2000_entities-2d.dwg");
    Drawing drawing;
    Dwg13Reader reader(file);
    ASSERT_EQ(reader.openHeader(drawing), 1);
    reader.seekStyles(drawing);
    std::vector<int> flags;
    for (;;) {
        StyleRecord record;
        record.flags = 0xFF;
        uint8_t hasXData = 0;
        reader.readStyle(drawing, record, hasXData);
        if (record.endOfTable) break;
        flags.push_back(record.flags);
    }
    // "Standard", and the shape file's style (flag 1).
    EXPECT_EQ(flags, (std::vector<int>{0x40, 0x41}));
}

// The three drawings link their two viewport entity headers loosely: the first names no
// VIEWPORT and has no next header, the second names the paper-space viewport 88. The viewport
// gets the number 1 (as the DXF twin of example_2000 gives it).
TEST_F(Dwg13Samples, ViewportEntityHeadersNumberTheirViewports) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"example_r13.dwg", "example_r14.dwg", "example_2000.dwg"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = fileBytes(samples / "dwg" / name);
        Drawing drawing;
        Dwg13Reader reader(file);
        const test::Dwg13Pass pass = test::dwg13ReadEverything(reader, drawing);
        ASSERT_EQ(pass.viewportHeaders.size(), 2u);
        EXPECT_TRUE(pass.viewportHeaders[0].viewport.isNull());
        EXPECT_EQ(pass.viewportHeaders[0].viewportNumber, 0);
        EXPECT_EQ(pass.viewportHeaders[1].viewport, Handle(0x88));
        EXPECT_EQ(pass.viewportHeaders[1].viewportNumber, 1);
    }
}

// Each layout written through the writer's field stream reads back as the record it was written
// from: the two directions of every layout agree, on every record of the samples.
TEST_F(Dwg13Samples, EveryRecordWrittenThroughItsLayoutReadsBackTheSame) {
    TM_REQUIRE_SAMPLES(samples);
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.file);
        const std::vector<uint8_t> file = fileBytes(samples / "dwg" / sample.file);
        Drawing drawing;
        Dwg13Reader reader(file);
        test::Dwg13Pass pass = test::dwg13ReadEverything(reader, drawing);
        ASSERT_EQ(pass.opened, 1);
        size_t checked = 0;
        auto roundTrip = [&](auto& record, auto layout) {
            BitWriter bits;
            Dwg13FieldWriter out(bits, sample.version);
            auto written = record;
            layout(out, written);
            const std::vector<uint8_t> bytes = bits.takeBytes();
            BitReader in(bytes);
            Dwg13FieldReader back(in, sample.version);
            back.setHandleStreamStart(out.handleStreamStart());
            std::remove_cvref_t<decltype(record)> read;
            layout(back, read);
            comparable(written);
            comparable(read);
            EXPECT_FALSE(in.overrun()) << typeid(read).name();
            EXPECT_TRUE(read == written) << "record " << checked << " " << typeid(read).name();
            ++checked;
        };
        for (EntityRecord& entity : pass.entities) {
            Dwg13EntityCommon common;
            common.byLayerLinetype = drawing.handles.byLayerLinetype;
            common.byBlockLinetype = drawing.handles.byBlockLinetype;
            common.linetypeFlags = kDwgByHandle;
            common.plotStyleFlags = kDwgByHandle;
            const EntityHeader header = entity.header;
            entity.body.visit([&](auto& body) {
                using B = std::decay_t<decltype(body)>;
                auto withHeader = [&](auto layout) {
                    roundTrip(body, [&](auto& io, B& b) {
                        EntityHeader h = header;
                        Dwg13EntityCommon c = common;
                        layout(io, h, b, c);
                    });
                };
                if constexpr (std::is_same_v<B, LineBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13LineEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, CircleBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13CircleEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, ArcBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13ArcEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, TextBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13TextEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, MtextBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13MtextEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, SplineBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13SplineEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, HatchBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13HatchEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, LwpolylineBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13LwpolylineEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, MlineBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13MlineEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, FaceBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13Face3dEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, AcisBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13AcisEntity(io, h, b, c); });
                if constexpr (std::is_same_v<B, LeaderBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { Dwg13LeaderExtras x; dwg13LeaderEntity(io, h, b, c, x); });
                if constexpr (std::is_same_v<B, RasterImageBody>) withHeader([](auto& io, auto& h, auto& b, auto& c) { dwg13RasterImageEntity(io, h, b, c); });
            });
        }
        for (ObjectRecord& object : pass.objects) {
            object.body.visit([&](auto& body) {
                using B = std::decay_t<decltype(body)>;
                auto withHeader = [&](auto layout) {
                    roundTrip(body, [&](auto& io, B& b) {
                        ObjectHeader h = object.header;
                        layout(io, h, b, uint32_t(h.reactors.size()));
                    });
                };
                if constexpr (std::is_same_v<B, DictionaryBody>) withHeader([](auto& io, auto& h, auto& b, uint32_t r) { dwg13DictionaryObject(io, h, b, r); });
                if constexpr (std::is_same_v<B, DimAssocBody>) withHeader([](auto& io, auto& h, auto& b, uint32_t r) { dwg13DimAssocObject(io, h, b, r); });
                if constexpr (std::is_same_v<B, LayoutBody>) withHeader([](auto& io, auto& h, auto& b, uint32_t r) { dwg13LayoutObject(io, h, b, r); });
                if constexpr (std::is_same_v<B, MlineStyleBody>) withHeader([](auto& io, auto& h, auto& b, uint32_t r) { dwg13MlineStyleObject(io, h, b, r); });
                if constexpr (std::is_same_v<B, DictionaryVarBody>) withHeader([](auto& io, auto& h, auto& b, uint32_t r) { dwg13DictionaryVarObject(io, h, b, r); });
            });
        }
        EXPECT_GT(checked, 0u);
    }
}

} // namespace
} // namespace tracemill
