// Device coordinates: what the output hooks receive, 32-bit integers.
#pragma once

#include <cstdint>

namespace tracemill {

struct DevicePoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

// The nearest integer (halves away from zero), clamped to the 32-bit range; NaN gives 0.
// Every double that becomes a device coordinate goes through here, so that far-away or
// damaged geometry can never make the conversion undefined.
int32_t dbDeviceCoordinate(double value);

// The same truncated toward zero, as clipped lines and fills take their points (inline: every
// point of a pass goes through it).
inline int32_t dbDeviceCoordinateTruncated(double value) {
    if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;  // NaN gives 0
    if (value >= 2147483647.0) return INT32_MAX;
    return int32_t(value);
}

} // namespace tracemill
