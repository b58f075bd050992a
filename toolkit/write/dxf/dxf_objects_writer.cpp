#include "toolkit/write/dxf/dxf_objects_writer.h"

#include <bit>
#include <string>

#include "toolkit/core/code_page_text.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dxf_table_fields.h"
#include "toolkit/write/class_overrides.h"
#include "toolkit/write/dxf/dxf_field_output.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_names.h"
#include "toolkit/write/dxf/dxf_stored_groups.h"
#include "toolkit/write/dxf/dxf_tables_writer.h"
#include "toolkit/write/dxf/dxf_xdata_writer.h"

namespace tracemill {
namespace {

// The entries of the named object dictionary that name objects of 2000 (and the header
// round-trip record): files before 2000 carry neither them nor the dictionaries they name.
constexpr std::string_view kRootEntriesOf2000[] = {"ACAD_LAYOUT", "ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS",
                                                   "ACAD_PLOTSTYLENAME", "ACDBHEADERROUNDTRIPXREC"};

bool isRootEntryOf2000(std::string_view name) {
    for (std::string_view entry : kRootEntriesOf2000) {
        if (entry == name) return true;
    }
    return false;
}

// Whether an entry of 2000 of the named object dictionary names the object.
bool namedByRootEntryOf2000(const Drawing& drawing, Handle handle) {
    const ObjectNode* root = dbLookupNode(drawing, drawing.objects, drawing.handles.namedObjectDictionary);
    const auto* body = root ? root->record.body.getIf<DictionaryBody>() : nullptr;
    if (!body) return false;
    for (const DictionaryEntry& entry : body->entries) {
        if (entry.handle == handle && isRootEntryOf2000(entry.name)) return true;
    }
    return false;
}

class ObjectWriter {
public:
    ObjectWriter(const Drawing& drawing, OutputContext& output, const ObjectRecord& object)
        : d_(drawing), o_(output), r_(object), h_(object.header), v_(output.versionIndex) {}

    int run();

private:
    // 0 the name, 5 the handle, the extension dictionary and reactors, 330 the owner, the
    // extended data when `xdataHere`, 100 the marker when it is not empty.
    int head(std::string_view name, std::string_view marker, bool xdataHere);
    int xdata() { return !h_.xdata || DxfXDataWriter(d_, o_, h_.xdata); }
    int point2(int code, const Point2& p) { return wrDxfDouble(o_, code, p.x) && wrDxfDouble(o_, code + 10, p.y); }
    int point3(int code, const Point3& p) {
        return point2(code, {p.x, p.y}) && wrDxfDouble(o_, code + 20, p.z);
    }
    int date(int code, int32_t day, int32_t milliseconds) {
        return wrDxfDateValue(o_, code, HeaderDate{uint32_t(day), uint32_t(milliseconds)}, 9);
    }

    int dictionary();
    int group();
    int mlineStyle();
    int byClass(ClassKind kind);
    int xrecord();
    int dimAssoc();
    int plotSettings(const PlotSettings& p);
    int storedGroups(const ProxyObjectBody& body);
    int proxyObject();

