#include <new>

#include "app/render/devices/cgm_device.h"
#include "app/render/devices/eps_device.h"
#include "app/render/devices/hpgl_device.h"
#include "app/render/devices/output_device.h"
#include "app/render/devices/svg_device.h"

namespace tracemill::render {

std::unique_ptr<COutputDevice> CreateOutputDevice(int formatId) {
    switch (formatId) {
    case kFormatSvg:
        return std::unique_ptr<COutputDevice>(new (std::nothrow) CSvgDevice(false));
    case kFormatSvgz:
        return std::unique_ptr<COutputDevice>(new (std::nothrow) CSvgDevice(true));
    case kFormatPlt:
    case kFormatHgl:
        return std::unique_ptr<COutputDevice>(new (std::nothrow) CHpglDevice);
    case kFormatCgm:
        return std::unique_ptr<COutputDevice>(new (std::nothrow) CCgmDevice);
    case kFormatEps:
        return std::unique_ptr<COutputDevice>(new (std::nothrow) CEpsDevice);
    default:
        return nullptr;
    }
}

} // namespace tracemill::render
