#include "app/render/screen_colors.h"

#include "app/services/language_texts.h"

namespace tracemill {
namespace {

// The colour indices of drawings as red-green-blue (0xRRGGBB), in index order.
constexpr uint32_t kDefaultRgb[kColorIndexCount] = {
    0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF, 0xFFFFFF, 0x989898, 0xC0C0C0,  // 0-9
    0xFF0000, 0xFF8080, 0xA60000, 0xA65353, 0x800000, 0x804040, 0x4C0000, 0x4C2626, 0x260000, 0x261313,  // 10-19
    0xFF4000, 0xFF9F80, 0xA62900, 0xA66853, 0x802000, 0x805040, 0x4C1300, 0x4C3026, 0x260A00, 0x261813,  // 20-29
    0xFF8000, 0xFFBF80, 0xA65300, 0xA67C53, 0x804000, 0x806040, 0x4C2600, 0x4C3926, 0x261300, 0x261D13,  // 30-39
    0xFFBF00, 0xFFDF80, 0xA67C00, 0xA69153, 0x806000, 0x807040, 0x4C3900, 0x4C4326, 0x261D00, 0x262113,  // 40-49
    0xFFFF00, 0xFFFF80, 0xA6A600, 0xA6A653, 0x808000, 0x808040, 0x4C4C00, 0x4C4C26, 0x262600, 0x262613,  // 50-59
    0xBFFF00, 0xDFFF80, 0x7CA600, 0x91A653, 0x608000, 0x708040, 0x394C00, 0x434C26, 0x1D2600, 0x212613,  // 60-69
    0x80FF00, 0xBFFF80, 0x53A600, 0x7CA653, 0x408000, 0x608040, 0x264C00, 0x394C26, 0x132600, 0x1D2613,  // 70-79
    0x40FF00, 0x9FFF80, 0x29A600, 0x68A653, 0x208000, 0x508040, 0x134C00, 0x304C26, 0x0A2600, 0x182613,  // 80-89
    0x00FF00, 0x80FF80, 0x00A600, 0x53A653, 0x008000, 0x408040, 0x004C00, 0x264C26, 0x002600, 0x132613,  // 90-99
    0x00FF40, 0x80FF9F, 0x00A629, 0x53A668, 0x008020, 0x408050, 0x004C13, 0x264C30, 0x00260A, 0x132618,  // 100-109
    0x00FF80, 0x80FFBF, 0x00A653, 0x53A67C, 0x008040, 0x408060, 0x004C26, 0x264C39, 0x002613, 0x13261D,  // 110-119
    0x00FFBF, 0x80FFDF, 0x00A67C, 0x53A691, 0x008060, 0x408070, 0x004C39, 0x264C43, 0x00261D, 0x132621,  // 120-129
    0x00FFFF, 0x80FFFF, 0x00A6A6, 0x53A6A6, 0x008080, 0x408080, 0x004C4C, 0x264C4C, 0x002626, 0x132626,  // 130-139
    0x00BFFF, 0x80DFFF, 0x007CA6, 0x5391A6, 0x006080, 0x407080, 0x00394C, 0x26434C, 0x001D26, 0x132126,  // 140-149
    0x0080FF, 0x80BFFF, 0x0053A6, 0x537CA6, 0x004080, 0x406080, 0x00264C, 0x26394C, 0x001326, 0x131D26,  // 150-159
    0x0040FF, 0x809FFF, 0x0029A6, 0x5368A6, 0x002080, 0x405080, 0x00134C, 0x26304C, 0x000A26, 0x131826,  // 160-169
    0x0000FF, 0x8080FF, 0x0000A6, 0x5353A6, 0x000080, 0x404080, 0x00004C, 0x26264C, 0x000026, 0x131326,  // 170-179
    0x4000FF, 0x9F80FF, 0x2900A6, 0x6853A6, 0x200080, 0x504080, 0x13004C, 0x30264C, 0x0A0026, 0x181326,  // 180-189
    0x8000FF, 0xBF80FF, 0x5300A6, 0x7C53A6, 0x400080, 0x604080, 0x26004C, 0x39264C, 0x130026, 0x1D1326,  // 190-199
    0xBF00FF, 0xDF80FF, 0x7C00A6, 0x9153A6, 0x600080, 0x704080, 0x39004C, 0x43264C, 0x1D0026, 0x211326,  // 200-209
    0xFF00FF, 0xFF80FF, 0xA600A6, 0xA653A6, 0x800080, 0x804080, 0x4C004C, 0x4C264C, 0x260026, 0x261326,  // 210-219
    0xFF00BF, 0xFF80DF, 0xA6007C, 0xA65391, 0x800060, 0x804070, 0x4C0039, 0x4C2643, 0x26001D, 0x261321,  // 220-229
    0xFF0080, 0xFF80BF, 0xA60053, 0xA6537C, 0x800040, 0x804060, 0x4C0026, 0x4C2639, 0x260013, 0x26131D,  // 230-239
    0xFF0040, 0xFF809F, 0xA60029, 0xA65368, 0x800020, 0x804050, 0x4C0013, 0x4C2630, 0x26000A, 0x261318,  // 240-249
    0x545454, 0x767676, 0x989898, 0xBBBBBB, 0xDDDDDD, 0xFFFFFF,                                          // 250-255
};

constexpr ColorTable makeDefaultTable() {
    ColorTable table{};
    for (size_t i = 0; i < kColorIndexCount; ++i) {
        const uint32_t rgb = kDefaultRgb[i];
        table[i] = gdi::rgb(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
    }
    return table;
}

constexpr ColorTable kDefaultTable = makeDefaultTable();
constexpr gdi::ColorRef kUnknownIndexColour = gdi::rgb(0xDE, 0xDE, 0xDE);
constexpr gdi::ColorRef kWhite = gdi::rgb(0xFF, 0xFF, 0xFF);
constexpr gdi::ColorRef kBlack = 0;
constexpr uint16_t kContrastIndex = 7;

gdi::ColorRef greyOf(gdi::ColorRef colour) {
    const uint8_t g = uint8_t(GrayValue(colour));
    return gdi::rgb(g, g, g);
}

struct WorkingTables {
    WorkingTables() { reset(); }
    void reset() {
        colour = kDefaultTable;
        for (size_t i = 0; i < kColorIndexCount; ++i) grey[i] = greyOf(colour[i]);
        black.fill(kBlack);
        previousBackground = -1;
    }
    ColorTable colour;
    ColorTable grey;
    ColorTable black;
    int16_t previousBackground = -1;
};

WorkingTables& tables() {
    static WorkingTables instance;
    return instance;
}

Palette paletteOf(const ColorTable& table, size_t count) {
    Palette palette(count);
    for (size_t i = 0; i < count; ++i)
        palette[i] = {gdi::redOf(table[i]), gdi::greenOf(table[i]), gdi::blueOf(table[i]), 2};
    return palette;
}

gdi::ColorRef dimmed(gdi::ColorRef colour) {
    return gdi::rgb(uint8_t(gdi::redOf(colour) * 0.8), uint8_t(gdi::greenOf(colour) * 0.8),
                    uint8_t(gdi::blueOf(colour) * 0.8));
}

struct ColourName {
    const char* key;
    const char* english;
};

constexpr ColourName kColourNames[] = {
    {"clBlack", "Black"}, {"clRed", "Red"},         {"clYellow", "Yellow"},
    {"clGreen", "Green"}, {"clAqua", "Aqua"},       {"clBlue", "Blue"},
    {"clFuchsia", "Fuchsia"}, {"clWhite", "White"}, {"clDarkGray", "Dark Gray"},
};

} // namespace

const ColorTable& DefaultAciColors() { return kDefaultTable; }
const ColorTable& ColorWorkingTable() { return tables().colour; }
const ColorTable& GrayWorkingTable() { return tables().grey; }
const ColorTable& BlackColorTable() { return tables().black; }

int GrayValue(gdi::ColorRef colour) {
    return int(0.299 * gdi::redOf(colour) + 0.587 * gdi::greenOf(colour) + 0.114 * gdi::blueOf(colour));
}

void SetBackgroundColorIndex(uint16_t index) {
    if (index >= kColorIndexCount) return;
    WorkingTables& t = tables();
    if (t.previousBackground >= 0) {
        const size_t previous = size_t(t.previousBackground);
        t.colour[previous] = kDefaultTable[previous];
        t.grey[previous] = greyOf(kDefaultTable[previous]);
    }
    gdi::ColorRef contrast = kBlack;
    if (index != kContrastIndex && GrayValue(t.colour[index]) < 128) contrast = kWhite;
    t.colour[kContrastIndex] = contrast;
    t.grey[kContrastIndex] = contrast;
    if (index != kContrastIndex) {
        t.colour[index] = dimmed(kDefaultTable[index]);
        t.grey[index] = greyOf(t.colour[index]);
    }
    t.previousBackground = int16_t(index);
}

uint16_t GetBackgroundColorIndex() {
    const int16_t previous = tables().previousBackground;
    return previous < 0 ? 0 : uint16_t(previous);
}

namespace {
uint16_t applicationBackground = 0;
} // namespace

void SetApplicationBackgroundColor(uint16_t index) {
    if (index < kColorIndexCount) applicationBackground = index;
}

uint16_t GetApplicationBackgroundColor() { return applicationBackground; }

void ResetColorTables() { tables().reset(); }

gdi::ColorRef GetAciColor(int16_t index, std::string* nameOut, bool forceWhite7) {
    const bool known = index >= 0 && size_t(index) < kColorIndexCount;
    if (nameOut) {
        if (index >= 0 && size_t(index) < std::size(kColourNames)) {
            *nameOut = LookupText(kColourNames[index].key, kColourNames[index].english);
        } else {
            *nameOut = LookupText("clColor", "Color") + " " + std::to_string(index);
        }
    }
    if (!known) return kUnknownIndexColour;
    if (index == kContrastIndex && forceWhite7) return kWhite;
    return tables().colour[size_t(index)];
}

const Palette& GetColorDibPalette() {
    static const Palette palette = paletteOf(kDefaultTable, kColorIndexCount);
    return palette;
}

const Palette& GetGrayDibPalette() {
    static const Palette palette = [] {
        Palette p(kColorIndexCount);
        for (size_t i = 0; i < kColorIndexCount; ++i) p[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 2};
        return p;
    }();
    return palette;
}

const Palette& GetMonoDibPalette() {
    static const Palette palette = {{0, 0, 0, 2}, {0xFF, 0xFF, 0xFF, 2}};
    return palette;
}

} // namespace tracemill