    const Drawing& d_;
    OutputContext& o_;
    const ObjectRecord& r_;
    const ObjectHeader& h_;
    int16_t v_;
};

int ObjectWriter::head(std::string_view name, std::string_view marker, bool xdataHere) {
    if (!wrDxfString(o_, 0, name) || !wrDxfHandle(o_, 5, h_.handle) ||
        !DxfOwnerGroups(o_, h_.extensionDictionary, h_.reactors)) {
        return 0;
    }
    if (!h_.owner.isNull() && !wrDxfHandle(o_, 330, h_.owner)) return 0;
    if (xdataHere && !xdata()) return 0;
    return marker.empty() || wrDxfString(o_, 100, marker);
}

int ObjectWriter::dictionary() {
    const auto* body = r_.body.getIf<DictionaryBody>();
    if (!body) return 1;
    const bool before2000 = v_ < kVersionAC1015;
    const bool root = h_.handle == d_.handles.namedObjectDictionary;
    dbSetError(kErrorDictionaryNotWritten);
    if (!head("DICTIONARY", "AcDbDictionary", false)) return 0;
    if (!before2000 && (!wrDxfInt16(o_, 280, body->hardOwner) || !wrDxfInt16(o_, 281, body->cloning))) return 0;
    for (const DictionaryEntry& entry : body->entries) {
        if (before2000 && root && isRootEntryOf2000(entry.name)) continue;
        std::string name = entry.name;
        if (before2000) dbUpperCaseCp(name, o_.header.dwgcodepage);
        const int code = v_ == kVersionAC1014 && entry.name == "ACAD_BLKREFS" ? 360 : 350;
        if (!wrDxfString(o_, 3, name) || !wrDxfHandle(o_, code, entry.handle)) return 0;
    }
    if (!xdata()) return 0;
    dbSetError(0);
    return 1;
}

int ObjectWriter::group() {
    const auto* body = r_.body.getIf<GroupBody>();
    if (!body) return 1;
    if (!head("GROUP", "AcDbGroup", false) || !wrDxfEscapedString(o_, 300, body->description, o_.header.dwgcodepage) ||
        !wrDxfInt16(o_, 70, body->unnamed) || !wrDxfInt16(o_, 71, body->selectable)) {
        return 0;
    }
    for (Handle member : body->members) {
        if (!wrDxfHandle(o_, 340, member)) return 0;
    }
    return xdata();
}

int ObjectWriter::mlineStyle() {
    const auto* body = r_.body.getIf<MlineStyleBody>();
    if (!body) return 1;
    const auto fields = dxfMlineStyleFields();
    if (!head("MLINESTYLE", "", true) || !wrDxfString(o_, 100, "AcDbMlineStyle") ||
        !wrDxfSymbolName(d_, o_, 2, body->name, 0, wrSymbolNameLimit()) ||
        !wrDxfFields(o_, fields, *body, {70, 3, 62, 51, 52}) ||
        !wrDxfInt16(o_, 71, int16_t(body->elements.size()))) {
        return 0;
    }
    for (const MlineStyleElement& element : body->elements) {
        std::string linetype = "ByLayer";
        if (element.linetypeIndex == kMlineLinetypeByBlock) {
            linetype = "ByBlock";
        } else if (element.linetypeIndex != kMlineLinetypeByLayer) {
            int32_t i = 0;
            for (const auto& node : d_.linetypes) {
                if (i++ == element.linetypeIndex) linetype = node.record.name;
            }
        }
        if (!wrDxfDouble(o_, 49, element.offset) || !wrDxfInt16(o_, 62, element.colour) ||
            !wrDxfSymbolName(d_, o_, 6, linetype, element.linetypeIndex, wrSymbolNameLimit())) {
            return 0;
        }
    }
    return 1;
}

int ObjectWriter::xrecord() {
    const auto* body = r_.body.getIf<XrecordBody>();
    if (!head("XRECORD", "AcDbXrecord", false)) return 0;
    if (v_ >= kVersionAC1015 && !wrDxfInt16(o_, 280, body ? body->cloning : 0)) return 0;
    if (body && body->data) {
        OpenStream* in = dbStreamOpenRead(body->data.get());
        GroupItem item;
        int ok = 1;
        while (ok && in && dbReadGroupItem(in, item)) {
            const uint16_t c = item.code;
            switch (dbGroupItemForm(c)) {
            case GroupForm::Text: ok = wrDxfEscapedString(o_, c, item.text, o_.header.dwgcodepage); break;
            case GroupForm::Point: ok = point3(c, item.point); break;
            case GroupForm::Int16: ok = wrDxfInt16(o_, c, item.int16); break;
            case GroupForm::Int32: ok = wrDxfInt32(o_, c, item.int32); break;
            case GroupForm::Real: ok = wrDxfDouble(o_, c, item.real); break;
            case GroupForm::Binary: ok = wrDxfBinaryChunk(o_, c, item.binary); break;
            case GroupForm::Handle: ok = wrDxfHandle(o_, c, item.handle); break;
            case GroupForm::None: break;
            }
        }
        if (in) dbStreamCloseRead(in);
        if (!ok) return 0;
    }
    return xdata();
}

int ObjectWriter::dimAssoc() {
    const auto* body = r_.body.getIf<DimAssocBody>();
    if (!body) return 1;
    if (!head("DIMASSOC", "AcDbDimAssoc", true) || !wrDxfHandle(o_, 330, body->dimension) ||
        !wrDxfInt32(o_, 90, body->associativity) || !wrDxfInt16(o_, 70, body->transSpace) ||
        !wrDxfInt16(o_, 71, body->rotatedType)) {
        return 0;
    }
    const size_t count = std::min<size_t>(std::popcount(uint32_t(body->associativity) & 15u), body->references.size());
    for (size_t i = 0; i < count; ++i) {
        const DimAssocPointReference& r = body->references[i];
        if (!wrDxfString(o_, 1, r.className) || !wrDxfInt16(o_, 72, r.objectSnapType)) return 0;
        for (Handle object : r.mainObjects) {
            if (!object.isNull() && !wrDxfHandle(o_, 331, object)) return 0;
        }
        if (!wrDxfInt16(o_, 73, r.mainSubentityType) || !wrDxfInt32(o_, 91, r.mainGraphicsIndex)) return 0;
        for (Handle path : r.path) {
            if (!wrDxfHandle(o_, 301, path)) return 0;
        }
        if (!wrDxfDouble(o_, 40, r.snapParameter) || !point3(10, r.snapPoint)) return 0;
        if (r.objectSnapType == 6 || r.objectSnapType == 11) {
            if (!r.intersectionObject.isNull() && !wrDxfHandle(o_, 332, r.intersectionObject)) return 0;
            if (!wrDxfInt16(o_, 74, r.intersectionSubentityType) || !wrDxfInt32(o_, 92, r.intersectionGraphicsIndex))
                return 0;
            if (!r.intersectionPath.isNull() && !wrDxfHandle(o_, 302, r.intersectionPath)) return 0;
        }
        if (!wrDxfInt16(o_, 75, r.hasLastPointReference)) return 0;
    }
    return 1;
}

int ObjectWriter::plotSettings(const PlotSettings& p) {
    return wrDxfString(o_, 1, p.pageSetupName) && wrDxfString(o_, 2, p.plotConfigName) &&
           wrDxfString(o_, 4, p.paperSizeName) && wrDxfString(o_, 6, p.plotViewName) &&
           wrDxfDouble(o_, 40, p.leftMargin) && wrDxfDouble(o_, 41, p.bottomMargin) &&
           wrDxfDouble(o_, 42, p.rightMargin) && wrDxfDouble(o_, 43, p.topMargin) &&
           wrDxfDouble(o_, 44, p.paperWidth) && wrDxfDouble(o_, 45, p.paperHeight) &&
           wrDxfDouble(o_, 46, p.plotOrigin.x) && wrDxfDouble(o_, 47, p.plotOrigin.y) &&
           wrDxfDouble(o_, 48, p.windowMin.x) && wrDxfDouble(o_, 49, p.windowMin.y) &&
           wrDxfDouble(o_, 140, p.windowMax.x) && wrDxfDouble(o_, 141, p.windowMax.y) &&
           wrDxfDouble(o_, 142, p.realWorldUnits) && wrDxfDouble(o_, 143, p.drawingUnits) &&
           wrDxfInt16(o_, 70, p.plotLayoutFlags) && wrDxfInt16(o_, 72, p.paperUnits) &&
           wrDxfInt16(o_, 73, p.plotRotation) && wrDxfInt16(o_, 74, p.plotType) &&
           wrDxfString(o_, 7, p.styleSheet) && wrDxfInt16(o_, 75, p.scaleType) &&
           wrDxfDouble(o_, 147, p.scaleFactor) && wrDxfDouble(o_, 148, p.paperImageOrigin.x) &&
           wrDxfDouble(o_, 149, p.paperImageOrigin.y);
}

// The object's own class data as DXF groups; objects read from a DWG file keep the bits of their
// DWG record instead, which only a proxy carries.
int ObjectWriter::storedGroups(const ProxyObjectBody& body) {
    const std::string* name = dbClassNameByNumber(d_.classes, body.classNumber);
    if (!name) return proxyObject();
    return head(*name, "", false) && DxfGroupsFromBitData(o_, body.data, body.references) && xdata();
}

int ObjectWriter::proxyObject() {
    if (v_ == kVersionAC1012) return head("ACAD_ZOMBIE_OBJECT", "AcDbZombieObject", true);
    const auto* bp = r_.body.getIf<ProxyObjectBody>();
    const ProxyObjectBody empty;
    const ProxyObjectBody& b = bp ? *bp : empty;
    // The class of the proxied object: classes of a drawing are numbered from 500; 499 is the
    // number of proxy objects themselves and names no application class.
    const int32_t applicationClass = b.applicationClassId != 0                ? b.applicationClassId
                                     : b.classNumber > kObjectOfClassData ? b.classNumber
                                                                          : 0;
    const int32_t proxyClass = b.proxyClassId != 0 ? b.proxyClassId : kObjectOfClassData;
    if (!head("ACAD_PROXY_OBJECT", "AcDbProxyObject", false) || !wrDxfInt32(o_, 90, proxyClass)) return 0;
    if (applicationClass != 0 && !wrDxfInt32(o_, 91, applicationClass)) return 0;
    if (v_ >= kVersionAC1015 && (!wrDxfInt32(o_, 95, b.version) || !wrDxfInt16(o_, 70, b.dataFormat))) return 0;
    return wrDxfInt32(o_, 93, int32_t(b.dataBitCount)) && wrDxfBinaryChunks(o_, 310, b.data.bytes(), 127) &&
           DxfObjectIdListWriter(o_, b.references) && wrDxfInt32(o_, 94, 0) && xdata();
}

int ObjectWriter::byClass(ClassKind kind) {
    const ObjectBody& body = r_.body;
    switch (kind) {
    case ClassKind::Xrecord: return xrecord();
    case ClassKind::DimAssoc: return dimAssoc();
    default: break;
    }
    switch (kind) {
    case ClassKind::IdBuffer: {
        const auto* b = body.getIf<IdBufferBody>();
        if (!head("IDBUFFER", "AcDbIdBuffer", true)) return 0;
        for (Handle id : b ? b->ids : HandleList{}) {
            if (!wrDxfHandle(o_, 330, id)) return 0;
        }
        return 1;
    }
    case ClassKind::DictionaryVar: {
        const auto* b = body.getIf<DictionaryVarBody>();
        return head("DICTIONARYVAR", "DictionaryVariables", true) && wrDxfInt16(o_, 280, b ? b->schema : 0) &&
               wrDxfString(o_, 1, b ? b->value : std::string());
    }
    case ClassKind::ImageDefReactor: {
        const auto* b = body.getIf<ImageDefReactorBody>();
        return head("IMAGEDEF_REACTOR", "AcDbRasterImageDefReactor", true) &&
               wrDxfInt32(o_, 90, b ? b->classVersion : 0) && wrDxfHandle(o_, 330, b ? b->image : Handle());
    }
    case ClassKind::ImageDef: {
        const ImageDefBody b = body.getIf<ImageDefBody>() ? *body.getIf<ImageDefBody>() : ImageDefBody{};
        return head("IMAGEDEF", "AcDbRasterImageDef", true) && wrDxfInt32(o_, 90, b.classVersion) &&
               wrDxfString(o_, 1, b.fileName) && point2(10, b.imageSize) && point2(11, b.pixelSize) &&
               wrDxfInt16(o_, 280, b.loaded) && wrDxfInt16(o_, 281, b.resolutionUnits);
    }
    case ClassKind::LayerIndex: {
        const LayerIndexBody b = body.getIf<LayerIndexBody>() ? *body.getIf<LayerIndexBody>() : LayerIndexBody{};
        if (!head("LAYER_INDEX", "AcDbIndex", true) || !date(40, b.timeStamp1, b.timeStamp2) ||
            !wrDxfString(o_, 100, "AcDbLayerIndex")) {
            return 0;
        }
        for (const LayerIndexEntry& entry : b.entries) {
            if (!wrDxfString(o_, 8, entry.name) || !wrDxfHandle(o_, 360, entry.handle) ||
                !wrDxfInt32(o_, 90, entry.indexCount)) {
                return 0;
            }
        }
        return 1;
    }
    case ClassKind::ObjectPtr: return head("OBJECT_PTR", "", true);
    case ClassKind::Placeholder: return head("ACDBPLACEHOLDER", "", true);
    case ClassKind::RasterVariables: {
        const auto* b = body.getIf<RasterVariablesBody>();
        const RasterVariablesBody v = b ? *b : RasterVariablesBody{};
        return head("RASTERVARIABLES", "AcDbRasterVariables", true) && wrDxfInt32(o_, 90, v.classVersion) &&
               wrDxfInt16(o_, 70, v.displayFrame) && wrDxfInt16(o_, 71, v.displayQuality) &&
               wrDxfInt16(o_, 72, v.units);
    }
    case ClassKind::SortentsTable: {
        const auto* b = body.getIf<SortentsTableBody>();
        if (!head("SORTENTSTABLE", "AcDbSortentsTable", true) || !wrDxfHandle(o_, 330, b ? b->block : Handle()))
            return 0;
        for (const SortEntry& entry : b ? b->entries : std::vector<SortEntry>{}) {
            if (!wrDxfHandle(o_, 331, entry.entity) || !wrDxfHandle(o_, 5, entry.sortHandle)) return 0;
        }
        return 1;
    }
    case ClassKind::SpatialFilter: {
        const auto* bp = body.getIf<SpatialFilterBody>();
        const SpatialFilterBody b = bp ? *bp : SpatialFilterBody{};
        if (!head("SPATIAL_FILTER", "AcDbFilter", true) || !wrDxfString(o_, 100, "AcDbSpatialFilter") ||
            !wrDxfInt16(o_, 70, int16_t(b.boundary.size()))) {
            return 0;
        }
        for (const Point2& p : b.boundary) {
            if (!point2(10, p)) return 0;
        }
        if (!point3(210, b.normal) || !point3(11, b.origin) || !wrDxfInt16(o_, 71, b.displayBoundary) ||
            !wrDxfInt16(o_, 72, b.frontClipOn)) {
            return 0;
        }
        if (b.frontClipOn && !wrDxfDouble(o_, 40, b.frontDistance)) return 0;
        if (!wrDxfInt16(o_, 73, b.backClipOn)) return 0;
        if (b.backClipOn && !wrDxfDouble(o_, 41, b.backDistance)) return 0;
        for (const auto* matrix : {&b.inverseBlockTransform, &b.clipTransform}) {
            for (double value : *matrix) {
                if (!wrDxfDouble(o_, 40, value)) return 0;
            }
        }
        return 1;
    }
    case ClassKind::SpatialIndex: {
        const auto* bp = body.getIf<SpatialIndexBody>();
        const SpatialIndexBody& b = bp ? *bp : SpatialIndexBody{};
        if (!head("SPATIAL_INDEX", "AcDbIndex", true) || !date(40, b.timeStamp1, b.timeStamp2) ||
            !wrDxfString(o_, 100, "AcDbSpatialIndex")) {
            return 0;
        }
        for (double extent : b.extents) {
            if (!wrDxfDouble(o_, 40, extent)) return 0;
        }
        if (!wrDxfInt32(o_, 90, int32_t(b.furtherBitCount))) return 0;
        if (!b.reference.isNull() && !wrDxfHandle(o_, 330, b.reference)) return 0;
        if (d_.versionIndex != v_) return 1;
        return wrDxfInt32(o_, 90, int32_t(b.data.size())) && wrDxfBinaryChunks(o_, 310, b.data.bytes(), 127) &&
               wrDxfString(o_, 1, "END ACDBSPATIALINDEX BINARY DATA");
    }
    case ClassKind::DictionaryWithDefault: {
        const auto* b = body.getIf<DictionaryWithDefaultBody>();
        if (!b) return 1;
        if (!head("ACDBDICTIONARYWDFLT", "AcDbDictionary", false) || !wrDxfInt16(o_, 281, b->cloning)) return 0;
        for (const DictionaryEntry& entry : b->entries) {
            if (!wrDxfString(o_, 3, entry.name) || !wrDxfHandle(o_, 350, entry.handle)) return 0;
        }
        return wrDxfString(o_, 100, "AcDbDictionaryWithDefault") && wrDxfHandle(o_, 340, b->defaultEntry);
    }
    case ClassKind::Layout: {
        const auto* b = body.getIf<LayoutBody>();
        if (!b) return 1;
        return head("LAYOUT", "AcDbPlotSettings", true) && plotSettings(b->settings) &&
               wrDxfString(o_, 100, "AcDbLayout") && wrDxfString(o_, 1, b->name) && wrDxfInt16(o_, 70, b->flags) &&
               wrDxfInt16(o_, 71, b->tabOrder) && point2(10, b->limitsMin) && point2(11, b->limitsMax) &&
               point3(12, b->insertionBase) && point3(14, b->extentsMin) && point3(15, b->extentsMax) &&
               wrDxfDouble(o_, 146, b->elevation) && point3(13, b->ucsOrigin) && point3(16, b->ucsXAxis) &&
               point3(17, b->ucsYAxis) && wrDxfInt16(o_, 76, b->orthographicType) &&
               wrDxfHandle(o_, 330, b->block) && wrDxfHandle(o_, 331, b->lastActiveViewport) &&
               wrDxfHandle(o_, 345, b->namedUcs) && wrDxfHandle(o_, 346, b->baseUcs);
    }
    case ClassKind::PlotSettings: {
        const auto* b = body.getIf<PlotSettingsBody>();
        return head("PLOTSETTINGS", "AcDbPlotSettings", true) && plotSettings(b ? b->settings : PlotSettings{});
    }
    case ClassKind::VbaProject: {
        const auto* b = body.getIf<VbaProjectBody>();
        const std::span<const uint8_t> data = b ? b->data.bytes() : std::span<const uint8_t>();
        return head("VBA_PROJECT", "AcDbVbaProject", true) && wrDxfInt32(o_, 90, int32_t(data.size())) &&
               wrDxfBinaryChunks(o_, 310, data, 127);
    }
    case ClassKind::WipeoutVariables: {
        const auto* b = body.getIf<WipeoutVariablesBody>();
        return head("WIPEOUTVARIABLES", "AcDbWipeoutVariables", true) &&
               wrDxfInt16(o_, 70, b ? b->displayFrame : 0);
    }
    default: return proxyObject();
    }
}

int ObjectWriter::run() {
    if (!wrDxfObjectIsWritten(d_, o_, r_)) return 1;
    switch (h_.type) {
    case kObjectDictionary: return dictionary();
    case kObjectGroup: return group();
    case kObjectMlineStyle: return mlineStyle();
    default: break;
    }
    if (const auto* proxy = r_.body.getIf<ProxyObjectBody>()) {
        // Group data the DXF reader kept for a class without a structure of its own.
        // A proxy read from a file carries its proxy class id (90); class data read as groups
        // has none.
        const bool storedGroupData = d_.sourceFormat != SourceFormat::Dwg && proxy->data &&
                                     proxy->proxyClassId == 0 && proxy->applicationClassId == 0 &&
                                     dbClassNameByNumber(d_.classes, proxy->classNumber) &&
                                     h_.type == kObjectOfClassData;
        if (storedGroupData) return v_ < kVersionAC1014 ? proxyObject() : storedGroups(*proxy);
        return proxyObject();
    }
    ClassKind kind;
    if (dbClassKindByNumber(d_.classes, h_.type, kind) && !dbClassKindIsEntity(kind)) return byClass(kind);
    return proxyObject();
}

} // namespace

int DxfClassWriter(OutputContext& output, const ClassEntry& stored) {
    const ClassEntry entry = wrOverriddenClass(stored, false);
    return wrDxfString(output, 0, "CLASS") && wrDxfString(output, 1, entry.dxfName) &&
           wrDxfString(output, 2, entry.className) && wrDxfString(output, 3, entry.applicationName) &&
           wrDxfInt32(output, 90, entry.proxyFlags) && wrDxfInt16(output, 280, entry.wasAZombie) &&
           wrDxfInt16(output, 281, entry.itemClassId == kClassOfEntities ? 1 : 0);
}

bool wrDxfObjectIsWritten(const Drawing& drawing, const OutputContext& output, const ObjectRecord& object) {
    const ObjectHeader& header = object.header;
    const int16_t version = output.versionIndex;
    if (header.type == kObjectDictionary) {
        return version >= kVersionAC1015 || header.handle.isNull() ||
               (header.handle != drawing.handles.plotStyleDictionary &&
                !namedByRootEntryOf2000(drawing, header.handle));
    }
    if (header.type == kObjectGroup || header.type == kObjectMlineStyle || object.body.getIf<ProxyObjectBody>())
        return true;
    ClassKind kind;
    if (!dbClassKindByNumber(drawing.classes, header.type, kind) || dbClassKindIsEntity(kind)) return true;
    switch (kind) {
    case ClassKind::Xrecord:
    case ClassKind::DimAssoc: return true;
    case ClassKind::DictionaryWithDefault:
    case ClassKind::Placeholder:
    case ClassKind::Layout:
    case ClassKind::PlotSettings:
    case ClassKind::VbaProject:
    case ClassKind::WipeoutVariables: return version >= kVersionAC1015;
    default: return version >= kVersionAC1014;
    }
}

int DxfObjectWriter(const Drawing& drawing, OutputContext& output, const ObjectRecord& object) {
    ObjectWriter writer(drawing, output, object);
    return writer.run();
}

} // namespace tracemill
