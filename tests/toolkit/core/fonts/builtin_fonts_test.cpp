#include "toolkit/core/fonts/builtin_fonts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iomanip>
#include <numbers>
#include <set>
#include <sstream>

#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using BuiltinFonts = test::ToolkitTest;

struct Point {
    double x = 0;
    double y = 0;
};
using Stroke = std::vector<Point>;

// What a shape draws: its strokes and where the pen ends.
struct DecodedShape {
    std::vector<Stroke> strokes;
    Point pen;
    std::string error;  // set when the shape uses a code the built-in fonts must not use
};

ShapeFont& simplex() { return *gSystemContext->builtinFonts[0]; }
ShapeFont& gdt() { return *gSystemContext->builtinFonts[1]; }

std::vector<uint16_t> numbers(const ShapeFont& font) {
    std::vector<uint16_t> result;
    for (const ShapeIndexEntry& entry : font.index) result.push_back(entry.number);
    return result;
}

// The shape bytes of an entry: its NUL-terminated name first.
std::string shapeName(const ShapeFont& font, const ShapeIndexEntry& entry) {
    const auto bytes = font.shapeBytes();
    std::string name;
    for (size_t i = entry.offset; i < bytes.size() && bytes[i] != 0; ++i) name.push_back(char(bytes[i]));
    return name;
}

// Runs the shape of a character through the cursor operations, for the codes the built-in
// fonts are made of: 0 end, 1 pen down, 2 pen up, 8 one displacement, 9 displacements up to
// (0, 0), 10 octant arc (flattened by octants), and vector bytes.
DecodedShape decodeShape(ShapeFont& font, uint16_t code) {
    DecodedShape shape;
    if (genFindShape(nullptr, &font, nullptr, code, 0) != &font) {
        shape.error = "no shape";
        return shape;
    }
    while (genNextShapeByte(font) != 0) {}  // the name
    static const int kDirections[16][2] = {{2, 0},  {2, 1},  {2, 2},   {1, 2},   {0, 2},  {-1, 2},
                                           {-2, 2}, {-2, 1}, {-2, 0},  {-2, -1}, {-2, -2}, {-1, -2},
                                           {0, -2}, {1, -2}, {2, -2},  {2, -1}};
    bool down = true;
    bool inStroke = false;
    auto lineTo = [&](Point to) {
        if (down) {
            if (!inStroke) shape.strokes.push_back({shape.pen});
            shape.strokes.back().push_back(to);
        }
        inStroke = down;
        shape.pen = to;
    };
    auto signedByte = [&] { return double(int8_t(genNextShapeByte(font))); };
    for (int steps = 0; steps < 10000; ++steps) {
        const uint8_t b = genNextShapeByte(font);
        if (b == 0) return shape;
        if (b == 1 || b == 2) {
            down = b == 1;
            inStroke = false;
        } else if (b == 8) {
            const double dx = signedByte();
            lineTo({shape.pen.x + dx, shape.pen.y + signedByte()});
        } else if (b == 9) {
            for (;;) {
                const double dx = signedByte();
                const double dy = signedByte();
                if (dx == 0 && dy == 0) break;
                lineTo({shape.pen.x + dx, shape.pen.y + dy});
            }
        } else if (b == 10) {
            const double radius = genNextShapeByte(font);
            const uint8_t spec = genNextShapeByte(font);
            const int start = (spec >> 4) & 7;
            const int octants = (spec & 7) ? (spec & 7) : 8;
            const double sign = (spec & 0x80) ? -1 : 1;
            const double a0 = start * std::numbers::pi / 4;
            const Point centre{shape.pen.x - radius * std::cos(a0), shape.pen.y - radius * std::sin(a0)};
            for (int k = 1; k <= octants; ++k) {
                const double a = a0 + sign * k * std::numbers::pi / 4;
                lineTo({centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)});
            }
        } else if (b >= 0x10) {
            const int length = b >> 4;
            lineTo({shape.pen.x + kDirections[b & 15][0] * length / 2.0,
                    shape.pen.y + kDirections[b & 15][1] * length / 2.0});
        } else {
            shape.error = "code " + std::to_string(b);
            return shape;
        }
    }
    shape.error = "no end";
    return shape;
}

// One glyph of a Hershey glyph file: bounds and strokes, y downwards.
struct HersheyGlyph {
    int left = 0;
    int right = 0;
    std::vector<Stroke> strokes;
};

