// An external reference met while a list is drawn: the vectoriser queues it on the display
// context with everything needed to draw it later, and the entity walk draws the queued
// references one by one after the list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/reference_chain.h"

namespace tracemill {

struct Drawing;
struct DisplayContext;

// A clip that applies to what the reference draws: a spatial filter of a block reference
// around it, or of the reference itself.
struct ClipRequest {
    Drawing* filterDrawing = nullptr;
    Handle filter;
    Handle blockReference;
    Matrix4 matrix = kIdentityMatrix4;
};

struct DeferredReference {
    std::string fileName;    // the referenced drawing, as found
    std::string blockName;   // the external-reference block: the prefix of its layers
    Matrix4 insertion = kIdentityMatrix4;  // from the referenced drawing's coordinates to the host's
    uint16_t byBlockColour = 7;
    LinetypeRecord byBlockLinetype;
    PlotStyle byBlockPlotStyle;
    bool hasPlotStyle = false;
    int16_t byBlockLineweight = 0;
    uint64_t hiddenMask = 0;
    uint8_t paperSpacePass = 0;       // where the reference was met
    uint8_t paperSpaceReference = 0;
    LayerRecord hostLayer;            // the host's layer of the block reference
    Drawing* ownerDrawing = nullptr;  // the drawing whose list met the reference
    Handle reference;                 // the block reference
    int16_t nestingLevel = 0;
    int16_t xrefDepth = 0;
    ReferenceChain chain;             // the chain of the referenced drawing: the current one and its path
    std::vector<ClipRequest> clips;
};

// Moves the first deferred reference of the list into `out`; 0 when the list is empty.
int genTakeDeferredReference(std::vector<DeferredReference>& list, DeferredReference& out);

// Moves the first deferred reference whose name equals `name` (byte by byte) into `out`;
// 0 when there is none.
int genFindDeferredReference(std::vector<DeferredReference>& list, DeferredReference& out, const std::string& name);

} // namespace tracemill
