// IMAGE entities in the display. The toolkit opens no picture file itself: the first time an
// image is drawn it asks the host for the picture (output hook 16, with the file name of the
// image's definition), which hands back a whole BMP file image that stays with the entity.
// The picture is decoded, each of its rows mapped onto the entity's parallelogram, taken to
// the device, clipped, and sent as tagged items through hook 17 (raster_data_block.h). The
// image's frame (or its clip boundary) is drawn when the drawing asks for image frames and
// whenever no picture can be shown.
//
// Pixel coordinates count x along the U vector and y from the top row down, pixel centres at
// whole coordinates (clip boundaries are stored so); the picture's own
// rows and columns are laid over the entity's W x H pixels, so that a picture of another size
// than the entity's stretches over it.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/entity_record.h"
#include "toolkit/core/point.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/raster/bmp_picture.h"
#include "toolkit/display/raster/raster_block_writer.h"

namespace tracemill {

struct Drawing;
struct RasterImageBody;

// Draws the IMAGE entity (from `list`, which holds it) with the per-viewport world-to-device
// `matrices`. When the entity holds no picture yet and hooks 16 and 17 are installed, the host
// is asked for it, and a picture it hands back is stored with the entity in the list. 1 when
// the entity was handled (drawn, framed, or declined by the host); 0 when its image definition
// cannot be read or is not an IMAGEDEF.
int genDrawRasterImage(Drawing* drawing, EntityList* list, const EntityRecord& entity, const Matrix4* matrices);

// The toolkit's own drawing of the image: the picture through hook 17 in every viewport the
// entity is drawn in, cut by the image's clip boundary when its display properties ask for it,
// and the frame.
void genRenderRasterImage(Drawing* drawing, const RasterImageBody& body, const Matrix4* matrices);

// Where a picture's rows lie: `origin` the world point of the picture's bottom-left corner,
// `u` one picture pixel along a row, `v` one picture pixel up a column.
struct RasterPlacement {
    Point3 origin;
    Point3 u;
    Point3 v;
};

// One row of the picture through one viewport: the row line from (0, rowLine) to (width,
// rowLine) in picture pixels, whose pixels are those of `storedRow`, mapped to the device with
// `matrix`, clipped to the viewport, and written as one row piece per visible part.
void genRasterImageRow(Drawing* drawing, double rowLine, int64_t storedRow, const RasterPlacement& placement,
                       const RasterPicture& picture, const Matrix4& matrix, int viewport, RasterBlockWriter& out);

// The world point of a pixel position of the entity (pixel centres at whole coordinates, y
// counted from the top row down, so that (-0.5, -0.5) is the image's top left corner):
// insertion + (x + 0.5) U + (H - 0.5 - y) V in x and y, the insertion's z.
Point3 genImagePixelToWorld(const Point2& pixel, const RasterImageBody& body);

} // namespace tracemill
