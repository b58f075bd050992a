#include "toolkit/write/dwg13/entity_writer.h"

#include <array>
#include <span>

#include "toolkit/core/byte_order.h"

#include "toolkit/core/dim_arrow_settings.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dwg13_entity_dispatch.h"
#include "toolkit/read/dwg13_object_source.h"
#include "toolkit/write/dwg13/object_framing.h"
#include "toolkit/write/dwg13/record_writer.h"
#include "toolkit/write/dwg13/text_output.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_names.h"
#include "toolkit/write/viewport_mview.h"

namespace tracemill {
namespace {

// DWG types of the fixed kinds that map one to one.
uint16_t fixedType(uint16_t kind) {
    switch (kind) {
    case kEntityText: return kDwgText;
    case kEntityAttribute: return kDwgAttribute;
    case kEntityAttributeDefinition: return kDwgAttributeDefinition;
    case kEntityBlock: return kDwgBlock;
    case kEntityEndBlock: return kDwgEndBlock;
    case kEntitySequenceEnd: return kDwgSequenceEnd;
    case kEntityArc: return kDwgArc;
    case kEntityCircle: return kDwgCircle;
    case kEntityLine: return kDwgLine;
    case kEntityLine3d: return kDwgLine; // a 3D line is a LINE from R13 on
    case kEntityPoint: return kDwgPoint;
    case kEntityFace3d: return kDwgFace3d;
    case kEntitySolid: return kDwgSolid;
    case kEntityTrace: return kDwgTrace;
    case kEntityShape: return kDwgShape;
    case kEntityViewport: return kDwgViewport;
    case kEntityEllipse: return kDwgEllipse;
    case kEntitySpline: return kDwgSpline;
    case kEntityRegion: return kDwgRegion;
    case kEntitySolid3d: return kDwgSolid3d;
    case kEntityBody: return kDwgBody;
    case kEntityRay: return kDwgRay;
    case kEntityXline: return kDwgXline;
    case kEntityMtext: return kDwgMtext;
    case kEntityLeader: return kDwgLeader;
    case kEntityTolerance: return kDwgTolerance;
    case kEntityMline: return kDwgMline;
    default: return 0;
    }
}

bool isClassKind(uint16_t type) { return type >= kFirstClassNumber || type == kEntityOfClassData; }

// The plot-style flags that give back what the entity holds: a plot style by handle (3), the
// default plot style (2), BYBLOCK (1) or BYLAYER (0).
uint8_t plotStyleFlags(const EntityHeader& h) {
    if (!h.plotStyle.isNull()) return kDwgByHandle;
    if (h.flags & kEntityPlotStyleByBlock) return kDwgContinuous;
    if (h.flags & kEntityPlotStyleByLayer) return kDwgByLayer;
    return kDwgByBlock;
}

// The layout of a stored entity: its kind's class when it has one the toolkit knows.
struct EntityForm {
    uint16_t type = 0;
    bool classBased = false;
    bool knownClass = false;
    ClassKind kind{};
};

EntityForm formOf(const Drawing& drawing, const EntityRecord& entity) {
    EntityForm form;
    form.type = wrDwgTypeOfKind(entity);
    form.classBased = isClassKind(form.type);
    form.knownClass = form.classBased && dbClassKindByNumber(drawing.classes, form.type, form.kind) &&
                      dbClassKindIsEntity(form.kind);
    return form;
}

// A proxy entity: for the generic proxy (498) its head (the class it stands for and, in 2000,
// its version and the data-form bit), then its data bits and references. An R13 or R14 reader
// takes the head only from more than 68 bits, so it is left out there when head and data would
// not be more (the data then is read back the same).
void proxyEntity(Dwg13FieldWriter& io, EntityHeader& h, ProxyEntityBody& b, Dwg13EntityCommon& c, uint16_t type) {
    constexpr int32_t kProxyEntityVersion = 0x60017;
    constexpr uint64_t kR13HeadThreshold = 68;
    if (type == kDwgTypeProxyEntity) {
        ProxyEntityBody head;
        head.proxyClassId = b.proxyClassId;
        head.version = b.version != 0 ? b.version : kProxyEntityVersion;
        uint8_t originalForm = 1;
        BitWriter probe;
        Dwg13FieldWriter measure(probe, io.version());
        dwg13ProxyEntityHead(measure, head, originalForm);
        if (io.isR2000() || probe.bitLength() + b.dataBitCount > kR13HeadThreshold)
            dwg13ProxyEntityHead(io, head, originalForm);
    }
    dwg13ProxyEntityData(io, h, b, c);
}

constexpr int kViewportXDataPageSize = 1024;

// The graphics an OLE2FRAME record carries: a fixed head and the frame's two corners.
constexpr size_t kOleFrameGraphicsSize = 64;
void oleFrameGraphics(const Ole2FrameBody& b, std::array<uint8_t, kOleFrameGraphicsSize>& out) {
    static constexpr uint8_t kHead[16] = {0x40, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
                                          0x38, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00};
    std::copy(std::begin(kHead), std::end(kHead), out.begin());
    size_t at = sizeof kHead;
    for (const Point3* p : {&b.upperLeft, &b.lowerRight}) {
        for (double v : {p->x, p->y, p->z}) {
            putLe64(&out[at], doubleBits(v));
            at += 8;
        }
    }
}

// Whether the entity's body is the one the layout of its form writes.
bool entityHoldsForm(const EntityForm& form, const EntityRecord& entity) {
    EntityRecord& e = const_cast<EntityRecord&>(entity);
    BitWriter bits;
    Dwg13FieldWriter io(bits, kVersionAC1015);
    Dwg13EntityCommon c;
    Dwg13EntityExtras x;
    if (!form.classBased) return dwg13FixedEntity(io, form.type, e.header, e.body, c, x, true);
    if (form.knownClass) return dwg13ClassEntity(io, form.kind, e.header, e.body, c, x, true);
    return entity.body.holds<ProxyEntityBody>();
}

} // namespace

bool wrDwgEntityHasForm(const Drawing& drawing, const EntityRecord& entity) {
    return entityHoldsForm(formOf(drawing, entity), entity);
}

uint16_t wrDwgTypeOfKind(const EntityRecord& entity) {
    const uint16_t kind = entity.header.type;
    switch (kind) {
    case kEntityInsert:
        if (const auto* b = entity.body.getIf<InsertBody>())
            return b->columnCount <= 1 && b->rowCount <= 1 ? kDwgInsert : kDwgMinsert;
        return kDwgInsert;
    case kEntityVertex: {
        const auto* b = entity.body.getIf<VertexBody>();
        if (!b) return kDwgVertex2d;
        if (b->faceVertexCount != 0) return kDwgVertexPfaceFace;
        if (b->flags & 32) return kDwgVertex3d;
        if ((b->flags & 64) && (b->flags & 128)) return kDwgVertexPface;
        if (b->flags & 64) return kDwgVertexMesh;
        return kDwgVertex2d;
    }
    case kEntityPolyline: {
        const auto* b = entity.body.getIf<PolylineBody>();
        const int16_t flags = b ? b->flags : 0;
        if (flags & 64) return kDwgPolylinePface;
        if (flags & 16) return kDwgPolylineMesh;
        if (flags & 8) return kDwgPolyline3d;
        return kDwgPolyline2d;
    }
    case kEntityDimension: {
        const auto* b = entity.body.getIf<DimensionBody>();
        return dwg13DimensionType(uint8_t((b ? b->typeFlags : 0) & 7));
    }
    case kEntityOfClassData:
        // A proxy keeps the class of its data (498 for a generic proxy).
        if (const auto* b = entity.body.getIf<ProxyEntityBody>()) return b->classNumber != 0 ? b->classNumber : kind;
        return kind;
    default:
        break;
    }
    const uint16_t type = fixedType(kind);
    return type != 0 ? type : kind;
}

int wrDwgEntityR13(const Drawing& drawing, OutputContext& output, const EntityRecord& entity, int32_t sequence) {
    Dwg13WriteState& s = *output.dwg13;
    const Dwg13RecordLinks& links = s.links;
    const bool r2000 = s.versionIndex >= kVersionAC1015;
    // The layouts only read the record when they write: the stored entity is handed to them.
    EntityRecord& e = const_cast<EntityRecord&>(entity);
    EntityHeader& h = e.header;
    // An entity whose body has no layout of its type (damaged input) is passed over.
    const EntityForm form = formOf(drawing, entity);
    if (!entityHoldsForm(form, entity)) return 1;
    const uint16_t type = form.type;
    const ClassKind kind = form.kind;
    uint16_t fileType = type;
    if (form.knownClass && r2000) {
        if (kind == ClassKind::Lwpolyline) fileType = kDwgTypeLwpolyline;
        if (kind == ClassKind::Hatch) fileType = kDwgTypeHatch;
        if (kind == ClassKind::Ole2Frame) fileType = kDwgTypeOle2Frame;
    }

    // The BLOCK name of a file before 2000 is converted.
    std::string blockName;
    BlockBeginBody* block = type == kDwgBlock ? e.body.getIf<BlockBeginBody>() : nullptr;
    if (block && !r2000) {
        blockName = std::move(block->name);
        block->name = wrDwgSymbolName(drawing, output, blockName, wrSymbolNameLimit(), sequence);
    }

    // The graphics the record carries: a class-based entity's stored graphics; for OLE2FRAME a
    // frame of its two corners.
    std::span<const uint8_t> graphics;
    bool hasGraphics = false;
    std::array<uint8_t, kOleFrameGraphicsSize> oleFrame{};
    if (form.classBased) {
        const OwnedStream* stored = nullptr;
        if (const auto* b = e.body.getIf<RasterImageBody>()) stored = &b->graphics;
        if (const auto* b = e.body.getIf<RtextBody>()) stored = &b->graphics;
        if (const auto* b = e.body.getIf<ArcAlignedTextBody>()) stored = &b->graphics;
        if (const auto* b = e.body.getIf<ProxyEntityBody>()) stored = &b->graphics;
        if (stored && *stored) {
            graphics = stored->bytes();
            hasGraphics = true;
        }
        if (const auto* b = e.body.getIf<Ole2FrameBody>(); b && form.knownClass && kind == ClassKind::Ole2Frame) {
            oleFrameGraphics(*b, oleFrame);
            graphics = oleFrame;
            hasGraphics = true;
        }
    }
    // A VIEWPORT of a file before 2000 keeps its view in "ACAD" "MVIEW" extended data, built
    // from its fields for this record (the entity's own extended data stays as it is).
    const OwnedStream* xdata = &h.xdata;
    OwnedStream viewportXData;
    Handle acad;
    if (type == kDwgViewport && !r2000 && dbFindAppIdHandle(const_cast<Drawing*>(&drawing), "ACAD", acad)) {
        OpenStream* out = dbStreamOpenWrite(viewportXData.create(kViewportXDataPageSize));
        for (const XDataItem& item : wrViewportXDataItems(e.bodyAs<ViewportBody>(), acad, h.xdata))
            dbWriteXDataItem(out, item);
        dbStreamCloseWrite(out);
        xdata = &viewportXData;
    }
    if (!wrBeginObject(output, fileType, h.handle, 0, xdata, hasGraphics ? &graphics : nullptr, true)) return 0;
    Dwg13FieldWriter io = wrDwgFields(output, h.handle);

    Dwg13EntityCommon c;
    c.mode = links.mode;
    c.owner = links.owner;
    c.previous = links.previous;
    c.next = links.next;
    c.noLinks = !links.previous.isNull() && !links.next.isNull() && h.handle.value - links.previous.value == 1 &&
                links.next.value - h.handle.value == 1;
    c.byLayerLinetype = drawing.handles.byLayerLinetype;
    c.byBlockLinetype = drawing.handles.byBlockLinetype;
    c.linetypeByLayer = !r2000 && h.linetype == c.byLayerLinetype ? 1 : 0;
    c.linetypeFlags = h.linetype == c.byLayerLinetype   ? kDwgByLayer
                      : h.linetype == c.byBlockLinetype ? kDwgByBlock
                                                        : kDwgByHandle;
    c.plotStyleFlags = plotStyleFlags(h);
    dwg13EntityCommonData(io, h, c);

    Dwg13EntityExtras x;
    if (type == kDwgViewport) {
        // A VIEWPORT of paper space names the VP ENT HDR record paired with it.
        for (const Dwg13ViewportHeaderPair& pair : s.viewportHeaders) {
            if (!pair.viewport.isNull() && pair.viewport == h.handle) x.viewportEntityHeader = pair.header;
        }
    }
    if (type == kDwgLeader && !r2000) {
        // An R13 or R14 LEADER stores the effective gap and arrow size of its dimension style
        // (its defaults when the style cannot be read), DIMSAH and the dimension line colour.
        DimArrowSettings settings;
        dbGetDimArrowSettings(const_cast<Drawing*>(&drawing), h, settings, e.bodyAs<LeaderBody>().dimensionStyle);
        x.leader.gap = settings.gap * settings.scale;
        x.leader.dimensionValue = int16_t(settings.separateArrows);
        x.leader.arrowSize = settings.arrowSize * settings.scale;
        x.leader.lowWord = int16_t(settings.colour & 0xFFFF);
    }
    if (type == kDwgTolerance && !r2000) {
        // An R13 or R14 TOLERANCE stores the gap of its dimension style.
        if (const auto* style = dbLookupNode(drawing, drawing.dimStyles, e.bodyAs<ToleranceBody>().dimensionStyle))
            x.toleranceGap = style->record.dimgap;
    }
    if (form.knownClass && kind == ClassKind::ArcAlignedText) {
        // An ARCALIGNEDTEXT names its text style beside the handle, as the file names the
        // record; "Standard" when the handle names none.
        const Handle style = e.bodyAs<ArcAlignedTextBody>().style;
        std::string name;
        const bool found = wrStyleNameByHandle(drawing, style, name);
        x.styleName = wrDwgSymbolName(drawing, output, found ? name : std::string("Standard"), wrSymbolNameLimit(),
                                      found ? wrRecordPosition(output, style) : 0);
    }
    x.context.firstChild = links.firstChild;
    x.context.lastChild = links.lastChild;
    x.context.sequenceEnd = links.sequenceEnd;
    if (type == kDwgPolyline2d) {
        const PolylineBody& polyline = e.bodyAs<PolylineBody>();
        s.polylineElevation = polyline.elevation;
        s.polylineStartWidth = (polyline.flags & 0x08) ? 0.0 : polyline.defaultStartWidth;
        s.polylineEndWidth = (polyline.flags & 0x08) ? 0.0 : polyline.defaultEndWidth;
    }
    if (type == kDwgVertex2d) {
        // A 2D vertex lies at its polyline's elevation (files before 2000 store 0), and a width
        // it does not set itself is its polyline's default.
        EntityBody vertex = e.bodyAs<VertexBody>();
        VertexBody& v = vertex.as<VertexBody>();
        v.point.z = r2000 ? s.polylineElevation : 0.0;
        if (!v.hasStartWidth) v.startWidth = s.polylineStartWidth;
        if (!v.hasEndWidth) v.endWidth = s.polylineEndWidth;
        dwg13FixedEntity(io, type, h, vertex, c, x);
    } else if (!form.classBased)
        dwg13FixedEntity(io, type, h, e.body, c, x);
    else if (form.knownClass)
        dwg13ClassEntity(io, kind, h, e.body, c, x);
    else
        proxyEntity(io, h, e.body.as<ProxyEntityBody>(), c, fileType);
    if (block && !r2000) block->name = std::move(blockName);
    return wrDwgFinishRecord(output, h.handle, io);
}

} // namespace tracemill
