#include "toolkit/display/xref_layer_state.h"

#include <new>
#include <string>
#include <string_view>

#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/display/display_context.h"

namespace tracemill {
namespace {

template <class Record>
const Record* recordNamed(const RecordList<StoredRecord<Record>>& list, std::string_view name) {
    for (const StoredRecord<Record>& node : list) {
        if (dbEqualsNoCase(node.record.name, name)) return &node.record;
    }
    return nullptr;
}

std::string prefixed(const std::string& prefix, const std::string& name) { return prefix + "|" + name; }

// The linetype a retained host layer gives the referenced layer. A linetype of the host's own
// is the host's record; one the host took from this reference ("block|name") is this drawing's
// record of that name, whose handle the layer must carry to find it here. A linetype that
// cannot be found leaves the layer's own.
void takeHostLinetype(Drawing& drawing, Drawing& host, const std::string& prefix, Handle hostLinetype,
                      LayerRecord& layer) {
    const auto* linetype = dbLookupNode(host, host.linetypes, hostLinetype);
    if (!linetype) return;
    const std::string& name = linetype->record.name;
    if (name.find('|') == std::string::npos) {
        layer.linetype = hostLinetype;
        layer.drawing = &host;
        return;
    }
    for (const auto& own : drawing.linetypes) {
        if (dbEqualsNoCase(prefixed(prefix, own.record.name), name)) {
            layer.linetype = own.record.handle;
            return;
        }
    }
}

} // namespace

std::unique_ptr<LayerStateSnapshot> dbSaveLayerState(Drawing* drawing) {
    if (!drawing) return nullptr;
    try {
        auto snapshot = std::make_unique<LayerStateSnapshot>();
        for (const auto& node : drawing->layers) snapshot->layers.push_back(node.record);
        for (const auto& node : drawing->linetypes) snapshot->linetypes.push_back(node.record);
        return snapshot;
    } catch (const std::bad_alloc&) {
        dbReportError(kErrorNoMemoryForList, kErrorReasonNoMemory);
        return nullptr;
    }
}

int dbRestoreLayerState(Drawing* drawing, std::unique_ptr<LayerStateSnapshot>& snapshot) {
    if (!drawing || !snapshot) return 0;
    bool all = true;
    for (LayerRecord& layer : snapshot->layers) {
        auto* node = dbLookupNode(*drawing, drawing->layers, layer.handle);
        if (node) node->record = std::move(layer);
        all = all && node;
    }
    for (LinetypeRecord& linetype : snapshot->linetypes) {
        auto* node = dbLookupNode(*drawing, drawing->linetypes, linetype.handle);
        if (node) node->record = std::move(linetype);
        all = all && node;
    }
    snapshot.reset();
    return all ? 1 : 0;
}

int dbApplyXrefLayerState(Drawing* drawing, const LayerRecord& hostLayer) {
    const DisplayContext* display = drawing ? drawing->displayContext.get() : nullptr;
    Drawing* host = display ? display->ownerDrawing : nullptr;
    if (!host || host == drawing) return 1;
    const std::string& prefix = display->xrefBlockName;
    const bool retained = host->header && host->header->visretain != 0;

    bool layerZero = true;
    for (auto& node : drawing->layers) {
        LayerRecord& layer = node.record;
        if (layerZero) {
            layerZero = false;
            layer.name = hostLayer.name;
            layer.colour = hostLayer.colour;
            layer.linetype = hostLayer.linetype;
            layer.lineweight = hostLayer.lineweight;
            layer.plotStyle = hostLayer.plotStyle;
            layer.drawing = host;
            continue;
        }
        layer.name = prefixed(prefix, layer.name);
        const LayerRecord* kept = retained ? recordNamed(host->layers, layer.name) : nullptr;
        if (!kept) continue;
        layer.colour = kept->colour;
        layer.flags = uint8_t((layer.flags & ~kLayerFrozen) | (kept->flags & kLayerFrozen));
        takeHostLinetype(*drawing, *host, prefix, kept->linetype, layer);
        layer.lineweight = kept->lineweight;
        layer.plotStyle = kept->plotStyle;
    }

    for (auto& node : drawing->linetypes) {
        LinetypeRecord& linetype = node.record;
        const std::string name = prefixed(prefix, linetype.name);
        if (const LinetypeRecord* hostRecord = recordNamed(host->linetypes, name)) {
            const Handle own = linetype.handle;
            linetype = *hostRecord;
            linetype.handle = own;
        } else {
            linetype.name = name;
        }
    }
    return 1;
}

} // namespace tracemill
