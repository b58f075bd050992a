// c_Interval: a parameter range whose bounds may each be absent (infinite).
#pragma once

#include <iosfwd>

namespace tracemill {

class c_Interval {
public:
    c_Interval() = default;
    c_Interval(double lower, double upper) : mHasLower(true), mHasUpper(true), mLower(lower), mUpper(upper) {}

    // The bound through `value` (0.0 when absent); the result tells whether it is present.
    bool lower(double& value) const {
        value = mLower;
        return mHasLower;
    }
    bool upper(double& value) const {
        value = mUpper;
        return mHasUpper;
    }
    void setLower(double value) {
        mHasLower = true;
        mLower = value;
    }
    void setUpper(double value) {
        mHasUpper = true;
        mUpper = value;
    }

    // Each bound as "F " + value + " " when present, else "I ".
    void print(std::ostream& out) const;

private:
    bool mHasLower = false;
    bool mHasUpper = false;
    double mLower = 0.0;
    double mUpper = 0.0;
};

} // namespace tracemill
