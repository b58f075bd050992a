// The display state of one drawing: created by genBeginDisplay, owned by the drawing
// (`Drawing::displayContext`) and freed by dbFreeDisplayContext.
//
// The fields here are the ones the database core reads and changes between and during display
// passes (lineweights, plot style tables, the paper-space switch, external-reference layers);
// display generation keeps the rest of its state beside them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/core/object_record.h"
#include "toolkit/core/plot_style_table.h"

namespace tracemill {

struct Drawing;

struct DisplayContext {
    // The drawing whose pass this context serves: the drawing itself, or for the context of an
    // external reference the host drawing that draws it.
    Drawing* ownerDrawing = nullptr;
    // The external-reference block being drawn (the context of a reference): the prefix its
    // layers and linetypes take while they are drawn inside the host.
    std::string xrefBlockName;

    // The paper-space switch: on while the current layout is a paper-space layout.
    uint8_t paperSpace = 0;
    // Viewports in use, and the count the paper-space viewport setup found.
    int16_t viewportCount = 1;
    int16_t paperSpaceViewportCount = 1;
    // Drawing units per paper unit of the current layout, for lineweights in paper space.
    double paperScale = 1.0;

    // The LAYOUT of the current space and the plot style table it names, while one is attached.
    LayoutBody layout;
    std::unique_ptr<PlotStyleTable> plotStyleTable;
};

} // namespace tracemill