// The glyphs of the file in file order (a record may go on in the lines after it).
std::vector<HersheyGlyph> readHersheyFile(const std::string& path) {
    std::ifstream in(path);
    std::vector<HersheyGlyph> glyphs;
    std::string record;
    std::string line;
    while (std::getline(in, line)) {
        record += line;
        if (record.size() < 8) continue;
        const size_t pairs = std::stoul(record.substr(5, 3));
        if (record.size() < 8 + 2 * pairs) continue;
        HersheyGlyph glyph;
        glyph.left = record[8] - 'R';
        glyph.right = record[9] - 'R';
        Stroke stroke;
        for (size_t i = 10; i < 8 + 2 * pairs; i += 2) {
            if (record.compare(i, 2, " R") == 0) {
                glyph.strokes.push_back(stroke);
                stroke.clear();
            } else {
                stroke.push_back({double(record[i] - 'R'), double(record[i + 1] - 'R')});
            }
        }
        glyph.strokes.push_back(stroke);
        glyphs.push_back(glyph);
        record.clear();
    }
    return glyphs;
}

// Strokes as drawn: a stroke that starts where the one before it ends goes on from it (the
// pen need not be lifted between them), without repeated points, without points inside a
// straight run (a long move is written as several vectors), and without strokes that draw
// nothing.
std::vector<Stroke> drawnStrokes(const std::vector<Stroke>& strokes) {
    std::vector<Stroke> joined;
    for (const Stroke& stroke : strokes) {
        if (stroke.empty()) continue;
        if (!joined.empty() && joined.back().back().x == stroke.front().x && joined.back().back().y == stroke.front().y) {
            joined.back().insert(joined.back().end(), stroke.begin() + 1, stroke.end());
        } else {
            joined.push_back(stroke);
        }
    }
    std::vector<Stroke> result;
    for (const Stroke& stroke : joined) {
        Stroke kept;
        for (const Point& p : stroke) {
            if (!kept.empty() && kept.back().x == p.x && kept.back().y == p.y) continue;
            if (kept.size() >= 2) {
                const Point& a = kept[kept.size() - 2];
                const Point& b = kept.back();
                const double cross = (b.x - a.x) * (p.y - b.y) - (b.y - a.y) * (p.x - b.x);
                const double along = (b.x - a.x) * (p.x - b.x) + (b.y - a.y) * (p.y - b.y);
                if (std::abs(cross) < 1e-9 && along > 0) kept.pop_back();
            }
            kept.push_back(p);
        }
        if (kept.size() >= 2) result.push_back(kept);
    }
    return result;
}

// A shape as text, strokes rounded to 1/1000 unit, to compare shapes of two fonts.
std::string shapeText(const DecodedShape& shape) {
    std::ostringstream out;
    out << std::fixed << std::setprecision(3);
    for (const Stroke& stroke : shape.strokes) {
        for (const Point& p : stroke) out << p.x << ',' << p.y << ' ';
        out << '|';
    }
    out << "pen " << shape.pen.x << ',' << shape.pen.y << ' ' << shape.error;
    return out.str();
}

TEST_F(BuiltinFonts, BothFontsAreShapeFontsOverTheInitData) {
    struct Expected {
        const char* path;
        uint8_t kind;
        size_t shapes;
        size_t bytes;
    } expected[] = {{"SIMPLEX.SHX", 0x04, 100, 4998}, {"GDT.SHX", 0x44, 103, 4832}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(expected[i].path);
        const ShapeFont& font = *gSystemContext->builtinFonts[i];
        EXPECT_EQ(font.path, expected[i].path);
        EXPECT_EQ(font.request, "");
        EXPECT_EQ(font.kind, expected[i].kind);
        EXPECT_EQ(font.above, 21);
        EXPECT_EQ(font.below, 6);
        EXPECT_EQ(font.modes, 2);
        EXPECT_EQ(font.firstShape, 0);
        EXPECT_EQ(font.lastShape, 258);
        EXPECT_EQ(size_t(font.shapeCount), expected[i].shapes);
        EXPECT_EQ(font.shapeBytes().size(), expected[i].bytes);
        EXPECT_EQ(font.shapeBytes().data(), gSystemContext->initData.fonts[i].file.data())
            << "the font reads the init data's copy";
        EXPECT_EQ(font.index, gSystemContext->initData.fonts[i].index);
        EXPECT_EQ(font.sortedIndex, font.index) << "the init data's index is ascending";

        const std::vector<uint16_t> n = numbers(font);
        ASSERT_EQ(n.size(), expected[i].shapes);
        EXPECT_EQ(std::vector<uint16_t>(n.begin(), n.begin() + 5), (std::vector<uint16_t>{0, 10, 32, 33, 34}));
        EXPECT_EQ(std::vector<uint16_t>(n.end() - 3, n.end()), (std::vector<uint16_t>{256, 257, 258}));
        EXPECT_TRUE(std::is_sorted(n.begin(), n.end()));

        // Shape 0 is the font-information shape: name, NUL, above, below, modes.
        const auto bytes = font.shapeBytes();
        const size_t info = font.index[0].offset + shapeName(font, font.index[0]).size() + 1;
        ASSERT_LT(info + 2, bytes.size());
        EXPECT_EQ(bytes[info], 21);
        EXPECT_EQ(bytes[info + 1], 6);
        EXPECT_EQ(bytes[info + 2], 2);
    }
}

