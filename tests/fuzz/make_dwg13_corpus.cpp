// Writes the seed corpus of the R13-2000 DWG reader harness: one small drawing per version with
// the tables, a block, entities of many kinds (with attributes, vertices, ACIS data, class-based
// ones) and objects. Usage: make_dwg13_corpus DIR. The files are committed; run it again only
// when the format of the seeds should change. The replay test also reads the sample drawings in
// place.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "dwg13_test_file.h"
#include "toolkit/read/dwg13_class_entity_layouts.h"
#include "toolkit/read/dwg13_dimension_layouts.h"
#include "toolkit/read/dwg13_object_layouts.h"
#include "toolkit/read/dwg13_object_source.h"
#include "toolkit/read/dwg13_table_layouts.h"

using namespace tracemill;
using test::Dwg13TestFile;

namespace {

constexpr uint64_t kLayerZero = 0x10;
constexpr uint64_t kByBlock = 0x14;
constexpr uint64_t kByLayer = 0x15;
constexpr uint64_t kContinuous = 0x16;
constexpr uint64_t kStandardStyle = 0x11;
constexpr uint64_t kModelSpace = 0x1F;
constexpr uint64_t kPaperSpace = 0x20;
constexpr uint64_t kBlockRecord = 0x21;
constexpr uint64_t kNamedObjects = 0xC;
constexpr uint64_t kGroups = 0xD;
constexpr uint64_t kMlineStyles = 0xE;
constexpr uint64_t kFirstEntity = 0x40;

// Entities of model space, chained in the order they are added.
class Chain {
  public:
    Chain(Dwg13TestFile& file, int version) : file_(file), version_(version) {}

    // An entity of the chain; `body` writes its fields after the common data.
    void add(uint16_t type, std::function<void(Dwg13FieldWriter&, EntityHeader&, Dwg13EntityCommon&)> body,
             int children = 0) {
        const uint64_t handle = next_;
        next_ += 1 + children;
        const uint64_t previous = last_;
        last_ = handle;
        entries_.push_back({type, handle, previous, std::move(body)});
    }
    uint64_t first() const { return entries_.empty() ? 0 : entries_.front().handle; }
    uint64_t last() const { return last_; }
    uint64_t nextHandle() const { return next_; }

    void write() {
        for (size_t i = 0; i < entries_.size(); ++i) {
            Entry e = entries_[i];
            const uint64_t after = i + 1 < entries_.size() ? entries_[i + 1].handle : 0;
            file_.addRecord(e.type, Handle(e.handle), true, [e, after](Dwg13FieldWriter& io) {
                EntityHeader h;
                h.layer = Handle(kLayerZero);
                Dwg13EntityCommon c;
                c.mode = kDwgEntityInModelSpace;
                c.previous = Handle(e.previous);
                c.next = Handle(after);
                dwg13EntityCommonData(io, h, c);
                e.body(io, h, c);
            });
        }
    }

