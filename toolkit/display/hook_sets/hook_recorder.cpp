#include "toolkit/display/hook_sets/hook_recorder.h"

#include <charconv>

#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/entity_begin_info.h"
#include "toolkit/display/hook_sets/hook_set.h"

namespace tracemill {
namespace {

HookRecorder* gRecorder = nullptr;

std::string number(int64_t value) {
    char buffer[24];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string pointList(const DevicePoint* points, int32_t first, int32_t last) {
    std::string text;
    for (int32_t i = first; i <= last; ++i) text += " " + number(points[i].x) + "," + number(points[i].y);
    return text;
}

void record(std::string line) {
    if (gRecorder) gRecorder->add(std::move(line));
}

void moveTo(int32_t x, int32_t y, HostWord) { record("moveTo " + number(x) + " " + number(y)); }
void lineTo(int32_t x, int32_t y, HostWord) { record("lineTo " + number(x) + " " + number(y)); }
void polygon(PointRange range, const DevicePoint* points, HostWord) {
    record("polygon" + pointList(points, range.first, range.last));
}
void polyPolygon(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord) {
    std::string line = "polyPolygon";
    int32_t first = 0;
    for (int32_t i = 0; i < polygonCount; ++i) {
        line += (i ? " |" : "") + pointList(points, first, first + counts[i] - 1);
        first += counts[i];
    }
    record(line);
}
void triangleStrip(const DevicePoint* points, int32_t count, HostWord) {
    record("triangleStrip" + pointList(points, 0, count - 1));
}
int16_t color(int16_t colour, HostWord) {
    record("color " + number(colour));
    return colour;
}
void progress(int32_t percent, HostWord) { record("progress " + number(percent)); }
void refresh(HostWord) { record("refresh"); }
void xrefMissing(const char* name, HostWord) { record(std::string("xrefMissing ") + name); }
void xrefOpen(std::string& name, const XrefReference&, HostWord) { record("xrefOpen " + name); }
void xrefOpened(Drawing* drawing, HostWord) { record("xrefOpened " + drawing->filePath); }
void xrefDone(Drawing* drawing, HostWord) { record("xrefDone " + drawing->filePath); }
void entityBegin(const EntityBeginInfo& info, HostWord) {
    record("entityBegin " + dbHandleToHex(info.entity->header.handle) + " colour " + number(info.colour) + " lineweight " +
           number(info.lineweight));
}
void rasterImage(const RasterImageInfo&, int32_t& accept, HostWord) {
    accept = 0;
    record("rasterImage");
}
void rasterData(const int32_t*, int32_t count, HostWord) { record("rasterData " + number(count)); }
void picture(const PictureRecord&, HostWord) { record("picture"); }
void fillRecord(const FillRecord&, HostWord) { record("fillRecord"); }
void clippedImage(const RasterImageInfo&, const RasterImageData&, HostWord) { record("clippedImage"); }
void oleData(PagedStream*, const OleObjectInfo&, HostWord) { record("oleData"); }
void lineWidth(int32_t width, HostWord) { record("lineWidth " + number(width)); }

} // namespace

HookRecorder::~HookRecorder() { uninstall(); }

void HookRecorder::install() {
    gRecorder = this;
    installed_ = true;
    dbInstallHookSet({moveTo, lineTo, polygon, polyPolygon, triangleStrip, color, progress, refresh, xrefMissing,
                      xrefOpen, xrefOpened, xrefDone, entityBegin, rasterImage, rasterData, picture, fillRecord,
                      clippedImage, oleData, lineWidth});
}

void HookRecorder::uninstall() {
    if (!installed_) return;
    installed_ = false;
    if (gRecorder == this) gRecorder = nullptr;
    dbRemoveHookSet();
}

std::vector<std::string> HookRecorder::linesOf(std::string_view slot) const {
    std::vector<std::string> found;
    for (const std::string& line : lines_) {
        if (line.size() >= slot.size() && line.compare(0, slot.size(), slot) == 0 &&
            (line.size() == slot.size() || line[slot.size()] == ' '))
            found.push_back(line);
    }
    return found;
}

} // namespace tracemill
