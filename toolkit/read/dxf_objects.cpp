// DXF objects: the kind peek, dictionaries, groups, the class-based objects the database knows
// (their own layouts), proxy objects, and objects of classes known only from the CLASSES
// section, kept as bit-coded data. MLINESTYLE objects are read with the table records.
#include <charconv>
#include <string>

#include "toolkit/core/entity_types.h"
#include "toolkit/core/hex_text.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dxf_bit_data.h"
#include "toolkit/read/dxf_reader.h"
#include "toolkit/codec/bit_section.h"

namespace tracemill {
namespace {

// Appends the bytes of a 310 group's hex text to a record's stream, made on first use.
void appendHexChunk(OwnedStream& stream, std::string_view hex) {
    if (!stream && !stream.create(4096)) return;
    const std::vector<uint8_t> bytes = dbHexToBytes(hex);
    stream.get()->bytes.insert(stream.get()->bytes.end(), bytes.begin(), bytes.end());
}

bool isProxyName(std::string_view name) { return name == "ACAD_PROXY_OBJECT" || name == "ACAD_ZOMBIE_OBJECT"; }

// The code the objects pass reads an object of that name by; 0 for a name the drawing has
// no class for.
uint16_t objectCode(Drawing& drawing, const std::string& name) {
    if (name == "DICTIONARY") return kObjectDictionary;
    if (name == "MLINESTYLE") return kObjectMlineStyle;
    if (name == "GROUP") return kObjectGroup;
    if (isProxyName(name)) return kObjectOfClassData;
    ClassKind kind;
    if (dbClassKindByDxfName(name, kind) && !dbClassKindIsEntity(kind)) {
        const uint16_t number = dbClassNumber(drawing.classes, kind);
        if (number) return number;
    }
    ClassEntry entry;
    return dbFindClassByName(drawing.classes, name, entry) ? kObjectOfClassData : 0;
}

class ObjectReader {
public:
    ObjectReader(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData)
        : d_(drawing), s_(dxfState(drawing)), g_(s_.group()), o_(object), hasXData_(hasXData) {}

    int prologue();
    int dictionary();
    int group();
    int object();

private:
    // The next group below 1000 (extended data on the way is collected).
    bool next() { return rdDxfNextRecordGroup(s_, d_, hasXData_, position_) != 0; }
    void giveBack() { rdDxfSeek(s_, position_); }
    // Calls `each` for every group up to the next code 0 (given back).
    template <class Each>
    int untilNextObject(Each each) {
        while (next()) {
            if (g_.code == 0) {
                giveBack();
                return 1;
            }
            each(g_);
        }
        return 0;
    }
    int finish(int read) {
        if (read) rdDxfTakeXData(s_, o_.header.xdata);
        return read;
    }
    int xrecord();
    int dimAssoc();
    int plotSettings(PlotSettings& settings);
    int layout();
    int spatialFilter();
    int proxy();
    int classData();

