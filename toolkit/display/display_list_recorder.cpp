#include "toolkit/display/display_list_recorder.h"

#include <algorithm>
#include <limits>

#include "toolkit/core/drawing.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/display_list.h"
#include "toolkit/display/display_list_code.h"
#include "toolkit/display/display_list_host_records.h"
#include "toolkit/display/display_list_output.h"
#include "toolkit/display/fill_records.h"

namespace tracemill {
namespace {

constexpr int kCellPageSize = 4096;

// The list the recorders write into.
DisplayList* gRecording = nullptr;

// The cell's stream, made and opened for appending when needed; null when the cell cannot take
// records (it then takes none for the rest of the pass, and the list is incomplete).
OpenStream* cellWriter(DisplayList& list, DisplayListCell& cell) {
    if (cell.writer || cell.refused) return cell.writer;
    if (!cell.stream && dbAllocationAllowed()) cell.stream = dbStreamCreate(kCellPageSize);
    if (cell.stream) cell.writer = dbStreamOpenAppend(cell.stream);
    if (!cell.writer) {
        cell.refused = true;
        list.incomplete = true;
    }
    return cell.writer;
}

void put(DisplayList& list, DisplayListCell& cell, const uint8_t* bytes, size_t n) {
    OpenStream* writer = cellWriter(list, cell);
    if (writer && !dbStreamPutBytes(writer, bytes, n)) {
        cell.refused = true;
        list.incomplete = true;
    }
}

// A state change when the current colour or width differs from the cell's.
void putState(DisplayList& list, DisplayListCell& cell) {
    const bool colour = list.colour != cell.lastColour, width = list.width != cell.lastWidth;
    if (!colour && !width) return;
    uint8_t bytes[kDlistLongestRecord];
    put(list, cell, bytes,
        genDlistEncodeState(bytes, colour ? &list.colour : nullptr, width ? &list.width : nullptr));
    cell.lastColour = list.colour;
    cell.lastWidth = list.width;
}

void putStroke(DisplayList& list, DisplayListCell& cell, uint8_t kind, int32_t x, int32_t y) {
    uint8_t bytes[kDlistLongestRecord];
    put(list, cell, bytes, genDlistEncodeStroke(bytes, kind, cell.lastX, cell.lastY, x, y));
    cell.lastX = x;
    cell.lastY = y;
}

void putCode(DisplayList& list, DisplayListCell& cell, uint8_t code) {
    put(list, cell, &code, 1);
}

DisplayListCell& cellOf(DisplayList& list, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return list.cells[size_t(genDlistCellOf(gOutputHookTable->cellCodes, x0, y0, x1, y1))];
}

// Records filled loops (counts[i] points each) in the cell that holds them all, then sends them
// to the host. Like the polygon wrappers, leaves the pen at the first point.
void recordFill(DisplayList& list, const DevicePoint* points, const int32_t* counts, int32_t loopCount,
                bool holes, HostWord host) {
    int64_t total = 0;
    for (int32_t i = 0; i < loopCount; ++i) {
        if (counts[i] < 0) return;
        total += counts[i];
    }
    if (total == 0 || total > std::numeric_limits<int32_t>::max()) return;
    int32_t minX = points[0].x, minY = points[0].y, maxX = minX, maxY = minY;
    bool onGrid = true;
    for (int64_t i = 0; i < total; ++i) {
        const DevicePoint& p = points[i];
        onGrid = onGrid && genDlistOnGrid(p.x, p.y);
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    if (onGrid) {
        DisplayListCell& cell = cellOf(list, minX, minY, maxX, maxY);
        const uint8_t bracket = holes ? kDlistPolyPolygon : kDlistPolygon;
        putState(list, cell);
        putCode(list, cell, bracket);
        int32_t first = 0;
        for (int32_t i = 0; i < loopCount; ++i) {
            if (counts[i] == 0) continue;
            const DevicePoint* loop = points + first;
            putStroke(list, cell, kDlistMove, loop[0].x, loop[0].y);
            for (int32_t k = 1; k < counts[i]; ++k)
                putStroke(list, cell, kDlistLine, loop[k].x, loop[k].y);
            putStroke(list, cell, kDlistLine, loop[0].x, loop[0].y);
            first += counts[i];
        }
        putCode(list, cell, bracket);
    } else {
        list.incomplete = true;
    }
    list.penX = points[0].x;
    list.penY = points[0].y;
    gOutputHookTable->penPosition = points[0];
    genDlistSendFill(list, points, counts, loopCount, holes, host);
}

// Writes a host record into the root cell and sends it to the host as a replay would.
void recordHostRecord(DisplayList& list, bool encoded, HostWord host) {
    std::vector<uint8_t>& bytes = list.scratch.encoded;
    if (!encoded || bytes.size() < kDlistHostRecordHead) {
        list.incomplete = true;
        return;
    }
    DisplayListCell& root = list.cells[kDlistRootCell];
    putState(list, root);
    put(list, root, bytes.data(), bytes.size());
    genDlistSendHostRecord(list, bytes[1], bytes.data() + kDlistHostRecordHead,
                           bytes.size() - kDlistHostRecordHead, host);
}

// --- The recorders -------------------------------------------------------------------------------

// The list a recorder writes into; null while a host hook runs (the host sending through the
// table from inside its own hook: its points are already on the device, and the call goes to
// the host's hook) or when no list records.
DisplayList* recordingList() {
    return gRecording && !gRecording->forwarding ? gRecording : nullptr;
}

void recordMoveTo(int32_t x, int32_t y, HostWord host) {
    DisplayList* list = recordingList();
    if (!list) {
        if (gOutputHookTable->hostMoveTo) gOutputHookTable->hostMoveTo(x, y, host);
        return;
    }
    list->penX = x;
    list->penY = y;
}

void recordLineTo(int32_t x, int32_t y, HostWord host) {
    DisplayList* list = recordingList();
    if (!list) {
        if (gOutputHookTable->hostLineTo) gOutputHookTable->hostLineTo(x, y, host);
        return;
    }
    const int32_t fromX = list->penX, fromY = list->penY;
    list->penX = x;
    list->penY = y;
    if (genDlistOnGrid(fromX, fromY) && genDlistOnGrid(x, y)) {
        DisplayListCell& cell = cellOf(*list, fromX, fromY, x, y);
        putState(*list, cell);
        if (cell.lastX != fromX || cell.lastY != fromY) putStroke(*list, cell, kDlistMove, fromX, fromY);
        putStroke(*list, cell, kDlistLine, x, y);
    } else {
        list->incomplete = true;
    }
    genDlistSendLine(*list, fromX, fromY, x, y, host);
}

void recordPolygon(PointRange range, const DevicePoint* points, HostWord host) {
    DisplayList* list = recordingList();
    if (!list) {
        dbPolygonWrapper(range, points, host);
        return;
    }
    if (!points || range.first < 0 || range.last < range.first) return;
    const int32_t count = range.last - range.first + 1;
    recordFill(*list, points + range.first, &count, 1, false, host);
}

void recordPolyPolygon(const DevicePoint* points, const int32_t* counts, int32_t polygonCount,
                       HostWord host) {
    DisplayList* list = recordingList();
    if (!list) {
        dbPolyPolygonWrapper(points, counts, polygonCount, host);
        return;
    }
    if (!points || !counts || polygonCount <= 0) return;
    recordFill(*list, points, counts, polygonCount, true, host);
}

int16_t recordColor(int16_t colour, HostWord host) {
    ColorHook hook = gOutputHookTable->hostColor;
    DisplayList* list = recordingList();
    if (!list) return hook ? hook(colour, host) : colour;
    list->colour = colour;
    if (!hook) return colour;
    list->forwarding = true;
    const int16_t result = hook(colour, host);
    list->forwarding = false;
    return result;
}

void recordLineWidth(int32_t width, HostWord host) {
    DisplayList* list = recordingList();
    if (!list) {
        if (gOutputHookTable->hostLineWidth) gOutputHookTable->hostLineWidth(width, host);
        return;
    }
    list->width = width;
    genDlistCallHost(*list, gOutputHookTable->hostLineWidth, width, host);
}

// The recorders of host records: each record kept as its encoder writes it.
void recordRasterData(const uint8_t* block, uint32_t byteCount, HostWord host) {
    if (DisplayList* list = recordingList())
        recordHostRecord(*list, genDlistEncodeRasterData(list->scratch.encoded, block, byteCount), host);
    else if (gOutputHookTable->hostRasterData)
        gOutputHookTable->hostRasterData(block, byteCount, host);
}

void recordPicture(const PictureRecord& picture, HostWord host) {
    if (DisplayList* list = recordingList())
        recordHostRecord(*list, genDlistEncodePicture(list->scratch.encoded, picture), host);
    else if (gOutputHookTable->hostPicture)
        gOutputHookTable->hostPicture(picture, host);
}

void recordFillRecord(const FillRecord& frame, HostWord host) {
    if (DisplayList* list = recordingList())
        recordHostRecord(*list, genDlistEncodeFrame(list->scratch.encoded, frame), host);
    else if (gOutputHookTable->hostFillRecord)
        gOutputHookTable->hostFillRecord(frame, host);
}

constexpr RecordingHookSet kRecorders{recordMoveTo,      recordLineTo,     recordPolygon,
                                      recordPolyPolygon, recordColor,      recordRasterData,
                                      recordPicture,     recordFillRecord, recordLineWidth};

bool recordersInPlace(const OutputHookTable& table) {
    return table.moveTo == kRecorders.moveTo && table.lineTo == kRecorders.lineTo &&
           table.polygon == kRecorders.polygon && table.polyPolygon == kRecorders.polyPolygon &&
           table.color == kRecorders.color && table.rasterData == kRecorders.rasterData &&
           table.picture == kRecorders.picture && table.fillRecord == kRecorders.fillRecord &&
           table.lineWidth == kRecorders.lineWidth;
}

} // namespace

void genDlistStartRecording(Drawing* drawing) {
    DisplayList* list = genDisplayListOf(drawing);
    if (!list || !gOutputHookTable || list->recording) return;
    list->outer = gRecording;
    list->recording = true;
    gRecording = list;
    dbInstallRecordingHooks(kRecorders);
}

void genDlistStopRecording(Drawing* drawing) {
    DisplayList* list = genDisplayListOf(drawing);
    if (!list || !list->recording || !gOutputHookTable) return;
    if (!recordersInPlace(*gOutputHookTable)) list->incomplete = true;
    list->recording = false;
    gRecording = list->outer;
    list->outer = nullptr;
    if (gRecording)
        dbInstallRecordingHooks(kRecorders);
    else
        dbRestoreHostHooks();
}

void genDlistBeginPass(Drawing* drawing) {
    DisplayList* list = genDisplayListOf(drawing);
    if (!list) return;
    for (DisplayListCell& cell : list->cells) {
        cell.lastX = kDlistNoPoint;
        cell.lastY = kDlistNoPoint;
        cell.refused = false;
    }
    list->colour = 0;
    list->width = 0;
    list->penX = 0;
    list->penY = 0;
    list->incomplete = false;
    list->raster = {};
    // The first colour and width of the pass reach the recorders whatever the last pass sent.
    drawing->displayContext->colourSent = -1;
    drawing->displayContext->lineWidthSent = -1;
    list->hostPen = {0, 0};
    if (gOutputHookTable)
        genDlistCallHost(*list, gOutputHookTable->hostMoveTo, int32_t(0), int32_t(0), drawing->hostContext);
}

void genDlistCloseCells(Drawing* drawing) {
    DisplayList* list = genDisplayListOf(drawing);
    if (!list) return;
    for (DisplayListCell& cell : list->cells) {
        if (cell.writer) dbStreamCloseWrite(cell.writer);
        cell.writer = nullptr;
    }
}

} // namespace tracemill
