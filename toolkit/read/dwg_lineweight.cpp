#include "toolkit/read/dwg_lineweight.h"

#include <array>

#include "toolkit/core/entity_header.h"

namespace tracemill {
namespace {

constexpr std::array<int16_t, 24> kStandardWidths = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                                     53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
constexpr int kIndexByLayer = 29;
constexpr int kIndexByBlock = 30;
constexpr int kIndexDefault = 31;

} // namespace

int16_t rdLineweightFromIndex(int index) {
    if (index >= 0 && index < int(kStandardWidths.size())) return kStandardWidths[size_t(index)];
    switch (index) {
    case 28:
    case kIndexByLayer:
        return kLineweightByLayer;
    case kIndexByBlock:
        return kLineweightByBlock;
    case kIndexDefault:
        return kLineweightDefault;
    default:
        return 0;
    }
}

int rdLineweightToIndex(int16_t lineweight) {
    switch (lineweight) {
    case kLineweightByLayer:
        return kIndexByLayer;
    case kLineweightByBlock:
        return kIndexByBlock;
    case kLineweightDefault:
        return kIndexDefault;
    default:
        break;
    }
    int index = 0;
    for (size_t i = 0; i < kStandardWidths.size(); ++i)
        if (kStandardWidths[i] <= lineweight) index = int(i);
    return index;
}

} // namespace tracemill