    Drawing& d_;
    DxfLoadState& s_;
    DxfGroup& g_;
    ObjectRecord& o_;
    uint8_t& hasXData_;
    int64_t position_ = 0;
    std::string name_;
};

int ObjectReader::prologue() {
    s_.xdata.clear();
    s_.xdataOverflowReported = false;
    if (!next()) return 0;
    name_ = g_.text;
    if (!next()) return 0;
    if (g_.code == 5) o_.header.handle = g_.handle;
    else giveBack();
    // The reactor and extension-dictionary blocks and the owner, in whatever order they come.
    for (;;) {
        if (!next()) return 0;
        if (g_.code == 102) {
            if (!rdDxfReadOwnerGroups(s_, o_.header.reactors, o_.header.extensionDictionary)) return 0;
        } else if (g_.code == 330 && o_.header.owner.isNull()) {
            o_.header.owner = g_.handle;
        } else {
            giveBack();
            return 1;
        }
    }
}

int ObjectReader::dictionary() {
    DictionaryBody& body = o_.bodyAs<DictionaryBody>();
    return finish(untilNextObject([&](const DxfGroup& g) {
        switch (g.code) {
        case 3: body.entries.push_back({g.text, Handle()}); break;
        case 350:
        case 360:
            if (!body.entries.empty()) body.entries.back().handle = g.handle;
            break;
        case 280: body.hardOwner = uint8_t(g.shortValue); break;
        case 281: body.cloning = g.shortValue; break;
        default: break;
        }
    }));
}

int ObjectReader::group() {
    GroupBody& body = o_.bodyAs<GroupBody>();
    return finish(untilNextObject([&](const DxfGroup& g) {
        switch (g.code) {
        case 300: body.description = g.text; break;
        case 70: body.unnamed = g.shortValue; break;
        case 71: body.selectable = g.shortValue; break;
        case 340: body.members.push_back(g.handle); break;
        default: break;
        }
    }));
}

// A number of a group whose value the group reader keeps as text (420-469).
template <class Number>
Number numberOfText(const std::string& text) {
    Number value{};
    const char* begin = text.data();
    while (begin < text.data() + text.size() && *begin == ' ') ++begin;
    std::from_chars(begin, text.data() + text.size(), value);
    return value;
}

int ObjectReader::xrecord() {
    XrecordBody& body = o_.bodyAs<XrecordBody>();
    if (!body.data.create(4096)) return 0;
    OpenStream* out = dbStreamOpenWrite(body.data.get());
    if (!out) return 0;
    // From 2000 on the record's first group after its subclass marker is the cloning flag (280);
    // any later 280, and every 280 of an older file, is data. Groups from 1000 on are data too
    // (a record may hold them) until an application name (1001) starts the extended data.
    bool inData = false;
    bool inXData = false;
    const bool hasCloning = d_.versionIndex >= kVersionAC1015;
    auto nextRaw = [&] {
        position_ = rdDxfTell(s_);
        return rdDxfNextGroup(s_) != 0;
    };
    int read = 0;
    while (nextRaw()) {
        const uint16_t c = g_.code;
        if (c == 0) {
            giveBack();
            read = 1;
            break;
        }
        if (c >= 1000 && (inXData || c == 1001)) {
            inXData = true;
            rdDxfAddXDataItem(s_, d_);
            hasXData_ = 1;
            continue;
        }
        if (!inData && c == 100) continue;  // the subclass marker
        const bool atStart = !inData;
        inData = true;
        if (atStart && hasCloning && c == 280) {
            body.cloning = g_.shortValue;
            continue;
        }
        GroupItem item;
        item.code = c;
        const bool typed = dxfValueType(c) != DxfValueType::Text;
        switch (dbGroupItemForm(c)) {
        case GroupForm::Text: item.text = g_.text; break;
        case GroupForm::Point:
            item.point.x = g_.real;
            item.point.y = nextRaw() ? g_.real : 0.0;
            item.point.z = nextRaw() ? g_.real : 0.0;
            break;
        case GroupForm::Real: item.real = typed ? g_.real : numberOfText<double>(g_.text); break;
        case GroupForm::Int16: item.int16 = g_.shortValue; break;
        case GroupForm::Int32: item.int32 = typed ? g_.longValue : numberOfText<int32_t>(g_.text); break;
        case GroupForm::Binary:
            item.binary = dbHexToBytes(g_.text);
            if (item.binary.size() > kGroupItemMaxBinary) item.binary.resize(kGroupItemMaxBinary);
            break;
        case GroupForm::Handle: item.handle = g_.handle; break;
        case GroupForm::None: continue;  // no group item of that code
        }
        dbWriteGroupItem(out, item);
    }
    dbStreamCloseWrite(out);
    return finish(read);
}

int ObjectReader::dimAssoc() {
    DimAssocBody& body = o_.bodyAs<DimAssocBody>();
    DimAssocPointReference* reference = nullptr;
    bool reported = false;
    return finish(untilNextObject([&](const DxfGroup& g) {
        if (g.code == 1) {
            if (body.references.size() >= kMaxDimAssocReferences) {
                // The object holds eight point references; a ninth is reported and dropped.
                if (!reported) dbNotifyError(kErrorReasonBadLength);
                reported = true;
                reference = nullptr;
                return;
            }
            body.references.emplace_back();
            reference = &body.references.back();
            reference->className = g.text;
            return;
        }
        switch (g.code) {
        case 330: body.dimension = g.handle; return;
        case 90: body.associativity = g.longValue; return;
        case 70: body.transSpace = uint8_t(g.shortValue); return;
        case 71: body.rotatedType = uint8_t(g.shortValue); return;
        default: break;
        }
        if (!reference) return;
        DimAssocPointReference& r = *reference;
        switch (g.code) {
        case 72: r.objectSnapType = uint8_t(g.shortValue); break;
        case 331: r.mainObjects.push_back(g.handle); break;
        case 73: r.mainSubentityType = g.shortValue; break;
        case 91: r.mainGraphicsIndex = g.longValue; break;
        case 301: r.path.push_back(dbHexToHandle(g.text)); break;
        case 40: r.snapParameter = g.real; break;
        case 10: r.snapPoint.x = g.real; break;
        case 20: r.snapPoint.y = g.real; break;
        case 30: r.snapPoint.z = g.real; break;
        case 332: r.intersectionObject = g.handle; break;
        case 74: r.intersectionSubentityType = g.shortValue; break;
        case 92: r.intersectionGraphicsIndex = g.longValue; break;
        case 302: r.intersectionPath = dbHexToHandle(g.text); break;
        case 75: r.hasLastPointReference = uint8_t(g.shortValue); break;
        default: break;
        }
    }));
}

// The plot settings shared by LAYOUT and PLOTSETTINGS, up to the next code 0 or 100.
int ObjectReader::plotSettings(PlotSettings& p) {
    while (next()) {
        if (g_.code == 0 || g_.code == 100) {
            giveBack();
            return 1;
        }
        const double v = g_.real;
        switch (g_.code) {
        case 1: p.pageSetupName = g_.text; break;
        case 2: p.plotConfigName = g_.text; break;
        case 4: p.paperSizeName = g_.text; break;
        case 6: p.plotViewName = g_.text; break;
        case 7: p.styleSheet = g_.text; break;
        case 40: p.leftMargin = v; break;
        case 41: p.bottomMargin = v; break;
        case 42: p.rightMargin = v; break;
        case 43: p.topMargin = v; break;
        case 44: p.paperWidth = v; break;
        case 45: p.paperHeight = v; break;
        case 46: p.plotOrigin.x = v; break;
        case 47: p.plotOrigin.y = v; break;
        case 48: p.windowMin.x = v; break;
        case 49: p.windowMin.y = v; break;
        case 140: p.windowMax.x = v; break;
        case 141: p.windowMax.y = v; break;
        case 142: p.realWorldUnits = v; break;
        case 143: p.drawingUnits = v; break;
        case 70: p.plotLayoutFlags = g_.shortValue; break;
        case 72: p.paperUnits = g_.shortValue; break;
        case 73: p.plotRotation = g_.shortValue; break;
        case 74: p.plotType = g_.shortValue; break;
        case 75: p.scaleType = g_.shortValue; break;
        case 147: p.scaleFactor = v; break;
        case 148: p.paperImageOrigin.x = v; break;
        case 149: p.paperImageOrigin.y = v; break;
        default: break;
        }
    }
    return 0;
}

int ObjectReader::layout() {
    LayoutBody& body = o_.bodyAs<LayoutBody>();
    bool settingsRead = false;
    for (;;) {
        if (!next()) return 0;
        if (g_.code == 0) {
            giveBack();
            return finish(1);
        }
        if (g_.code == 100) {
            if (g_.text == "AcDbPlotSettings" && !settingsRead) {
                settingsRead = true;
                if (!plotSettings(body.settings)) return 0;
            }
            continue;
        }
        const double v = g_.real;
        switch (g_.code) {
        case 1: body.name = g_.text; break;
        case 70: body.flags = g_.shortValue; break;
        case 71: body.tabOrder = g_.shortValue; break;
        case 10: body.limitsMin.x = v; break;
        case 20: body.limitsMin.y = v; break;
        case 11: body.limitsMax.x = v; break;
        case 21: body.limitsMax.y = v; break;
        case 12: body.insertionBase.x = v; break;
        case 22: body.insertionBase.y = v; break;
        case 32: body.insertionBase.z = v; break;
        case 14: body.extentsMin.x = v; break;
        case 24: body.extentsMin.y = v; break;
        case 34: body.extentsMin.z = v; break;
        case 15: body.extentsMax.x = v; break;
        case 25: body.extentsMax.y = v; break;
        case 35: body.extentsMax.z = v; break;
        case 146: body.elevation = v; break;
        case 13: body.ucsOrigin.x = v; break;
        case 23: body.ucsOrigin.y = v; break;
        case 33: body.ucsOrigin.z = v; break;
        case 16: body.ucsXAxis.x = v; break;
        case 26: body.ucsXAxis.y = v; break;
        case 36: body.ucsXAxis.z = v; break;
        case 17: body.ucsYAxis.x = v; break;
        case 27: body.ucsYAxis.y = v; break;
        case 37: body.ucsYAxis.z = v; break;
        case 76: body.orthographicType = g_.shortValue; break;
        case 330: body.block = g_.handle; break;
        case 331: body.lastActiveViewport = g_.handle; break;
        case 345: body.namedUcs = g_.handle; break;
        case 346: body.baseUcs = g_.handle; break;
        default: break;
        }
    }
}

int ObjectReader::spatialFilter() {
    SpatialFilterBody& body = o_.bodyAs<SpatialFilterBody>();
    int32_t points = 0;
    bool frontDistance = false;
    size_t matrix = 0;
    return finish(untilNextObject([&](const DxfGroup& g) {
        switch (g.code) {
        case 70: points = g.shortValue; break;
        case 10:
            if (int32_t(body.boundary.size()) < points) {
                const Point3 p = rdDxfReadPoint(s_, 10);
                body.boundary.push_back({p.x, p.y});
            }
            break;
        case 210: body.normal.x = g.real; break;
        case 220: body.normal.y = g.real; break;
        case 230: body.normal.z = g.real; break;
        case 11: body.origin.x = g.real; break;
        case 21: body.origin.y = g.real; break;
        case 31: body.origin.z = g.real; break;
        case 71: body.displayBoundary = g.shortValue; break;
        case 72:
            body.frontClipOn = g.shortValue;
            frontDistance = g.shortValue != 0;
            break;
        case 73: body.backClipOn = g.shortValue; break;
        case 41: body.backDistance = g.real; break;
        case 40:
            if (frontDistance) {
                body.frontDistance = g.real;
                frontDistance = false;
            } else if (matrix < 12) {
                body.inverseBlockTransform[matrix++] = g.real;
            } else if (matrix < 24) {
                body.clipTransform[matrix++ - 12] = g.real;
            }
            break;
        default: break;
        }
    }));
}

int ObjectReader::proxy() {
    ProxyObjectBody& body = o_.bodyAs<ProxyObjectBody>();
    bool handles = true;
    return finish(untilNextObject([&](const DxfGroup& g) {
        switch (g.code) {
        case 90: body.proxyClassId = g.longValue; break;
        case 91: {
            body.applicationClassId = g.longValue;
            const uint16_t number = uint16_t(g.longValue);
            if (dbClassNameByNumber(d_.classes, number)) body.classNumber = number;
            break;
        }
        case 93: body.dataBitCount = uint32_t(g.longValue); break;
        case 310: appendHexChunk(body.data, g.text); break;
        case 95: body.version = g.longValue; break;
        case 70: body.dataFormat = g.shortValue; break;
        case 94: handles = false; break;
        case 330:
        case 340:
        case 350:
        case 360:
            if (handles) body.references.push_back({g.handle, uint8_t((g.code - 320) / 10)});
            break;
        default: break;
        }
    }));
}

int ObjectReader::classData() {
    ProxyObjectBody& body = o_.bodyAs<ProxyObjectBody>();
    ClassEntry entry;
    if (dbFindClassByName(d_.classes, name_, entry)) body.classNumber = entry.number;
    rdDxfBeginBitData(s_);
    const int read = untilNextObject([&](const DxfGroup& g) {
        if (g.code == 100) {
            wrBitWriteShort(s_.bits, g.code);
            wrBitWriteText(s_.bits, g.text);
            return;
        }
        rdDxfGroupToBits(s_, body.references, nullptr);
    });
    rdDxfEndBitData(s_, body.data, body.dataBitCount);
    return finish(read);
}

int ObjectReader::object() {
    const std::string& n = name_;
    if (isProxyName(n)) return proxy();
    ClassKind kind;
    if (!dbClassKindByDxfName(n, kind) || dbClassKindIsEntity(kind) || !dbIsClassNumber(o_.header.type) ||
        o_.body.holds<ProxyObjectBody>()) {
        return classData();
    }
    switch (kind) {
    case ClassKind::Xrecord: return xrecord();
    case ClassKind::DimAssoc: return dimAssoc();
    case ClassKind::IdBuffer: {
        IdBufferBody& body = o_.bodyAs<IdBufferBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            if (g.code == 330) body.ids.push_back(g.handle);
        }));
    }
    case ClassKind::DictionaryVar: {
        DictionaryVarBody& body = o_.bodyAs<DictionaryVarBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            if (g.code == 280) body.schema = uint8_t(g.shortValue);
            if (g.code == 1) body.value = g.text;
        }));
    }
    case ClassKind::ImageDefReactor: {
        ImageDefReactorBody& body = o_.bodyAs<ImageDefReactorBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            if (g.code == 90) body.classVersion = g.longValue;
            if (g.code == 330) body.image = g.handle;
        }));
    }
    case ClassKind::ImageDef: {
        ImageDefBody& body = o_.bodyAs<ImageDefBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            switch (g.code) {
            case 1: body.fileName = g.text; break;
            case 90: body.classVersion = g.longValue; break;
            case 10: body.imageSize.x = g.real; break;
            case 20: body.imageSize.y = g.real; break;
            case 11: body.pixelSize.x = g.real; break;
            case 21: body.pixelSize.y = g.real; break;
            case 280: body.loaded = uint8_t(g.shortValue); break;
            case 281: body.resolutionUnits = uint8_t(g.shortValue); break;
            default: break;
            }
        }));
    }
    case ClassKind::LayerIndex: {
        LayerIndexBody& body = o_.bodyAs<LayerIndexBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            switch (g.code) {
            case 40: {
                const HeaderDate date = dbHeaderDateFromDxf(g.real);
                body.timeStamp1 = int32_t(date.day);
                body.timeStamp2 = int32_t(date.milliseconds);
                break;
            }
            case 8: body.entries.push_back({g.text, Handle(), 0}); break;
            case 360:
                if (!body.entries.empty()) body.entries.back().handle = g.handle;
                break;
            case 90:
                if (!body.entries.empty()) body.entries.back().indexCount = g.longValue;
                break;
            default: break;
            }
        }));
    }
    case ClassKind::ObjectPtr:
    case ClassKind::Placeholder:
        return finish(untilNextObject([](const DxfGroup&) {}));
    case ClassKind::RasterVariables: {
        RasterVariablesBody& body = o_.bodyAs<RasterVariablesBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            if (g.code == 90) body.classVersion = g.longValue;
            if (g.code == 70) body.displayFrame = g.shortValue;
            if (g.code == 71) body.displayQuality = g.shortValue;
            if (g.code == 72) body.units = g.shortValue;
        }));
    }
    case ClassKind::SortentsTable: {
        SortentsTableBody& body = o_.bodyAs<SortentsTableBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            if (g.code == 330) body.block = g.handle;
            if (g.code == 331) body.entries.push_back({g.handle, Handle()});
            if (g.code == 5 && !body.entries.empty()) body.entries.back().sortHandle = g.handle;
        }));
    }
    case ClassKind::SpatialFilter: return spatialFilter();
    case ClassKind::SpatialIndex: {
        SpatialIndexBody& body = o_.bodyAs<SpatialIndexBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            if (g.code == 40) {
                const HeaderDate date = dbHeaderDateFromDxf(g.real);
                body.timeStamp1 = int32_t(date.day);
                body.timeStamp2 = int32_t(date.milliseconds);
            }
            if (g.code == 330) body.reference = g.handle;
            if (g.code == 90) body.furtherBitCount = uint32_t(g.longValue);
            if (g.code == 310) appendHexChunk(body.data, g.text);
        }));
    }
    case ClassKind::DictionaryWithDefault: {
        DictionaryWithDefaultBody& body = o_.bodyAs<DictionaryWithDefaultBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            switch (g.code) {
            case 3: body.entries.push_back({g.text, Handle()}); break;
            case 350:
            case 360:
                if (!body.entries.empty()) body.entries.back().handle = g.handle;
                break;
            case 281: body.cloning = g.shortValue; break;
            case 340: body.defaultEntry = g.handle; break;
            default: break;
            }
        }));
    }
    case ClassKind::Layout: return layout();
    case ClassKind::PlotSettings: {
        PlotSettingsBody& body = o_.bodyAs<PlotSettingsBody>();
        for (;;) {
            if (!plotSettings(body.settings)) return 0;
            if (!next()) return 0;
            if (g_.code == 0) {
                giveBack();
                return finish(1);
            }
        }
    }
    case ClassKind::VbaProject: {
        VbaProjectBody& body = o_.bodyAs<VbaProjectBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            if (g.code == 310) appendHexChunk(body.data, g.text);
        }));
    }
    case ClassKind::WipeoutVariables: {
        WipeoutVariablesBody& body = o_.bodyAs<WipeoutVariablesBody>();
        return finish(untilNextObject([&](const DxfGroup& g) {
            if (g.code == 70) body.displayFrame = g.shortValue;
        }));
    }
    default: return classData();
    }
}

} // namespace

