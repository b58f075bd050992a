// Raster export: a drawing object rendered once into a bitmap and written as a BMP, JPEG, GIF
// or PCX file, with, when asked, a black-and-white mask beside it ("<name>_mask.bmp", white
// wherever something was drawn) made in the same pass.
#pragma once

#include <cstdint>
#include <string>

#include "app/render/export_progress.h"

namespace tracemill {

class CDrawingObject;

// Raster format ids.
inline constexpr int32_t kRasterBmp = 1;
inline constexpr int32_t kRasterJpeg = 2;
inline constexpr int32_t kRasterGif = 3;
inline constexpr int32_t kRasterPcx = 4;

// The extension the output path takes (".bmp", ".jpg", ".gif", ".pcx"); empty for another id.
std::string RasterFormatExtension(int32_t formatId);
// The path of the mask of an image written to `path`.
std::string RasterMaskPath(const std::string& path);

// The current view at width x height pixels (one of them may be 0 with `zoomExtents`, which
// completes it from the drawing's extents and zooms to them), pens `penWidth` pixels wide;
// `quality` 1 to 10 for JPEG. True when the image (and the mask) were written, and after a
// Stop, which leaves no file; false for a size that names no picture, a format id outside 1
// to 4 (nothing written), a bitmap that cannot be made, or a file that cannot be written (no
// image is left without its mask then). The object keeps the size and view the export set.
bool ExportRasterImage(CDrawingObject* drawing, int32_t width, int32_t height, int32_t penWidth, bool zoomExtents,
                       int32_t formatId, int32_t quality, bool mask, std::string path);

// One paper layout, whole, at pixelsPerUnit pixels per paper unit into the top left of a
// width x height bitmap on white. The view state is the object's own again afterwards.
bool ExportLayoutRasterImage(CDrawingObject* drawing, int32_t width, int32_t height, int32_t layout,
                             double pixelsPerUnit, int32_t penWidth, int32_t formatId, int32_t quality, bool mask,
                             std::string path);

} // namespace tracemill
