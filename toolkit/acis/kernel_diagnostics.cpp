#include "toolkit/acis/kernel_diagnostics.h"

#include <iostream>

namespace tracemill {
namespace {

std::ostream* gSink = nullptr;

} // namespace

std::ostream& kernelDiagnostics() { return gSink ? *gSink : std::cerr; }

std::ostream* setKernelDiagnostics(std::ostream* stream) {
    std::ostream* previous = gSink ? gSink : &std::cerr;
    gSink = (stream == &std::cerr) ? nullptr : stream;
    return previous;
}

} // namespace tracemill
