// Fuzz harness: the player of proxy graphics (make_proxy_graphics_corpus writes the seeds). An
// input that is a drawing file (the sample drawings, replayed in place) is loaded and drawn, its
// proxy entities played by the vectoriser; any other input is played as a graphics stream in a
// drawing with a display context, layers and a dashed linetype, under FILLMODE 1 and 0.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_load.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/version_index.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/entity_pass_values.h"
#include "toolkit/display/hook_sets/hook_counter.h"
#include "toolkit/display/proxy/proxy_graphics.h"

using namespace tracemill;

namespace {

constexpr HostRect kDevice{0, 0, 200, 200};

bool isDrawingFile(const uint8_t* data, size_t size) {
    const std::string_view start(reinterpret_cast<const char*>(data), std::min<size_t>(size, 64));
    return start.starts_with("AC10") || start.starts_with("AutoCAD Binary DXF") ||
           start.find("SECTION") != std::string_view::npos;
}

// The drawing streams are played in: its display begun on a view of (-10, -10)-(10, 10), two
// layers, a dashed linetype.
struct PlayingDrawing {
    Drawing* drawing = nullptr;
    LinetypeRecord dashed;
    PlayingDrawing() {
        drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
        if (!drawing) return;
        LayerRecord layer;
        layer.name = "SECOND";
        layer.colour = 3;
        layer.handle = Handle(0x7000);
        dbLayerAdd(drawing, layer);
        dashed.name = "FUZZDASH";
        dashed.handle = Handle(0x7001);
        dashed.drawing = drawing;
        dashed.dashCount = 2;
        dashed.patternLength = 1.0;
        dashed.dashes[0].length = 0.5;
        dashed.dashes[1].length = -0.5;
        dbLtypeAdd(drawing, dashed);
        ViewBlock view;
        genBeginDisplay(drawing, view, kDevice, nullptr, nullptr);
        view = ViewBlock{};
        view.width = view.height = 20.0;
        genPrepareView(drawing, view, kDevice, nullptr);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::startToolkit()) return 0;
    static HookCounter counter;
    counter.install();
    if (isDrawingFile(data, size)) {
        const std::string path = "/tmp/tracemill_fuzz_" + std::to_string(getpid()) + ".drawing";
        if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
            std::fwrite(data, 1, size, out);
            std::fclose(out);
            if (Drawing* drawing = rdOpenDrawing(path.c_str(), 1, 0)) {
                ViewBlock view;
                if (genBeginDisplay(drawing, view, kDevice, nullptr, nullptr)) {
                    genGetViewBlock(drawing, view);
                    genPrepareView(drawing, view, kDevice, nullptr);
                    genDrawDrawing(drawing);
                }
                dbFreeDrawing(drawing);
            }
            std::remove(path.c_str());
        }
        return 0;
    }
    static PlayingDrawing playing;
    if (!playing.drawing || !playing.drawing->displayContext) return 0;
    DisplayContext& context = *playing.drawing->displayContext;
    std::vector<Matrix4> matrices;
    for (int i = 0; i < context.viewportCount; ++i) matrices.push_back(context.viewports[size_t(i)].worldToDevice);
    EntityPassValues pass;
    pass.matrices = matrices.data();
    pass.byLayerLinetype = &playing.dashed;
    context.entity = DrawnEntity{};
    context.entity.kind = kEntityOfClassData;
    context.linetypeEnable = 1;
    context.viewports[0].baseDeviceScale = 10.0;
    for (const int16_t fillmode : {1, 0}) {
        playing.drawing->header->fillmode = fillmode;
        genPlayProxyGraphics(playing.drawing, EntityHeader{}, std::span<const uint8_t>(data, size), pass);
    }
    return 0;
}
