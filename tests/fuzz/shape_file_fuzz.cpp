// Fuzz harness: the readers of shape fonts, unifonts and big fonts over damaged files, and the
// shape lookup and byte reading over what they accept. The input is the file.
#include <cstdint>
#include <vector>

#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/core/fonts/shape_file_reader.h"

using namespace tracemill;

namespace {

// Reads every shape of a few characters to its end, as the shape interpreter would.
void readShapes(ShapeFont& primary, ShapeFont* bigFont) {
    for (uint16_t code : {0, 10, 32, 63, 65, 127, 200, 248, 0x410, 0x8140, 0x8341, 0xA1A1, 0xFFFF}) {
        for (uint16_t flags : {0, 2}) {
            ShapeFont* font = genFindShape(nullptr, &primary, bigFont, code, flags);
            if (!font) continue;
            const ShapeCursor start = genGetShapeCursor(*font);
            for (int i = 0; i < 4096 && genNextShapeByte(*font) != 0; ++i) {}
            genSetShapeCursor(*font, start);
            genNextShapeByte(*font);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ShapeFont font;
    font.storage.assign(data, data + size);
    if (genLoadShapeFile(font, 0xFF) != 1) return 0;
    if (font.kind & kFontKindBigFont) {
        ShapeFont primary;  // without shapes: every character is looked up in the big font first
        readShapes(primary, &font);
    } else {
        readShapes(font, nullptr);
    }
    return 0;
}
