// The stroke state of the devices that write each polyline as it comes (SVG, PDF): a MoveTo
// waits for the next LineTo, which starts a subpath at the MoveTo's point; later LineTos
// extend it, a point equal to the last one adds nothing. A real pen change lets the
// polyline go on from its last point with the new pen; a fill ends it.
#pragma once

#include "app/render/devices/output_device.h"

namespace tracemill::render {

class StrokeState {
public:
    enum class Step { Nothing, StartSubpath, Extend };

    void MoveTo(double x, double y) {
        last_ = {x, y};
        movePending_ = true;
        pathOpen_ = false;
    }

    // What a LineTo to (x, y) writes; for StartSubpath `from` is the point it starts at.
    Step LineTo(double x, double y, DevicePoint* from) {
        Step step = Step::Nothing;
        if (movePending_) {
            *from = last_;
            movePending_ = false;
            pathOpen_ = true;
            step = Step::StartSubpath;
        } else if (pathOpen_ && !(x == last_.x && y == last_.y)) {
            step = Step::Extend;
        }
        last_ = {x, y};
        return step;
    }

    // After a real pen change (the device has ended the open path).
    void PenChanged() {
        movePending_ = pathOpen_;
        pathOpen_ = false;
    }

    void Reset() {
        movePending_ = false;
        pathOpen_ = false;
    }

    bool PathOpen() const { return pathOpen_; }

private:
    DevicePoint last_;
    bool movePending_ = false; // a MoveTo (or a pen change inside a path) waits for a LineTo
    bool pathOpen_ = false;    // the current subpath has a segment
};

} // namespace tracemill::render
