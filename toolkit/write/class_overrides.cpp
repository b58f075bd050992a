#include "toolkit/write/class_overrides.h"

#include "toolkit/core/name_compare.h"

namespace tracemill {
namespace {

#define EXPRESS_TOOLS "|AutoCAD Express Tool|expresstools@tracemill.invalid"

constexpr ClassOverride kOverrides[] = {
    {"LWPOLYLINE", "\"AutoCAD\"", 0},
    {"IMAGE", "ISM", 127},
    {"OLE2FRAME", "\"\"", 0},
    {"HATCH", "\"ACAD_SEDONA\"", 0},
    {"DICTIONARYVAR", "\"AutoCAD\"", 0},
    {"RASTERVARIABLES", "ISM", 0},
    {"IMAGEDEF", "ISM", 0},
    {"IMAGEDEF_REACTOR", "ISM", 1},
    {"IDBUFFER", "\"Acad\"", 0},
    {"SPATIAL_FILTER", "\"Acad\"", 0},
    {"XRECORD", "\"<Built In>\"", 0},
    {"SORTENTSTABLE", "\"AutoCAD\"", 0},
    {"LAYER_INDEX", "\"Acad\"", 0},
    {"SPATIAL_INDEX", "\"Acad\"", 0},
    {"OBJECT_PTR", "\"ASE-LPNTableRecord\"", 1},
    {"LAYOUT", "\"AutoCAD 2000\"", 1},
    {"PLOTSETTINGS", "\"AutoCAD 2000\"", 1},
    {"ACDBDICTIONARYWDFLT", "\"AutoCAD 2000\"", 1},
    {"ACDBPLACEHOLDER", "\"AutoCAD 2000\"", 1},
    {"VBA_PROJECT", "\"acadvba\"", 1},
    {"WIPEOUT", "WipeOut" EXPRESS_TOOLS, 127},
    {"WIPEOUTVARIABLES", "WipeOut" EXPRESS_TOOLS, 0},
    {"RTEXT", "RText" EXPRESS_TOOLS, 0},
    {"ARCALIGNEDTEXT", "ATEXT" EXPRESS_TOOLS, 0},
};

#undef EXPRESS_TOOLS

} // namespace

const ClassOverride* wrFindClassOverride(std::string_view dxfName) {
    for (const ClassOverride& row : kOverrides) {
        if (dbEqualsNoCase(row.dxfName, dxfName)) return &row;
    }
    return nullptr;
}

ClassEntry wrOverriddenClass(const ClassEntry& entry, bool withProxyFlags) {
    ClassEntry written = entry;
    if (const ClassOverride* row = wrFindClassOverride(entry.dxfName)) {
        written.applicationName = std::string(row->applicationName);
        if (withProxyFlags) written.proxyFlags = row->proxyFlags;
    }
    return written;
}

} // namespace tracemill
