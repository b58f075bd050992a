#include "toolkit/display/hatch/pattern_fill.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "toolkit/core/drawing.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/hatch/crossing_sort.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/viewport_selection.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
// A segment whose x values differ by less than this is vertical.
constexpr double kVerticalSegment = 1e-7;
// Angles and line crossings.
constexpr double kCrossingTolerance = 1e-6;
// A line whose slope is smaller than this is horizontal.
constexpr double kFlatSlope = 1e-6;

bool near(const Point2& p, const Point2& q) {
    return std::fabs(p.x - q.x) < kCrossingTolerance && std::fabs(p.y - q.y) < kCrossingTolerance;
}

bool between(double v, double a, double b) { return v >= std::min(a, b) && v <= std::max(a, b); }

Point2 along(const Point2& p, const HatchLine& line, double t) { return {p.x + t * line.cosine, p.y + t * line.sine}; }

// The dashes of one line, cut to the spans it draws, with the number of pieces left to it.
class DashWalk {
  public:
    DashWalk(const HatchLine& line, const std::vector<double>& dashes, double patternLength, const HatchPieceSink& sink)
        : line_(line), dashes_(dashes), patternLength_(patternLength), sink_(sink) {}

    void span(const Point2& from, const Point2& to) {
        if (budget_ <= 0) return;
        if (dashes_.empty()) {
            --budget_;
            sink_(from, to);
            return;
        }
        const double length = std::hypot(to.x - from.x, to.y - from.y);
        // Where the pattern stands at `from`: it starts at the line's point. Elements that end
        // at or before that are passed over.
        const double dx = from.x - line_.point.x, dy = from.y - line_.point.y;
        const double r = std::fmod(std::hypot(dx, dy), patternLength_);
        const bool ahead = dx * line_.cosine + dy * line_.sine > 0.0;
        double phase = ahead ? r : patternLength_ - r;
        const size_t n = dashes_.size();
        size_t j = 0;
        for (size_t skipped = 0; skipped < 2 * n && phase > 0.0 && std::fabs(dashes_[j]) <= phase; ++skipped) {
            phase -= std::fabs(dashes_[j]);
            j = (j + 1) % n;
        }
        double element = std::max(std::fabs(dashes_[j]) - std::max(phase, 0.0), 0.0);
        double at = 0.0;
        // Every element laid, dash or gap, counts against the line's budget.
        while (budget_-- > 0) {
            const double take = std::min(element, length - at);
            if (dashes_[j] >= 0.0) sink_(along(from, line_, at), at + take >= length ? to : along(from, line_, at + take));
            at += take;
            if (at >= length) return;
            j = (j + 1) % n;
            element = std::fabs(dashes_[j]);
        }
    }

  private:
    const HatchLine& line_;
    const std::vector<double>& dashes_;
    double patternLength_;
    const HatchPieceSink& sink_;
    int32_t budget_ = kHatchDashesPerLine;
};

// The crossings of one line with all paths, and the work of one pattern line's family.
struct PatternFamily {
    const std::vector<HatchSegments>& paths;
    const std::vector<std::vector<HatchLineEquation>>& equations;
    const std::vector<uint8_t>& pathFlags;
    const FillBox& box;
    int16_t style;
    const HatchPieceSink& sink;
    std::vector<Point2> crossings;
    std::vector<int32_t> crossingPaths;

    void drawLine(const HatchLine& line, const HatchPatternLine& pattern, double patternLength) {
        crossings.clear();
        crossingPaths.clear();
        for (size_t i = 0; i < paths.size(); ++i) {
            const HatchSegments& path = paths[i];
            for (size_t k = 0; k < path.size(); ++k) {
                Point2 hit;
                if (genIntersectHatchSegment(path[k], equations[i][k], line, hit)) {
                    crossings.push_back(hit);
                    crossingPaths.push_back(int32_t(i));
                }
            }
        }
        if (crossings.size() < 2) return;
        if (crossings.size() % 2) {
            crossings.pop_back();
            crossingPaths.pop_back();
        }
        // Along the line's direction: by y for vertical lines, else by x.
        const int axis = line.vertical ? 1 : 0;
        const bool ascending = line.vertical ? line.sine >= 0.0 : line.cosine >= 0.0;
        genSortCrossings(crossings.data(), int32_t(crossings.size()), crossingPaths.data(), axis, ascending);
        genHatchDrawLineSpans(line, crossings, crossingPaths, style, pathFlags, pattern.dashes, patternLength, sink);
    }

