// The growable point arrays in which the HP-GL/2, EPS and CGM devices collect a polyline
// before they write it. A point equal to the last one is not stored again.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "app/render/devices/output_device.h"

namespace tracemill::render {

// A device point kept as two 16-bit integers (CGM's integer coordinates).
struct ShortPoint {
    int16_t x = 0;
    int16_t y = 0;
    friend bool operator==(const ShortPoint&, const ShortPoint&) = default;
};

template <typename Point>
class BasicPointBuffer {
public:
    using PointType = Point;
    using Coordinate = decltype(Point::x);

    // Appends (x, y) unless it equals the last point exactly.
    void AddPoint(Coordinate x, Coordinate y) {
        if (count_ > 0 && data_[count_ - 1].x == x && data_[count_ - 1].y == y) return;
        Reserve(1);
        data_[count_++] = Point{x, y};
    }

    // Makes room for n more points: when count + n reaches the capacity, it grows by 4 for
    // fewer than 5 points and by n + 4 otherwise; from 64 points on it at least doubles, so a
    // long polyline costs linear time, not quadratic.
    void Reserve(uint32_t n) {
        if (uint64_t(count_) + n < capacity_) return;
        uint64_t grown = uint64_t(capacity_) + (n < 5 ? 4 : uint64_t(n) + 4);
        if (capacity_ >= kDoublingCapacity) grown = std::max(grown, uint64_t(capacity_) * 2);
        if (grown > UINT32_MAX) throw std::bad_alloc();
        auto block = std::make_unique<Point[]>(grown);
        if (count_ > 0) std::memcpy(block.get(), data_.get(), count_ * sizeof(Point));
        data_ = std::move(block);
        capacity_ = uint32_t(grown);
    }

    void Clear() {
        data_.reset();
        count_ = 0;
        capacity_ = 0;
    }

    uint32_t Count() const { return count_; }
    uint32_t Capacity() const { return capacity_; }
    const Point* Data() const { return data_.get(); }
    const Point& operator[](uint32_t i) const { return data_[i]; }
    const Point& Last() const { return data_[count_ - 1]; }

private:
    static constexpr uint32_t kDoublingCapacity = 64;
    std::unique_ptr<Point[]> data_;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
};

using PointBuffer = BasicPointBuffer<DevicePoint>;
using ShortPointBuffer = BasicPointBuffer<ShortPoint>;

// A real pen change inside a polyline: `flush` writes the points so far with the old pen
// (and empties the buffer), and the next polyline starts at their last point.
template <typename Buffer, typename Flush>
void RestartPolylineAtLastPoint(Buffer& buffer, Flush&& flush) {
    const bool hasPoint = buffer.Count() > 0;
    const typename Buffer::PointType last = hasPoint ? buffer.Last() : typename Buffer::PointType{};
    flush();
    if (hasPoint) buffer.AddPoint(last.x, last.y);
}

} // namespace tracemill::render