TEST_F(BuiltinFonts, EveryShapeUsesOnlyTheBasicCodesAndEndsInsideItsFont) {
    for (ShapeFont* font : {&simplex(), &gdt()}) {
        SCOPED_TRACE(font->path);
        for (const ShapeIndexEntry& entry : font->index) {
            if (entry.number == 0) continue;
            SCOPED_TRACE(entry.number);
            const DecodedShape shape = decodeShape(*font, entry.number);
            EXPECT_EQ(shape.error, "");
            EXPECT_LE(font->cursor.offset, font->shapeBytes().size()) << "the end code lies inside the font";
            EXPECT_NEAR(shape.pen.y, entry.number == 10 ? -34 : 0, 1e-9) << "the pen ends on the baseline";
            if (entry.number > 32 && entry.number != 10) {
                EXPECT_FALSE(shape.strokes.empty());
            }
        }
    }
}

TEST_F(BuiltinFonts, SimplexGlyphsAreTheHersheyRomanSimplexGlyphs) {
    const std::vector<HersheyGlyph> hershey = readHersheyFile(TRACEMILL_HERSHEY_GLYPHS);
    ASSERT_GE(hershey.size(), 95u) << TRACEMILL_HERSHEY_GLYPHS;
    for (uint16_t code = 32; code <= 126; ++code) {
        SCOPED_TRACE(std::string(1, char(code)));
        const HersheyGlyph& glyph = hershey[code - 32];
        // Hershey units are shape units; x from the left bound, y up from the baseline 9.
        std::vector<Stroke> expected;
        for (const Stroke& stroke : glyph.strokes) {
            Stroke mapped;
            for (const Point& p : stroke) mapped.push_back({p.x - glyph.left, 9 - p.y});
            expected.push_back(mapped);
        }
        expected = drawnStrokes(expected);
        const DecodedShape shape = decodeShape(simplex(), code);
        ASSERT_EQ(shape.error, "");
        const std::vector<Stroke> drawn = drawnStrokes(shape.strokes);
        ASSERT_EQ(drawn.size(), expected.size());
        for (size_t s = 0; s < drawn.size(); ++s) {
            ASSERT_EQ(drawn[s].size(), expected[s].size()) << "stroke " << s;
            for (size_t p = 0; p < drawn[s].size(); ++p) {
                EXPECT_LE(std::abs(drawn[s][p].x - expected[s][p].x), 1.0) << "stroke " << s << " point " << p;
                EXPECT_LE(std::abs(drawn[s][p].y - expected[s][p].y), 1.0) << "stroke " << s << " point " << p;
            }
        }
        EXPECT_EQ(shape.pen.x, glyph.right - glyph.left) << "advance";
    }
}

std::string shapeText(ShapeFont& font, uint16_t code) { return shapeText(decodeShape(font, code)); }

TEST_F(BuiltinFonts, GdtHasTheTextGlyphsTheSymbolsAndToleranceSymbolsOnLowerCase) {
    for (uint16_t code = 32; code <= 126; ++code) {
        if (code >= 'a' && code <= 'z') continue;
        if (code == 0x60 || code == 0x7E) continue;
        EXPECT_EQ(shapeText(gdt(), code), shapeText(simplex(), code)) << "code " << code;
    }
    const struct {
        const char* symbol;
        uint16_t simplexCode;
        std::vector<uint16_t> gdtCodes;
    } symbols[] = {{"degree", 256, {0x7E, 127, 256}},
                   {"plus-minus", 257, {0x60, 128, 257}},
                   {"diameter", 258, {0x6E, 129, 258}}};
    for (const auto& symbol : symbols) {
        SCOPED_TRACE(symbol.symbol);
        const std::string expected = shapeText(simplex(), symbol.simplexCode);
        EXPECT_EQ(decodeShape(simplex(), symbol.simplexCode).error, "");
        for (uint16_t code : symbol.gdtCodes) EXPECT_EQ(shapeText(gdt(), code), expected) << "code " << code;
    }
    // Every lower-case letter holds its own symbol, none of them a letter of SIMPLEX.
    std::set<std::string> seen;
    for (uint16_t code = 'a'; code <= 'z'; ++code) {
        const std::string shape = shapeText(gdt(), code);
        EXPECT_NE(shape, shapeText(simplex(), code)) << char(code);
        EXPECT_TRUE(seen.insert(shape).second) << char(code) << " repeats another symbol";
    }
}

TEST_F(BuiltinFonts, FreeAndCreateAgain) {
    genFreeBuiltinFonts();
    EXPECT_EQ(gSystemContext->builtinFonts[0], nullptr);
    EXPECT_EQ(gSystemContext->builtinFonts[1], nullptr);
    EXPECT_EQ(genCreateBuiltinFonts(), 1);
    EXPECT_NE(gSystemContext->builtinFonts[1], nullptr);
}

} // namespace
} // namespace tracemill
