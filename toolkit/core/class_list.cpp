#include "toolkit/core/class_list.h"

#include <algorithm>
#include <limits>
#include <string>

#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

constexpr std::string_view kKindDxfNames[kClassKindCount] = {
    "OLE2FRAME",       "HATCH",          "LWPOLYLINE",          "IMAGE",           "RTEXT",
    "ARCALIGNEDTEXT",  "WIPEOUT",        "XRECORD",             "IDBUFFER",        "DICTIONARYVAR",
    "IMAGEDEF",        "IMAGEDEF_REACTOR", "RASTERVARIABLES",   "SPATIAL_FILTER",  "SORTENTSTABLE",
    "LAYER_INDEX",     "SPATIAL_INDEX",  "OBJECT_PTR",          "ACDBDICTIONARYWDFLT", "ACDBPLACEHOLDER",
    "LAYOUT",          "VBA_PROJECT",    "WIPEOUTVARIABLES",    "PLOTSETTINGS",    "DIMASSOC",
};

struct DefaultClass {
    const char* dxfName;
    const char* className;
    const char* applicationName;
    int16_t proxyFlags;
    uint16_t itemClassId;
    bool extra; // added only when the context's extra-classes switch is on
};

constexpr DefaultClass kDefaultClasses[] = {
    {"LWPOLYLINE", "AcDbPolyline", "AutoCAD 2000", -32768, kClassOfEntities, false},
    {"IMAGE", "AcDbRasterImage", "ISM", -32641, kClassOfEntities, false},
    {"OLE2FRAME", "AcDbOle2Frame", "AutoCAD 2000", -32768, kClassOfEntities, false},
    {"HATCH", "AcDbHatch", "AutoCAD 2000", -32768, kClassOfEntities, false},
    {"DICTIONARYVAR", "AcDbDictionaryVar", "AutoCAD 2000", -32768, kClassOfObjects, false},
    {"RASTERVARIABLES", "AcDbRasterVariables", "ISM", -32768, kClassOfObjects, false},
    {"IMAGEDEF", "AcDbRasterImageDef", "ISM", -32768, kClassOfObjects, false},
    {"IMAGEDEF_REACTOR", "AcDbRasterImageDefReactor", "ISM", -32767, kClassOfObjects, false},
    {"IDBUFFER", "AcDbIdBuffer", "AutoCAD 2000", -32768, kClassOfObjects, false},
    {"SPATIAL_FILTER", "AcDbSpatialFilter", "AutoCAD 2000", -32768, kClassOfObjects, false},
    {"XRECORD", "AcDbXrecord", "AutoCAD 2000", -32768, kClassOfObjects, false},
    {"SORTENTSTABLE", "AcDbSortentsTable", "AutoCAD 2000", -32768, kClassOfObjects, false},
    {"LAYER_INDEX", "AcDbLayerIndex", "AutoCAD 2000", -32768, kClassOfObjects, false},
    {"SPATIAL_INDEX", "AcDbSpatialIndex", "AutoCAD 2000", -32768, kClassOfObjects, false},
    {"OBJECT_PTR", "CAseDLPNTableRecord", "\"ASE-LPNTableRecord\"", -32767, kClassOfObjects, false},
    {"LAYOUT", "AcDbLayout", "AutoCAD 2000", 0, kClassOfObjects, false},
    {"PLOTSETTINGS", "AcDbPlotSettings", "AutoCAD 2000", -32768, kClassOfObjects, false},
    {"ACDBDICTIONARYWDFLT", "AcDbDictionaryWithDefault", "AutoCAD 2000", 0, kClassOfObjects, false},
    {"ACDBPLACEHOLDER", "AcDbPlaceHolder", "AutoCAD 2000", 0, kClassOfObjects, false},
    {"VBA_PROJECT", "AcDbVbaProject", "acadvba", -32768, kClassOfObjects, true},
    {"WIPEOUT", "AcDbWipeout", "WipeOut|AutoCAD Express Tool|expresstools@tracemill.invalid", -32641, kClassOfEntities, true},
    {"WIPEOUTVARIABLES", "AcDbWipeoutVariables", "WipeOut|AutoCAD Express Tool|expresstools@tracemill.invalid", -32768, kClassOfObjects, true},
    {"RTEXT", "RText", "RText|AutoCAD Express Tool|expresstools@tracemill.invalid", -32768, kClassOfEntities, true},
    {"ARCALIGNEDTEXT", "AcDbArcAlignedText", "ATEXT|AutoCAD Express Tool|expresstools@tracemill.invalid", -32768, kClassOfEntities, true},
};

std::string cutName(std::string_view name) { return std::string(name.substr(0, ClassEntry::kNameLimit - 1)); }

const ClassEntry* findByDxfName(const ClassList& list, std::string_view dxfName) {
    for (const ClassEntry& entry : list.entries) {
        if (dbEqualsNoCase(entry.dxfName, dxfName)) return &entry;
    }
    return nullptr;
}

} // namespace

