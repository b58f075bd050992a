#include "toolkit/display/text/shape_interpreter.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/text/shape_text_state.h"

namespace tracemill {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kOctant = kPi / 4.0;

// Command codes of shape definitions; 16 to 255 are vector bytes (length in the high nibble,
// direction in the low one).
enum : uint8_t {
    kEndOfShape = 0,
    kPenDown = 1,
    kPenUp = 2,
    kDivideScale = 3,
    kMultiplyScale = 4,
    kPushPosition = 5,
    kPopPosition = 6,
    kSubshape = 7,
    kDisplacement = 8,
    kDisplacements = 9,
    kOctantArc = 10,
    kFractionalArc = 11,
    kBulgeArc = 12,
    kBulgeArcs = 13,
    kVerticalOnly = 14,
};

// The unit steps of the 16 vector directions.
constexpr double kDirectionX[16] = {1, 1, 1, 0.5, 0, -0.5, -1, -1, -1, -1, -1, -0.5, 0, 0.5, 1, 1};
constexpr double kDirectionY[16] = {0, 0.5, 1, 1, 1, 1, 1, 0.5, 0, -0.5, -1, -1, -1, -1, -1, -0.5};

// Over- and underlines: their height in units of the font's height above the baseline, and
// the offset of both to the left of vertical text.
constexpr double kOverlineHeight = 1.2;
constexpr double kUnderlineHeight = -0.2;
constexpr double kVerticalDecorationOffset = 0.13;
constexpr double kTrueTypeDecorationUnit = 1000.0;

// Measuring arcs: chords per radian (64 to the full turn).
constexpr double kMeasuringChordsPerRadian = 10.185916357881302;

// A chord whose y extent is below this has a vertical perpendicular bisector.
constexpr double kFlatChord = 1e-13;

Point3 at(const Point2& p) { return {p.x, p.y, 0.0}; }

// The polar angle of p about c, from pi/2 up to 5 pi/2.
double angleAbout(const Point2& p, const Point2& c) {
    double angle = std::atan2(p.y - c.y, p.x - c.x);
    if (angle < kPi / 2.0) angle += kTwoPi;
    return angle;
}

// The perpendicular bisector of the chord a-b: its midpoint and slope, or vertical.
struct Bisector {
    Point2 mid;
    bool vertical = false;
    double slope = 0.0;
};

Bisector bisectorOf(const Point2& a, const Point2& b) {
    Bisector bisector{{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0}};
    if (std::fabs(b.y - a.y) < kFlatChord) {
        bisector.vertical = true;
    } else {
        bisector.slope = -(b.x - a.x) / (b.y - a.y);
    }
    return bisector;
}

// Where two bisectors cross: false when they are parallel.
bool crossing(const Bisector& u, const Bisector& v, Point2& out) {
    if (u.vertical && v.vertical) return false;
    if (u.vertical || v.vertical) {
        const Bisector& upright = u.vertical ? u : v;
        const Bisector& other = u.vertical ? v : u;
        out = {upright.mid.x, other.mid.y + other.slope * (upright.mid.x - other.mid.x)};
        return true;
    }
    if (u.slope == v.slope) return false;
    out.x = (u.slope * u.mid.x - v.slope * v.mid.x + v.mid.y - u.mid.y) / (u.slope - v.slope);
    out.y = u.mid.y + u.slope * (out.x - u.mid.x);
    return std::isfinite(out.x) && std::isfinite(out.y);
}

// A subshape reference of code 7.
struct SubshapeReference {
    uint16_t number = 0;
    bool extended = false;  // a big font's form with origin and cell size
    int8_t originX = 0;
    int8_t originY = 0;
    uint8_t width = 0;
    uint8_t height = 0;
};

bool inLeadByteRange(const ShapeFont& font, uint8_t byte) {
    return std::any_of(font.ranges.begin(), font.ranges.end(),
                       [byte](const BigFontRange& range) { return range.first <= byte && byte <= range.last; });
}

// One shape being run: its font, the working pen position and the pen.
class ShapeRun {
public:
    ShapeRun(Drawing* drawing, ShapeFont& font, ShapeTextState& state, uint8_t decorationFlags, TextExtents* extents,
             const Matrix4* matrix, int depth)
        : drawing_(drawing), font_(font), state_(state), context_(*gSystemContext), decorationFlags_(decorationFlags),
          extents_(extents), matrix_(matrix), depth_(depth) {}