uint16_t rdDxfPeekObjectKind(Drawing& drawing) {
    DxfLoadState& state = dxfState(drawing);
    DxfGroup& group = state.group();
    for (;;) {
        const int64_t position = rdDxfTell(state);
        if (!rdDxfNextGroup(state)) return 0;
        if (group.code != 0) continue;  // the rest of something that was not read
        if (group.text == "ENDSEC" || group.text == "EOF" || group.text == "SECTION") {
            rdDxfSeek(state, position);
            return 0;
        }
        const uint16_t code = objectCode(drawing, group.text);
        if (code) {
            rdDxfSeek(state, position);
            return code;
        }
        // An object of a class the file does not declare: passed over with its groups.
        ++drawing.load->unplacedRecords;
    }
}

int rdDxfReadDictionary(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) {
    object.header.type = kObjectDictionary;
    dbInitObject(&drawing, object);
    ObjectReader reader(drawing, object, hasXData);
    return reader.prologue() && reader.dictionary();
}

int rdDxfReadGroupObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) {
    object.header.type = kObjectGroup;
    dbInitObject(&drawing, object);
    ObjectReader reader(drawing, object, hasXData);
    return reader.prologue() && reader.group();
}

int rdDxfReadObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData) {
    const uint16_t type = object.header.type;
    dbInitObject(&drawing, object);
    ObjectReader reader(drawing, object, hasXData);
    if (!reader.prologue()) return 0;
    object.header.type = type;
    return reader.object();
}

} // namespace tracemill
