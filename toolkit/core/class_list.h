// The class list of a drawing: the class-based entity and object kinds that the drawing
// declares, each with the class number (500 and up) by which its records are coded, and the
// table of numbers by which the rest of the toolkit recognises the 25 kinds it understands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

// Item class ids of a ClassEntry.
inline constexpr uint16_t kClassOfEntities = 498;
inline constexpr uint16_t kClassOfObjects = 499;

// The first number handed out to a class.
inline constexpr uint16_t kFirstClassNumber = 500;

struct ClassEntry {
    static constexpr size_t kNameLimit = 512; // buffer size of each name with its NUL

    uint16_t number = 0;
    std::string dxfName;
    std::string className;
    std::string applicationName;
    int16_t proxyFlags = 0; // bit 15 set while no entity of the class has been added
    uint8_t wasAZombie = 0;
    uint16_t itemClassId = 0; // kClassOfEntities or kClassOfObjects

    friend bool operator==(const ClassEntry&, const ClassEntry&) = default;
};

// Proxy-flag bit that marks a declared class no entity uses yet.
inline constexpr uint16_t kClassNotInUse = 0x8000;

// The 25 class-based kinds the toolkit understands, in the order of the ClassNumberTable.
enum class ClassKind : uint8_t {
    Ole2Frame,
    Hatch,
    Lwpolyline,
    Image,
    Rtext,
    ArcAlignedText,
    Wipeout,
    Xrecord,
    IdBuffer,
    DictionaryVar,
    ImageDef,
    ImageDefReactor,
    RasterVariables,
    SpatialFilter,
    SortentsTable,
    LayerIndex,
    SpatialIndex,
    ObjectPtr,
    DictionaryWithDefault,
    Placeholder,
    Layout,
    VbaProject,
    WipeoutVariables,
    PlotSettings,
    DimAssoc,
};
inline constexpr size_t kClassKindCount = 25;

// The DXF name of a kind ("OLE2FRAME", "IMAGEDEF_REACTOR", ...).
std::string_view dbClassKindDxfName(ClassKind kind);

// True for the seven entity kinds (OLE2FRAME to WIPEOUT).
constexpr bool dbClassKindIsEntity(ClassKind kind) { return kind <= ClassKind::Wipeout; }

// The kind with that DXF name (compared without case); false when it is none of the 25.
bool dbClassKindByDxfName(std::string_view dxfName, ClassKind& kind);

// Class number per kind; 0 when the drawing has no such class.
using ClassNumberTable = std::array<uint16_t, kClassKindCount>;

struct ClassList {
    std::vector<ClassEntry> entries;
    size_t cursor = 0;
    ClassNumberTable numbers{};
    // Class numbers of the "DxfZombieEntity" and "DxfZombieObject" classes, 0 when absent.
    uint16_t zombieEntityNumber = 0;
    uint16_t zombieObjectNumber = 0;
    // Class numbers of "ADPART" and "ACAD_PROXY_OBJECT_WRAPPER" after a load, 0 when absent.
    uint16_t adpartNumber = 0;
    uint16_t proxyObjectWrapperNumber = 0;
    // After a DWG load: one byte per class in list order, 1 when it describes entities.
    std::vector<uint8_t> isEntity;
};

// Cursor operations: rewind, read the entry under the cursor (copied out) and advance.
void dbRewindClasses(ClassList& list);
int dbReadClass(ClassList& list, ClassEntry& out);
int16_t dbCountClasses(const ClassList& list);

// Finds an entry by DXF name, compared without case; the cursor is kept. 1 found, 0 not.
int dbFindClassByName(const ClassList& list, std::string_view dxfName, ClassEntry& out);

// Overwrites the stored entry that has the entry's class number; 0 when there is none.
int dbReplaceClass(ClassList& list, const ClassEntry& entry);

// Appends the entry and registers its number in the ClassNumberTable.
int dbAppendClass(ClassList& list, const ClassEntry& entry);

// Stores the number in the table entry for that DXF name; other names are ignored. Result 1.
int dbSetClassNumber(ClassList& list, std::string_view dxfName, uint16_t number);

// The highest class number + 1, never below 500 (class numbers below 498 are fixed type
// codes); 0 when the highest number leaves no room.
uint16_t dbNextClassNumber(const ClassList& list);

// Adds a class unless one with that DXF name exists, numbered dbNextClassNumber. Returns the
// class number (of the existing entry when there is one), 0 when no number is left.
uint16_t dbAddClass(ClassList& list, std::string_view dxfName, std::string_view className,
                    std::string_view applicationName, int16_t proxyFlags, uint16_t itemClassId,
                    uint8_t wasAZombie);

