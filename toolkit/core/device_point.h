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

// The same truncated toward zero, as clipped lines and fills take their points.
int32_t dbDeviceCoordinateTruncated(double value);

} // namespace tracemill
