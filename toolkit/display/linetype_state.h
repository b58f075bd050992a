// The state of a linetype pattern being laid along the pieces of one entity, one per viewport:
// consecutive pieces of the same entity continue the pattern where the last one stopped, and
// the last wide piece of an entity waits there to be joined to the next.
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"

namespace tracemill {

struct LinetypeState {
    double owedStart = -1.0;      // pattern units of the first element still owed; -1 once laid
    int32_t repetitions = 0;      // whole pattern repetitions of the entity
    int32_t repetitionsLeft = 0;  // of them still to lay
    uint8_t startPending = 1;     // the owed start length is still to be laid
    uint8_t entityStartPending = 1;  // repetitions and owed length still to be computed
    int16_t elementIndex = 0;
    double laidLength = 0.0;      // of the current element, laid by earlier pieces
    std::array<uint8_t, kMaxLinetypeDashes> elementDrawn{};  // complex element drawn this repetition

    // The wide piece that waits to be joined to the next piece of the entity.
    uint8_t widePending = 0;
    Point3 wideStart[2];
    Point3 wideEnd[2];
    Point3 wideFrom;  // the piece's ends, for the angle at the joint
    Point3 wideTo;
    double wideEndWidth = 0.0;
};

} // namespace tracemill
