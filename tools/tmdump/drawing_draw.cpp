#include "drawing_draw.h"

#include <charconv>
#include <string>

#include "toolkit/display/display_access.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_counter.h"
#include "toolkit/display/hook_sets/hook_recorder.h"
#include "platform/fonts/host_fonts.h"

namespace tracemill::tmdump {
namespace {

// The device the drawing is drawn on.
constexpr HostRect kDevice{0, 0, 1024, 768};

std::string number(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

int fail(const char* path) {
    std::fprintf(stderr, "tmdump: %s: error %d: %s\n", path, dbGetError(), dbErrorMeaning(dbGetError()));
    return 1;
}

// The view to start from: the drawing's own, or its extents when it stores none.
void startingView(Drawing* drawing, ViewBlock& view) {
    if (view.width > 0.0 && view.height > 0.0) return;
    genGetViewBlock(drawing, view);
}

} // namespace

namespace {

// The host's TrueType faces, as the application installs them: TrueType styles draw through
// the glyph outline hook.
class HostFonts {
public:
    HostFonts() : started_(dbHostStartup() != 0) {
        if (started_) dbSetFontFinder(dbTrueTypeFontLookup);
    }
    ~HostFonts() {
        if (!started_) return;
        dbSetGlyphOutlineHook(nullptr);
        dbSetFontFinder(nullptr);
        dbHostShutdown();
    }
    void installGlyphs() const {
        if (started_) dbSetGlyphOutlineHook(GlyphOutlineProvider);
    }

private:
    bool started_;
};

} // namespace

int writeDrawingPass(Drawing* drawing, const char* path, std::FILE* out, bool stream) {
    const HostFonts fonts;
    // The primitives of the entities themselves, as export draws them: without the display-list
    // cache's grid.
    dbSetDisplayListMode(0);
    ViewBlock view;
    bool ok = genBeginDisplay(drawing, view, kDevice, nullptr, nullptr) != 0;
    if (ok) {
        startingView(drawing, view);
        genPrepareView(drawing, view, kDevice, nullptr);
        fonts.installGlyphs();
        ok = genDrawDrawing(drawing) != 0 && genGetViewBlock(drawing, view) != 0;
    }
    HookCounter counter;
    HookRecorder recorder;
    if (ok) {
        genPrepareView(drawing, view, kDevice, nullptr);
        if (stream) {
            recorder.streamTo(out);
            recorder.install();
        } else {
            counter.install();
        }
        fonts.installGlyphs();
        ok = genDrawDrawing(drawing) != 0;
        counter.uninstall();
        recorder.uninstall();
    }
    if (!ok) {
        dbFreeDisplayContext(drawing);
        return fail(path);
    }
    if (stream) {
        dbFreeDisplayContext(drawing);
        return 0;
    }
    std::fprintf(out, "primitives %llu\n", static_cast<unsigned long long>(counter.primitives()));
    for (int slot = 0; slot < kOutputHookSlotCount; ++slot) {
        if (counter.count(slot))
            std::fprintf(out, "hook %s %llu\n", std::string(dbHookSlotName(slot)).c_str(),
                         static_cast<unsigned long long>(counter.count(slot)));
    }
    for (const auto& [kind, c] : counter.kinds()) {
        std::fprintf(out, "kind %s entities=%llu lines=%llu fills=%llu raster=%llu\n", kind.c_str(),
                     static_cast<unsigned long long>(c.entities), static_cast<unsigned long long>(c.lines),
                     static_cast<unsigned long long>(c.fills), static_cast<unsigned long long>(c.raster));
    }
    Point3 min, max;
    if (genCollectedExtents(drawing, min, max)) {
        std::fprintf(out, "extents %s %s %s %s\n", number(min.x).c_str(), number(min.y).c_str(), number(max.x).c_str(),
                     number(max.y).c_str());
    } else {
        std::fprintf(out, "extents none\n");
    }
    dbFreeDisplayContext(drawing);
    return 0;
}

} // namespace tracemill::tmdump
