// The state of a linetype pattern being laid along the pieces of one entity, one per viewport:
// consecutive pieces of the same entity continue the pattern where the last one stopped.
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/core/table_records.h"

namespace tracemill {

struct LinetypeState {
    double owedStart = -1.0;      // pattern units of the first element still owed; -1 once laid
    int32_t repetitionsLeft = 0;  // whole pattern repetitions still to lay
    uint8_t startPending = 1;     // the owed start length is still to be laid
    uint8_t entityStartPending = 1;  // repetitions and owed length still to be computed
    uint8_t firstWidePiece = 1;
    uint8_t wideOutlinePending = 0;
    int16_t elementIndex = 0;
    double laidLength = 0.0;      // of the current element, laid by earlier pieces
    std::array<uint8_t, kMaxLinetypeDashes> elementDrawn{};  // complex element drawn this repetition
};

} // namespace tracemill