std::string_view dbClassKindDxfName(ClassKind kind) { return kKindDxfNames[size_t(kind)]; }

bool dbClassKindByDxfName(std::string_view dxfName, ClassKind& kind) {
    for (size_t i = 0; i < kClassKindCount; ++i) {
        if (dbEqualsNoCase(kKindDxfNames[i], dxfName)) {
            kind = ClassKind(i);
            return true;
        }
    }
    return false;
}

void dbRewindClasses(ClassList& list) { list.cursor = 0; }

int dbReadClass(ClassList& list, ClassEntry& out) {
    if (list.cursor >= list.entries.size()) return 0;
    out = list.entries[list.cursor++];
    return 1;
}

int16_t dbCountClasses(const ClassList& list) {
    return int16_t(std::min<size_t>(list.entries.size(), std::numeric_limits<int16_t>::max()));
}

int dbFindClassByName(const ClassList& list, std::string_view dxfName, ClassEntry& out) {
    const ClassEntry* entry = findByDxfName(list, dxfName);
    if (!entry) return 0;
    out = *entry;
    return 1;
}

int dbReplaceClass(ClassList& list, const ClassEntry& entry) {
    for (ClassEntry& stored : list.entries) {
        if (stored.number == entry.number) {
            stored = entry;
            return 1;
        }
    }
    return 0;
}

int dbAppendClass(ClassList& list, const ClassEntry& entry) {
    ClassEntry& stored = list.entries.emplace_back(entry);
    stored.dxfName = cutName(entry.dxfName);
    stored.className = cutName(entry.className);
    stored.applicationName = cutName(entry.applicationName);
    return dbSetClassNumber(list, stored.dxfName, stored.number);
}

int dbSetClassNumber(ClassList& list, std::string_view dxfName, uint16_t number) {
    ClassKind kind;
    if (dbClassKindByDxfName(dxfName, kind)) list.numbers[size_t(kind)] = number;
    return 1;
}

uint16_t dbNextClassNumber(const ClassList& list) {
    uint16_t highest = 0;
    for (const ClassEntry& entry : list.entries) highest = std::max(highest, entry.number);
    if (highest == std::numeric_limits<uint16_t>::max()) return 0;
    return std::max<uint16_t>(uint16_t(highest + 1), kFirstClassNumber);
}

uint16_t dbAddClass(ClassList& list, std::string_view dxfName, std::string_view className,
                    std::string_view applicationName, int16_t proxyFlags, uint16_t itemClassId,
                    uint8_t wasAZombie) {
    if (const ClassEntry* existing = findByDxfName(list, dxfName)) return existing->number;
    ClassEntry entry;
    entry.number = dbNextClassNumber(list);
    if (entry.number == 0) return 0;
    entry.dxfName = dxfName;
    entry.className = className;
    entry.applicationName = applicationName;
    entry.proxyFlags = proxyFlags;
    entry.wasAZombie = wasAZombie;
    entry.itemClassId = itemClassId;
    dbAppendClass(list, entry);
    return entry.number;
}

const std::string* dbClassNameByNumber(const ClassList& list, uint16_t number) {
    for (const ClassEntry& entry : list.entries) {
        if (entry.number == number) return &entry.dxfName;
    }
    return nullptr;
}

std::string dbEntityKindName(const ClassList& list, uint16_t type) {
    const std::string_view fixed = dbEntityTypeName(type);
    if (!fixed.empty()) return std::string(fixed);
    if (const std::string* name = dbClassNameByNumber(list, type)) return *name;
    return std::to_string(type);
}

bool dbClassKindByNumber(const ClassList& list, uint16_t number, ClassKind& kind) {
    if (number == 0) return false;
    for (size_t i = 0; i < kClassKindCount; ++i) {
        if (list.numbers[i] == number) {
            kind = ClassKind(i);
            return true;
        }
    }
    return false;
}

int dbAddDefaultClasses(ClassList& list) {
    const bool withExtra = gSystemContext && gSystemContext->extraClasses != 0;
    for (const DefaultClass& c : kDefaultClasses) {
        if (c.extra && !withExtra) continue;
        if (dbAddClass(list, c.dxfName, c.className, c.applicationName, c.proxyFlags, c.itemClassId, 0) == 0) {
            return 0;
        }
    }
    return 1;
}

uint16_t dbAddDefaultClass(ClassList& list, ClassKind kind) {
    if (const uint16_t number = dbClassNumber(list, kind)) return number;
    const std::string_view name = dbClassKindDxfName(kind);
    for (const DefaultClass& c : kDefaultClasses) {
        if (c.dxfName == name)
            return dbAddClass(list, c.dxfName, c.className, c.applicationName, c.proxyFlags, c.itemClassId, 0);
    }
    return 0;
}

} // namespace tracemill
