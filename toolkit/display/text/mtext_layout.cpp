#include "toolkit/display/text/mtext_layout.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/builtin_fonts.h"
#include "toolkit/core/fonts/font_resolver.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/text/text_fonts.h"

namespace tracemill {

void genBoxReset(TextBox& box) { box = TextBox{}; }

void genBoxAddPoint(TextBox& box, double x, double y) {
    box.minX = std::min(box.minX, x);
    box.maxX = std::max(box.maxX, x);
    box.minY = std::min(box.minY, y);
    box.maxY = std::max(box.maxY, y);
}

double genBoxTotalWidth(const TextBox& box) { return box.empty() ? 0.0 : box.maxX - box.minX; }
double genBoxTotalHeight(const TextBox& box) { return box.empty() ? 0.0 : box.maxY - box.minY; }

void genBoxAppendRight(TextBox& box, const TextBox& right) {
    if (right.empty()) return;
    if (box.empty()) {
        box = right;
        return;
    }
    box.maxX += genBoxTotalWidth(right);
    box.minY = std::min(box.minY, right.minY);
    box.maxY = std::max(box.maxY, right.maxY);
}

void genBoxAppendBelow(TextBox& box, const TextBox& below) {
    if (below.empty()) return;
    if (box.empty()) {
        box = below;
        return;
    }
    box.minY -= genBoxTotalHeight(below);
    box.minX = std::min(box.minX, below.minX);
    box.maxX = std::max(box.maxX, below.maxX);
}

double genAttachmentOffsetX(uint8_t attachment, const TextBox& line) {
    if (line.empty()) return 0.0;
    switch ((attachment + 2) % 3) {
    case 1: return -genBoxTotalWidth(line) / 2.0;
    case 2: return -genBoxTotalWidth(line);
    default: return -line.minX;
    }
}

double genLineAlignOffset(const MTextFormat& format, double lineHeight) {
    if (lineHeight == 0.0) return format.baseShift;
    switch (format.alignment) {
    case kMTextAlignCentre: return (lineHeight - format.height) / 2.0;
    case kMTextAlignTop: return lineHeight - format.height;
    default: return 0.0;
    }
}

int genApplyLineCode(uint16_t code, uint8_t& decoration) {
    switch (code) {
    case kMTextOverlineOn: decoration |= kMTextOverline; return 1;
    case kMTextOverlineOff: decoration &= uint8_t(~kMTextOverline); return 1;
    case kMTextUnderlineOn: decoration |= kMTextUnderline; return 1;
    case kMTextUnderlineOff: decoration &= uint8_t(~kMTextUnderline); return 1;
    default: return 0;
    }
}

std::string genPrepareMTextText(std::string_view text) {
    std::string s(text.substr(0, std::min(text.size(), text.find('\0'))));
    const bool brace = !s.empty() && s.back() == '}';
    if (brace) s.pop_back();
    while (!s.empty() && s.back() == ' ') s.pop_back();
    if (brace) {
        if (s.size() >= 2 && s.compare(s.size() - 2, 2, "\\P") == 0) s += "\\P";
        s += '}';
    }
    return s;
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// Where reading stands: the cursor with the format and its stack.
struct ReadState {
    MTextCursor cursor;
    MTextFormat format;
    MTextFormatStack stack;
};

// A character or stacked fraction placed on a line.
struct Placed {
    TextBox box;      // relative to its pen
    double advance = 0.0;
    double height = 0.0;
};

double slantOf(double oblique) {
    if (oblique >= kPi / 2.0) oblique -= 2.0 * kPi;
    return std::tan(oblique);
}

class Layout {
public:
    Layout(Drawing* drawing, const MTextLayoutInput& input, int pass, MTextGlyphs& glyphs)
        : drawing_(drawing), input_(input), pass_(pass), glyphs_(glyphs) {}

    void run(MTextLayoutResult& result);

private:
    void drawFrame(const MTextLayoutResult& result);
    void rescale(MTextFormat& format) const {
        format.scale = format.height / genShapeUnitsPerHeight(format.font, format.bigFont);
    }
    // Applies a format code; 'P' is the caller's.
    void applyFormat(const FormatToken& token, ReadState& state, double lineHeight);
    void changeFont(const std::string& name, MTextFormat& format);
    int16_t resolveColour(int colour) const {
        if (colour == 256) return input_.byLayerColour;
        if (colour == 0) return input_.byBlockColour;
        return int16_t(colour);
    }
    // Reads the next token in the state's format.
    int next(ReadState& state, uint16_t& code, FormatToken& token, uint8_t& inCodePage) {
        return genNextMTextToken(drawing_, state.cursor, state.format.symbolKind, code, token, inCodePage,
                                 &state.format);
    }
    Placed measureCharacter(uint16_t code, uint8_t inCodePage, const MTextFormat& format);
    Placed stack(ReadState& state, bool draw, double x, double y);
    void skipBreakSpaces(ReadState& state);
    // How a line ended.
    enum class LineEnd { kParagraph, kWrap, kEnd };
    // Measures one line from `state` and leaves `state` after it: its box and height (the
    // largest of the text height and the heights of its characters).
    LineEnd measureLine(ReadState& state, TextBox& box, double& height);
    void drawLine(ReadState state, const char* end, double x, double y, double lineHeight);

    Drawing* drawing_;
    const MTextLayoutInput& input_;
    int pass_;
    MTextGlyphs& glyphs_;
};

void Layout::changeFont(const std::string& name, MTextFormat& format) {
    ShapeFont* simplex = gSystemContext ? gSystemContext->builtinFonts[kBuiltinSimplexFont].get() : nullptr;
    ShapeFont* font = FontResolver(drawing_, name, format.bigFont ? kAcceptPrimaryBesideBigFont : kAcceptPrimaryFont,
                                   simplex, {}, -1);
    format.font = font ? font : simplex;
    format.symbolKind = genFontKindForSymbols(format.font ? format.font->kind : 0);
    rescale(format);
}

void Layout::applyFormat(const FormatToken& token, ReadState& state, double lineHeight) {
    MTextFormat& f = state.format;
    switch (token.code) {
    case '{': state.stack.push(f); break;
    case '}': state.stack.pop(f); break;
    case 'F': changeFont(token.fontName, f); break;
    case 'H':
        if (token.value == 0.0 || !std::isfinite(token.value)) break;
        if (token.relative) {
            f.height *= token.value;
            f.scale *= token.value;
        } else {
            f.scale = f.height != 0.0 ? f.scale * token.value / f.height : f.scale;
            f.height = token.value;
        }
        f.baseShift = genLineAlignOffset(f, lineHeight);
        break;
    case 'Q': f.oblique = token.value * kPi / 180.0; break;
    case 'W': f.widthFactor = token.value; break;
    case 'T': f.tracking = token.value - 1.0; break;
    case 'A':
        if (token.alignment <= 2) {
            f.alignment = token.alignment;
            f.baseShift = genLineAlignOffset(f, lineHeight);
        }
        break;
    default: break;
    }
}

Placed Layout::measureCharacter(uint16_t code, uint8_t inCodePage, const MTextFormat& format) {
    Placed p;
    glyphs_.measure(code, inCodePage, format, p.box, p.advance);
    p.advance *= 1.0 + format.tracking;
    p.height = format.height;
    return p;
}

// A stacked fraction: both parts measured in the current format; '#' side by side with a
// slanted bar, '/' and '^' one above the other, the narrower centred, '/' with a bar.
Placed Layout::stack(ReadState& state, bool draw, double x, double y) {
    std::vector<StackCharacter> top, bottom;
    char separator = 0;
    genReadStackParts(state.cursor, state.format.symbolKind, top, bottom, separator);
    const MTextFormat& f = state.format;
    const double h = f.height;
    auto measurePart = [&](const std::vector<StackCharacter>& part, TextBox& box, double& width) {
        width = 0.0;
        for (const StackCharacter& c : part) {
            const Placed p = measureCharacter(c.code, c.inCodePage, f);
            if (!p.box.empty()) {
                genBoxAddPoint(box, width + p.box.minX, p.box.minY);
                genBoxAddPoint(box, width + p.box.maxX, p.box.maxY);
            }
            width += p.advance;
        }
    };
    auto drawPart = [&](const std::vector<StackCharacter>& part, double px, double py) {
        for (const StackCharacter& c : part) {
            glyphs_.draw(c.code, c.inCodePage, f, px, py);
            px += measureCharacter(c.code, c.inCodePage, f).advance;
        }
    };
    TextBox topBox, bottomBox;
    double topWidth = 0.0, bottomWidth = 0.0;
    measurePart(top, topBox, topWidth);
    measurePart(bottom, bottomBox, bottomWidth);
    const double topHeight = top.empty() ? 0.0 : std::max(genBoxTotalHeight(topBox), h);
    const double bottomHeight = bottom.empty() ? h / 6.0 : std::max(genBoxTotalHeight(bottomBox), h);

    Placed placed;
    placed.height = h;
    if (separator == '#') {
        placed.advance = topWidth + bottomWidth;
        genBoxAddPoint(placed.box, 0.0, 0.0);
        genBoxAddPoint(placed.box, placed.advance, topHeight + bottomHeight);
        if (draw) {
            drawPart(top, x, y + bottomHeight);
            drawPart(bottom, x + topWidth, y);
            const double e = 5.0 / 6.0 * h;
            const double d = (std::tan(f.oblique) + 0.7) * e;
            const double cx = x + topWidth, cy = y + bottomHeight;
            glyphs_.line(cx - d, cy - e, cx + d, cy + e);
        }
        return placed;
    }
    const double width = std::max(topWidth, bottomWidth);
    placed.advance = width;
    genBoxAddPoint(placed.box, 0.0, 0.0);
    genBoxAddPoint(placed.box, width, h / 3.0 + topHeight + bottomHeight);
    if (draw) {
        drawPart(bottom, x + (width - bottomWidth) / 2.0, y);
        drawPart(top, x + (width - topWidth) / 2.0, y + bottomHeight + h / 3.0);
        if (separator == '/') {
            const double rise = bottomHeight + h / 6.0;
            const double shift = slantOf(f.oblique) * rise;
            glyphs_.line(x + shift, y + rise, x + width + shift, y + rise);
        }
    }
    return placed;
}

void Layout::skipBreakSpaces(ReadState& state) {
    for (;;) {
        ReadState before = state;
        uint16_t code = 0;
        uint8_t inCodePage = 1;
        FormatToken token;
        if (!next(state, code, token, inCodePage)) return;
        if (token.code == 0 && code != 0 && code <= 0x20) continue;
        state = before;
        return;
    }
}

Layout::LineEnd Layout::measureLine(ReadState& state, TextBox& box, double& height) {
    const bool wrap = input_.skipLineFeeds && input_.referenceWidth < 1e299;
    genBoxReset(box);
    height = input_.textHeight;
    double pen = 0.0;
    bool placedAny = false;
    bool pendingSpaces = false;
    // The line as it stands before the spaces of the last break opportunity.
    bool haveBreak = false;
    ReadState breakState;
    TextBox breakBox;
    double breakHeight = 0.0;
    for (;;) {
        const ReadState before = state;
        uint16_t code = 0;
        uint8_t inCodePage = 1;
        FormatToken token;
        if (!next(state, code, token, inCodePage)) return LineEnd::kEnd;
        if (token.code == 'P') return LineEnd::kParagraph;
        if (token.code != 0) {
            applyFormat(token, state, 0.0);
            continue;
        }
        if (code >= kMTextColourBase && code <= kMTextColourLast) {
            state.format.colour = resolveColour(code - kMTextColourBase);
            continue;
        }
        if (genApplyLineCode(code, state.format.decoration)) continue;
        const bool breakChar = code <= 0x20;
        if (breakChar) {
            if (placedAny && !pendingSpaces) {
                haveBreak = true;
                breakState = before;
                breakBox = box;
                breakHeight = height;
            }
            pendingSpaces = placedAny;
            pen += measureCharacter(code, inCodePage, state.format).advance;
            continue;
        }
        const Placed p = code == kMTextStack ? stack(state, false, 0.0, 0.0)
                                             : measureCharacter(code, inCodePage, state.format);
        const double along = input_.vertical ? genBoxTotalHeight(p.box) : p.advance;
        if (wrap && haveBreak && pen + along - input_.referenceWidth > -1e-10) {
            state = breakState;
            box = breakBox;
            height = breakHeight;
            return LineEnd::kWrap;
        }
        pendingSpaces = false;
        if (!p.box.empty()) {
            const double shift = state.format.baseShift;
            genBoxAddPoint(box, pen + p.box.minX, p.box.minY + shift);
            genBoxAddPoint(box, pen + p.box.maxX, p.box.maxY + shift);
        }
        height = std::max(height, p.height);
        pen += along;
        placedAny = true;
    }
}

void Layout::drawLine(ReadState state, const char* end, double x, double y, double lineHeight) {
    double pen = 0.0;
    bool placedAny = false;
    while (state.cursor.at < end) {
        uint16_t code = 0;
        uint8_t inCodePage = 1;
        FormatToken token;
        if (!next(state, code, token, inCodePage)) return;
        if (token.code == 'P') return;
        if (token.code != 0) {
            applyFormat(token, state, lineHeight);
            continue;
        }
        if (code >= kMTextColourBase && code <= kMTextColourLast) {
            state.format.colour = resolveColour(code - kMTextColourBase);
            glyphs_.colour(state.format.colour);
            continue;
        }
        if (genApplyLineCode(code, state.format.decoration)) continue;
        const double rise = genLineAlignOffset(state.format, lineHeight);
        if (code == kMTextStack) {
            pen += stack(state, true, x + pen, y + rise).advance;
            placedAny = true;
            continue;
        }
        const Placed p = measureCharacter(code, inCodePage, state.format);
        // A space before anything else on the line is not drawn; a non-breaking one is.
        if (!(code == ' ' && !placedAny)) {
            if (input_.vertical) glyphs_.draw(code, inCodePage, state.format, x, y - pen);
            else glyphs_.draw(code, inCodePage, state.format, x + pen, y + rise);
        }
        pen += input_.vertical ? genBoxTotalHeight(p.box) : p.advance;
        placedAny = true;
    }
}

void Layout::run(MTextLayoutResult& result) {
    result = MTextLayoutResult{};
    ReadState state;
    state.cursor = MTextCursor(input_.text);
    state.cursor.interpretCodes = input_.interpretCodes;
    state.cursor.skipLineFeeds = input_.skipLineFeeds;
    state.cursor.codePage = input_.codePage;
    state.format = input_.initial;
    state.format.symbolKind = genFontKindForSymbols(state.format.font ? state.format.font->kind : 0);
    if (pass_ == 1 && input_.initial.colour >= 0) glyphs_.colour(input_.initial.colour);

    const double factor = input_.lineSpacingFactor > 0.0 ? input_.lineSpacingFactor : 1.0;
    const uint8_t row = uint8_t((std::clamp<int>(input_.attachment, 1, 9) - 1) / 3);
    double startY = 0.0;
    if (row == 1) startY = input_.extentsHeight / 2.0;
    if (row == 2) startY = input_.extentsHeight;

    double total = 0.0;  // the sum of the advances
    double previousHeight = 0.0;
    TextBox lastBox;
    bool wrapped = false;
    for (int line = 0;; ++line) {
        if (wrapped) skipBreakSpaces(state);
        const ReadState start = state;
        TextBox box;
        double height = 0.0;
        const LineEnd end = measureLine(state, box, height);
        wrapped = end == LineEnd::kWrap;
        double advance;
        if (input_.vertical) advance = line == 0 ? 0.0 : height * 2.0 * factor;
        else if (input_.lineSpacingStyle == kMTextSpacingExactly)
            advance = line == 0 ? input_.textHeight : input_.textHeight * kMTextLineSpacing * factor;
        else
            advance = line == 0 ? height : (input_.textHeight / 3.0 + previousHeight / 3.0 + height) * factor;
        total += advance;
        double x = 0.0, y = startY - total;
        if (input_.vertical) {
            x = total;
            y = startY;
        } else {
            x = genAttachmentOffsetX(input_.attachment, box);
        }
        if (pass_ == 1) drawLine(start, state.cursor.at, x, y, height);
        TextBox placedBox = box;
        if (!placedBox.empty()) {
            placedBox.minX += x;
            placedBox.maxX += x;
            placedBox.minY += y;
            placedBox.maxY += y;
            genBoxAppendBelow(result.block, placedBox);
        }
        lastBox = box;
        previousHeight = height;
        result.lastBaseline = y;
        ++result.lines;
        if (end == LineEnd::kEnd || state.cursor.at == start.cursor.at) break;
    }
    result.width = genBoxTotalWidth(result.block);
    result.height = total - (lastBox.empty() ? 0.0 : lastBox.minY);
    if (pass_ == 1 && input_.frameMargin >= 0.0) drawFrame(result);
}

// The frame of a leader's text: from the last baseline to the block's height above it, across
// the block's width placed by the attachment column, both widened by the margin.
void Layout::drawFrame(const MTextLayoutResult& result) {
    const double m = input_.frameMargin;
    double left = 0.0;
    switch ((std::clamp<int>(input_.attachment, 1, 9) + 2) % 3) {
    case 1: left = -result.width / 2.0; break;
    case 2: left = -result.width; break;
    default: break;
    }
    const double x0 = left - m, x1 = left + result.width + m;
    const double y0 = result.lastBaseline - m, y1 = result.lastBaseline + result.height + m;
    glyphs_.line(x0, y0, x1, y0);
    glyphs_.line(x1, y0, x1, y1);
    glyphs_.line(x1, y1, x0, y1);
    glyphs_.line(x0, y1, x0, y0);
}

} // namespace

void genLayoutMText(Drawing* drawing, const MTextLayoutInput& input, int pass, MTextGlyphs& glyphs,
                    MTextLayoutResult& result) {
    Layout(drawing, input, pass, glyphs).run(result);
}

} // namespace tracemill
