// The null hook set: passes that only settle the view draw nothing and load no picture.
#include "app/render/gdi_hook_primitives.h"
#include "app/render/hook_sets.h"

namespace tracemill {

void IgnorePoint(int32_t, int32_t, HostWord) {}
void IgnorePolygon(PointRange, const DevicePoint*, HostWord) {}
void IgnorePolyPolygon(const DevicePoint*, const int32_t*, int32_t, HostWord) {}
int16_t IgnoreColor(int16_t colour, HostWord) { return colour; }
void IgnoreLineWidth(int32_t, HostWord) {}
void IgnoreRasterData(const uint8_t*, uint32_t, HostWord) {}
void RefuseRasterImage(const char*, PagedStream*& picture, HostWord) { picture = nullptr; }

void InstallColourlessPictureHooks() {
    dbSetColorHook(IgnoreColor);
    dbSetLineWidthHook(IgnoreLineWidth);
    dbSetRasterImageHook(RefuseRasterImage);
    dbSetHook17(IgnoreRasterData);
    dbSetPictureHook(nullptr);
}

void InstallNullHooks() {
    dbSetMoveToHook(IgnorePoint);
    dbSetLineToHook(IgnorePoint);
    dbSetPolygonHook(IgnorePolygon);
    dbSetPolyPolygonHook(IgnorePolyPolygon);
    InstallColourlessPictureHooks();
}

} // namespace tracemill
