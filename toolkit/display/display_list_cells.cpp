#include "toolkit/display/display_list_cells.h"

#include <algorithm>
#include <cmath>

namespace tracemill {

namespace {

constexpr int kFirstLevelTwoCell = 64;
constexpr int kFirstLevelOneCell = 80;

int levelTwoCell(int leaf) {
    const int row = leaf / 8, column = leaf % 8;
    return kFirstLevelTwoCell + (row / 2) * 4 + column / 2;
}

int levelOneCell(int leaf) {
    const int row = leaf / 8, column = leaf % 8;
    return kFirstLevelOneCell + (row / 4) * 2 + column / 4;
}

// The leaf column (or row) of a window edge, kept on the grid.
int leafIndex(double v) {
    const double index = std::floor(v / double(1 << kDlistLeafShift));
    return int(std::clamp(index, 0.0, 7.0));
}

} // namespace

const std::array<uint8_t, kDlistCellCount> kDlistReplayOrder = {
    84, 80, 68, 17, 25, 24, 16, 64, 8,  0,  1,  9,  65, 10, 2,  3,  11, 69, 19, 27, 26, 18,
    81, 70, 21, 29, 28, 20, 66, 12, 4,  5,  13, 67, 14, 6,  7,  15, 71, 23, 31, 30, 22, 83,
    75, 46, 38, 39, 47, 79, 55, 63, 62, 54, 78, 53, 61, 60, 52, 74, 44, 36, 37, 45, 82, 73,
    42, 34, 35, 43, 77, 51, 59, 58, 50, 76, 49, 57, 56, 48, 72, 40, 32, 33, 41};

void genDlistBuildCellGrid(DlistCellCodes& table) {
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

int genDlistParentCell(int cell) {
    if (cell < kFirstLevelTwoCell) return levelTwoCell(cell);
    if (cell < kFirstLevelOneCell) {
        const int index = cell - kFirstLevelTwoCell; // row x 4 + column of the 4 x 4 array
        return kFirstLevelOneCell + (index / 8) * 2 + (index % 4) / 2;
    }
    return kDlistRootCell;
}

void genDlistSelectCells(double x0, double y0, double x1, double y1, DlistCellSet& selected) {
    selected.fill(false);
    const double edge = double(kDlistGridLimit) + 1.0;
    if (!(x1 >= 0.0 && y1 >= 0.0 && x0 <= edge && y0 <= edge)) return; // also a window that is not a number
    for (int row = leafIndex(y0); row <= leafIndex(y1); ++row) {
        for (int column = leafIndex(x0); column <= leafIndex(x1); ++column) {
            for (int cell = row * 8 + column; !selected[size_t(cell)]; cell = genDlistParentCell(cell)) {
                selected[size_t(cell)] = true;
                if (cell == kDlistRootCell) break;
            }
        }
    }
}

} // namespace tracemill
