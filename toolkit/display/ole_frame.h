// OLE2FRAME entities: the embedded object's data goes to the host (output hook slot 30), which
// may hand back a picture of it; the picture is drawn in the frame the data's header gives
// (slot 18).
#pragma once

#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct Ole2FrameBody;
struct PagedStream;

// What slot 30 is given beside the object's data: the picture the host hands back, a stream
// of one kind byte (0 a metafile, 1 a bitmap file image) and the picture's bytes; null when it
// has none. The toolkit destroys the stream once it has drawn it.
struct OleObjectInfo {
    PagedStream* picture = nullptr;
};

// The frame header that opens an OLE2FRAME's data: 2 bytes, the four corners of the frame
// (three doubles each), 30 bytes; the object's own data follow it.
inline constexpr int kOleFrameHeaderSize = 128;

// Draws the frame's picture when slots 18 and 30 are installed and the entity's data hold more
// than the frame header; otherwise nothing. `matrices` take the entity's coordinates to each
// viewport's device.
void genDrawOleFrame(Drawing* drawing, const Ole2FrameBody& body, const Matrix4* matrices);

} // namespace tracemill