    void draw(const HatchPatternLine& pattern) {
        const double angle = pattern.angle;
        const Point2 base = pattern.base, offset = pattern.offset;
        if (!std::isfinite(angle) || !std::isfinite(base.x) || !std::isfinite(base.y) || !std::isfinite(offset.x) ||
            !std::isfinite(offset.y))
            return;
        double patternLength = 0.0;
        for (double dash : pattern.dashes) patternLength += std::fabs(dash);
        if (!pattern.dashes.empty() && !(patternLength > 0.0 && std::isfinite(patternLength))) return;

        HatchLine line;
        line.vertical = genIsVerticalAngle(angle);
        line.cosine = std::cos(angle);
        line.sine = std::sin(angle);
        line.slope = line.vertical ? 0.0 : std::tan(angle);
        // Distances across the lines, along the normal (-sin, cos).
        const double acrossOffset = offset.y * line.cosine - offset.x * line.sine;
        const double spacing = std::fabs(acrossOffset);
        if (!(spacing > 0.0) || !std::isfinite(spacing)) return;
        const Point2 centre{(box.minX + box.maxX) / 2.0, (box.minY + box.maxY) / 2.0};
        const double acrossBase = (base.y - centre.y) * line.cosine - (base.x - centre.x) * line.sine;
        // The number of steps from the base point to the line through the centre (one past it).
        double k = std::floor(std::fabs(acrossBase) / spacing) + 1.0;
        if (std::fabs(acrossBase + acrossOffset) > std::fabs(acrossBase)) k = -k;

        for (const double direction : {1.0, -1.0}) {
            double step = direction > 0.0 ? k : k - 1.0;
            for (int32_t count = 0; count < kHatchLinesPerSweep; ++count, step += direction) {
                line.point = {base.x + step * offset.x, base.y + step * offset.y};
                line.intercept = line.point.y - line.slope * line.point.x;
                if (genHatchLineHitsBox(line, box))
                    drawLine(line, pattern, patternLength);
                else if (count > 1)
                    break;
            }
        }
    }
};

} // namespace

void genHatchSegmentEquations(const HatchSegments& path, std::vector<HatchLineEquation>& out, FillBox& box) {
    out.clear();
    out.reserve(path.size());
    for (const HatchSegment& s : path) {
        HatchLineEquation equation;
        if (std::fabs(s.start.x - s.end.x) < kVerticalSegment) {
            equation.vertical = true;
        } else {
            equation.slope = (s.end.y - s.start.y) / (s.end.x - s.start.x);
            equation.intercept = s.end.y - equation.slope * s.end.x;
        }
        out.push_back(equation);
        for (const Point2& p : {s.start, s.end}) {
            box.minX = std::min(box.minX, p.x);
            box.minY = std::min(box.minY, p.y);
            box.maxX = std::max(box.maxX, p.x);
            box.maxY = std::max(box.maxY, p.y);
        }
    }
}

bool genIsVerticalAngle(double angle) {
    const double turns = (angle - kPi / 2.0) / kPi;
    const double fraction = std::fabs(turns - std::trunc(turns));
    return fraction < kCrossingTolerance || fraction > 1.0 - kCrossingTolerance;
}

bool genHatchLineHitsBox(const HatchLine& line, const FillBox& box) {
    const Point2& p = line.point;
    if (line.vertical) return p.x >= box.minX && p.x <= box.maxX;
    if (std::fabs(line.slope) < kFlatSlope) return p.y >= box.minY && p.y <= box.maxY;
    const double m = line.slope, b = line.intercept;
    return between(m * box.minX + b, box.minY, box.maxY) || between(m * box.maxX + b, box.minY, box.maxY) ||
           between((box.minY - b) / m, box.minX, box.maxX) || between((box.maxY - b) / m, box.minX, box.maxX);
}

