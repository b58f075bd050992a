// What a drawing keeps of fonts while it is displayed: the fonts loaded for it, the names
// that were not found, and the shape names of its shape-file styles looked up so far.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/fonts/shape_font.h"

namespace tracemill {

// Names of fonts that were not found, so that they are not searched again: a ring of five.
inline constexpr int kMissingFontSlots = 5;
// Shape names found by genShapeNameByNumber and genShapeNumberByName.
inline constexpr int kShapeNameCacheSize = 10;
inline constexpr size_t kShapeNameMaxLength = 31;

struct ShapeNameCacheEntry {
    Handle style;           // the shape-file style
    uint16_t number = 0;    // shape number
    std::string name;       // at most kShapeNameMaxLength characters
};

struct DrawingFonts {
    // Loaded fonts in the order they were loaded; the drawing owns them.
    std::vector<std::unique_ptr<ShapeFont>> list;

    std::array<std::string, kMissingFontSlots> missing;
    int16_t missingCount = 0;  // 0..5
    int16_t missingNext = 0;   // the slot the next name goes into

    std::array<ShapeNameCacheEntry, kShapeNameCacheSize> shapeNames;
    int16_t shapeNameCount = 0;
};

} // namespace tracemill
