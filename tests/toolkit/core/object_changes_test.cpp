#include "toolkit/core/object_access.h"

#include <gtest/gtest.h>

#include "toolkit/core/entity_types.h"
#include "toolkit/core/symbol_tables.h"
#include "drawing_fixture.h"

namespace tracemill {
namespace {

class ObjectChanges : public test::AllocatedDrawingTest {
protected:
    void SetUp() override {
        AllocatedDrawingTest::SetUp();
        drawing->versionIndex = kVersionIndex2000;
        dbAddDefaultClasses(drawing->classes);
    }
};

TEST_F(ObjectChanges, UpdateKeepsTheKind) {
    ObjectRecord dictionary = addObject(kObjectDictionary, 0x10, DictionaryBody{});
    dictionary.bodyAs<DictionaryBody>().entries.push_back({"A", Handle(0x11)});
    ASSERT_EQ(dbUpdateObject(drawing, dictionary), 1);
    ObjectRecord read;
    ASSERT_EQ(dbObjectGet(drawing, Handle(0x10), read), 1);
    EXPECT_EQ(read, dictionary);

    ObjectRecord group;
    group.header.type = kObjectGroup;
    group.header.handle = Handle(0x10);
    group.body = GroupBody{};
    EXPECT_EQ(dbUpdateObject(drawing, group), 0);
    EXPECT_EQ(dbGetError(), 205);
    group.header.handle = Handle(0x99);
    EXPECT_EQ(dbUpdateObject(drawing, group), 0);
    EXPECT_EQ(dbGetError(), 168);
}

TEST_F(ObjectChanges, DeleteTakesTheObjectOutOfListAndIndex) {
    addObject(kObjectDictionary, 0x10, DictionaryBody{});
    addObject(kObjectGroup, 0x11, GroupBody{});
    addObject(kObjectDictionary, 0x12, DictionaryBody{});
    ASSERT_EQ(dbDeleteObject(drawing, Handle(0x11)), 1);
    EXPECT_EQ(dbGetError(), 0);
    EXPECT_EQ(dbObjectCount(drawing), 2);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, Handle(0x11)), nullptr);
    EXPECT_EQ(dbDeleteObject(drawing, Handle(0x11)), 0);
    EXPECT_EQ(dbGetError(), 168);

    dbObjectRewind(drawing);
    ObjectRecord read;
    ASSERT_EQ(dbObjectRead(drawing, read), 1);
    EXPECT_EQ(read.header.handle, Handle(0x10));
    ASSERT_EQ(dbObjectRead(drawing, read), 1);
    EXPECT_EQ(read.header.handle, Handle(0x12));
}

TEST_F(ObjectChanges, FreeingTheDataKeepsKindAndHandle) {
    ObjectRecord object;
    object.header.type = kObjectGroup;
    object.header.handle = Handle(0x20);
    object.header.reactors.push_back(Handle(0x21));
    object.header.xdata.create(64);
    GroupBody body;
    body.description = "doors";
    body.members.push_back(Handle(0x22));
    object.body = body;
    ASSERT_EQ(dbFreeObjectData(drawing, object), 1);
    EXPECT_EQ(object.header.type, kObjectGroup);
    EXPECT_EQ(object.header.handle, Handle(0x20));
    EXPECT_TRUE(object.header.reactors.empty());
    EXPECT_FALSE(object.header.xdata);
    EXPECT_TRUE(object.bodyAs<GroupBody>().members.empty());
    EXPECT_EQ(object.bodyAs<GroupBody>().description, "doors") << "what the object does not own stays";

    // Each kind gives up its own lists and streams and keeps its other fields.
    ObjectRecord style;
    style.header.type = kObjectMlineStyle;
    MlineStyleBody mline;
    mline.name = "Double";
    mline.elements = {{0.5, 1, 0}, {-0.5, 2, 0}};
    style.body = mline;
    ASSERT_EQ(dbFreeObjectData(drawing, style), 1);
    EXPECT_TRUE(style.bodyAs<MlineStyleBody>().elements.empty());
    EXPECT_EQ(style.bodyAs<MlineStyleBody>().name, "Double");

    ObjectRecord dictionary;
    dictionary.header.type = kObjectDictionary;
    DictionaryBody entries;
    entries.entries = {{"A", Handle(0x30)}};
    entries.hardOwner = 1;
    dictionary.body = entries;
    ASSERT_EQ(dbFreeObjectData(drawing, dictionary), 1);
    EXPECT_TRUE(dictionary.bodyAs<DictionaryBody>().entries.empty());
    EXPECT_EQ(dictionary.bodyAs<DictionaryBody>().hardOwner, 1);
}

} // namespace
} // namespace tracemill
