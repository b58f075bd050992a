// MTEXT layout with a glyph output of plain boxes: every character is as wide as its height
// times its width factor (a space too) and stands from the baseline to its height, so where
// the layout puts each character can be stated exactly.
#include "toolkit/display/text/mtext_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace tracemill {
namespace {

struct Placement {
    char character;
    double x, y, height;
};

class BoxGlyphs : public MTextGlyphs {
public:
    void measure(uint16_t code, uint8_t, const MTextFormat& format, TextBox& box, double& advance) override {
        advance = format.height * format.widthFactor;
        if (code == ' ' || code == kMTextNonBreakingSpace) return;
        genBoxAddPoint(box, 0.0, 0.0);
        genBoxAddPoint(box, advance, format.height);
    }
    void draw(uint16_t code, uint8_t, const MTextFormat& format, double x, double y) override {
        if (code == ' ') return;  // a space has nothing to draw
        placed.push_back({char(code < 0x80 ? code : '?'), x, y, format.height});
    }
    void line(double x1, double y1, double x2, double y2) override { lines.push_back({x1, y1, x2, y2}); }
    void colour(int16_t colour) override { colours.push_back(colour); }

    std::vector<Placement> placed;
    std::vector<std::vector<double>> lines;
    std::vector<int16_t> colours;
};

MTextLayoutInput inputOf(const std::string& text, double height = 1.0) {
    MTextLayoutInput input;
    input.text = genPrepareMTextText(text);
    input.textHeight = height;
    input.initial.height = height;
    return input;
}

struct Laid {
    MTextLayoutResult measured;
    std::vector<Placement> placed;
    BoxGlyphs glyphs;
};

// Both passes, as the display runs them.
Laid layOut(MTextLayoutInput input) {
    Laid laid;
    genLayoutMText(nullptr, input, 0, laid.glyphs, laid.measured);
    input.extentsHeight = laid.measured.height;
    MTextLayoutResult drawn;
    genLayoutMText(nullptr, input, 1, laid.glyphs, drawn);
    laid.placed = laid.glyphs.placed;
    return laid;
}

std::string describe(const std::vector<Placement>& placed) {
    std::string out;
    for (const Placement& p : placed) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%s%c@%g,%g h%g", out.empty() ? "" : " ", p.character, p.x, p.y,
                      p.height);
        out += buffer;
    }
    return out;
}

TEST(MTextLayout, FormatsLinesAndSpacing) {
    const struct {
        const char* name;
        std::string text;
        double referenceWidth;
        std::string expected;
    } cases[] = {
        {"{\\H2x;AB}C: A and B twice as high as C", "{\\H2x;AB}C", 1e300, "A@0,-2 h2 B@2,-2 h2 C@4,-2 h1"},
        {"a ninth { is ignored: the pop after nine levels gives the eighth's height",
         "{\\H2x;{\\H2x;{\\H2x;{\\H2x;{\\H2x;{\\H2x;{\\H2x;{\\H2x;{\\H2x;A}B", 1e300, "A@0,-512 h512 B@512,-512 h128"},
        {"an unmatched } changes nothing", "}\\H2;A}B", 1e300, "A@0,-2 h2 B@2,-2 h2"},
        {"paragraphs: at least 1 x (h/3 + h/3 + h)", "A\\PB", 1e300, "A@0,-1 h1 B@0,-2.66667 h1"},
        {"a taller line pushes its baseline down", "A\\P\\H3;B", 1e300, "A@0,-1 h1 B@0,-4.66667 h3"},
        {"wrapping before the word that does not fit", "AA BB CC", 5.5, "A@0,-1 h1 A@1,-1 h1 B@3,-1 h1 B@4,-1 h1 "
                                                                         "C@0,-2.66667 h1 C@1,-2.66667 h1"},
        {"a word that exactly fills the width goes to the next line", "AA BBB", 6.0,
         "A@0,-1 h1 A@1,-1 h1 B@0,-2.66667 h1 B@1,-2.66667 h1 B@2,-2.66667 h1"},
        {"a first word wider than the width stays", "AAAAAAAA B", 3.0,
         "A@0,-1 h1 A@1,-1 h1 A@2,-1 h1 A@3,-1 h1 A@4,-1 h1 A@5,-1 h1 A@6,-1 h1 A@7,-1 h1 B@0,-2.66667 h1"},
        {"a non-breaking space is drawn and does not break", "AA\\~BB", 3.0,
         "A@0,-1 h1 A@1,-1 h1 ?@2,-1 h1 B@3,-1 h1 B@4,-1 h1"},
        {"a leading space is not drawn; the line starts where its ink does", " A", 1e300, "A@0,-1 h1"},
        {"width factor and tracking", "\\W2;A\\T2;BC", 1e300, "A@0,-1 h1 B@2,-1 h1 C@6,-1 h1"},
    };
    for (const auto& c : cases) {
        MTextLayoutInput input = inputOf(c.text);
        input.referenceWidth = c.referenceWidth;
        EXPECT_EQ(describe(layOut(input).placed), c.expected) << c.name;
    }
}

