#include "toolkit/display/hook_sets/hook_recorder.h"

#include <charconv>

#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/entity_begin_info.h"
#include "toolkit/display/fill_records.h"
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

void record(int slot, std::string line) {
    if (gRecorder) gRecorder->add(slot, std::move(line));
}

void moveTo(int32_t x, int32_t y, HostWord) { record(kMoveTo, "moveTo " + number(x) + " " + number(y)); }
void lineTo(int32_t x, int32_t y, HostWord) { record(kLineTo, "lineTo " + number(x) + " " + number(y)); }
void polygon(PointRange range, const DevicePoint* points, HostWord) {
    record(kPolygon, "polygon" + pointList(points, range.first, range.last));
}
void polyPolygon(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord) {
    std::string line = "polyPolygon";
    int32_t first = 0;
    for (int32_t i = 0; i < polygonCount; ++i) {
        line += (i ? " |" : "") + pointList(points, first, first + counts[i] - 1);
        first += counts[i];
    }
    record(kPolyPolygon, line);
}
void triangleStrip(const DevicePoint* points, int32_t count, HostWord) {
    record(kTriangleStrip, "triangleStrip" + pointList(points, 0, count - 1));
}
int16_t color(int16_t colour, HostWord) {
    record(kColor, "color " + number(colour));
    return colour;
}
void progress(int32_t percent, HostWord) { record(kProgress, "progress " + number(percent)); }
void refresh(HostWord) { record(kRefresh, "refresh"); }
void xrefMissing(const char* name, HostWord) { record(kXrefMissing, std::string("xrefMissing ") + name); }
void xrefOpen(std::string& name, const XrefReference&, HostWord) { record(kXrefOpen, "xrefOpen " + name); }
void xrefOpened(Drawing* drawing, HostWord) { record(kXrefOpened, "xrefOpened " + drawing->filePath); }
void xrefDone(Drawing* drawing, HostWord) { record(kXrefDone, "xrefDone " + drawing->filePath); }
void entityBegin(const EntityBeginInfo& info, HostWord) {
    const std::string kind = dbHookKindName(*info.entity);
    record(kEntityBegin, "entityBegin " + dbHandleToHex(info.entity->header.handle) + " colour " + number(info.colour) +
                             " lineweight " + number(info.lineweight) + " kind " + kind + " linetype " +
                             (info.linetype && !info.linetype->name.empty() ? info.linetype->name : "-") +
                             " plotStyle " +
                             (info.plotStyle && !info.plotStyle->name.empty() ? info.plotStyle->name : "-"));
}
// Offers no picture: the image is framed.
void rasterImage(const char* fileName, PagedStream*&, HostWord) {
    record(kRasterImage, std::string("rasterImage ") + fileName);
}
void rasterData(const uint8_t*, uint32_t byteCount, HostWord) { record(kRasterData, "rasterData " + number(byteCount)); }
void picture(const PictureRecord& picture, HostWord) {
    std::string line = "picture";
    for (int32_t v : picture.rect) line += " " + number(v);
    line += " bytes " + number(dbStreamSizeOf(picture.picture)) + pointList(picture.points, 0, picture.pointCount - 1);
    record(kPicture, line);
}
void fillRecord(const FillRecord&, HostWord) { record(kFillRecord, "fillRecord"); }
void clippedImage(const RasterImageInfo&, const RasterImageData&, HostWord) { record(kClippedImage, "clippedImage"); }
void oleData(PagedStream* data, OleObjectInfo&, HostWord) { record(kOleData, "oleData " + number(dbStreamSizeOf(data))); }
void lineWidth(int32_t width, HostWord) { record(kLineWidth, "lineWidth " + number(width)); }

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

void HookRecorder::add(int slot, std::string line) {
    if (out_) {
        std::fprintf(out_, "%d %s\n", slot, line.c_str());
        return;
    }
    lines_.push_back(std::move(line));
    slots_.push_back(slot);
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

std::vector<std::string> HookRecorder::stream() const {
    std::vector<std::string> out;
    out.reserve(lines_.size());
    for (size_t i = 0; i < lines_.size(); ++i) out.push_back(number(slots_[i]) + " " + lines_[i]);
    return out;
}

} // namespace tracemill
