#include "toolkit/read/load_fixups.h"

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/arrow_blocks.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/format_driver.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_access.h"
#include "toolkit/core/default_records.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/load_session.h"

namespace tracemill {
namespace {

bool isDxf(const Drawing& drawing) { return drawing.sourceFormat != SourceFormat::Dwg; }

template <class List>
Handle byName(const List& list, std::string_view name) {
    Handle handle;
    table::findByName(list, name, handle);
    return handle;
}

Handle currentLayer(Drawing& drawing, const std::string& name) {
    Handle handle = byName(drawing.layers, name);
    if (!handle.isNull()) return handle;
    LayerRecord layer;
    dbInitLayerRecord(drawing, layer);
    layer.name = name;
    layer.handle = dbNewHandle(drawing);
    return dbLayerAdd(&drawing, layer) ? layer.handle : Handle();
}

void resolveDxfCurrentNames(Drawing& drawing, HeaderBlock& header, const HeaderEntryNames& names) {
    CurrentEntryHandles& current = header.current;
    current.clayer = currentLayer(drawing, names[HeaderEntryName::Clayer]);
    current.celtype = byName(drawing.linetypes, names[HeaderEntryName::Celtype]);
    if (current.celtype.isNull()) current.celtype = drawing.handles.byBlockLinetype;
    const std::string& dimStyle = names[HeaderEntryName::Dimstyle];
    current.dimstyle =
        dimStyle.empty() || dbEqualsNoCase(dimStyle, "*UNNAMED") ? Handle() : byName(drawing.dimStyles, dimStyle);
    const std::string& ucs = names[HeaderEntryName::Ucsname];
    current.ucsname = ucs.empty() ? Handle() : byName(drawing.ucss, ucs);
    const std::string& paperUcs = names[HeaderEntryName::Pucsname];
    current.pucsname = paperUcs.empty() ? Handle() : byName(drawing.ucss, paperUcs);
    current.textstyle = byName(drawing.styles, names[HeaderEntryName::Textstyle]);
    const std::string& dimTextStyle = names[HeaderEntryName::Dimtxsty];
    current.dimtxsty = byName(drawing.styles, dimTextStyle.empty() ? std::string_view("Standard") : dimTextStyle);
}

// An arrow name "OPEN" stands for the block "_OPEN" when the drawing has one, else "OPEN";
// with neither, a standard arrowhead is built when the context asks for it.
Handle arrowBlock(Drawing& drawing, const std::string& name) {
    if (name.empty()) return Handle();
    Handle handle;
    if (dbBlockFindByName(&drawing, "_" + name, handle)) return handle;
    if (dbBlockFindByName(&drawing, name, handle)) return handle;
    if (gSystemContext && gSystemContext->arrowBlocks && dbCreateArrowBlock(&drawing, handle, name)) return handle;
    return Handle();
}

Handle dictionaryEntry(const ObjectRecord& dictionary, std::string_view name) {
    if (const DictionaryBody* body = dictionary.body.getIf<DictionaryBody>()) {
        for (const DictionaryEntry& entry : body->entries) {
            if (entry.name == name) return entry.handle;
        }
    }
    return Handle();
}

// The values of "MVIEW" extended data, by kind, in their order.
struct MviewValues {
    std::vector<Point3> points;
    std::vector<double> reals;
    std::vector<int16_t> shorts;
    HandleList frozenLayers;
};

// Reads the items after the application "ACAD" and its "MVIEW" string; false when the
// entity's extended data has none.
bool readMview(const OwnedStream& xdata, Handle acad, MviewValues& values) {
    if (!xdata) return false;
    OpenStream* in = dbStreamOpenRead(xdata.get());
    if (!in) return false;
    XDataItem item;
    bool inAcad = false;
    bool found = false;
    while (dbReadXDataItem(in, item)) {
        if (item.code == 1001) {
            if (found) break;
            inAcad = item.handle == acad;
            if (inAcad && (!dbReadXDataItem(in, item) || item.code != 1000 || item.text != "MVIEW")) inAcad = false;
            found = inAcad;
            continue;
        }
        if (!found) continue;
        switch (item.code) {
        case 1010: values.points.push_back(item.point); break;
        case 1040: values.reals.push_back(item.real); break;
        case 1070: values.shorts.push_back(item.int16); break;
        case 1003:
            if (!item.handle.isNull()) values.frozenLayers.push_back(item.handle);
            break;
        default: break;
        }
    }
    dbStreamCloseRead(in);
    return found;
}

// The R12 view settings, in the order the "MVIEW" data gives them, become the viewport's
// fields; its status flags collect the view mode, UCS icon, fast zoom, snap, grid, snap style,
// hidden-line plot and isometric plane settings as later files store them.
void applyMview(ViewportBody& viewport, const MviewValues& v) {
    auto point = [&](size_t i, Point3& out) {
        if (i < v.points.size()) out = v.points[i];
    };
    auto real = [&](size_t i) { return i < v.reals.size() ? v.reals[i] : 0.0; };
    auto value = [&](size_t i) { return i < v.shorts.size() ? int32_t(v.shorts[i]) : 0; };
    point(0, viewport.viewTarget);
    point(1, viewport.viewDirection);
    viewport.twistAngle = real(0);
    viewport.viewHeight = real(1);
    viewport.viewCentre = {real(2), real(3)};
    viewport.lensLength = real(4);
    viewport.frontClip = real(5);
    viewport.backClip = real(6);
    viewport.snapAngle = real(7);
    viewport.snapBase = {real(8), real(9)};
    viewport.snapSpacing = {real(10), real(11)};
    viewport.gridSpacing = {real(12), real(13)};
    // shorts: 0 version, 1 view mode, 2 circle zoom, 3 fast zoom, 4 UCS icon, 5 snap, 6 grid,
    // 7 snap style, 8 isometric plane, 9 hidden-line plot.
    viewport.circleZoom = int16_t(value(2));
    viewport.ucsIcon = int16_t(value(4));
    int32_t flags = value(1) & 0x1F;
    flags |= (value(4) & 3) << 5;
    if (value(3)) flags |= 0x80;
    if (value(5)) flags |= 0x100;
    if (value(6)) flags |= 0x200;
    if (value(7)) flags |= 0x400;
    if (value(9)) flags |= 0x800;
    if (value(8) == 1) flags |= 0x1000;
    if (value(8) == 2) flags |= 0x2000;
    viewport.statusFlags = flags;
    viewport.frozenLayers = v.frozenLayers;
}

} // namespace

int rdLoadViewports(Drawing& drawing) {
    if (isDxf(drawing) || dbListCount(&drawing.vports) == 0 || !drawing.driver) return 1;
    return drawing.driver->loadViewports(drawing);
}

int rdResolveHeaderRefs(Drawing& drawing, HeaderBlock& header) {
    if (isDxf(drawing)) {
        if (drawing.load) resolveDxfCurrentNames(drawing, header, drawing.load->currentNames);
    } else if (drawing.versionIndex < kVersionAC1012 && drawing.driver &&
               !drawing.driver->resolveIndexedHeaderRefs(drawing)) {
        return 0;
    }
    if (isDxf(drawing) || drawing.versionIndex < kVersionAC1015) {
        DimensionArrowHandles& arrows = header.arrowBlocks;
        arrows.dimldrblk = arrowBlock(drawing, header.dimldrblk);
        arrows.dimblk = arrowBlock(drawing, header.dimblk);
        arrows.dimblk1 = arrowBlock(drawing, header.dimblk1);
        arrows.dimblk2 = arrowBlock(drawing, header.dimblk2);
    }
    return 1;
}

int rdFindPlotStyleDictionary(Drawing& drawing) {
    if (const ObjectRecord* root = dbNamedObjectDictionary(drawing)) {
        const Handle handle = dictionaryEntry(*root, "ACAD_PLOTSTYLENAME");
        if (!handle.isNull()) drawing.handles.plotStyleDictionary = handle;
    }
    return 1;
}

int rdFindDictionaries(Drawing& drawing) {
    const ObjectRecord* root = dbNamedObjectDictionary(drawing);
    if (!root) return 1;
    DrawingHandles& handles = drawing.handles;
    if (handles.namedObjectDictionary.isNull()) handles.namedObjectDictionary = root->header.handle;
    const struct {
        Handle& field;
        const char* name;
    } entries[] = {
        {handles.groupDictionary, "ACAD_GROUP"},
        {handles.mlineStyleDictionary, "ACAD_MLINESTYLE"},
        {handles.layoutDictionary, "ACAD_LAYOUT"},
        {handles.plotSettingsDictionary, "ACAD_PLOTSETTINGS"},
    };
    for (const auto& entry : entries) {
        if (entry.field.isNull()) entry.field = dictionaryEntry(*root, entry.name);
    }
    return 1;
}

int rdEnsureCurrentMlineStyle(Drawing& drawing) {
    const std::string name =
        drawing.load ? drawing.load->currentNames[HeaderEntryName::Cmlstyle] : std::string("Standard");
    for (const ObjectNode& node : drawing.objects) {
        const ObjectRecord& object = node.record;
        if (object.header.type != kObjectMlineStyle) continue;
        const MlineStyleBody* style = object.body.getIf<MlineStyleBody>();
        if (style && dbEqualsNoCase(style->name, name)) {
            drawing.header->current.cmlstyle = object.header.handle;
            return 1;
        }
    }
    ObjectRecord style;
    style.header.type = kObjectMlineStyle;
    dbInitObject(&drawing, style);
    style.header.handle = dbNewHandle(drawing);
    style.bodyAs<MlineStyleBody>().name = name;
    const Handle handle = style.header.handle;
    if (!dbAddObject(&drawing, std::move(style))) return 0;
    drawing.header->current.cmlstyle = handle;
    return 1;
}

int rdConvertR12Viewports(Drawing& drawing) {
    Handle acad;
    if (!dbFindAppIdHandle(&drawing, "ACAD", acad)) return 1;
    for (BlockNode& block : drawing.blocks) {
        if (!block.entityList) continue;
        for (EntityNode& node : *block.entityList) {
            EntityRecord& entity = node.record;
            if (entity.header.type != kEntityViewport || !entity.header.xdata) continue;
            ViewportBody* viewport = entity.body.getIf<ViewportBody>();
            MviewValues values;
            if (!viewport || !readMview(entity.header.xdata, acad, values)) continue;
            applyMview(*viewport, values);
        }
    }
    return 1;
}

void rdMarkUnloadedXrefs(Drawing& drawing) {
    for (BlockNode& block : drawing.blocks) {
        if (block.record.extensionDictionary.isNull()) continue;
        const ObjectRecord* dictionary = dbFindStoredObject(&drawing, block.record.extensionDictionary);
        if (dictionary && !dictionaryEntry(*dictionary, "ACAD_UNLOAD").isNull()) block.record.xrefDisabled = 1;
    }
}

} // namespace tracemill
