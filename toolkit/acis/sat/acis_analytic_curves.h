// The analytic curve records: "straight-curve" (a line) and "ellipse-curve" (an ellipse).
// Both answer the point queries through the kernel curve they hold.
#pragma once

#include "toolkit/acis/geometry/ellipse.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/sat/acis_curve.h"

namespace tracemill {

// Root point and direction. Its parameter range is 0 to 1.
class acis_Straight final : public acis_Curve {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::StraightCurve; }
    acis_Straight() : acis_Curve(AcisKind::StraightCurve) {}

    const c_Line& line() const { return mLine; }

    bool contains(const aPoint& p) const override { return mLine.contains(p); }
    const c_Curve* kernelCurve() const override { return &mLine; }
    double getParameterOf(const aPoint& p) const override { return mLine.getParameterOf(p); }
    bool getPointAt(double t, aPoint& p) const override { return mLine.getPointAt(t, p); }
    bool isStraight() const override { return true; }
    double maxParam() const override { return 1.0; }
    double minParam() const override { return 0.0; }
    bool paramInInterval(double t, double lower, double upper, bool forward) const override {
        return mLine.paramInInterval(t, lower, upper, forward);
    }
    const char* typeName() const override { return "straight"; }
    aVector tangentAt(double t) const override;
    void readFields(satParser& parser) override;

private:
    c_Line mLine;
};

// Centre, normal, major axis and the ratio of the minor to the major axis. Closed, in the plane
// through its centre with its normal; its parameter range is -pi to pi.
class acis_Ellipse final : public acis_Curve {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::EllipseCurve; }
    acis_Ellipse();

    const c_Ellipse& ellipse() const { return mEllipse; }
    const aVector& normal() const { return mNormal; }
    const aVector& majorAxis() const { return mMajorAxis; }
    double ratio() const { return mRatio; }

    bool isClosed() const override { return true; }
    bool planeOf(c_Plane& plane) const override;
    bool contains(const aPoint& p) const override { return mEllipse.contains(p); }
    const c_Curve* kernelCurve() const override { return &mEllipse; }
    double getParameterOf(const aPoint& p) const override { return mEllipse.getParameterOf(p); }
    bool getPointAt(double t, aPoint& p) const override { return mEllipse.getPointAt(t, p); }
    double maxParam() const override;
    double minParam() const override;
    bool paramInInterval(double t, double lower, double upper, bool forward) const override {
        return mEllipse.paramInInterval(t, lower, upper, forward);
    }
    const char* typeName() const override { return "ellipse"; }
    aVector tangentAt(double t) const override { return mEllipse.tangentAt(t); }
    void readFields(satParser& parser) override;

private:
    c_Ellipse mEllipse;
    aVector mNormal{0.0, 0.0, 1.0};
    aVector mMajorAxis{1.0, 0.0, 0.0};
    double mRatio = 1.0;
};

} // namespace tracemill
