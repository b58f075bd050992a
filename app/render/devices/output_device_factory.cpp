#include <new>

#include "app/render/devices/output_device.h"
#include "app/render/devices/svg_device.h"

namespace tracemill::render {

std::unique_ptr<COutputDevice> CreateOutputDevice(int formatId) {
    switch (formatId) {
    case kFormatSvg:
        return std::unique_ptr<COutputDevice>(new (std::nothrow) CSvgDevice(false));
    case kFormatSvgz:
        return std::unique_ptr<COutputDevice>(new (std::nothrow) CSvgDevice(true));
    default:
        return nullptr;
    }
}

} // namespace tracemill::render
