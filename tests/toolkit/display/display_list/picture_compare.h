// Pictures as the recording hook set receives them, and the comparison of two of them: every
// point of one lies within a tolerance of what the other draws in the same colour.
#pragma once

#include <charconv>
#include <cmath>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/display/display_context.h"

namespace tracemill::test {

struct PictureSegment {
    int colour = 0;
    Point2 a, b;
};

// What a host drew: strokes, and the outlines of its fills (each loop a closed run of segments).
struct Picture {
    std::vector<PictureSegment> strokes;
    std::vector<PictureSegment> fillEdges;
    size_t fills = 0;
};

namespace picture_detail {

inline std::vector<Point2> pointsOf(std::string_view text) {
    std::vector<Point2> points;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == ' ')
            ++at;
        if (at >= text.size() || text[at] == '|') break;
        int x = 0, y = 0;
        auto [p, e] = std::from_chars(text.data() + at, text.data() + text.size(), x);
        if (e != std::errc() || *p != ',') break;
        auto [q, f] = std::from_chars(p + 1, text.data() + text.size(), y);
        if (f != std::errc()) break;
        points.push_back({double(x), double(y)});
        at = size_t(q - text.data());
    }
    return points;
}

inline void addLoop(Picture& picture, int colour, const std::vector<Point2>& loop) {
    for (size_t i = 0; i < loop.size(); ++i)
        picture.fillEdges.push_back({colour, loop[i], loop[(i + 1) % loop.size()]});
}

inline double distanceToSegment(const Point2& p, const Point2& a, const Point2& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Segments sorted into square buckets, per colour, for near-point queries.
class SegmentIndex {
  public:
    SegmentIndex(const std::vector<PictureSegment>& segments, double reach)
        : segments_(segments), reach_(reach) {
        for (size_t i = 0; i < segments.size(); ++i) {
            const PictureSegment& s = segments[i];
            const int x0 = cell(std::fmin(s.a.x, s.b.x) - reach), x1 = cell(std::fmax(s.a.x, s.b.x) + reach);
            const int y0 = cell(std::fmin(s.a.y, s.b.y) - reach), y1 = cell(std::fmax(s.a.y, s.b.y) + reach);
            for (int y = y0; y <= y1; ++y) {
                for (int x = x0; x <= x1; ++x)
                    buckets_[key(s.colour, x, y)].push_back(i);
            }
        }
    }
    bool near(int colour, const Point2& p) const {
        const auto found = buckets_.find(key(colour, cell(p.x), cell(p.y)));
        if (found == buckets_.end()) return false;
        for (size_t i : found->second) {
            if (distanceToSegment(p, segments_[i].a, segments_[i].b) <= reach_) return true;
        }
        return false;
    }

  private:
    static constexpr double kBucket = 16.0;
    static int cell(double v) { return int(std::floor(v / kBucket)); }
    static uint64_t key(int colour, int x, int y) {
        return (uint64_t(uint32_t(colour)) << 48) ^ (uint64_t(uint32_t(x) & 0xFFFFFF) << 24) ^
               (uint32_t(y) & 0xFFFFFF);
    }
    const std::vector<PictureSegment>& segments_;
    double reach_;
    std::unordered_map<uint64_t, std::vector<size_t>> buckets_;
};

inline void strays(const std::vector<PictureSegment>& from, const std::vector<PictureSegment>& to,
                   const HostRect& device, double tolerance, double margin, const char* what,
                   std::vector<std::string>& out) {
    const SegmentIndex index(to, tolerance);
    auto inside = [&](const Point2& p) {
        return p.x > device.left + margin && p.x < device.right - margin && p.y > device.top + margin &&
               p.y < device.bottom - margin;
    };
    for (const PictureSegment& s : from) {
        const double length = std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
        const int steps = int(std::ceil(length / 4.0));
        for (int k = 0; k <= steps; ++k) {
            const double t = steps ? double(k) / steps : 0.0;
            const Point2 p{s.a.x + (s.b.x - s.a.x) * t, s.a.y + (s.b.y - s.a.y) * t};
            if (!inside(p) || index.near(s.colour, p)) continue;
            out.push_back(std::string(what) + " colour " + std::to_string(s.colour) + " " +
                          std::to_string(s.a.x) + "," + std::to_string(s.a.y) + " " + std::to_string(s.b.x) +
                          "," + std::to_string(s.b.y) + " at " + std::to_string(p.x) + "," +
                          std::to_string(p.y));
            break;
        }
    }
}

} // namespace picture_detail

// The picture of recorded hook lines: strokes from move-to and line-to, fill outlines from
// polygons, poly-polygons and triangle strips, each in the colour last set.
inline Picture pictureOf(const std::vector<std::string>& lines) {
    Picture picture;
    int colour = 0;
    Point2 pen{0.0, 0.0};
    for (const std::string& line : lines) {
        const std::string_view text(line);
        const size_t space = text.find(' ');
        const std::string_view name = text.substr(0, space);
        const std::string_view rest =
            space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (name == "color") {
            std::from_chars(rest.data(), rest.data() + rest.size(), colour);
        } else if (name == "moveTo" || name == "lineTo") {
            int x = 0, y = 0;
            auto [p, e] = std::from_chars(rest.data(), rest.data() + rest.size(), x);
            std::from_chars(p + 1, rest.data() + rest.size(), y);
            const Point2 to{double(x), double(y)};
            if (name == "lineTo") picture.strokes.push_back({colour, pen, to});
            pen = to;
        } else if (name == "polygon") {
            picture_detail::addLoop(picture, colour, picture_detail::pointsOf(rest));
            ++picture.fills;
        } else if (name == "polyPolygon") {
            size_t at = 0;
            while (at <= rest.size()) {
                const size_t bar = rest.find('|', at);
                const std::string_view loop =
                    rest.substr(at, bar == std::string_view::npos ? std::string_view::npos : bar - at);
                picture_detail::addLoop(picture, colour, picture_detail::pointsOf(loop));
                if (bar == std::string_view::npos) break;
                at = bar + 1;
            }
            ++picture.fills;
        } else if (name == "triangleStrip") {
            const std::vector<Point2> points = picture_detail::pointsOf(rest);
            for (size_t i = 0; i + 2 < points.size(); ++i) {
                picture_detail::addLoop(picture, colour, {points[i], points[i + 1], points[i + 2]});
                ++picture.fills;
            }
        }
    }
    return picture;
}

// The strokes and fill edges of `a` that have a point farther than `tolerance` from every stroke
// (fill edge) of the same colour in `b`, one line each; points within `margin` of the device's
// edge are not judged (where a line is clipped the two pictures may cut it apart along the edge).
inline std::vector<std::string> strayPoints(const Picture& a, const Picture& b, const HostRect& device,
                                            double tolerance, double margin) {
    std::vector<std::string> out;
    picture_detail::strays(a.strokes, b.strokes, device, tolerance, margin, "stroke", out);
    picture_detail::strays(a.fillEdges, b.fillEdges, device, tolerance, margin, "fill edge", out);
    return out;
}

} // namespace tracemill::test
