#include "toolkit/display/hook_sets/hook_counter.h"

#include <string>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/display/entity_begin_info.h"
#include "toolkit/display/hook_sets/hook_set.h"

namespace tracemill {
namespace {

HookCounter* gCounter = nullptr;

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
void entityBegin(const EntityBeginInfo& info, HostWord) {
    count(kEntityBegin);
    if (gCounter) gCounter->beginKind(*info.entity);
}
void rasterImage(const char*, PagedStream*&, HostWord) { count(kRasterImage); }
void rasterData(const uint8_t*, uint32_t, HostWord) { count(kRasterData); }
void picture(const PictureRecord&, HostWord) { count(kPicture); }
void fillRecord(const FillRecord&, HostWord) { count(kFillRecord); }
void clippedImage(const RasterImageInfo&, const RasterImageData&, HostWord) { count(kClippedImage); }
void oleData(PagedStream*, OleObjectInfo&, HostWord) { count(kOleData); }
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

void HookCounter::add(int slot) {
    ++counts_[size_t(slot)];
    if (!current_) return;
    if (slot == kLineTo) ++current_->lines;
    if (slot == kPolygon || slot == kPolyPolygon || slot == kTriangleStrip) ++current_->fills;
    if (slot == kRasterData) ++current_->raster;
}

void HookCounter::beginKind(const EntityRecord& entity) {
    const uint16_t type = entity.header.type;
    if (type < fixedKinds_.size() && !dbEntityTypeName(type).empty())
        current_ = &fixedKinds_[type];
    else
        current_ = &classKinds_[dbHookKindName(entity)];
    ++current_->entities;
}

void HookCounter::clear() {
    counts_ = {};
    fixedKinds_ = {};
    classKinds_.clear();
    current_ = nullptr;
}

std::map<std::string, KindCount> HookCounter::kinds() const {
    std::map<std::string, KindCount> out = classKinds_;
    for (size_t type = 0; type < fixedKinds_.size(); ++type) {
        if (fixedKinds_[type].entities) out[std::string(dbEntityTypeName(uint16_t(type)))] = fixedKinds_[type];
    }
    return out;
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
