#include "toolkit/core/class_list.h"

#include <gtest/gtest.h>

#include <span>

#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using test::ToolkitTest;

ClassEntry entryNumbered(uint16_t number, std::string dxfName) {
    ClassEntry entry;
    entry.number = number;
    entry.dxfName = std::move(dxfName);
    entry.itemClassId = kClassOfObjects;
    return entry;
}

TEST(ClassList, NextNumberFollowsTheHighest) {
    ClassList list;
    EXPECT_EQ(dbNextClassNumber(list), 500);
    dbAppendClass(list, entryNumbered(500, "A"));
    dbAppendClass(list, entryNumbered(507, "B"));
    dbAppendClass(list, entryNumbered(502, "C"));
    EXPECT_EQ(dbNextClassNumber(list), 508);
}

TEST(ClassList, NumbersOfDamagedListsStayClassNumbers) {
    ClassList low;
    dbAppendClass(low, entryNumbered(5, "LOW"));
    EXPECT_EQ(dbNextClassNumber(low), 500) << "numbers below 498 are fixed type codes";

    ClassList full;
    dbAppendClass(full, entryNumbered(65535, "LAST"));
    EXPECT_EQ(dbNextClassNumber(full), 0);
    EXPECT_EQ(dbAddClass(full, "NEW", "AcDbNew", "app", 0, kClassOfObjects, 0), 0);
    EXPECT_EQ(dbCountClasses(full), 1);
}

TEST(ClassList, AddingAnExistingDxfNameAddsNothing) {
    ClassList list;
    EXPECT_EQ(dbAddClass(list, "HATCH", "AcDbHatch", "AutoCAD 2000", -32768, kClassOfEntities, 0), 500);
    EXPECT_EQ(dbAddClass(list, "XRECORD", "AcDbXrecord", "AutoCAD 2000", -32768, kClassOfObjects, 0), 501);
    EXPECT_EQ(dbAddClass(list, "hatch", "Other", "Other", 0, kClassOfObjects, 1), 500);
    EXPECT_EQ(dbCountClasses(list), 2);
    ClassEntry found;
    ASSERT_EQ(dbFindClassByName(list, "Hatch", found), 1);
    EXPECT_EQ(found.className, "AcDbHatch");
    EXPECT_EQ(dbFindClassByName(list, "HATCHX", found), 0);
}

TEST(ClassList, AppendRegistersTheKnownKindsOnly) {
    ClassList list;
    dbAppendClass(list, entryNumbered(612, "LAYOUT"));
    dbAppendClass(list, entryNumbered(613, "ACAD_PROXY_OBJECT_WRAPPER"));
    EXPECT_EQ(dbClassLayout(list), 612);
    ClassKind kind;
    ASSERT_TRUE(dbClassKindByNumber(list, 612, kind));
    EXPECT_EQ(kind, ClassKind::Layout);
    EXPECT_FALSE(dbClassKindByNumber(list, 613, kind));
    EXPECT_FALSE(dbClassKindByNumber(list, 0, kind)) << "0 marks an unregistered kind";

    EXPECT_EQ(dbSetClassNumber(list, "NOT_A_KIND", 700), 1);
    EXPECT_EQ(dbSetClassNumber(list, "wipeout", 701), 1);
    EXPECT_EQ(dbClassWipeout(list), 701);
    ClassNumberTable expected{};
    expected[size_t(ClassKind::Layout)] = 612;
    expected[size_t(ClassKind::Wipeout)] = 701;
    EXPECT_EQ(list.numbers, expected);
}

TEST(ClassList, CursorReplaceAndNameByNumber) {
    ClassList list;
    dbAppendClass(list, entryNumbered(500, "XRECORD"));
    dbAppendClass(list, entryNumbered(501, "IDBUFFER"));
    ClassEntry replacement = entryNumbered(501, "IDBUFFER");
    replacement.proxyFlags = 7;
    EXPECT_EQ(dbReplaceClass(list, replacement), 1);
    EXPECT_EQ(dbReplaceClass(list, entryNumbered(999, "NONE")), 0);

    dbRewindClasses(list);
    ClassEntry entry;
    ASSERT_EQ(dbReadClass(list, entry), 1);
    EXPECT_EQ(entry.number, 500);
    ASSERT_EQ(dbReadClass(list, entry), 1);
    EXPECT_EQ(entry, replacement);
    EXPECT_EQ(dbReadClass(list, entry), 0);

    ASSERT_NE(dbClassNameByNumber(list, 500), nullptr);
    EXPECT_EQ(*dbClassNameByNumber(list, 500), "XRECORD");
    EXPECT_EQ(dbClassNameByNumber(list, 502), nullptr);
}

TEST(ClassList, NamesAreCutToTheirBuffers) {
    ClassList list;
    dbAddClass(list, std::string(600, 'D'), std::string(600, 'C'), std::string(600, 'A'), 0, kClassOfObjects, 0);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].dxfName.size(), 511u);
    EXPECT_EQ(list.entries[0].className.size(), 511u);
    EXPECT_EQ(list.entries[0].applicationName.size(), 511u);
}

TEST(ClassKinds, DxfNamesInTableOrder) {
    const char* names[kClassKindCount] = {
        "OLE2FRAME",     "HATCH",          "LWPOLYLINE",      "IMAGE",         "RTEXT",
        "ARCALIGNEDTEXT", "WIPEOUT",       "XRECORD",         "IDBUFFER",      "DICTIONARYVAR",
        "IMAGEDEF",      "IMAGEDEF_REACTOR", "RASTERVARIABLES", "SPATIAL_FILTER", "SORTENTSTABLE",
        "LAYER_INDEX",   "SPATIAL_INDEX",  "OBJECT_PTR",      "ACDBDICTIONARYWDFLT", "ACDBPLACEHOLDER",
        "LAYOUT",        "VBA_PROJECT",    "WIPEOUTVARIABLES", "PLOTSETTINGS", "DIMASSOC",
    };
    for (size_t i = 0; i < kClassKindCount; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(dbClassKindDxfName(ClassKind(i)), names[i]);
        ClassKind kind;
        ASSERT_TRUE(dbClassKindByDxfName(names[i], kind));
        EXPECT_EQ(kind, ClassKind(i));
        EXPECT_EQ(dbClassKindIsEntity(kind), i < 7);
    }
}

