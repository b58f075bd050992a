#include "solids_dump.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include "drawing_file_dump.h"
#include "toolkit/acis/geometry/bounding_box.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/solid_drawing_bridge.h"
#include "toolkit/acis/sat/solid_texts.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"

namespace tracemill::tmdump {
namespace {

// What the drawing of one solid delivered: its primitives and vertices, the vertices that were
// not finite and the box of the others.
struct SolidDrawing {
    std::string_view text;
    size_t offset = 0;
    int primitives = 0;
    int vertices = 0;
    int nonFinite = 0;
    BoundingBox box;
};

int32_t readText(char* buffer, int32_t maximum, void* user) {
    auto& drawing = *static_cast<SolidDrawing*>(user);
    const size_t count = std::min(size_t(std::max(maximum, 0)), drawing.text.size() - drawing.offset);
    // A solid without SAT text has no text to copy from at all.
    if (count == 0) return 0;
    std::memcpy(buffer, drawing.text.data() + drawing.offset, count);
    drawing.offset += count;
    return int32_t(count);
}

void beginPrimitive(int32_t, void* user) { ++static_cast<SolidDrawing*>(user)->primitives; }

void endPrimitive(void*) {}

void addVertex(double x, double y, double z, void* user) {
    auto& drawing = *static_cast<SolidDrawing*>(user);
    ++drawing.vertices;
    const aPoint p(x, y, z);
    if (isFinite(p)) drawing.box.add(p);
    else ++drawing.nonFinite;
}

void appendNumber(std::string& out, double value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// "x0,y0,z0,x1,y1,z1", or "none" for an empty box.
std::string boxText(const BoundingBox& box) {
    if (!box.set) return "none";
    std::string text;
    for (double value : {box.low.x, box.low.y, box.low.z, box.high.x, box.high.y, box.high.z}) {
        if (!text.empty()) text += ',';
        appendNumber(text, value);
    }
    return text;
}

} // namespace

int dumpSolids(const char* path, std::FILE* out) {
    Drawing* drawing = openDrawingFile(path);
    if (!drawing) return 1;
    for (const SolidText& solid : acisSolidTexts(*drawing)) {
        satParser parser(solid.text);
        const int result = parser.parse();
        BoundingBox points;
        if (parser.modelBox().hasPoint) {
            const double* b = parser.modelBox().bounds;
            points.add(aPoint(b[0], b[2], b[4]));
            points.add(aPoint(b[1], b[3], b[5]));
        }
        // Drawn as the default solid hook draws it: 4 surface curves, the default tolerances
        // and the curve emitters' default segments.
        SolidDrawing drawn;
        drawn.text = solid.text;
        SatCallbackRecord record;
        record.read = readText;
        record.begin = beginPrimitive;
        record.end = endPrimitive;
        record.vertex = addVertex;
        record.user = &drawn;
        record.settingsWordA = 4;
        genDrawSolidFromSat(record);
        const std::string_view kind = dbEntityTypeName(solid.type);
        std::fprintf(out,
                     "handle=%s kind=%.*s result=%d records=%d skipped=%d errors=%lld bodies=%d primitives=%d "
                     "vertices=%d nonfinite=%d box=%s pointbox=%s\n",
                     dbHandleToHex(solid.handle).c_str(), int(kind.size()), kind.data(), result, parser.entitiesMade(),
                     parser.skippedRecords(), parser.messageCount(), parser.bodyCount(), drawn.primitives,
                     drawn.vertices, drawn.nonFinite, boxText(drawn.box).c_str(), boxText(points).c_str());
    }
    dbFreeDrawing(drawing);
    return std::fflush(out) == 0 && !std::ferror(out) ? 0 : 1;
}

} // namespace tracemill::tmdump
