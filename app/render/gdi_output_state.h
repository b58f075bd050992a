// The one process-wide state that every hook set drawing on a device context shares: the
// target (and, for raster export, the mask) device context, the pen position, the target's
// size, the print rotation and offset, the pen width, the line-weight display, the current
// colour index and the cache of 16 pens with their brushes. The drivers set it before a pass;
// the hooks read and update it. Only one pass runs at a time.
#pragma once

#include <array>
#include <cstdint>

#include "app/render/screen_colors.h"
#include "platform/gdi/device_context.h"

namespace tracemill {

// One cached pen with the solid brush of the same colour and the colour index they are for.
struct PenCacheSlot {
    gdi::Pen pen;
    gdi::Brush brush;
    uint16_t colorIndex = 0;
};

inline constexpr size_t kPenCacheSlots = 16;
// Slots 0 to 7 hold the pens of colours 0 to 7; slots 8 to 15 are reused in turn.
inline constexpr uint16_t kFirstRotatingSlot = 8;

// What a pass replaces of a device context's mapping and puts back afterwards.
struct SavedMapping {
    gdi::Point windowOrg;
    gdi::Size windowExt{1, 1};
    gdi::MapMode mapMode = gdi::MapMode::Text;
};

// No colour selected yet: the next colour change always selects a pen.
inline constexpr uint16_t kNoColorSelected = 0xFFFF;

struct GdiOutputState {
    gdi::DeviceContext* target = nullptr;
    gdi::DeviceContext* mask = nullptr;  // the mask bitmap of the raster export (DC hook set)
    uint8_t deviceHooks = 0;             // 1 while the device hook set is installed

    int32_t lastX = 0;  // the pen position the last move-to or line-to left
    int32_t lastY = 0;

    int32_t width = 0;  // of the target
    int32_t height = 0;
    gdi::Rect clip;

    int16_t printRotation = 0;  // 0 to 3 quarter turns of the print hook set
    int32_t printOffsetX = 0;
    int32_t printOffsetY = 0;
    uint8_t printOutput = 0;    // the print hook set draws only while set

    int32_t penWidth = 0;       // device units; 0 is one pixel
    uint8_t lineWeightFlag = 0; // line weights are shown
    int32_t lineWeightValue = 0;

    uint16_t colorIndex = 0;

    std::array<PenCacheSlot, kPenCacheSlots> penCache;
    int16_t currentSlot = 0;
    uint16_t nextSlot = kFirstRotatingSlot;

    gdi::Pen whitePen;
    gdi::Brush whiteBrush;

    SavedMapping targetMapping;
    SavedMapping maskMapping;
};

GdiOutputState& GetGdiOutputState();

// Start-up: the toolkit's colour remap table to the identity, the working colour tables to the
// fixed colours, the pens and brushes of colours 0 to 15 of the colour table in slots 0 to
// 15, the next slot to replace 8, and the white pen and brush.
void InitGdiOutputState();

// Shut-down: the pen cache emptied and the state back to what it was before start-up.
void ReleaseGdiOutputState();

// Rebuilds slots 0 to 15: a solid pen of `width` and a solid brush, both in palette entry i,
// for colour index i.
void RebuildPenCache(int32_t width, const ColorTable& palette);

// Fills (0, 0, width, height) with a black pen and brush and puts the previous pen and brush
// back (the raster export clears its mask with it).
void FillDcBlack(gdi::DeviceContext& dc, int32_t width, int32_t height);

// A solid pen of a width and colour, and a solid brush of a colour.
gdi::Pen SolidPen(int32_t width, gdi::ColorRef colour);
gdi::Brush SolidBrush(gdi::ColorRef colour);

} // namespace tracemill
