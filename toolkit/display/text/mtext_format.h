// What MTEXT layout carries while it reads a text: the running character format
// (`MTextFormat`), the stack that braces push it on (`MTextFormatStack`), and the boxes of
// runs, lines and the block (`TextBox`).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tracemill {

struct ShapeFont;

// Vertical alignment of characters inside their line (\A).
inline constexpr int16_t kMTextAlignBottom = 0;
inline constexpr int16_t kMTextAlignCentre = 1;
inline constexpr int16_t kMTextAlignTop = 2;

// Decoration bits of a format.
inline constexpr uint8_t kMTextOverline = 0x01;
inline constexpr uint8_t kMTextUnderline = 0x02;

// Character codes the MTEXT reader gives for its controls.
inline constexpr uint16_t kMTextNonBreakingSpace = 0xE000;
inline constexpr uint16_t kMTextColourBase = 0xE001;  // + colour 0..500
inline constexpr uint16_t kMTextColourLast = 0xE001 + 500;
inline constexpr uint16_t kMTextOverlineOn = 0xE201;
inline constexpr uint16_t kMTextOverlineOff = 0xE202;
inline constexpr uint16_t kMTextUnderlineOn = 0xE203;
inline constexpr uint16_t kMTextUnderlineOff = 0xE204;
inline constexpr uint16_t kMTextStack = 0xE206;

struct MTextFormat {
    double widthFactor = 1.0;
    double oblique = 0.0;   // radians
    double height = 1.0;
    double scale = 1.0;     // height per shape unit of the current fonts
    double tracking = 0.0;  // tracking - 1: each advance is multiplied by 1 + tracking
    double baseShift = 0.0; // rise of the characters inside their line (\A)
    uint8_t decoration = 0; // kMTextOverline, kMTextUnderline
    int16_t alignment = kMTextAlignBottom;
    int16_t colour = 7;
    ShapeFont* font = nullptr;
    ShapeFont* bigFont = nullptr;
    uint16_t symbolKind = 0;  // genFontKindForSymbols of the font
};

// Eight formats; a ninth push is ignored and a pop of the empty stack changes nothing.
struct MTextFormatStack {
    static constexpr int kDepth = 8;
    std::array<MTextFormat, kDepth> saved{};
    int count = 0;
    void push(const MTextFormat& format) {
        if (count < kDepth) saved[size_t(count++)] = format;
    }
    void pop(MTextFormat& format) {
        if (count > 0) format = saved[size_t(--count)];
    }
};

// A box of text; empty while min lies above max.
struct TextBox {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    bool empty() const { return minX > maxX || minY > maxY; }
};

void genBoxReset(TextBox& box);
// Widens the box by a point.
void genBoxAddPoint(TextBox& box, double x, double y);
// Appends a box on the right: the widths add (the appended box's width goes onto the right
// side), the heights merge.
void genBoxAppendRight(TextBox& box, const TextBox& right);
// Stacks a box below: the heights add (onto the bottom), the widths merge.
void genBoxAppendBelow(TextBox& box, const TextBox& below);
double genBoxTotalWidth(const TextBox& box);   // 0 for an empty box
double genBoxTotalHeight(const TextBox& box);  // 0 for an empty box

} // namespace tracemill
