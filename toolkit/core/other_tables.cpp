// The STYLE, APPID, DIMSTYLE, VPORT and UCS tables.
#include "toolkit/core/table_access.h"

namespace tracemill {

int dbRewindStyles(Drawing* drawing) { return drawing ? table::rewind(drawing->styles) : 0; }
int dbReadStyle(Drawing* drawing, StyleRecord& out) { return drawing ? table::next(drawing->styles, out) : 0; }
int dbGetStyleByHandle(Drawing* drawing, Handle handle, StyleRecord& out) {
    return drawing ? table::get(*drawing, drawing->styles, handle, out) : 0;
}
int dbFindStyleHandle(Drawing* drawing, std::string_view name, Handle& out) {
    out = Handle();
    return drawing ? table::findByName(drawing->styles, name, out) : 0;
}
int32_t dbCountStyles(Drawing* drawing) { return drawing ? table::count(drawing->styles) : 0; }

int dbRewindAppIds(Drawing* drawing) { return drawing ? table::rewind(drawing->appIds) : 0; }
int dbReadAppId(Drawing* drawing, AppIdRecord& out) { return drawing ? table::next(drawing->appIds, out) : 0; }
int dbGetAppIdByHandle(Drawing* drawing, Handle handle, AppIdRecord& out) {
    return drawing ? table::get(*drawing, drawing->appIds, handle, out) : 0;
}
int dbFindAppIdHandle(Drawing* drawing, std::string_view name, Handle& out) {
    out = Handle();
    return drawing ? table::findByName(drawing->appIds, name, out) : 0;
}
int32_t dbCountAppIds(Drawing* drawing) { return drawing ? table::count(drawing->appIds) : 0; }

int dbRewindDimStyles(Drawing* drawing) { return drawing ? table::rewind(drawing->dimStyles) : 0; }
int dbReadDimStyle(Drawing* drawing, DimStyleRecord& out) {
    return drawing ? table::next(drawing->dimStyles, out) : 0;
}
int dbGetDimStyleByHandle(Drawing* drawing, Handle handle, DimStyleRecord& out) {
    return drawing ? table::get(*drawing, drawing->dimStyles, handle, out) : 0;
}
int dbPutDimStyle(Drawing* drawing, const DimStyleRecord& record) {
    return drawing ? table::update(*drawing, drawing->dimStyles, record) : 0;
}
int32_t dbCountDimStyles(Drawing* drawing) { return drawing ? table::count(drawing->dimStyles) : 0; }

int dbVportRewind(Drawing* drawing) { return drawing ? table::rewind(drawing->vports) : 0; }
int dbVportNext(Drawing* drawing, VportRecord& out) { return drawing ? table::next(drawing->vports, out) : 0; }
int dbVportGet(Drawing* drawing, Handle handle, VportRecord& out) {
    return drawing ? table::get(*drawing, drawing->vports, handle, out) : 0;
}
int dbVportUpdate(Drawing* drawing, const VportRecord& record) {
    return drawing ? table::update(*drawing, drawing->vports, record) : 0;
}
int32_t dbVportCount(Drawing* drawing) { return drawing ? table::count(drawing->vports) : 0; }

int dbRewindUcss(Drawing* drawing) { return drawing ? table::rewind(drawing->ucss) : 0; }
int dbReadUcs(Drawing* drawing, UcsRecord& out) { return drawing ? table::next(drawing->ucss, out) : 0; }
int32_t dbCountUcss(Drawing* drawing) { return drawing ? table::count(drawing->ucss) : 0; }

} // namespace tracemill
