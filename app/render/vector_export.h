// Vector export: the current view of a drawing object written as one SVG, SVGZ, HP-GL/2, PDF,
// CGM or EPS file through the output device of the format.
#pragma once

#include <cstdint>
#include <string>

#include "app/render/export_progress.h"

namespace tracemill {

class CDrawingObject;
namespace render {
class CPdfDocument;
}

// The extension the output path takes for a vector format id (".svg", ".plt", ".hgl", ".pdf",
// ".svgz", ".cgm", ".eps"); empty for an id without a device.
std::string VectorFormatExtension(int32_t formatId);

// Writes the current view into `path` with the format's extension in place of its own.
// width x height is the picture in points before the device scale; with `zoomExtents` one of
// them may be 0 (completed from the drawing's extents) and the view is zoomed to the extents.
// Format 4 writes a new one-page PDF (or, given `document`, adds a page and a bookmark to it),
// format 5 adds a page to `document`. True when the file was written (and after a Stop, which
// leaves no file); false, writing nothing, for a format without a device (with the message
// "Not support the vector format!"), a size that names no picture, or a failed pass or save.
// The object keeps `colourMode` and returns to the view state last saved on it.
bool ExportVectorFile(CDrawingObject* drawing, int32_t width, int32_t height, bool zoomExtents, int16_t colourMode,
                      int32_t formatId, bool usePenWidths, std::string path, render::CPdfDocument* document);

} // namespace tracemill
