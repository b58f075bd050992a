// What every clipper call shares: the results that need no sweep, and the frame that computes
// a result apart from the inputs (which may be the result itself) and turns a lack of memory
// into an empty result and the error callback.
#pragma once

#include <new>
#include <stdexcept>
#include <utility>

#include "toolkit/core/system_context.h"
#include "toolkit/display/clip/loop_set.h"
#include "toolkit/display/clip/polygon_clipper.h"

namespace tracemill::clip {

// Both inputs empty, nothing to intersect with, or nothing to take from.
inline bool clipIsTriviallyEmpty(ClipOp op, const LoopSet& subject, const LoopSet& clip) {
    if (subject.loops.empty() && clip.loops.empty()) return true;
    if (subject.loops.empty() && (op == ClipOp::kIntersection || op == ClipOp::kDifference)) return true;
    return clip.loops.empty() && op == ClipOp::kIntersection;
}

template <class Result, class Body> void runClipCall(Result& result, Body body) {
    try {
        Result out;
        body(out);
        result = std::move(out);
    } catch (const std::bad_alloc&) {
        result = Result{};
        dbNotifyError(kErrorReasonNoMemory);
    } catch (const std::length_error&) {
        result = Result{};
        dbNotifyError(kErrorReasonNoMemory);
    }
}

} // namespace tracemill::clip