    void run(uint16_t code);

private:
    bool take(uint8_t& byte);
    bool takeSigned(int8_t& value);
    bool execute(uint8_t command);
    bool readSubshape(SubshapeReference& reference);
    bool runSubshape(const SubshapeReference& reference);
    void moveBy(double dx, double dy);
    void octantArc(uint8_t startOffset, uint8_t endOffset, double radius, uint8_t octants);
    void bulgeArc(int8_t dx, int8_t dy, int8_t bulge);
    void arcOut(const Point2& centre, double start, double end, double radius);
    void finish(const Point2& start, double unit, bool trueType);
    bool vertical() const { return (state_.layoutFlags & kShapeTextVertical) != 0; }

    Drawing* drawing_;
    ShapeFont& font_;
    ShapeTextState& state_;
    SystemContext& context_;
    uint8_t decorationFlags_;
    TextExtents* extents_;
    const Matrix4* matrix_;
    int depth_;
    Point2 pos_;
    bool penDown_ = true;
    bool skipping_ = false;  // reading a command that code 14 skips in horizontal text
};

void ShapeRun::run(uint16_t code) {
    const Point2 start = state_.pen;
    pos_ = start;
    if (font_.kind & kFontKindTrueType) {
        if (context_.glyphFill) {
            GlyphFillArguments glyph{&state_, code, &font_.trueType, drawing_, state_.hostWord,
                                     int8_t(state_.layoutFlags), extents_, matrix_, decorationFlags_,
                                     state_.drawFlag};
            context_.glyphFill(glyph);
        }
        pos_ = state_.pen;  // the glyph routine moved the pen on by the advance
        finish(start, kTrueTypeDecorationUnit, true);
        return;
    }
    context_.shapePenState = state_.drawFlag;
    penDown_ = true;
    uint8_t byte = 0;
    bool named = false;
    while (take(byte)) {
        if (byte == 0) {
            named = true;
            break;
        }
    }
    if (named) {
        while (take(byte) && byte != kEndOfShape && execute(byte)) {}
    }
    finish(start, state_.above, false);
}

// The next byte of the shape; false at the end of the font's bytes, where the shape ends.
bool ShapeRun::take(uint8_t& byte) {
    if (font_.cursor.offset >= font_.shapeBytes().size()) return false;
    byte = genNextShapeByte(font_);
    return true;
}

bool ShapeRun::takeSigned(int8_t& value) {
    uint8_t byte = 0;
    if (!take(byte)) return false;
    value = int8_t(byte);
    return true;
}

// Runs one command with its operands; false when the shape ends. While skipping, the
// operands are read and nothing else happens.
bool ShapeRun::execute(uint8_t command) {
    double& xScale = state_.xScale;
    double& yScale = state_.yScale;
    switch (command) {
    case kEndOfShape: return false;
    case kPenDown:
    case kPenUp:
        if (!skipping_) {
            penDown_ = command == kPenDown;
            context_.shapePenState = penDown_ ? state_.drawFlag : 0;
        }
        return true;
    case kDivideScale:
    case kMultiplyScale: {
        uint8_t factor = 0;
        if (!take(factor)) return false;
        if (skipping_) return true;
        if (command == kMultiplyScale) {
            xScale *= factor;
            yScale *= factor;
        } else if (factor != 0) {  // a divisor of 0 is passed over
            xScale /= factor;
            yScale /= factor;
        }
        return true;
    }
    case kPushPosition: {
        ShapePositionStack& stack = context_.shapePositionStack;
        if (!skipping_ && stack.top < kShapePositionStackSize - 1) {  // a full stack takes no more
            ++stack.top;
            stack.x[size_t(stack.top)] = pos_.x;
            stack.y[size_t(stack.top)] = pos_.y;
        }
        return true;
    }
    case kPopPosition: {
        ShapePositionStack& stack = context_.shapePositionStack;
        if (!skipping_ && stack.top >= 0 && stack.top < kShapePositionStackSize) {
            pos_ = {stack.x[size_t(stack.top)], stack.y[size_t(stack.top)]};
            --stack.top;
        }
        return true;
    }
    case kSubshape: {
        SubshapeReference reference;
        if (!readSubshape(reference)) return false;
        return skipping_ || runSubshape(reference);
    }
    case kDisplacement:
    case kDisplacements:
        for (;;) {
            int8_t dx = 0;
            int8_t dy = 0;
            if (!takeSigned(dx) || !takeSigned(dy)) return false;
            if (command == kDisplacements && dx == 0 && dy == 0) return true;
            if (!skipping_) moveBy(dx * xScale, dy * yScale);
            if (command == kDisplacement) return true;
        }
    case kOctantArc: {
        uint8_t radius = 0;
        uint8_t octants = 0;
        if (!take(radius) || !take(octants)) return false;
        if (!skipping_) octantArc(0, 0, radius, octants);
        return true;
    }
    case kFractionalArc: {
        uint8_t bytes[5] = {};
        for (uint8_t& byte : bytes) {
            if (!take(byte)) return false;
        }
        if (!skipping_) octantArc(bytes[0], bytes[1], bytes[2] * 256.0 + bytes[3], bytes[4]);
        return true;
    }
    case kBulgeArc:
    case kBulgeArcs:
        for (;;) {
            int8_t dx = 0;
            int8_t dy = 0;
            int8_t bulge = 0;
            if (!takeSigned(dx) || !takeSigned(dy)) return false;
            if (dx == 0 && dy == 0) return true;
            if (!takeSigned(bulge)) return false;
            if (!skipping_) bulgeArc(dx, dy, bulge);
            if (command == kBulgeArc) return true;
        }
    case kVerticalOnly:
        if (skipping_ || vertical()) return true;
        {
            uint8_t next = 0;
            if (!take(next)) return false;
            skipping_ = true;
            const bool goOn = execute(next);  // the end code still ends the shape
            skipping_ = false;
            return goOn;
        }
    default:
        if (command < 16) return true;  // 15: no effect
        if (!skipping_) {
            const double length = command >> 4;
            const int direction = command & 0x0F;
            moveBy(length * kDirectionX[direction] * xScale, length * kDirectionY[direction] * yScale);
        }
        return true;
    }
}

// The number of a subshape (two bytes in a unifont; in a big font a lead byte takes the next
// byte as its low byte, and a first byte 0 starts the form with origin and cell size).
bool ShapeRun::readSubshape(SubshapeReference& reference) {
    uint8_t first = 0;
    if (!take(first)) return false;
    uint8_t low = 0;
    if (font_.kind & kFontKindUnifont) {
        if (!take(low)) return false;
        reference.number = uint16_t(first << 8 | low);
        return true;
    }
    if ((font_.kind & kFontKindBigFont) && first == 0) {
        uint8_t bytes[6] = {};
        for (uint8_t& byte : bytes) {
            if (!take(byte)) return false;
        }
        reference.extended = true;
        reference.number = uint16_t(bytes[0] << 8 | bytes[1]);
        reference.originX = int8_t(bytes[2]);
        reference.originY = int8_t(bytes[3]);
        reference.width = bytes[4];
        reference.height = bytes[5];
        return true;
    }
    if ((font_.kind & kFontKindBigFont) && inLeadByteRange(font_, first)) {
        if (!take(low)) return false;
        reference.number = uint16_t(first << 8 | low);
        return true;
    }
    reference.number = first;
    return true;
}

// Runs a subshape from the working position; false when the nesting is too deep, which ends
// the calling shape.
bool ShapeRun::runSubshape(const SubshapeReference& reference) {
    if (depth_ + 1 >= kMaxSubshapeDepth) return false;
    state_.pen = pos_;
    const double savedX = state_.xScale;
    const double savedY = state_.yScale;
    bool scaled = false;
    if (reference.extended) {
        state_.pen.x += reference.originX;
        state_.pen.y += reference.originY;
        if (font_.bigHeight != 0) {
            state_.xScale = double(reference.width) / font_.bigHeight;
            state_.yScale = double(reference.height) / font_.bigHeight;
            scaled = true;
        }
    }
    const ShapeCursor cursor = genGetShapeCursor(font_);
    if (ShapeFont* found =
            genFindShape(drawing_, state_.mainFont, state_.bigFont, reference.number, kFindShapeAlwaysBigFont)) {
        ShapeRun(drawing_, *found, state_, decorationFlags_, extents_, matrix_, depth_ + 1).run(reference.number);
    }
    genSetShapeCursor(font_, cursor);
    if (scaled) {
        state_.xScale = savedX;
        state_.yScale = savedY;
    }
    if (!reference.extended) pos_ = state_.pen;
    return true;
}

void ShapeRun::moveBy(double dx, double dy) {
    const Point2 previous = pos_;
    pos_.x += dx;
    pos_.y += dy;
    if (extents_ && penDown_) genExtentsAddSegment(at(previous), at(pos_), *extents_, matrix_);
    if (context_.shapePenState != 0 && context_.shapeLineCallback) {
        context_.shapeLineCallback(drawing_, at(previous), at(pos_), state_.hostWord);
    }
}

// Codes 10 and 11: an arc of octants from the pen, the offsets in 256ths of an octant.
void ShapeRun::octantArc(uint8_t startOffset, uint8_t endOffset, double radius, uint8_t octants) {
    const bool clockwise = (octants & 0x80) != 0;
    const int first = (octants & 0x70) >> 4;
    int count = octants & 0x0F;
    if (count == 0) count = 8;
    if (endOffset != 0) --count;
    double start = 0.0;
    double end = 0.0;
    if (!clockwise) {
        const int last = (first + count) % 8;
        start = (first + startOffset / 256.0) * kOctant;
        end = (last + endOffset / 256.0) * kOctant;
    } else {
        const int last = ((first - count) % 8 + 8) % 8;
        start = (first - startOffset / 256.0) * kOctant;
        end = (last - endOffset / 256.0) * kOctant;
    }
    const double xScale = state_.xScale;
    const Point2 centre{pos_.x - std::cos(start) * xScale * radius, pos_.y - std::sin(start) * state_.yScale * radius};
    const double finalAngle = end;
    if (clockwise) std::swap(start, end);
    if (end <= start) end += kTwoPi;
    arcOut(centre, start, end, radius * xScale);
    pos_ = {centre.x + radius * xScale * std::cos(finalAngle), centre.y + radius * xScale * std::sin(finalAngle)};
}

// Codes 12 and 13: an arc to the displaced point whose middle lies bulge / 127 of half the
// chord off it, to the right for a positive bulge (counter-clockwise).
void ShapeRun::bulgeArc(int8_t dxByte, int8_t dyByte, int8_t bulge) {
    const double dx = dxByte * state_.xScale;
    const double dy = dyByte * state_.yScale;
    const Point2 start = pos_;
    const Point2 end{start.x + dx, start.y + dy};
    const double chord = std::hypot(dx, dy);
    Point2 centre;
    if (bulge == 0 || !(chord > 0.0)) {
        moveBy(dx, dy);
        return;
    }
    double direction = 0.0;
    if (end.x == start.x) {
        direction = dy >= 0.0 ? kPi / 2.0 : -kPi / 2.0;
    } else {
        direction = std::atan(dy / dx);
        if (end.x < start.x) direction += kPi;
    }
    direction -= kPi / 2.0;
    const double offset = chord * bulge / 254.0;
    const Point2 middle{(start.x + end.x) / 2.0 + offset * std::cos(direction),
                        (start.y + end.y) / 2.0 + offset * std::sin(direction)};
    if (!crossing(bisectorOf(start, end), bisectorOf(middle, end), centre)) {
        moveBy(dx, dy);
        return;
    }
    const double radius = std::hypot(start.x - centre.x, start.y - centre.y);
    double startAngle = angleAbout(start, centre);
    double endAngle = angleAbout(end, centre);
    if (bulge < 0) std::swap(startAngle, endAngle);
    if (startAngle > endAngle) endAngle += kTwoPi;
    arcOut(centre, startAngle, endAngle, radius);
    pos_ = end;
}

void ShapeRun::arcOut(const Point2& centre, double start, double end, double radius) {
    if (!context_.shapeArcCallback) return;
    context_.shapeArcCallback(drawing_, at(centre), start, end, radius, state_.hostWord,
                              uint8_t(context_.shapePenState), penDown_ ? 1 : 0, extents_, matrix_);
}

// The end of a shape: the pen position goes back into the state, the advance into the
// extents of a "fit" measurement, and the over- and underlines are drawn along it.
void ShapeRun::finish(const Point2& start, double unit, bool trueType) {
    state_.pen = pos_;
    if (context_.extentsTakeAdvance && extents_) genExtentsAddSegment(at(start), at(pos_), *extents_, matrix_);
    if (decorationFlags_ == 0) return;
    for (const auto& [flag, height] :
         {std::pair{kDecorationOverline, kOverlineHeight}, std::pair{kDecorationUnderline, kUnderlineHeight}}) {
        if (!(decorationFlags_ & flag)) continue;
        Point3 from{start.x, start.y + height * unit, 0.0};
        Point3 to{pos_.x, from.y, 0.0};
        if (vertical()) {
            from.x = start.x - kVerticalDecorationOffset * unit;
            to = {from.x, pos_.y + height * unit, 0.0};
        }
        if (extents_ && (penDown_ || trueType)) genExtentsAddSegment(from, to, *extents_, matrix_);
        if (state_.drawFlag && context_.shapeLineCallback) {
            context_.shapeLineCallback(drawing_, from, to, state_.hostWord);
        }
    }
}

} // namespace

