// The layers and linetypes of an external-reference drawing as its host sees them while the
// reference is drawn: named by the reference block, a "|" and their own name, layer "0" in
// the properties of the host layer the reference lies on, and with the host's own overrides
// when the host keeps them (VISRETAIN). A snapshot taken before restores them afterwards.
#pragma once

#include <memory>
#include <vector>

#include "toolkit/core/drawing.h"

namespace tracemill {

// Every LAYER and every LTYPE record of a drawing, in table order.
struct LayerStateSnapshot {
    std::vector<LayerRecord> layers;
    std::vector<LinetypeRecord> linetypes;
};

// The drawing's LAYER and LTYPE records as they are now; null for a null drawing or when
// memory is exhausted.
std::unique_ptr<LayerStateSnapshot> dbSaveLayerState(Drawing* drawing);

// Writes the snapshot's records back over the stored ones of the same handles and frees the
// snapshot (the caller's pointer is cleared). 1, or 0 when there is no snapshot or a record
// is no longer in the drawing (the others are restored all the same).
int dbRestoreLayerState(Drawing* drawing, std::unique_ptr<LayerStateSnapshot>& snapshot);

// Applies the host's view to the referenced drawing, whose display context names the host
// (`ownerDrawing`) and the reference block (`xrefBlockName`); `hostLayer` is the host's layer
// of the block reference. Nothing is done for a drawing that is its own host. Always 1.
int dbApplyXrefLayerState(Drawing* drawing, const LayerRecord& hostLayer);

} // namespace tracemill