TEST(MTextLayout, LineSpacingStyles) {
    const struct {
        const char* name;
        int16_t style;
        double factor;
        double secondBaseline, thirdBaseline;
    } cases[] = {
        {"exactly, factor 1: 1.666667 x height apart", kMTextSpacingExactly, 1.0, -2 - 2 * 1.666667,
         -2 - 4 * 1.666667},
        {"exactly, factor 2", kMTextSpacingExactly, 2.0, -2 - 4 * 1.666667, -2 - 8 * 1.666667},
        {"at least, factor 1", kMTextSpacingAtLeast, 1.0, -2 - (2.0 / 3 + 2.0 / 3 + 2), -2 - 2 * (2.0 / 3 + 2.0 / 3 + 2)},
        {"a factor of 0 counts as 1", kMTextSpacingAtLeast, 0.0, -2 - (2.0 / 3 + 2.0 / 3 + 2),
         -2 - 2 * (2.0 / 3 + 2.0 / 3 + 2)},
    };
    for (const auto& c : cases) {
        MTextLayoutInput input = inputOf("A\\PB\\PC", 2.0);
        input.lineSpacingStyle = c.style;
        input.lineSpacingFactor = c.factor;
        const Laid laid = layOut(input);
        ASSERT_EQ(laid.placed.size(), 3u) << c.name;
        EXPECT_DOUBLE_EQ(laid.placed[0].y, -2.0) << c.name;
        EXPECT_NEAR(laid.placed[1].y, c.secondBaseline, 1e-12) << c.name;
        EXPECT_NEAR(laid.placed[2].y, c.thirdBaseline, 1e-12) << c.name;
    }
}

TEST(MTextLayout, MeasuringLeavesOutTrailingSpaces) {
    const struct {
        const char* name;
        std::string text;
        double width, height;
    } cases[] = {
        {"two letters", "AB", 2, 1},
        {"trailing spaces are not measured", "AB    ", 2, 1},
        {"nor a space before \\P", "AB \\PC", 2, 1 + 5.0 / 3},
        {"a closing brace keeps the spaces before it out", "{AB   }", 2, 1},
        {"\\P} gets a second paragraph break: three lines", "{AB\\P}", 2, 1 + 10.0 / 3},
    };
    for (const auto& c : cases) {
        const Laid laid = layOut(inputOf(c.text));
        EXPECT_DOUBLE_EQ(laid.measured.width, c.width) << c.name;
        EXPECT_NEAR(laid.measured.height, c.height, 1e-12) << c.name;
    }
    EXPECT_EQ(genPrepareMTextText("AB  "), "AB");
    EXPECT_EQ(genPrepareMTextText("{AB \\P}"), "{AB \\P\\P}");
}

TEST(MTextLayout, LineFeedsBreakOnlyWhileTheSwitchIsOff) {
    MTextLayoutInput input = inputOf("AA BB\nCC");
    input.referenceWidth = 3.0;
    input.skipLineFeeds = 0;  // an R13 MTEXT with line feeds: they break and nothing wraps
    const Laid lineFeeds = layOut(input);
    EXPECT_EQ(lineFeeds.measured.lines, 2);
    EXPECT_EQ(describe(lineFeeds.placed),
              "A@0,-1 h1 A@1,-1 h1 B@3,-1 h1 B@4,-1 h1 C@0,-2.66667 h1 C@1,-2.66667 h1");
    input.skipLineFeeds = 1;  // line feeds passed over, lines wrap
    const Laid wrapped = layOut(input);
    EXPECT_EQ(wrapped.measured.lines, 2);
    EXPECT_EQ(describe(wrapped.placed), "A@0,-1 h1 A@1,-1 h1 B@0,-2.66667 h1 B@1,-2.66667 h1 C@2,-2.66667 h1 "
                                        "C@3,-2.66667 h1");
}

