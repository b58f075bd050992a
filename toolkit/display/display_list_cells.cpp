#include "toolkit/display/display_list_cells.h"

namespace tracemill {

namespace {

int levelTwoCell(int leaf) {
    const int row = leaf / 8, column = leaf % 8;
    return 64 + (row / 2) * 4 + column / 2;
}

int levelOneCell(int leaf) {
    const int row = leaf / 8, column = leaf % 8;
    return 80 + (row / 4) * 2 + column / 4;
}

} // namespace

void genDlistBuildCellGrid(std::array<uint8_t, kDlistLeafCount * kDlistLeafCount>& table) {
    for (int a = 0; a < kDlistLeafCount; ++a) {
        for (int b = 0; b < kDlistLeafCount; ++b) {
            int cell = kDlistRootCell;
            if (a == b)
                cell = a;
            else if (levelTwoCell(a) == levelTwoCell(b))
                cell = levelTwoCell(a);
            else if (levelOneCell(a) == levelOneCell(b))
                cell = levelOneCell(a);
            table[size_t(a * kDlistLeafCount + b)] = uint8_t(cell);
        }
    }
}

} // namespace tracemill
