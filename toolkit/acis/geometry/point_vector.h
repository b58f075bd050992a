// aPoint and aVector: the kernel's position and direction, three doubles each, used by value
// everywhere in the solids kernel.
#pragma once

#include <iosfwd>
#include <span>

namespace tracemill {

class aPoint;

class aVector {
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr aVector() = default;
    constexpr aVector(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    explicit constexpr aVector(const double (&xyz)[3]) : x(xyz[0]), y(xyz[1]), z(xyz[2]) {}
    explicit aVector(const aPoint& p);

    aVector cross(const aVector& b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - b.x * y}; }
    double dot(const aVector& b) const { return x * b.x + y * b.y + z * b.z; }

    aVector operator+(const aVector& b) const { return {x + b.x, y + b.y, z + b.z}; }
    aVector operator-(const aVector& b) const { return {x - b.x, y - b.y, z - b.z}; }
    aVector operator-() const { return {-x, -y, -z}; }
    aVector operator*(double s) const { return {s * x, s * y, s * z}; }
    // No test for s = 0: the caller's responsibility.
    aVector operator/(double s) const { return {x / s, y / s, z / s}; }
    aVector operator+=(const aVector& b) {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }

    double lengthSquared() const { return x * x + y * y + z * z; }
    double length() const;
    // Divides by the length unless it is at most BasicDistanceTol; returns the length.
    double normalize();
    // out = this vector normalised (as normalize); returns the length.
    double unitVector(aVector& out) const;
    // 0, 1, 2 give x, y, z; -1 (the homogeneous coordinate of a direction) and any other
    // index give 0.0.
    double component(int index) const;

    // Components within t of 0 become 0, within t of +-1 become +-1.
    void snapToAxes(double t);
    // A vector perpendicular to this one, chosen by the component of smallest magnitude; not
    // normalised.
    aVector perpendicular() const;
    // For this unit direction d: parallel = (a.d) d, perpendicular = a - parallel.
    void decompose(const aVector& a, aVector& parallel, aVector& perpendicularPart) const;

    // Parallel or antiparallel within BasicUnitTol.
    static bool parallelTo(const aVector& a, const aVector& b);
    // Makes (u, v, w) a right-handed orthonormal frame with third axis w and first axis as
    // close to the given u as possible.
    static void completeFrame(aVector& u, aVector& v, aVector& w);

    friend bool operator==(const aVector&, const aVector&) = default;
};

inline aVector operator*(double s, const aVector& v) { return v * s; }
std::ostream& operator<<(std::ostream& out, const aVector& v);

class aPoint {
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr aPoint() = default;
    constexpr aPoint(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    explicit constexpr aPoint(const aVector& v) : x(v.x), y(v.y), z(v.z) {}

    // From (X, Y, Z, W): divided by W unless |W| <= BasicDistanceTol.
    static aPoint fromHomogeneous(const float (&xyzw)[4]);
    // (w x, w y, w z, w).
    void toHomogeneous(double w, float (&xyzw)[4]) const;

    // 0, 1, 2 give x, y, z; -1 (the homogeneous coordinate of a point) gives 1.0; any other
    // index 0.0.
    double component(int index) const;
    double distanceSquared(const aPoint& other) const;
    double distance(const aPoint& other) const;
    // Closer than coincTol (strictly).
    bool coincident(const aPoint& other) const;

    // Appends p to array[0..count) unless the array is full or p coincides with a point in it.
    static void addUnique(const aPoint& p, std::span<aPoint> array, int& count);
    static double getCoincidenceTolerance();
    // A negative value is ignored.
    static void setCoincidenceTolerance(double tolerance);

    aPoint operator+(const aVector& v) const { return {x + v.x, y + v.y, z + v.z}; }
    aPoint operator-(const aVector& v) const { return {x - v.x, y - v.y, z - v.z}; }
    aVector operator-(const aPoint& p) const { return {x - p.x, y - p.y, z - p.z}; }
    aPoint operator+=(const aVector& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }

    friend bool operator==(const aPoint&, const aPoint&) = default;
};

std::ostream& operator<<(std::ostream& out, const aPoint& p);

// The shared constants.
inline constexpr aVector kXAxis{1.0, 0.0, 0.0};
inline constexpr aVector kYAxis{0.0, 1.0, 0.0};
inline constexpr aVector kZAxis{0.0, 0.0, 1.0};
inline constexpr aVector kZeroVector{0.0, 0.0, 0.0};
inline constexpr aPoint kOrigin{0.0, 0.0, 0.0};
inline constexpr aPoint kUnitPointX{1.0, 0.0, 0.0};
inline constexpr aPoint kUnitPointY{0.0, 1.0, 0.0};
inline constexpr aPoint kUnitPointZ{0.0, 0.0, 1.0};

// True when every coordinate is finite.
bool isFinite(const aVector& v);
bool isFinite(const aPoint& p);

} // namespace tracemill
