#include "toolkit/display/hook_sets/hook_counter.h"

#include "toolkit/display/hook_sets/hook_set.h"

namespace tracemill {
namespace {

HookCounter* gCounter = nullptr;

enum Slot : int {
    kMoveTo = 0, kLineTo = 1, kPolygon = 2, kPolyPolygon = 3, kTriangleStrip = 4, kColor = 5, kProgress = 6,
    kRefresh = 7, kXrefMissing = 8, kXrefOpen = 11, kXrefOpened = 12, kXrefDone = 13, kEntityBegin = 15,
    kRasterImage = 16, kRasterData = 17, kPicture = 18, kFillRecord = 19, kClippedImage = 20, kOleData = 30,
    kLineWidth = 33,
};

void count(int slot) {
    if (gCounter) gCounter->add(slot);
}

void moveTo(int32_t, int32_t, HostWord) { count(kMoveTo); }
void lineTo(int32_t, int32_t, HostWord) { count(kLineTo); }
void polygon(PointRange, const DevicePoint*, HostWord) { count(kPolygon); }
void polyPolygon(const DevicePoint*, const int32_t*, int32_t, HostWord) { count(kPolyPolygon); }
void triangleStrip(const DevicePoint*, int32_t, HostWord) { count(kTriangleStrip); }
int16_t color(int16_t colour, HostWord) {
    count(kColor);
    return colour;
}
void progress(int32_t, HostWord) { count(kProgress); }
void refresh(HostWord) { count(kRefresh); }
void xrefMissing(const char*, HostWord) { count(kXrefMissing); }
void xrefOpen(std::string&, const XrefReference&, HostWord) { count(kXrefOpen); }
void xrefOpened(Drawing*, HostWord) { count(kXrefOpened); }
void xrefDone(Drawing*, HostWord) { count(kXrefDone); }
void entityBegin(const EntityBeginInfo&, HostWord) { count(kEntityBegin); }
void rasterImage(const RasterImageInfo&, int32_t& accept, HostWord) {
    accept = 0;
    count(kRasterImage);
}
void rasterData(const int32_t*, int32_t, HostWord) { count(kRasterData); }
void picture(const PictureRecord&, HostWord) { count(kPicture); }
void fillRecord(const FillRecord&, HostWord) { count(kFillRecord); }
void clippedImage(const RasterImageInfo&, const RasterImageData&, HostWord) { count(kClippedImage); }
void oleData(PagedStream*, const OleObjectInfo&, HostWord) { count(kOleData); }
void lineWidth(int32_t, HostWord) { count(kLineWidth); }

} // namespace

HookCounter::~HookCounter() { uninstall(); }

uint64_t HookCounter::primitives() const {
    uint64_t sum = 0;
    for (int slot : {kMoveTo, kLineTo, kPolygon, kPolyPolygon, kTriangleStrip, kRasterData, kPicture, kFillRecord,
                     kClippedImage, kOleData})
        sum += counts_[size_t(slot)];
    return sum;
}

void HookCounter::install() {
    gCounter = this;
    installed_ = true;
    dbInstallHookSet({moveTo, lineTo, polygon, polyPolygon, triangleStrip, color, progress, refresh, xrefMissing,
                      xrefOpen, xrefOpened, xrefDone, entityBegin, rasterImage, rasterData, picture, fillRecord,
                      clippedImage, oleData, lineWidth});
}

void HookCounter::uninstall() {
    if (!installed_) return;
    installed_ = false;
    if (gCounter == this) gCounter = nullptr;
    dbRemoveHookSet();
}

} // namespace tracemill
