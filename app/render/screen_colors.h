// The colours of the 256 colour indices of drawings: the fixed table the program carries, the
// three working tables the colour modes draw with (256 colours, grey, black and white), the
// background colour handling that changes them, the colour names, and the palettes handed to
// bitmaps.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/image/palette.h"
#include "platform/gdi/gdi_types.h"

namespace tracemill {

inline constexpr size_t kColorIndexCount = 256;
using ColorTable = std::array<gdi::ColorRef, kColorIndexCount>;

// The fixed colour of every colour index.
const ColorTable& DefaultAciColors();

// The working tables: the colour table (a copy of the default table changed by the background
// handling; the palette of the 256-colour mode), its grey values, and all black.
const ColorTable& ColorWorkingTable();
const ColorTable& GrayWorkingTable();
const ColorTable& BlackColorTable();

// 0.299 red + 0.587 green + 0.114 blue, truncated.
int GrayValue(gdi::ColorRef colour);

// Makes the colour index the background of drawings on screen: the previous background's
// entry gets its fixed colour back; entry 7 becomes the colour that stands out on it (white
// on a dark background, black on a light one, black for background 7); the new background's
// entry is dimmed to 0.8 of its fixed colour (except for 7). Indices above 255 change nothing.
void SetBackgroundColorIndex(uint16_t index);
// The index last made the background (0 when none was yet).
uint16_t GetBackgroundColorIndex();

// The application's background colour index of model space (the user's setting), which the
// draw driver makes the background of a model-space picture; 0 until the settings give one.
void SetApplicationBackgroundColor(uint16_t index);
uint16_t GetApplicationBackgroundColor();

// Puts the working tables back to the fixed colours and forgets the background.
void ResetColorTables();

// The colour of an index from the colour working table (index 7 white when forceWhite7);
// outside 0 to 255 the colour DEDEDE. With a name wanted, also its display name: the
// language texts of the first nine colours, else "Color" and the number.
gdi::ColorRef GetAciColor(int16_t index, std::string* nameOut = nullptr, bool forceWhite7 = false);

// Palettes for bitmaps: the 256 fixed colours, 256 greys, and black and white.
const Palette& GetColorDibPalette();
const Palette& GetGrayDibPalette();
const Palette& GetMonoDibPalette();

} // namespace tracemill