int genIntersectHatchSegment(const HatchSegment& segment, const HatchLineEquation& equation, const HatchLine& line,
                             Point2& out) {
    const Point2& p1 = segment.start;
    const Point2& p2 = segment.end;
    Point2 hit;
    bool inside = false;
    if (line.vertical) {
        if (equation.vertical) return 0;
        const double x = line.point.x;
        hit = {x, equation.slope * x + equation.intercept};
        inside = between(x, p1.x, p2.x);
    } else if (equation.vertical) {
        const double y = (p1.x - line.point.x) * line.slope + line.point.y;
        hit = {p1.x, y};
        inside = between(y, p1.y, p2.y);
    } else {
        if (std::fabs(line.slope - equation.slope) < kCrossingTolerance) return 0;
        const double x = (equation.intercept - line.intercept) / (line.slope - equation.slope);
        hit = {x, line.slope * x + line.intercept};
        inside = between(x, p1.x, p2.x);
    }
    if (!(inside || near(hit, p2)) || near(hit, p1)) return 0;
    out = hit;
    return 1;
}

void genHatchDrawLineSpans(const HatchLine& line, const std::vector<Point2>& crossings,
                           const std::vector<int32_t>& paths, int16_t style, const std::vector<uint8_t>& pathFlags,
                           const std::vector<double>& dashes, double patternLength, const HatchPieceSink& sink) {
    DashWalk walk(line, dashes, patternLength, sink);
    std::vector<uint8_t> inside(pathFlags.size(), 0);
    const size_t count = std::min(crossings.size(), paths.size());
    if (style == kHatchStyleOuter || style == kHatchStyleIgnore) {
        int32_t depth = 0;
        for (size_t k = 0; k + 1 < count; ++k) {
            uint8_t& flag = inside[size_t(paths[k])];
            flag ^= 1;
            depth += flag ? 1 : -1;
            if (style == kHatchStyleOuter ? depth == 1 : depth > 0) walk.span(crossings[k], crossings[k + 1]);
        }
        return;
    }
    // Text boxes: entering one leaves out what follows until it is left again.
    int32_t textBoxes = 0;
    auto passTextBox = [&](size_t k) {
        const size_t path = size_t(paths[k]);
        if (!(pathFlags[path] & kHatchPathTextBox)) return;
        textBoxes += inside[path] ? -1 : 1;
        inside[path] ^= 1;
    };
    for (size_t k = 0; k + 1 < count; k += 2) {
        passTextBox(k);
        if (textBoxes == 0) walk.span(crossings[k], crossings[k + 1]);
        passTextBox(k + 1);
    }
}

void genHatchPatternPieces(const std::vector<HatchSegments>& paths, const std::vector<uint8_t>& pathFlags,
                           const std::vector<HatchPatternLine>& lines, int16_t style, const HatchPieceSink& sink) {
    FillBox box{1e300, 1e300, -1e300, -1e300};
    std::vector<std::vector<HatchLineEquation>> equations(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) genHatchSegmentEquations(paths[i], equations[i], box);
    if (!(box.minX <= box.maxX) || !(box.minY <= box.maxY)) return;
    std::vector<uint8_t> flags = pathFlags;
    flags.resize(paths.size(), 0);
    PatternFamily family{paths, equations, flags, box, style, sink, {}, {}};
    for (const HatchPatternLine& line : lines) family.draw(line);
}

void genHatchPatternFill(Drawing* drawing, const Matrix4* matrices, const std::vector<HatchSegments>& paths,
                         const std::vector<uint8_t>& pathFlags, const std::vector<HatchPatternLine>& lines,
                         int16_t style, double elevation, const LinetypeRecord* linetype) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !matrices) return;
    const bool plain = !linetype || linetype->dashCount == 0;
    genHatchPatternPieces(paths, pathFlags, lines, style, [&](const Point2& from, const Point2& to) {
        const Point3 p{from.x, from.y, elevation}, q{to.x, to.y, elevation};
        if (plain) {
            const ViewportRange range = genEntityViewports(*context);
            for (int i = range.first; i <= range.last; ++i) {
                if (genViewportShows(*context, i)) genDrawSegmentInViewport(drawing, p, q, matrices, i);
            }
        } else {
            genDrawLinetypedSegment(drawing, p, q, matrices, linetype, nullptr, ++context->segmentCounter, 0.0);
        }
        ++context->segmentCounter;
    });
}

} // namespace tracemill