  private:
    struct Entry {
        uint16_t type;
        uint64_t handle;
        uint64_t previous;
        std::function<void(Dwg13FieldWriter&, EntityHeader&, Dwg13EntityCommon&)> body;
    };
    Dwg13TestFile& file_;
    int version_;
    uint64_t next_ = kFirstEntity;
    uint64_t last_ = 0;
    std::vector<Entry> entries_;
};

// An entity that is not part of the chain (an ATTRIB, VERTEX or SEQEND of a sequence).
void addChild(Dwg13TestFile& file, uint16_t type, uint64_t handle, uint64_t next,
              std::function<void(Dwg13FieldWriter&, EntityHeader&, Dwg13EntityCommon&)> body) {
    file.addRecord(type, Handle(handle), true, [=](Dwg13FieldWriter& io) {
        EntityHeader h;
        h.layer = Handle(kLayerZero);
        Dwg13EntityCommon c;
        c.mode = kDwgEntityInModelSpace;
        c.next = Handle(next);
        dwg13EntityCommonData(io, h, c);
        body(io, h, c);
    });
}

Dwg13TestFile drawing(int version) {
    Dwg13TestFile file(version);
    static constexpr uint16_t kControlTypes[] = {48, 50, 52, 56, 60, 62, 64, 66, 68, 70};
    for (size_t i = 0; i < kDwgControlCount; ++i) file.handles.controls[i] = Handle(1 + i);
    file.handles.namedObjectDictionary = Handle(kNamedObjects);
    file.handles.groupDictionary = Handle(kGroups);
    file.handles.mlineStyleDictionary = Handle(kMlineStyles);
    file.handles.modelSpaceBlock = Handle(kModelSpace);
    file.handles.paperSpaceBlock = Handle(kPaperSpace);
    file.handles.byLayerLinetype = Handle(kByLayer);
    file.handles.byBlockLinetype = Handle(kByBlock);
    file.handles.continuousLinetype = Handle(kContinuous);
    file.header.current.clayer = Handle(kLayerZero);
    file.header.handseed = Handle(0x200);
    if (version >= kVersionAC1014) {
        const char* names[] = {"LWPOLYLINE", "HATCH", "XRECORD", "LAYOUT", "DICTIONARYVAR", "WIPEOUT"};
        for (uint16_t i = 0; i < 6; ++i) {
            ClassEntry entry;
            entry.number = uint16_t(kFirstClassNumber + i);
            entry.dxfName = names[i];
            entry.className = std::string("AcDb") + names[i];
            entry.applicationName = "AutoCAD 2000";
            entry.itemClassId = (i < 2 || i == 5) ? kClassOfEntities : kClassOfObjects;
            file.classes.push_back(entry);
        }
    }

    for (size_t i = 0; i < kDwgControlCount; ++i) {
        const uint16_t type = kControlTypes[i];
        file.addRecord(type, Handle(1 + i), false, [type](Dwg13FieldWriter& io) {
            Dwg13ControlObject control;
            if (type == kDwgTypeLayerControl) control.entries = {Handle(kLayerZero)};
            if (type == kDwgTypeStyleControl) control.entries = {Handle(kStandardStyle)};
            if (type == kDwgTypeLinetypeControl) {
                control.entries = {Handle(kContinuous)};
                control.extras = {Handle(kByBlock), Handle(kByLayer)};
            }
            if (type == kDwgTypeBlockControl) {
                control.entries = {Handle(kBlockRecord)};
                control.extras = {Handle(kModelSpace), Handle(kPaperSpace)};
            }
            control.count = int32_t(control.entries.size());
            dwg13ControlObject(io, control, type, 0);
        });
    }
    file.addRecord(kDwgTypeLayer, Handle(kLayerZero), false, [](Dwg13FieldWriter& io) {
        LayerRecord layer;
        layer.name = "0";
        layer.colour = 7;
        layer.linetype = Handle(kContinuous);
        Handle xrefBlock;
        dwg13LayerRecord(io, layer, 0, xrefBlock);
    });
    file.addRecord(kDwgTypeStyle, Handle(kStandardStyle), false, [](Dwg13FieldWriter& io) {
        StyleRecord style;
        style.name = "Standard";
        style.widthFactor = 1.0;
        style.fontFile = "txt";
        dwg13StyleRecord(io, style, 0);
    });
    for (uint64_t handle : {kByBlock, kByLayer, kContinuous}) {
        file.addRecord(kDwgTypeLinetype, Handle(handle), false, [handle](Dwg13FieldWriter& io) {
            LinetypeRecord linetype;
            linetype.name = handle == kByBlock ? "ByBlock" : handle == kByLayer ? "ByLayer" : "Continuous";
            Handle xrefBlock;
            dwg13LinetypeRecord(io, linetype, 0, xrefBlock);
        });
    }

    Chain chain(file, version);
    chain.add(kDwgLine, [](auto& io, auto& h, auto& c) {
        LineBody line{Point3{0, 0, 0}, Point3{10, 5, 0}};
        dwg13LineEntity(io, h, line, c);
    });
    chain.add(kDwgText, [](auto& io, auto& h, auto& c) {
        TextBody text;
        text.insertion = Point3{1, 2, 0};
        text.height = 2.5;
        text.widthFactor = 1.0;
        text.text = "seed";
        text.style = Handle(kStandardStyle);
        dwg13TextEntity(io, h, text, c);
    });
    // An INSERT with one ATTRIB and its SEQEND.
    const uint64_t insert = chain.nextHandle();
    chain.add(kDwgInsert, [insert](auto& io, auto& h, auto& c) {
        InsertBody body;
        body.scale = Point3{2, 2, 2};
        body.attributesFollow = 1;
        body.block = Handle(kBlockRecord);
        Dwg13EntityContext x;
        x.firstChild = x.lastChild = Handle(insert + 1);
        x.sequenceEnd = Handle(insert + 2);
        dwg13InsertEntity(io, h, body, c, x, false);
    }, 2);
    addChild(file, kDwgAttribute, insert + 1, insert + 2, [](auto& io, auto& h, auto& c) {
        AttributeBody attribute;
        attribute.text = "value";
        attribute.tag = "TAG";
        attribute.height = 1.0;
        attribute.widthFactor = 1.0;
        dwg13AttributeEntity(io, h, attribute, c);
    });
    addChild(file, kDwgSequenceEnd, insert + 2, 0, [](auto& io, auto& h, auto& c) {
        dwg13::commonHandlesOnly(io, h, c);
    });
    // A 2D POLYLINE with two vertices and its SEQEND.
    const uint64_t polyline = chain.nextHandle();
    chain.add(kDwgPolyline2d, [polyline](auto& io, auto& h, auto& c) {
        PolylineBody body;
        body.flags = 1;
        Dwg13EntityContext x;
        x.firstChild = Handle(polyline + 1);
        x.lastChild = Handle(polyline + 2);
        x.sequenceEnd = Handle(polyline + 3);
        dwg13Polyline2dEntity(io, h, body, c, x);
    }, 3);
    for (uint64_t v = 1; v <= 2; ++v) {
        addChild(file, kDwgVertex2d, polyline + v, polyline + v + 1, [v](auto& io, auto& h, auto& c) {
            VertexBody vertex;
            vertex.point = Point3{double(v), 0, 0};
            vertex.bulge = 0.5;
            dwg13Vertex2dEntity(io, h, vertex, c, Dwg13EntityContext{});
        });
    }
    addChild(file, kDwgSequenceEnd, polyline + 3, 0, [](auto& io, auto& h, auto& c) {
        dwg13::commonHandlesOnly(io, h, c);
    });
    chain.add(kDwgDimensionLinear, [](auto& io, auto& h, auto& c) {
        DimensionBody dimension;
        dimension.point13 = Point3{0, 0, 0};
        dimension.point14 = Point3{10, 0, 0};
        dimension.definitionPoint = Point3{10, 5, 0};
        dimension.userText = "<>";
        dwg13DimensionEntity(io, h, dimension, c, kDwgDimensionLinear);
    });
    chain.add(kDwgSpline, [](auto& io, auto& h, auto& c) {
        SplineBody spline;
        spline.degree = 3;
        spline.data.knots = {0, 0, 0, 0, 1, 1, 1, 1};
        spline.data.controlPoints = {{0, 0, 0}, {1, 2, 0}, {3, 2, 0}, {4, 0, 0}};
        dwg13SplineEntity(io, h, spline, c);
    });
    chain.add(kDwgMtext, [](auto& io, auto& h, auto& c) {
        MtextBody mtext;
        mtext.text = "\\Pline one\\Pline two";
        mtext.textHeight = 2.0;
        mtext.attachment = 1;
        mtext.xDirection = Point3{1, 0, 0};
        dwg13MtextEntity(io, h, mtext, c);
    });
    chain.add(kDwgSolid3d, [](auto& io, auto& h, auto& c) {
        AcisBody solid;
        const std::string sat = "400 0 1 0\n8 seed 12 ACIS 4.0.2 NT\nbody $-1 $1 $-1 $-1 #\nEnd-of-ACIS-data\n";
        solid.satText.create(4096)->bytes.assign(sat.begin(), sat.end());
        dwg13AcisEntity(io, h, solid, c);
    });
    chain.add(kDwgLeader, [](auto& io, auto& h, auto& c) {
        LeaderBody leader;
        leader.points = {{0, 0, 0}, {5, 5, 0}, {8, 5, 0}};
        leader.arrowheadOn = 1;
        Dwg13LeaderExtras x;
        dwg13LeaderEntity(io, h, leader, c, x);
    });
    if (version >= kVersionAC1014) {
        chain.add(kFirstClassNumber, [](auto& io, auto& h, auto& c) {
            LwpolylineBody body;
            body.flags = kLwpolylineHasBulges | kLwpolylineClosed;
            body.vertices = {{Point2{0, 0}, 0.5}, {Point2{5, 0}}, {Point2{5, 5}}};
            dwg13LwpolylineEntity(io, h, body, c);
        });
        chain.add(kFirstClassNumber + 1, [](auto& io, auto& h, auto& c) {
            HatchBody hatch;
            hatch.patternName = "SOLID";
            hatch.solidFill = 1;
            HatchPath path;
            path.flags = kHatchPathPolyline | 1;
            path.closed = 1;
            path.vertices = {{Point2{0, 0}}, {Point2{4, 0}}, {Point2{4, 4}}};
            HatchPath edges;
            edges.edges = {HatchLineEdge{Point2{0, 0}, Point2{1, 0}}, HatchArcEdge{Point2{1, 1}, 1.0, 0.0, 3.14, 1}};
            hatch.paths = {path, edges};
            hatch.seedPoints = {Point2{1, 1}};
            dwg13HatchEntity(io, h, hatch, c);
        });
        chain.add(kFirstClassNumber + 5, [](auto& io, auto& h, auto& c) {
            RasterImageBody wipeout;
            wipeout.clipBoundaryType = 2;
            wipeout.clipVertices = {{0, 0}, {1, 0}, {1, 1}, {0, 0}};
            dwg13RasterImageEntity(io, h, wipeout, c);
        });
    }
    const uint64_t first = chain.first();
    const uint64_t last = chain.last();
    chain.write();

    // The layout blocks and one block with a LINE.
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
    block(kModelSpace, "*MODEL_SPACE", {Handle(0x100), Handle(first), Handle(last), Handle(0x101)});
    block(kPaperSpace, "*PAPER_SPACE", {Handle(0x102), Handle(), Handle(), Handle(0x103)});
    block(kBlockRecord, "PART", {Handle(0x104), Handle(0x105), Handle(0x105), Handle(0x106)});
    addChild(file, kDwgBlock, 0x104, 0x105, [](auto& io, auto& h, auto& c) {
        BlockBeginBody begin;
        begin.name = "PART";
        dwg13BlockEntity(io, h, begin, c);
    });
    addChild(file, kDwgCircle, 0x105, 0x106, [](auto& io, auto& h, auto& c) {
        CircleBody circle{Point3{0, 0, 0}, 3.0};
        dwg13CircleEntity(io, h, circle, c);
    });
    addChild(file, kDwgEndBlock, 0x106, 0, [](auto& io, auto& h, auto& c) { dwg13::commonHandlesOnly(io, h, c); });

    // Objects.
    file.addRecord(kDwgTypeDictionary, Handle(kNamedObjects), false, [](Dwg13FieldWriter& io) {
        ObjectHeader h;
        DictionaryBody body;
        body.entries = {{"ACAD_GROUP", Handle(kGroups)}, {"ACAD_MLINESTYLE", Handle(kMlineStyles)},
                        {"SEED", Handle(0x110)}};
        dwg13DictionaryObject(io, h, body, 0);
    });
    file.addRecord(kDwgTypeDictionary, Handle(kGroups), false, [](Dwg13FieldWriter& io) {
        ObjectHeader h;
        h.owner = Handle(kNamedObjects);
        DictionaryBody body;
        body.entries = {{"G", Handle(0x111)}};
        dwg13DictionaryObject(io, h, body, 0);
    });
    file.addRecord(kDwgTypeGroup, Handle(0x111), false, [first](Dwg13FieldWriter& io) {
        ObjectHeader h;
        h.owner = Handle(kGroups);
        GroupBody body;
        body.description = "seed group";
        body.members = {Handle(first)};
        dwg13GroupObject(io, h, body, 0);
    });
    file.addRecord(kDwgTypeDictionary, Handle(kMlineStyles), false, [](Dwg13FieldWriter& io) {
        ObjectHeader h;
        DictionaryBody body;
        body.entries = {{"Standard", Handle(0x112)}};
        dwg13DictionaryObject(io, h, body, 0);
    });
    file.addRecord(kDwgTypeMlineStyle, Handle(0x112), false, [](Dwg13FieldWriter& io) {
        ObjectHeader h;
        MlineStyleBody body;
        body.name = "Standard";
        body.elements = {{0.5, 256, 32767}, {-0.5, 256, 32767}};
        dwg13MlineStyleObject(io, h, body, 0);
    });
    if (version >= kVersionAC1014) {
        const uint16_t xrecord = version >= kVersionAC1015 ? kDwgTypeXrecord : uint16_t(kFirstClassNumber + 2);
        file.addRecord(xrecord, Handle(0x110), false, [](Dwg13FieldWriter& io) {
            ObjectHeader h;
            XrecordBody body;
            // 300 "ab" (text), 90 7 (long), 290 1 (byte), 10 (point), 340 handle 0x10.
            std::vector<uint8_t> data = {0x2C, 0x01, 2, 0, 30, 'a', 'b', 90, 0, 7, 0, 0, 0, 0x22, 0x01, 1, 10, 0};
            data.insert(data.end(), 24, 0);
            data.insert(data.end(), {0x54, 0x01, 0x10, 0, 0, 0, 0, 0, 0, 0});
            dwg13XrecordObject(io, h, body, data, 0);
        });
        file.addRecord(uint16_t(kFirstClassNumber + 4), Handle(0x113), false, [](Dwg13FieldWriter& io) {
            ObjectHeader h;
            DictionaryVarBody body;
            body.value = "1";
            dwg13DictionaryVarObject(io, h, body, 0);
        });
    }
    if (version >= kVersionAC1015) {
        file.addRecord(uint16_t(kFirstClassNumber + 3), Handle(0x114), false, [](Dwg13FieldWriter& io) {
            ObjectHeader h;
            LayoutBody body;
            body.name = "Model";
            body.block = Handle(kModelSpace);
            dwg13LayoutObject(io, h, body, 0);
        });
    }
    return file;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_dwg13_corpus DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    for (int version : {kVersionAC1012, kVersionAC1014, kVersionAC1015}) {
        const std::vector<uint8_t> bytes = drawing(version).build();
        const std::filesystem::path path = dir / (std::string(kVersionSignatures[version]) + "_small.dwg");
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
    }
    return 0;
}