// The DXF name of the class with that number, null when no entry has it.
const std::string* dbClassNameByNumber(const ClassList& list, uint16_t number);

// The name of an entity kind: the DXF name of a fixed kind, the DXF name of its class for a
// class number, else the number as text.
std::string dbEntityKindName(const ClassList& list, uint16_t type);

// The kind that the number stands for in this list, false when it is none of the 25.
bool dbClassKindByNumber(const ClassList& list, uint16_t number, ClassKind& kind);

// The default classes of a drawing, added where missing; the five Express Tools classes only
// when the context's extra-classes switch is on. Result 1, 0 when no class number is left.
int dbAddDefaultClasses(ClassList& list);

// The number of a kind's class, adding the kind's default class when the list has none; 0 for a
// kind without a default class or when no number is left.
uint16_t dbAddDefaultClass(ClassList& list, ClassKind kind);

// Getters of the ClassNumberTable, one per kind.
inline uint16_t dbClassNumber(const ClassList& list, ClassKind kind) { return list.numbers[size_t(kind)]; }
inline uint16_t dbClassOle2Frame(const ClassList& l) { return dbClassNumber(l, ClassKind::Ole2Frame); }
inline uint16_t dbClassHatch(const ClassList& l) { return dbClassNumber(l, ClassKind::Hatch); }
inline uint16_t dbClassLwpolyline(const ClassList& l) { return dbClassNumber(l, ClassKind::Lwpolyline); }
inline uint16_t dbClassImage(const ClassList& l) { return dbClassNumber(l, ClassKind::Image); }
inline uint16_t dbClassRtext(const ClassList& l) { return dbClassNumber(l, ClassKind::Rtext); }
inline uint16_t dbClassArcAlignedText(const ClassList& l) { return dbClassNumber(l, ClassKind::ArcAlignedText); }
inline uint16_t dbClassWipeout(const ClassList& l) { return dbClassNumber(l, ClassKind::Wipeout); }
inline uint16_t dbClassXrecord(const ClassList& l) { return dbClassNumber(l, ClassKind::Xrecord); }
inline uint16_t dbClassIdBuffer(const ClassList& l) { return dbClassNumber(l, ClassKind::IdBuffer); }
inline uint16_t dbClassDictionaryVar(const ClassList& l) { return dbClassNumber(l, ClassKind::DictionaryVar); }
inline uint16_t dbClassImageDef(const ClassList& l) { return dbClassNumber(l, ClassKind::ImageDef); }
inline uint16_t dbClassImageDefReactor(const ClassList& l) {
    return dbClassNumber(l, ClassKind::ImageDefReactor);
}
inline uint16_t dbClassRasterVariables(const ClassList& l) {
    return dbClassNumber(l, ClassKind::RasterVariables);
}
inline uint16_t dbClassSpatialFilter(const ClassList& l) { return dbClassNumber(l, ClassKind::SpatialFilter); }
inline uint16_t dbClassSortentsTable(const ClassList& l) { return dbClassNumber(l, ClassKind::SortentsTable); }
inline uint16_t dbClassLayerIndex(const ClassList& l) { return dbClassNumber(l, ClassKind::LayerIndex); }
inline uint16_t dbClassSpatialIndex(const ClassList& l) { return dbClassNumber(l, ClassKind::SpatialIndex); }
inline uint16_t dbClassObjectPtr(const ClassList& l) { return dbClassNumber(l, ClassKind::ObjectPtr); }
inline uint16_t dbClassDictionaryWithDefault(const ClassList& l) {
    return dbClassNumber(l, ClassKind::DictionaryWithDefault);
}
inline uint16_t dbClassPlaceholder(const ClassList& l) { return dbClassNumber(l, ClassKind::Placeholder); }
inline uint16_t dbClassLayout(const ClassList& l) { return dbClassNumber(l, ClassKind::Layout); }
inline uint16_t dbClassVbaProject(const ClassList& l) { return dbClassNumber(l, ClassKind::VbaProject); }
inline uint16_t dbClassWipeoutVariables(const ClassList& l) {
    return dbClassNumber(l, ClassKind::WipeoutVariables);
}
inline uint16_t dbClassPlotSettings(const ClassList& l) { return dbClassNumber(l, ClassKind::PlotSettings); }
inline uint16_t dbClassDimAssoc(const ClassList& l) { return dbClassNumber(l, ClassKind::DimAssoc); }

} // namespace tracemill