TEST(MTextLayout, AttachmentPlacesTheBlock) {
    const struct {
        uint8_t attachment;
        double firstX, firstY;
    } cases[] = {
        {1, 0, -1}, {2, -1, -1}, {3, -2, -1},                          // top
        {4, 0, -1 + 4.0 / 3}, {5, -1, -1 + 4.0 / 3}, {6, -2, -1 + 4.0 / 3},  // middle: half of 8/3
        {7, 0, -1 + 8.0 / 3}, {8, -1, -1 + 8.0 / 3}, {9, -2, -1 + 8.0 / 3},  // bottom
    };
    for (const auto& c : cases) {
        MTextLayoutInput input = inputOf("AB\\PCDEF");
        input.attachment = c.attachment;
        const Laid laid = layOut(input);
        ASSERT_EQ(laid.placed.size(), 6u);
        EXPECT_NEAR(laid.placed[0].x, c.firstX, 1e-12) << int(c.attachment);
        EXPECT_NEAR(laid.placed[0].y, c.firstY, 1e-12) << int(c.attachment);
        EXPECT_NEAR(laid.placed[2].x, c.firstX * 2, 1e-12) << "the second line by its own width";
    }
    EXPECT_EQ(genAttachmentOffsetX(2, TextBox{}), 0.0) << "an empty line";
}

TEST(MTextLayout, StackedFractions) {
    const struct {
        const char* name;
        std::string text;
        std::string placed;
        std::vector<std::vector<double>> bars;
        double width;
    } cases[] = {
        {"1/2: the narrower centred, a bar h/6 above the bottom part", "\\S1/22;", "2@0,-1 h1 2@1,-1 h1 1@0.5,0.333333 h1",
         {{0, 1.0 / 6, 2, 1.0 / 6}}, 2},
        {"1^2: no bar", "\\S1^2;", "2@0,-1 h1 1@0,0.333333 h1", {}, 1},
        {"1#2: side by side with a slanted bar", "\\S1#2;", "1@0,0 h1 2@1,-1 h1",
         {{1 - 0.7 * 5.0 / 6, -5.0 / 6, 1 + 0.7 * 5.0 / 6, 5.0 / 6}}, 2},
        {"no bottom: an empty bottom of h/6", "\\S1;", "1@0,-0.5 h1", {}, 1},
    };
    for (const auto& c : cases) {
        MTextLayoutInput input = inputOf(c.text);
        const Laid laid = layOut(input);
        EXPECT_EQ(describe(laid.placed), c.placed) << c.name;
        ASSERT_EQ(laid.glyphs.lines.size(), c.bars.size()) << c.name;
        for (size_t i = 0; i < c.bars.size(); ++i)
            for (size_t k = 0; k < 4; ++k) EXPECT_NEAR(laid.glyphs.lines[i][k], c.bars[i][k], 1e-9) << c.name;
        EXPECT_NEAR(laid.measured.width, c.width, 1e-12) << c.name;
    }
}

TEST(MTextLayout, ColoursGoOutInTheDrawingPass) {
    MTextLayoutInput input = inputOf("A\\C1;B\\C256;C\\C0;D");
    input.initial.colour = 5;
    input.byLayerColour = 3;
    input.byBlockColour = 4;
    BoxGlyphs glyphs;
    MTextLayoutResult result;
    genLayoutMText(nullptr, input, 0, glyphs, result);
    EXPECT_TRUE(glyphs.colours.empty()) << "measuring sends no colour";
    genLayoutMText(nullptr, input, 1, glyphs, result);
    EXPECT_EQ(glyphs.colours, (std::vector<int16_t>{5, 1, 3, 4}));
}

} // namespace
} // namespace tracemill
