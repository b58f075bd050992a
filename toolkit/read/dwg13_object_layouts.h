// The non-graphical objects of R13 to 2000 DWG files: DICTIONARY, GROUP, MLINESTYLE and the
// class-based objects the toolkit knows, one layout per kind for the reader and the writer
// (dwg13_field_io.h). Every layout reads the fields after the object's prologue, marks the start
// of the handle stream and reads the object handles (owner, reactors, extension dictionary) and
// its own references. Objects of other classes are kept as proxies: their data bits and every
// handle reference.
#pragma once

#include <cstdint>

#include "toolkit/core/class_list.h"
#include "toolkit/core/object_record.h"
#include "toolkit/read/dwg13_common_layout.h"

namespace tracemill {

inline constexpr uint16_t kDwgTypeDictionary = 42;
inline constexpr uint16_t kDwgTypeGroup = 72;
inline constexpr uint16_t kDwgTypeMlineStyle = 73;

namespace dwg13 {

template <class Io> void objectHandles(Io& io, ObjectHeader& h, uint32_t reactorCount) {
    objectHandles(io, h.owner, h.reactors, reactorCount, h.extensionDictionary);
}

// A dictionary's entries: the count, the version's flags, the names; their handles come after
// the object handles.
// The class-based dictionary with a default entry has the 2000 flags in every version.
template <class Io> void dictionaryFields(Io& io, std::vector<DictionaryEntry>& entries, int16_t& cloning,
                                          uint8_t& hardOwner, uint32_t& count, bool flagsOf2000) {
    count = uint32_t(entries.size());
    io.bl(count);
    if (io.isR2000() || flagsOf2000) {
        io.bs(cloning);
        io.rc(hardOwner);
    } else if (io.isR14()) {
        uint8_t unknown = 0;
        io.rc(unknown);
        if constexpr (Io::kReading) {
            cloning = 0;
            hardOwner = 1;
        }
    }
    if constexpr (Io::kReading) {
        entries.clear();
        // Every name takes at least two bits.
        entries.reserve(std::min<uint64_t>(count, io.bits().bitsLeft() / 2));
        for (uint32_t i = 0; i < count && !io.overrun(); ++i) {
            DictionaryEntry entry;
            io.t(entry.name, kDwgNameLimit);
            if (!io.overrun()) entries.push_back(std::move(entry));
        }
    } else {
        for (DictionaryEntry& entry : entries)
            io.t(entry.name, kDwgNameLimit);
    }
}

template <class Io> void dictionaryHandles(Io& io, std::vector<DictionaryEntry>& entries) {
    for (DictionaryEntry& entry : entries)
        io.h(entry.handle, kSoftOwner);
}

// The MLINESTYLE flags as files store them and as the database keeps them differ in three
// swapped pairs; the swap is its own inverse. Bits outside the pairs other than 16 and 256 are
// dropped.
inline int16_t swapMlineStyleFlags(int16_t flags) {
    const unsigned f = uint16_t(flags);
    unsigned out = f & (0x10 | 0x100);
    if (f & 0x01) out |= 0x02;
    if (f & 0x02) out |= 0x01;
    if (f & 0x20) out |= 0x40;
    if (f & 0x40) out |= 0x20;
    if (f & 0x200) out |= 0x400;
    if (f & 0x400) out |= 0x200;
    return int16_t(out);
}

// The plot settings shared by PLOTSETTINGS and LAYOUT.
template <class Io> void plotSettings(Io& io, PlotSettings& p) {
    io.t(p.pageSetupName, kDwgNameLimit);
    io.t(p.plotConfigName, kDwgNameLimit);
    io.bs(p.plotLayoutFlags);
    io.bd(p.leftMargin);
    io.bd(p.bottomMargin);
    io.bd(p.rightMargin);
    io.bd(p.topMargin);
    io.bd(p.paperWidth);
    io.bd(p.paperHeight);
    io.t(p.paperSizeName, kDwgNameLimit);
    io.bd2(p.plotOrigin);
    io.bs(p.paperUnits);
    io.bs(p.plotRotation);
    io.bs(p.plotType);
    io.bd2(p.windowMin);
    io.bd2(p.windowMax);
    io.t(p.plotViewName, kDwgNameLimit);
    io.bd(p.realWorldUnits);
    io.bd(p.drawingUnits);
    io.t(p.styleSheet, kDwgNameLimit);
    io.bs(p.scaleType);
    io.bd(p.scaleFactor);
    io.bd2(p.paperImageOrigin);
}

// A 3 x 4 transform that the file stores row by row and the body column by column.
template <class Io> void transformRows(Io& io, std::array<double, 12>& columns) {
    for (size_t row = 0; row < 3; ++row)
        for (size_t column = 0; column < 4; ++column)
            io.bd(columns[column * 3 + row]);
}

} // namespace dwg13

// DICTIONARY (42).
template <class Io> void dwg13DictionaryObject(Io& io, ObjectHeader& h, DictionaryBody& b, uint32_t reactorCount) {
    uint32_t count = 0;
    dwg13::dictionaryFields(io, b.entries, b.cloning, b.hardOwner, count, false);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    dwg13::dictionaryHandles(io, b.entries);
}

// ACDBDICTIONARYWDFLT: a dictionary with a default entry.
template <class Io>
void dwg13DictionaryWithDefaultObject(Io& io, ObjectHeader& h, DictionaryWithDefaultBody& b, uint32_t reactorCount) {
    uint32_t count = 0;
    uint8_t hardOwner = 1;
    dwg13::dictionaryFields(io, b.entries, b.cloning, hardOwner, count, true);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    dwg13::dictionaryHandles(io, b.entries);
    io.h(b.defaultEntry, dwg13::kHardPointer);
}

// GROUP (72).
template <class Io> void dwg13GroupObject(Io& io, ObjectHeader& h, GroupBody& b, uint32_t reactorCount) {
    io.t(b.description, kDwgNameLimit);
    io.bs(b.unnamed);
    io.bs(b.selectable);
    uint32_t count = uint32_t(b.members.size());
    io.bl(count);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    dwg13::handleList(io, b.members, count, dwg13::kHardPointer);
}

// MLINESTYLE (73).
template <class Io> void dwg13MlineStyleObject(Io& io, ObjectHeader& h, MlineStyleBody& b, uint32_t reactorCount) {
    io.t(b.name, kDwgNameLimit);
    io.t(b.description, kDwgNameLimit);
    int16_t flags = dwg13::swapMlineStyleFlags(b.flags);
    io.bs(flags);
    if constexpr (Io::kReading) b.flags = dwg13::swapMlineStyleFlags(flags);
    io.bs(b.fillColour);
    io.bd(b.startAngle);
    io.bd(b.endAngle);
    uint8_t count = uint8_t(b.elements.size());
    io.rc(count);
    if constexpr (Io::kReading) b.elements.assign(count, MlineStyleElement{});
    for (MlineStyleElement& element : b.elements) {
        io.bd(element.offset);
        io.bs(element.colour);
        io.bs(element.linetypeIndex);
    }
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// XRECORD: its data as the file gives it (group codes and values, decoded by the reader into
// group items) and, in 2000, the cloning flag.
template <class Io>
void dwg13XrecordObject(Io& io, ObjectHeader& h, XrecordBody& b, std::vector<uint8_t>& data, uint32_t reactorCount) {
    uint32_t size = uint32_t(data.size());
    io.bl(size);
    if constexpr (Io::kReading) {
        if (size > io.bits().bitsLeft() / 8) {
            io.bits().markOverrun();
            return;
        }
        data.resize(size);
    }
    io.bytes(data.data(), data.size());
    if (io.isR2000()) io.bs(b.cloning);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

namespace dwg13 {

// A handle written as upper-case hexadecimal text.
template <class Io> void hexHandle(Io& io, Handle& handle) {
    std::string text;
    if constexpr (!Io::kReading) text = dbHandleToHex(handle);
    io.t(text, kDwgNameLimit);
    if constexpr (Io::kReading) {
        uint64_t value = 0;
        for (char c : text.substr(0, 16)) {
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 0;
            value = (value << 4) | uint64_t(digit);
        }
        handle = Handle(value);
    }
}

// One point reference of a DIMASSOC: its fields; the handles of its main and intersection
// objects come after the object handles (`pointReferenceHandles`).
template <class Io> void pointReference(Io& io, DimAssocPointReference& r) {
    io.t(r.className, kDwgNameLimit);
    io.rc(r.objectSnapType);
    uint32_t mainCount = uint32_t(r.mainObjects.size());
    io.bl(mainCount);
    if constexpr (Io::kReading) r.mainObjects.assign(std::min<uint64_t>(mainCount, io.bits().bitsLeft() / 8), Handle());
    io.bl(r.mainSubentityType);
    io.bl(r.mainGraphicsIndex);
    uint32_t pathCount = uint32_t(r.path.size());
    io.bl(pathCount);
    if constexpr (Io::kReading) r.path.assign(std::min<uint64_t>(pathCount, io.bits().bitsLeft() / 2), Handle());
    for (Handle& step : r.path)
        hexHandle(io, step);
    io.bd(r.snapParameter);
    io.bd3(r.snapPoint);
    if (r.objectSnapType == 6 || r.objectSnapType == 11) {
        uint32_t hasIntersection = r.intersectionObject.isNull() ? 0 : 1;
        io.bl(hasIntersection);
        if constexpr (Io::kReading) r.intersectionObject = Handle(hasIntersection ? 1 : 0);
        io.bl(r.intersectionSubentityType);
        io.bl(r.intersectionGraphicsIndex);
        uint32_t hasPath = r.intersectionPath.isNull() ? 0 : 1;
        io.bl(hasPath);
        if (hasPath) hexHandle(io, r.intersectionPath);
    }
    io.b(r.hasLastPointReference);
}

template <class Io> void pointReferenceHandles(Io& io, DimAssocPointReference& r) {
    for (Handle& object : r.mainObjects)
        io.h(object, kSoftPointer);
    if (r.objectSnapType == 6 || r.objectSnapType == 11) {
        if (!r.intersectionObject.isNull()) io.h(r.intersectionObject, kSoftPointer);
    }
}

} // namespace dwg13

// DIMASSOC: a point reference for each of the low four associativity bits; a reference that
// says a further one follows (its last-point-reference bit) is followed by it. The body holds
// at most kMaxDimAssocReferences; the reader stops there.
template <class Io> void dwg13DimAssocObject(Io& io, ObjectHeader& h, DimAssocBody& b, uint32_t reactorCount) {
    io.bl(b.associativity);
    io.b(b.transSpace);
    io.rc(b.rotatedType);
    if constexpr (Io::kReading) {
        b.references.clear();
        for (int bit = 0; bit < 4 && !io.overrun(); ++bit) {
            if (!(b.associativity & (1 << bit))) continue;
            bool more = true;
            while (more && !io.overrun() && b.references.size() < kMaxDimAssocReferences) {
                b.references.emplace_back();
                dwg13::pointReference(io, b.references.back());
                more = b.references.back().hasLastPointReference != 0;
            }
        }
    } else {
        for (DimAssocPointReference& reference : b.references)
            dwg13::pointReference(io, reference);
    }
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    io.h(b.dimension, dwg13::kSoftPointer);
    for (DimAssocPointReference& reference : b.references)
        dwg13::pointReferenceHandles(io, reference);
}

// DICTIONARYVAR.
template <class Io>
void dwg13DictionaryVarObject(Io& io, ObjectHeader& h, DictionaryVarBody& b, uint32_t reactorCount) {
    io.rc(b.schema);
    io.t(b.value, kDwgNameLimit);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// IDBUFFER.
template <class Io> void dwg13IdBufferObject(Io& io, ObjectHeader& h, IdBufferBody& b, uint32_t reactorCount) {
    uint8_t unknown = 0;
    io.rc(unknown);
    uint32_t count = uint32_t(b.ids.size());
    io.bl(count);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    dwg13::handleList(io, b.ids, count, dwg13::kSoftPointer);
}

// IMAGEDEF_REACTOR: its owner is the IMAGE it follows.
template <class Io>
void dwg13ImageDefReactorObject(Io& io, ObjectHeader& h, ImageDefReactorBody& b, uint32_t reactorCount) {
    io.bl(b.classVersion);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    if constexpr (Io::kReading) b.image = h.owner;
}

// IMAGEDEF.
template <class Io> void dwg13ImageDefObject(Io& io, ObjectHeader& h, ImageDefBody& b, uint32_t reactorCount) {
    io.bl(b.classVersion);
    io.rd2(b.imageSize);
    io.t(b.fileName, kDwgNameLimit);
    io.b(b.loaded);
    io.rc(b.resolutionUnits);
    io.rd2(b.pixelSize);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// LAYER_INDEX.
template <class Io> void dwg13LayerIndexObject(Io& io, ObjectHeader& h, LayerIndexBody& b, uint32_t reactorCount) {
    io.bl(b.timeStamp1);
    io.bl(b.timeStamp2);
    uint32_t count = uint32_t(b.entries.size());
    io.bl(count);
    if constexpr (Io::kReading) b.entries.clear();
    for (uint32_t i = 0; i < count && !io.overrun(); ++i) {
        if constexpr (Io::kReading) b.entries.emplace_back();
        LayerIndexEntry& entry = b.entries[i];
        io.bl(entry.indexCount);
        io.t(entry.name, kDwgNameLimit);
    }
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    for (LayerIndexEntry& entry : b.entries)
        io.h(entry.handle, dwg13::kHardOwner);
}

// OBJECT_PTR: data bits kept as read.
template <class Io> void dwg13ObjectPtrObject(Io& io, ObjectHeader& h, ObjectPtrBody& b, uint32_t reactorCount) {
    io.restBits(b.dataBitCount, b.data);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// RASTERVARIABLES.
template <class Io>
void dwg13RasterVariablesObject(Io& io, ObjectHeader& h, RasterVariablesBody& b, uint32_t reactorCount) {
    io.bl(b.classVersion);
    io.bs(b.displayFrame);
    io.bs(b.displayQuality);
    io.bs(b.units);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// SORTENTSTABLE: the sort handles lie among the fields, the entities and the block among the
// handle references.
template <class Io>
void dwg13SortentsTableObject(Io& io, ObjectHeader& h, SortentsTableBody& b, uint32_t reactorCount) {
    uint32_t count = uint32_t(b.entries.size());
    io.bl(count);
    if constexpr (Io::kReading) b.entries.clear();
    for (uint32_t i = 0; i < count && !io.overrun(); ++i) {
        if constexpr (Io::kReading) b.entries.emplace_back();
        io.h(b.entries[i].sortHandle, 0);
    }
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    io.h(b.block, dwg13::kSoftPointer);
    for (SortEntry& entry : b.entries)
        io.h(entry.entity, dwg13::kSoftPointer);
}

// SPATIAL_FILTER.
template <class Io>
void dwg13SpatialFilterObject(Io& io, ObjectHeader& h, SpatialFilterBody& b, uint32_t reactorCount) {
    uint16_t count = uint16_t(b.boundary.size());
    io.bs(count);
    if constexpr (Io::kReading) b.boundary.clear();
    for (uint16_t i = 0; i < count && !io.overrun(); ++i) {
        if constexpr (Io::kReading) b.boundary.emplace_back();
        io.rd2(b.boundary[i]);
    }
    io.bd3(b.normal);
    io.bd3(b.origin);
    io.bs(b.displayBoundary);
    io.bs(b.frontClipOn);
    if (b.frontClipOn) io.bd(b.frontDistance);
    io.bs(b.backClipOn);
    if (b.backClipOn) io.bd(b.backDistance);
    dwg13::transformRows(io, b.inverseBlockTransform);
    dwg13::transformRows(io, b.clipTransform);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// SPATIAL_INDEX: two time stamps and data this reader keeps as bits.
template <class Io>
void dwg13SpatialIndexObject(Io& io, ObjectHeader& h, SpatialIndexBody& b, uint32_t reactorCount) {
    io.bl(b.timeStamp1);
    io.bl(b.timeStamp2);
    io.restBits(b.furtherBitCount, b.furtherBits);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// ACDBPLACEHOLDER: no fields.
template <class Io> void dwg13PlaceholderObject(Io& io, ObjectHeader& h, PlaceholderBody&, uint32_t reactorCount) {
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// LAYOUT.
template <class Io> void dwg13LayoutObject(Io& io, ObjectHeader& h, LayoutBody& b, uint32_t reactorCount) {
    dwg13::plotSettings(io, b.settings);
    io.t(b.name, kDwgNameLimit);
    io.bs(b.tabOrder);
    io.bs(b.flags);
    io.bd3(b.ucsOrigin);
    io.rd2(b.limitsMin);
    io.rd2(b.limitsMax);
    io.bd3(b.insertionBase);
    io.bd3(b.ucsXAxis);
    io.bd3(b.ucsYAxis);
    io.bd(b.elevation);
    io.bs(b.orthographicType);
    io.bd3(b.extentsMin);
    io.bd3(b.extentsMax);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    io.h(b.block, dwg13::kSoftPointer);
    io.h(b.lastActiveViewport, dwg13::kSoftPointer);
    io.h(b.baseUcs, dwg13::kHardPointer);
    io.h(b.namedUcs, dwg13::kHardPointer);
}

// PLOTSETTINGS.
template <class Io>
void dwg13PlotSettingsObject(Io& io, ObjectHeader& h, PlotSettingsBody& b, uint32_t reactorCount) {
    dwg13::plotSettings(io, b.settings);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// VBA_PROJECT.
template <class Io> void dwg13VbaProjectObject(Io& io, ObjectHeader& h, VbaProjectBody& b, uint32_t reactorCount) {
    io.blBytes(b.data);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// WIPEOUTVARIABLES.
template <class Io>
void dwg13WipeoutVariablesObject(Io& io, ObjectHeader& h, WipeoutVariablesBody& b, uint32_t reactorCount) {
    io.bs(b.displayFrame);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
}

// Any other object: a generic proxy (499) names the class it stands for; its data bits and
// every handle reference after the object handles are kept.
template <class Io>
void dwg13ProxyObject(Io& io, ObjectHeader& h, ProxyObjectBody& b, bool genericProxy, uint32_t reactorCount) {
    if (genericProxy) {
        if (io.isR2000()) {
            io.bl(b.proxyClassId);
            io.bl(b.version);
            uint8_t original = 1;
            io.b(original);
        } else {
            int32_t proxyType = 499;
            io.bl(proxyType);
            io.bl(b.proxyClassId);
        }
    }
    io.restBits(b.dataBitCount, b.data);
    io.handleStream();
    dwg13::objectHandles(io, h, reactorCount);
    dwg13::remainingReferences(io, b.references);
}

namespace dwg13 {

// The body a class layout fills: made when reading, the record's own when writing (null when the
// record holds another body).
template <class B, class Io> B* classBody(ObjectBody& body) {
    if constexpr (Io::kReading)
        return &body.emplace<B>();
    else
        return body.getIf<B>();
}

} // namespace dwg13

// The class-based objects the toolkit knows: their kind, body and layout.
#define TRACEMILL_DWG13_CLASS_OBJECTS(X)                                                                               \
    X(DictionaryVar, DictionaryVarBody, dwg13DictionaryVarObject)                                                      \
    X(DimAssoc, DimAssocBody, dwg13DimAssocObject)                                                                     \
    X(IdBuffer, IdBufferBody, dwg13IdBufferObject)                                                                     \
    X(ImageDefReactor, ImageDefReactorBody, dwg13ImageDefReactorObject)                                                \
    X(ImageDef, ImageDefBody, dwg13ImageDefObject)                                                                     \
    X(LayerIndex, LayerIndexBody, dwg13LayerIndexObject)                                                               \
    X(ObjectPtr, ObjectPtrBody, dwg13ObjectPtrObject)                                                                  \
    X(SortentsTable, SortentsTableBody, dwg13SortentsTableObject)                                                      \
    X(RasterVariables, RasterVariablesBody, dwg13RasterVariablesObject)                                                \
    X(SpatialFilter, SpatialFilterBody, dwg13SpatialFilterObject)                                                      \
    X(SpatialIndex, SpatialIndexBody, dwg13SpatialIndexObject)                                                         \
    X(DictionaryWithDefault, DictionaryWithDefaultBody, dwg13DictionaryWithDefaultObject)                              \
    X(Placeholder, PlaceholderBody, dwg13PlaceholderObject)                                                            \
    X(Layout, LayoutBody, dwg13LayoutObject)                                                                           \
    X(PlotSettings, PlotSettingsBody, dwg13PlotSettingsObject)                                                         \
    X(VbaProject, VbaProjectBody, dwg13VbaProjectObject)                                                               \
    X(WipeoutVariables, WipeoutVariablesBody, dwg13WipeoutVariablesObject)

// The layout of a class-based object of one of those kinds, by its class's kind; false for any
// other kind (kept as a proxy) and, when writing, for a body of another kind.
template <class Io> bool dwg13ClassObject(Io& io, ClassKind kind, ObjectHeader& h, ObjectBody& body, uint32_t reactors) {
    using dwg13::classBody;
#define TRACEMILL_CLASS_OBJECT(KIND, BODY, LAYOUT)                                                                     \
    case ClassKind::KIND:                                                                                              \
        if (BODY* b = classBody<BODY, Io>(body)) {                                                                     \
            LAYOUT(io, h, *b, reactors);                                                                               \
            return true;                                                                                               \
        }                                                                                                              \
        return false;
    switch (kind) {
        TRACEMILL_DWG13_CLASS_OBJECTS(TRACEMILL_CLASS_OBJECT)
    default:
        return false;
    }
#undef TRACEMILL_CLASS_OBJECT
}

// Whether a body is the one those layouts write for a kind.
inline bool dwg13ClassObjectHolds(ClassKind kind, const ObjectBody& body) {
#define TRACEMILL_CLASS_OBJECT(KIND, BODY, LAYOUT)                                                                     \
    case ClassKind::KIND:                                                                                              \
        return body.holds<BODY>();
    switch (kind) {
        TRACEMILL_DWG13_CLASS_OBJECTS(TRACEMILL_CLASS_OBJECT)
    default:
        return false;
    }
#undef TRACEMILL_CLASS_OBJECT
}

} // namespace tracemill
