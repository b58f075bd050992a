#include "toolkit/core/fonts/shape_names.h"

#include <vector>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/in_file.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

namespace {

// Fixed positions after a 24-byte header and the first and last shape numbers.
inline constexpr size_t kCountOffset = 28;
inline constexpr size_t kIndexOffset = 30;
// How much of a shape's bytes is taken for its name.
inline constexpr size_t kNameReadLimit = 512;
inline constexpr uint8_t kStyleShapeFile = 0x01;

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The path of a shape-file style's file; false for any other style.
bool shapeFilePath(const Drawing& drawing, const StyleRecord& style, std::string& path) {
    if (!(style.flags & kStyleShapeFile)) return false;
    std::string name = style.fontFile;
    const bool hasExtension = name.size() >= 4 && name[name.size() - 4] == '.';
    if (!contains(name, ".shx") && !contains(name, ".SHX") && !hasExtension) name += ".shx";
    if (gSystemContext && gSystemContext->fileFinder) {
        gSystemContext->fileFinder(name.c_str(), path, drawing.hostContext);
    } else {
        path = name;
    }
    return !contains(path, ".TTF") && !contains(path, ".ttf");
}

// Calls visit(number, name) for the shapes of a shape file in index order until it returns
// true; false when the file cannot be read. Index entries beyond the end of the file are not
// visited, and a name ends at the end of the file.
template <class Visit>
bool visitShapeNames(const std::string& path, Visit visit) {
    std::vector<uint8_t> bytes;
    const InFilePtr file(dbInFileOpen(path.c_str()));
    if (!file || !dbInFileReadAll(file.get(), bytes) || bytes.size() < kIndexOffset) return false;
    const size_t count = getLe16(&bytes[kCountOffset]);
    size_t data = kIndexOffset + 4 * count;
    for (size_t i = 0; i < count && kIndexOffset + 4 * i + 4 <= bytes.size(); ++i) {
        const uint8_t* pair = &bytes[kIndexOffset + 4 * i];
        std::string name;
        for (size_t at = data; at < bytes.size() && at < data + kNameReadLimit && bytes[at] != 0; ++at) {
            name.push_back(char(bytes[at]));
        }
        if (visit(getLe16(pair), name)) return true;
        data += getLe16(pair + 2);
    }
    return true;
}

} // namespace

int genShapeNameByNumber(Drawing* drawing, Handle style, uint8_t number, std::string& outName) {
    if (!drawing) return 0;
    DrawingFonts& fonts = drawing->fonts;
    for (int i = 0; i < fonts.shapeNameCount; ++i) {
        const ShapeNameCacheEntry& entry = fonts.shapeNames[i];
        if (entry.style == style && entry.number == number) {
            outName = entry.name;
            return 1;
        }
    }
    const StyleRecord* record = nullptr;
    for (const auto& node : drawing->styles) {
        if (node.record.handle == style) {
            record = &node.record;
            break;
        }
    }
    std::string path;
    if (!record || !shapeFilePath(*drawing, *record, path)) return 0;
    bool found = false;
    visitShapeNames(path, [&](uint16_t shape, const std::string& name) {
        if (shape != number) return false;
        outName = name.substr(0, kShapeNameMaxLength);
        found = true;
        return true;
    });
    if (!found) return 0;
    if (fonts.shapeNameCount < kShapeNameCacheSize) {
        fonts.shapeNames[fonts.shapeNameCount++] = ShapeNameCacheEntry{style, number, outName};
    }
    return 1;
}

int genShapeNumberByName(Drawing* drawing, std::string_view name, Handle& outStyle, uint8_t& outNumber) {
    if (!drawing) return 0;
    DrawingFonts& fonts = drawing->fonts;
    for (int i = 0; i < fonts.shapeNameCount; ++i) {
        const ShapeNameCacheEntry& entry = fonts.shapeNames[i];
        if (entry.name == name) {
            outStyle = entry.style;
            outNumber = uint8_t(entry.number);
            return 1;
        }
    }
    outStyle = Handle();
    outNumber = 0;
    for (const auto& node : drawing->styles) {
        std::string path;
        if (!shapeFilePath(*drawing, node.record, path)) continue;
        bool found = false;
        visitShapeNames(path, [&](uint16_t shape, const std::string& shapeName) {
            if (shapeName != name) return false;
            outNumber = uint8_t(shape);
            found = true;
            return true;
        });
        if (!found) continue;
        outStyle = node.record.handle;
        if (fonts.shapeNameCount >= kShapeNameCacheSize) fonts.shapeNameCount = 0;
        fonts.shapeNames[fonts.shapeNameCount++] =
            ShapeNameCacheEntry{outStyle, outNumber, std::string(name.substr(0, kShapeNameMaxLength))};
        return 1;
    }
    return 0;
}

} // namespace tracemill
