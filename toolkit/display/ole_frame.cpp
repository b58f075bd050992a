#include "toolkit/display/ole_frame.h"

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/fill_records.h"

namespace tracemill {
namespace {

constexpr int kStreamPageSize = 4096;
constexpr size_t kChunk = 512;
constexpr int kHeaderLeadBytes = 2;
constexpr int kHeaderTrailBytes = 30;

// Reads the frame header's corners and copies the object's own data into a new stream; null
// when the data are not that long or memory runs out.
PagedStream* objectData(PagedStream* stored, Point3 corners[4]) {
    if (dbStreamSizeOf(stored) <= kOleFrameHeaderSize) return nullptr;
    OpenStream* in = dbStreamOpenRead(stored);
    if (!in) return nullptr;
    uint8_t skip[kHeaderTrailBytes];
    bool ok = dbStreamGetBytes(in, skip, kHeaderLeadBytes) != 0;
    for (int i = 0; i < 4 && ok; ++i) ok = dbStreamGetPoint3(in, corners[i]) != 0;
    ok = ok && dbStreamGetBytes(in, skip, kHeaderTrailBytes) != 0;
    PagedStream* copy = ok ? dbStreamCreate(kStreamPageSize) : nullptr;
    OpenStream* out = copy ? dbStreamOpenWrite(copy) : nullptr;
    ok = out != nullptr;
    uint8_t chunk[kChunk];
    for (int32_t left = dbStreamSizeOf(stored) - kOleFrameHeaderSize; ok && left > 0;) {
        const size_t n = size_t(left) < kChunk ? size_t(left) : kChunk;
        ok = dbStreamGetBytes(in, chunk, n) != 0 && dbStreamPutBytes(out, chunk, n) != 0;
        left -= int32_t(n);
    }
    if (out) dbStreamCloseWrite(out);
    dbStreamCloseRead(in);
    if (!ok) {
        dbStreamDestroy(copy);
        return nullptr;
    }
    return copy;
}

} // namespace

void genDrawOleFrame(Drawing* drawing, const Ole2FrameBody& body, const Matrix4* matrices) {
    const OutputHookTable* table = gOutputHookTable;
    if (!drawing || !table || !table->picture || !table->oleData || !body.data.get()) return;
    Point3 corners[4];
    PagedStream* data = objectData(body.data.get(), corners);
    if (!data) return;
    OleObjectInfo object;
    table->oleData(data, object, drawing->hostContext);
    dbStreamDestroy(data);
    if (!object.picture) return;
    PictureRecord picture;
    picture.picture = object.picture;
    genPictureQuad(drawing, corners, matrices, picture);
    dbStreamDestroy(object.picture);
}

} // namespace tracemill
