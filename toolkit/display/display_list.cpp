#include "toolkit/display/display_list.h"

#include "toolkit/core/drawing.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/display_context.h"

namespace tracemill {
namespace {

void resetCells(DisplayList& list) {
    for (DisplayListCell& cell : list.cells) {
        if (cell.writer) dbStreamCloseWrite(cell.writer);
        dbStreamDestroy(cell.stream);
        cell = DisplayListCell{};
    }
}

} // namespace

DisplayList::~DisplayList() {
    resetCells(*this);
    dbStreamDestroy(scratch.picture);
}

DisplayList* genDisplayListOf(Drawing* drawing) {
    return drawing && drawing->displayContext ? &drawing->displayContext->displayList : nullptr;
}

const DisplayList* genDisplayListOf(const Drawing* drawing) {
    return drawing && drawing->displayContext ? &drawing->displayContext->displayList : nullptr;
}

void genDlistResetCells(Drawing* drawing) {
    if (DisplayList* list = genDisplayListOf(drawing)) resetCells(*list);
}

void genDlistInitCells(Drawing* drawing) {
    DisplayList* list = genDisplayListOf(drawing);
    if (!list) return;
    for (DisplayListCell& cell : list->cells) {
        cell.lastColour = kDlistNoState;
        cell.lastWidth = kDlistNoState;
    }
}

void genDlistClear(Drawing* drawing) {
    genDlistResetCells(drawing);
    genDlistInitCells(drawing);
}

} // namespace tracemill
