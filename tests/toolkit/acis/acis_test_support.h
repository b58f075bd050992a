// Shared pieces of the solids kernel tests: a fixture that resets the kernel's process-wide
// values and collects its messages, and seeded random frames.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "toolkit/acis/geometry/point_vector.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/kernel_state.h"

namespace tracemill::test {

inline constexpr double kPi = 3.14159265358979323846;

class AcisKernelTest : public ::testing::Test {
protected:
    void SetUp() override { acisResetKernelState(); }
    void TearDown() override { acisResetKernelState(); }

    KernelDiagnosticsCapture messages;
};

// A right-handed orthonormal frame about an origin.
struct Frame {
    aPoint origin;
    aVector u, v, w;
    aPoint at(double x, double y, double z) const { return origin + x * u + y * v + z * w; }
};

class RandomGeometry {
public:
    explicit RandomGeometry(std::uint64_t seed) : mRng(seed) {}

    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(mRng); }
    int integer(int low, int high) { return std::uniform_int_distribution<int>(low, high)(mRng); }

    aVector unitVector() {
        for (;;) {
            const aVector v(uniform(-1, 1), uniform(-1, 1), uniform(-1, 1));
            const double length = v.length();
            if (length > 0.2 && length <= 1.0) return v / length;
        }
    }

    aPoint point(double extent) { return {uniform(-extent, extent), uniform(-extent, extent), uniform(-extent, extent)}; }

    Frame frame(double extent) {
        Frame f;
        f.origin = point(extent);
        f.w = unitVector();
        aVector u = unitVector().cross(f.w);
        while (u.length() < 0.1) u = unitVector().cross(f.w);
        f.u = u / u.length();
        f.v = f.w.cross(f.u);
        return f;
    }

    std::mt19937_64& engine() { return mRng; }

private:
    std::mt19937_64 mRng;
};

inline void expectPointNear(const aPoint& actual, const aPoint& expected, double tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline void expectVectorNear(const aVector& actual, const aVector& expected, double tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

} // namespace tracemill::test