void ShapeInterpreter(Drawing* drawing, uint16_t code, ShapeFont& font, ShapeTextState& state,
                      uint8_t decorationFlags, TextExtents* extents, const Matrix4* matrix) {
    if (!gSystemContext) return;
    ShapeRun(drawing, font, state, decorationFlags, extents, matrix, 0).run(code);
}

void genExtentsArc(Drawing*, const Point3& centre, double start, double end, double radius, void*, uint8_t, uint8_t,
                   TextExtents* extents, const Matrix4* matrix) {
    const double sweep = end - start;
    const double chords = std::fabs(sweep) * kMeasuringChordsPerRadian;
    if (!extents || !std::isfinite(chords) || !std::isfinite(radius) || chords < 1.0) return;
    const int count = int(std::min(chords, 65535.0));
    const double step = sweep / count;
    const double c = std::cos(step);
    const double s = std::sin(step);
    Point3 p{centre.x + radius * std::cos(start), centre.y + radius * std::sin(start), centre.z};
    for (int i = 0; i < count; ++i) {
        const double ox = p.x - centre.x;
        const double oy = p.y - centre.y;
        const Point3 q{centre.x + ox * c - oy * s, centre.y + ox * s + oy * c, centre.z};
        genExtentsAddSegment(p, q, *extents, matrix);
        p = q;
    }
}

void genResetShapePositionStack() {
    if (gSystemContext) gSystemContext->shapePositionStack.top = -1;
}

} // namespace tracemill
