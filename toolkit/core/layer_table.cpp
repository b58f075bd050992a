// The LAYER table.
#include <cstdlib>

#include "toolkit/core/table_access.h"

namespace tracemill {
namespace {

bool flagArgumentSet(int16_t value) { return value != 0 && value != -1; }

void setBit(uint8_t& flags, uint8_t bit, bool on) { flags = on ? uint8_t(flags | bit) : uint8_t(flags & ~bit); }

} // namespace

int dbLayerRewind(Drawing* drawing) { return drawing ? table::rewind(drawing->layers) : 0; }

int dbLayerNext(Drawing* drawing, LayerRecord& out) { return drawing ? table::next(drawing->layers, out) : 0; }

int dbLayerGet(Drawing* drawing, Handle handle, LayerRecord& out) {
    return drawing ? table::get(*drawing, drawing->layers, handle, out) : 0;
}

int dbLayerFindByName(Drawing* drawing, std::string_view name, Handle& out) {
    out = Handle();
    return drawing ? table::findByName(drawing->layers, name, out) : 0;
}

int dbLayerUpdate(Drawing* drawing, const LayerRecord& record) {
    return drawing ? table::update(*drawing, drawing->layers, record) : 0;
}

int32_t dbLayerCount(Drawing* drawing) { return drawing ? table::count(drawing->layers) : 0; }

int dbLayerAdd(Drawing* drawing, const LayerRecord& record) {
    if (!drawing) return 0;
    return dbAddTableRecord(record.handle, drawing->handleIndex, StoredRecord<LayerRecord>(record), &drawing->layers,
                            kInsertAtEnd, nullptr)
               ? 1
               : 0;
}

int dbLayerGetState(Drawing* drawing, Handle handle, int16_t& on, int16_t& frozen, int16_t& frozenInNewViewports,
                    int16_t& locked) {
    if (!drawing) return 0;
    auto* node = table::storedNodeOf(*drawing, drawing->layers, handle);
    if (!node) return 0;
    const LayerRecord& layer = node->record;
    on = layer.colour >= 0 ? 1 : 0;
    frozen = (layer.flags & kLayerFrozen) ? 1 : 0;
    frozenInNewViewports = (layer.flags & kLayerFrozenInNewViewports) ? 1 : 0;
    locked = (layer.flags & kLayerLocked) ? 1 : 0;
    return 1;
}

int dbLayerSetState(Drawing* drawing, Handle handle, int16_t on, int16_t frozen, int16_t frozenInNewViewports,
                    int16_t locked) {
    if (!drawing) return 0;
    auto* node = table::storedNodeOf(*drawing, drawing->layers, handle);
    if (!node) return 0;
    LayerRecord& layer = node->record;
    const int16_t magnitude = int16_t(std::abs(int(layer.colour)));
    layer.colour = on ? magnitude : int16_t(-magnitude);
    setBit(layer.flags, kLayerFrozen, flagArgumentSet(frozen));
    setBit(layer.flags, kLayerFrozenInNewViewports, flagArgumentSet(frozenInNewViewports));
    setBit(layer.flags, kLayerLocked, flagArgumentSet(locked));
    return 1;
}

} // namespace tracemill
