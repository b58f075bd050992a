// Speed of the shape interpreter: a string of 10,000 characters (the printable ASCII letters
// over and over, with a %%u and a %%d every 50 characters) drawn in the built-in
// "SIMPLEX.SHX" through counting line and arc outputs, and measured as a justified text is.
//
// Run: build/bench/shape_text_bench
#include <benchmark/benchmark.h>

#include <string>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
#include "toolkit/core/fonts/builtin_fonts.h"
#include "toolkit/display/text/shape_interpreter.h"
#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/shape_text_state.h"

namespace tracemill {
namespace {

size_t gLines = 0;
size_t gArcs = 0;

void countLine(Drawing*, const Point3&, const Point3&, void*) { ++gLines; }
void countArc(Drawing*, const Point3&, double, double, double, void*, uint8_t, uint8_t, TextExtents*,
              const Matrix4*) {
    ++gArcs;
}

std::string longText() {
    std::string text;
    for (int i = 0; text.size() < 10000; ++i) {
        if (i % 50 == 0) text += "%%u%%d";
        text += char(33 + i % 94);
    }
    return text;
}

struct Toolkit {
    Toolkit() {
        dbUseBuiltinInitData();
        int error = 0;
        dbCreateSystemContext(nullptr, error);
        dbInitToolkit();
        drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
    }
    ~Toolkit() {
        dbFreeDrawing(drawing);
        dbTermToolkit();
        dbDestroySystemContext();
    }
    Drawing* drawing = nullptr;
};

void DrawSimplexString(benchmark::State& state) {
    Toolkit toolkit;
    const std::string text = longText();
    gSystemContext->shapeLineCallback = countLine;
    gSystemContext->shapeArcCallback = countArc;
    ShapeTextState textState;
    textState.mainFont = gSystemContext->builtinFonts[kBuiltinSimplexFont].get();
    textState.above = uint16_t(textState.mainFont->above);
    for (auto _ : state) {
        gLines = gArcs = 0;
        genResetShapePositionStack();
        genDrawShapeText(toolkit.drawing, text.c_str(), textState, 1.0, nullptr, nullptr, false);
    }
    state.counters["bytes"] = benchmark::Counter(double(text.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["lines"] = double(gLines);
    state.counters["arcs"] = double(gArcs);
}
BENCHMARK(DrawSimplexString)->Unit(benchmark::kMicrosecond);

void MeasureSimplexString(benchmark::State& state) {
    Toolkit toolkit;
    const std::string text = longText();
    TextParameters params;
    params.height = 2.5;
    params.obliqueAngle = 0.25;
    params.horizontalAlign = kAlignFit;
    TextExtents box;
    double descent = 0.0;
    for (auto _ : state) {
        genMeasureShapeText(toolkit.drawing, text.c_str(), params, false, "", "", true, box, descent);
    }
    state.counters["bytes"] = benchmark::Counter(double(text.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(MeasureSimplexString)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tracemill

BENCHMARK_MAIN();
