#include "toolkit/display/display_list_replay.h"

#include <algorithm>

#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/display_list.h"
#include "toolkit/display/display_list_code.h"
#include "toolkit/display/display_list_host_records.h"
#include "toolkit/display/display_list_output.h"
#include "toolkit/display/scratch_buffer.h"

namespace tracemill {
namespace {

// The work buffer a replay starts with, in bytes.
constexpr size_t kWorkBufferSize = 16384;
constexpr int64_t kProgressSteps = 20;

struct Replay {
    Drawing* drawing;
    DisplayList& list;
    OutputHookTable& table;
    int32_t colour = kDlistNoState; // what the host was last sent
    int32_t width = kDlistNoState;
    bool colourSent = false;
    bool widthSent = false;
};

void replayState(Replay& r, const DlistRecord& record) {
    HostWord host = r.drawing->hostContext;
    if (record.hasColour && (!r.colourSent || record.colour != r.colour)) {
        r.colour = record.colour;
        r.colourSent = true;
        genDlistCallHost(r.list, r.table.hostColor, int16_t(record.colour), host);
    }
    if (record.hasWidth && (!r.widthSent || record.width != r.width)) {
        r.width = record.width;
        r.widthSent = true;
        genDlistCallHost(r.list, r.table.hostLineWidth, record.width, host);
    }
}

// Reads the loops of a fill up to its closing bracket: each loop a move and its lines, the
// line back to its first point left out. false when the cell's bytes end first or hold
// something else inside the brackets.
bool readFill(Replay& r, const uint8_t*& p, const uint8_t* end, int32_t& lastX, int32_t& lastY,
              uint8_t bracket) {
    DisplayListScratch& scratch = r.list.scratch;
    scratch.replayed.clear();
    scratch.replayedCounts.clear();
    DlistRecord record;
    while (genDlistDecode(p, end, lastX, lastY, record)) {
        const bool closing =
            record.kind == (bracket == kDlistPolygon ? DlistRecord::Kind::PolygonBracket
                                                     : DlistRecord::Kind::PolyPolygonBracket);
        if (closing || record.kind == DlistRecord::Kind::Move) {
            // The loop that ends here gives up its last point, the line back to its start.
            if (!scratch.replayedCounts.empty() && scratch.replayedCounts.back() > 0) {
                scratch.replayed.pop_back();
                --scratch.replayedCounts.back();
            }
            if (closing) return true;
            if (!genBufferReserve(scratch.replayedCounts, scratch.replayedCounts.size() + 1)) return false;
            scratch.replayedCounts.push_back(0);
        } else if (record.kind != DlistRecord::Kind::Line || scratch.replayedCounts.empty()) {
            return false;
        }
        if (!genBufferReserve(scratch.replayed, scratch.replayed.size() + 1)) return false;
        scratch.replayed.push_back({record.x, record.y});
        ++scratch.replayedCounts.back();
    }
    return false;
}

// Replays one cell's records; false when the pass is to stop.
bool replayCell(Replay& r, const std::vector<uint8_t>& bytes, int64_t& done, int64_t total, int64_t step,
                int64_t& nextStep) {
    HostWord host = r.drawing->hostContext;
    const uint8_t* const start = bytes.data();
    const uint8_t* p = start;
    const uint8_t* const end = start + bytes.size();
    int32_t lastX = kDlistNoPoint, lastY = kDlistNoPoint;
    DlistRecord record;
    while (r.table.walkContinue != 0) {
        const int32_t fromX = lastX, fromY = lastY;
        if (!genDlistDecode(p, end, lastX, lastY, record)) break;
        switch (record.kind) {
        case DlistRecord::Kind::State:
            replayState(r, record);
            break;
        case DlistRecord::Kind::Move:
            break;
        case DlistRecord::Kind::Line:
            genDlistSendLine(r.list, fromX, fromY, record.x, record.y, host);
            if (r.table.refresh) genRefreshTick(r.drawing);
            break;
        case DlistRecord::Kind::PolygonBracket:
        case DlistRecord::Kind::PolyPolygonBracket: {
            const bool holes = record.kind == DlistRecord::Kind::PolyPolygonBracket;
            if (!readFill(r, p, end, lastX, lastY, holes ? kDlistPolyPolygon : kDlistPolygon)) {
                p = end;
                break;
            }
            genDlistSendFill(r.list, r.list.scratch.replayed.data(), r.list.scratch.replayedCounts.data(),
                             int32_t(r.list.scratch.replayedCounts.size()), holes, host);
            genRefreshTick(r.drawing);
            break;
        }
        case DlistRecord::Kind::HostRecord:
            genDlistSendHostRecord(r.list, record.hostKind, record.host, record.hostSize, host);
            genRefreshTick(r.drawing);
            break;
        }
        const int64_t replayed = done + (p - start);
        if (replayed >= nextStep) {
            if (r.table.progress) r.table.progress(int32_t(replayed * 100 / total), host);
            nextStep = (replayed / step + 1) * step;
        }
    }
    done += int64_t(bytes.size());
    return r.table.walkContinue != 0;
}

} // namespace

void genDlistReplay(Drawing* drawing) {
    DisplayList* list = genDisplayListOf(drawing);
    OutputHookTable* table = gOutputHookTable;
    if (!list || !table) return;
    DlistCellSet selected;
    genDlistSelectCells(list->windowX0, list->windowY0, list->windowX0 + list->windowWidth,
                        list->windowY0 + list->windowHeight, selected);
    int64_t total = 0;
    for (int cell = 0; cell < kDlistCellCount; ++cell) {
        if (selected[size_t(cell)]) total += dbStreamSizeOf(list->cells[size_t(cell)].stream);
    }
    const int64_t step = std::max<int64_t>(total / kProgressSteps, 1);

    DisplayListScratch& scratch = list->scratch;
    if (!genBufferEnsure(scratch.replayed, kWorkBufferSize / sizeof(DevicePoint))) {
        dbNotifyError(kErrorReasonNoMemory);
        return;
    }
    list->hostPen = {kPenPositionUnset, kPenPositionUnset};
    list->raster = {};
    Replay replay{drawing, *list, *table};
    int64_t done = 0, nextStep = step;
    for (uint8_t cell : kDlistReplayOrder) {
        const PagedStream* stream = list->cells[cell].stream;
        if (!selected[cell] || !stream || stream->bytes.empty()) continue;
        if (!replayCell(replay, stream->bytes, done, total, step, nextStep)) break;
    }
    if (table->progress) table->progress(100, drawing->hostContext);
}

} // namespace tracemill