struct ExpectedClass {
    const char* dxfName;
    uint16_t number;
    int16_t proxyFlags;
    uint16_t itemClassId;
};

// The default classes in the order the drawing database adds them, numbered from 500.
constexpr ExpectedClass kStandardClasses[] = {
    {"LWPOLYLINE", 500, -32768, 498},      {"IMAGE", 501, -32641, 498},
    {"OLE2FRAME", 502, -32768, 498},       {"HATCH", 503, -32768, 498},
    {"DICTIONARYVAR", 504, -32768, 499},   {"RASTERVARIABLES", 505, -32768, 499},
    {"IMAGEDEF", 506, -32768, 499},        {"IMAGEDEF_REACTOR", 507, -32767, 499},
    {"IDBUFFER", 508, -32768, 499},        {"SPATIAL_FILTER", 509, -32768, 499},
    {"XRECORD", 510, -32768, 499},         {"SORTENTSTABLE", 511, -32768, 499},
    {"LAYER_INDEX", 512, -32768, 499},     {"SPATIAL_INDEX", 513, -32768, 499},
    {"OBJECT_PTR", 514, -32767, 499},      {"LAYOUT", 515, 0, 499},
    {"PLOTSETTINGS", 516, -32768, 499},    {"ACDBDICTIONARYWDFLT", 517, 0, 499},
    {"ACDBPLACEHOLDER", 518, 0, 499},
};
constexpr ExpectedClass kExtraClasses[] = {
    {"VBA_PROJECT", 519, -32768, 499}, {"WIPEOUT", 520, -32641, 498},     {"WIPEOUTVARIABLES", 521, -32768, 499},
    {"RTEXT", 522, -32768, 498},       {"ARCALIGNEDTEXT", 523, -32768, 498},
};

void expectClasses(const ClassList& list, std::initializer_list<std::span<const ExpectedClass>> parts) {
    size_t i = 0;
    for (std::span<const ExpectedClass> part : parts) {
        for (const ExpectedClass& expected : part) {
            SCOPED_TRACE(expected.dxfName);
            ASSERT_LT(i, list.entries.size());
            const ClassEntry& entry = list.entries[i++];
            EXPECT_EQ(entry.dxfName, expected.dxfName);
            EXPECT_EQ(entry.number, expected.number);
            EXPECT_EQ(entry.proxyFlags, expected.proxyFlags);
            EXPECT_EQ(entry.itemClassId, expected.itemClassId);
            EXPECT_EQ(entry.wasAZombie, 0);
            ClassKind kind{};
            ASSERT_TRUE(dbClassKindByDxfName(expected.dxfName, kind));
            EXPECT_EQ(dbClassNumber(list, kind), expected.number);
        }
    }
    EXPECT_EQ(i, list.entries.size());
}

class DefaultClasses : public ToolkitTest {};

TEST_F(DefaultClasses, StandardClassesFrom500) {
    EXPECT_EQ(gSystemContext->extraClasses, 0) << "initial value (docs/drawing-defaults.md)";
    EXPECT_EQ(gSystemContext->wipeoutVariables, 0) << "initial value (docs/drawing-defaults.md)";
    ClassList list;
    ASSERT_EQ(dbAddDefaultClasses(list), 1);
    expectClasses(list, {kStandardClasses});
    EXPECT_EQ(dbClassWipeout(list), 0);
    EXPECT_EQ(dbClassRtext(list), 0);

    ClassEntry entry;
    ASSERT_EQ(dbFindClassByName(list, "OBJECT_PTR", entry), 1);
    EXPECT_EQ(entry.className, "CAseDLPNTableRecord");
    EXPECT_EQ(entry.applicationName, "\"ASE-LPNTableRecord\"");
    ASSERT_EQ(dbFindClassByName(list, "IMAGE", entry), 1);
    EXPECT_EQ(entry.className, "AcDbRasterImage");
    EXPECT_EQ(entry.applicationName, "ISM");
}

TEST_F(DefaultClasses, ExtraClassesWhenTheSwitchIsOn) {
    gSystemContext->extraClasses = 1;
    ClassList list;
    ASSERT_EQ(dbAddDefaultClasses(list), 1);
    expectClasses(list, {kStandardClasses, kExtraClasses});
    ClassEntry entry;
    ASSERT_EQ(dbFindClassByName(list, "ARCALIGNEDTEXT", entry), 1);
    EXPECT_EQ(entry.applicationName.substr(0, 27), "ATEXT|AutoCAD Express Tool|");
    EXPECT_GT(entry.applicationName.size(), 27u);
}

TEST_F(DefaultClasses, OnlyMissingClassesAreAdded) {
    ClassList list;
    dbAppendClass(list, entryNumbered(600, "HATCH"));
    ASSERT_EQ(dbAddDefaultClasses(list), 1);
    ASSERT_EQ(dbAddDefaultClasses(list), 1);
    EXPECT_EQ(dbCountClasses(list), 19);
    EXPECT_EQ(dbClassHatch(list), 600);
    EXPECT_EQ(dbClassLwpolyline(list), 601);
}

} // namespace
} // namespace tracemill
