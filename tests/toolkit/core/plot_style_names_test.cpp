// Named plot styles: the dictionary iterator, the plot style "Normal" of new layers, and the
// plot style table that the current layout attaches to the display.
#include "toolkit/display/layout_plot_style.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display_drawing_fixture.h"
#include "plot_style_files.h"
#include "toolkit/core/dictionary_entries.h"
#include "toolkit/core/object_access.h"

namespace tracemill {
namespace {

class PlotStyleNames : public test::DisplayDrawingTest {
protected:
    // Adds a dictionary of plot style names and names it in the named object dictionary.
    void addPlotStyleNames(std::vector<DictionaryEntry> entries, bool withDefault = true) {
        ObjectRecord names;
        names.header.type = withDefault ? dbClassDictionaryWithDefault(drawing->classes) : uint16_t(kObjectDictionary);
        dbInitObject(drawing, names);
        names.header.handle = dbNewHandle(*drawing);
        if (withDefault) {
            names.bodyAs<DictionaryWithDefaultBody>().entries = std::move(entries);
        } else {
            names.bodyAs<DictionaryBody>().entries = std::move(entries);
        }
        ASSERT_EQ(dbAddObject(drawing, names), 1);
        nameInRoot("ACAD_PLOTSTYLENAME", names.header.handle);
    }
    std::vector<DictionaryEntry>& rootEntries() {
        return dbFindStoredObject(drawing, drawing->handles.namedObjectDictionary)->bodyAs<DictionaryBody>().entries;
    }
};

TEST_F(PlotStyleNames, TheIteratorWalksTheEntriesInOrder) {
    addPlotStyleNames({{"Normal", Handle(0x70)}, {"Thick", Handle(0x71)}});
    DictionaryIterator entries;
    entries.drawing = drawing;
    ASSERT_EQ(dbOpenDictionaryEntries("ACAD_PLOTSTYLENAME", entries), 2);
    EXPECT_EQ(dbDictionaryEntryName(entries), "Normal");
    EXPECT_EQ(dbDictionaryEntryHandle(entries), Handle(0x70));
    ASSERT_EQ(dbNextDictionaryEntry(entries), 1);
    EXPECT_EQ(dbDictionaryEntryName(entries), "Thick");
    EXPECT_EQ(dbDictionaryEntryHandle(entries), Handle(0x71));
    EXPECT_EQ(dbNextDictionaryEntry(entries), 0);
    EXPECT_EQ(dbDictionaryEntryName(entries), "");
    EXPECT_TRUE(dbDictionaryEntryHandle(entries).isNull());
    dbCloseDictionaryEntries(entries);
    EXPECT_EQ(entries.drawing, drawing);

    EXPECT_EQ(dbOpenDictionaryEntries("acad_plotstylename", entries), 0) << "names compare exactly";
    EXPECT_EQ(dbOpenDictionaryEntries("ACAD_GROUP", entries), 0) << "an empty dictionary";
    rootEntries().push_back({"BROKEN", Handle(0xFFFF)});
    EXPECT_EQ(dbOpenDictionaryEntries("BROKEN", entries), 0) << "an entry naming no object";
    const Handle standardMlineStyle =
        dbFindStoredObject(drawing, drawing->handles.mlineStyleDictionary)->bodyAs<DictionaryBody>().entries.front().handle;
    rootEntries().push_back({"NOT_A_DICTIONARY", standardMlineStyle});
    EXPECT_EQ(dbOpenDictionaryEntries("NOT_A_DICTIONARY", entries), 0) << "an MLINESTYLE";
}

TEST_F(PlotStyleNames, NewLayersTakeTheStyleNormal) {
    unnameInRoot("ACAD_PLOTSTYLENAME");
    EXPECT_TRUE(dbDefaultLayerPlotStyle(drawing).isNull()) << "no ACAD_PLOTSTYLENAME";
    addPlotStyleNames({{"Thick", Handle(0x71)}, {"normal", Handle(0x72)}});
    EXPECT_TRUE(dbDefaultLayerPlotStyle(drawing).isNull()) << "no entry named exactly Normal";
    addPlotStyleNames({{"Thick", Handle(0x71)}, {"Normal", Handle(0x70)}}, false);
    EXPECT_EQ(dbDefaultLayerPlotStyle(drawing), Handle(0x70));
}

TEST_F(PlotStyleNames, TheIteratorNeedsTheNamedObjectDictionaryFirst) {
    addPlotStyleNames({{"Normal", Handle(0x70)}});
    ObjectList& objects = drawing->objects;
    ListLink* root = objects.first;
    dbListUnlinkOne(&objects, root);
    dbListAppendNode(&objects, root);
    EXPECT_TRUE(dbDefaultLayerPlotStyle(drawing).isNull());
}

// Slot 32 as a host installs it: the path the table name is found at.
std::string gFoundPath;
std::vector<std::string> gAskedNames;
int findPlotStyleFile(const char* name, std::string& outPath, HostWord) {
    gAskedNames.push_back(name);
    outPath = gFoundPath;
    return gFoundPath.empty() ? 0 : 1;
}

class LayoutPlotStyles : public PlotStyleNames {
protected:
    void SetUp() override {
        PlotStyleNames::SetUp();
        gAskedNames.clear();
        display().layout.settings.styleSheet = "monochrome.ctb";
        display().layout.settings.plotLayoutFlags = kLayoutUsesPlotStyles;
    }
    void TearDown() override {
        gFoundPath.clear();
        PlotStyleNames::TearDown();
    }
    test::TemporaryFile file{"layout.ctb"};
};

TEST_F(LayoutPlotStyles, TheHookFindsTheTableOfTheLayout) {
    gFoundPath = file.write(test::packPlotStyleText(test::kColourTableText));
    dbSetPlotStyleFileHook(findPlotStyleFile);
    ASSERT_EQ(dbLoadLayoutPlotStyleTable(drawing), 1);
    EXPECT_EQ(gAskedNames, std::vector<std::string>{"monochrome.ctb"});
    ASSERT_TRUE(display().plotStyleTable);
    EXPECT_EQ(display().plotStyleTable->styles.size(), 2u);
}

TEST_F(LayoutPlotStyles, WithoutAHookTheNameIsThePath) {
    display().layout.settings.styleSheet = file.write(test::packPlotStyleText(test::kColourTableText));
    ASSERT_EQ(dbLoadLayoutPlotStyleTable(drawing), 1);
    EXPECT_TRUE(display().plotStyleTable);
}

TEST_F(LayoutPlotStyles, NamedStylesAreLinkedAndUselessTablesDropped) {
    addPlotStyleNames({{"Farbe_1", Handle(0x61)}});
    display().layout.settings.styleSheet = file.write(test::packPlotStyleText(test::kColourTableText));
    drawing->header->pstylemode = 0;
    ASSERT_EQ(dbLoadLayoutPlotStyleTable(drawing), 1);
    ASSERT_TRUE(display().plotStyleTable);
    EXPECT_EQ(display().plotStyleTable->styles[0].dictionaryHandle, Handle(0x61));

    file.write(test::packPlotStyleText("description=named\naci_table_available=FALSE\n"));
    drawing->header->pstylemode = 1;
    EXPECT_EQ(dbLoadLayoutPlotStyleTable(drawing), 1) << "read";
    EXPECT_FALSE(display().plotStyleTable) << "colour-dependent plotting without a colour table";
}

TEST_F(LayoutPlotStyles, NothingIsReadWithoutATableToRead) {
    const std::string path = file.write(test::packPlotStyleText(test::kColourTableText));
    struct Case {
        const char* name;
        std::string styleSheet;
        int16_t flags;
    };
    for (const Case& c : {Case{"no table named", "", kLayoutUsesPlotStyles}, Case{"plot styles off", path, 0},
                          Case{"a missing file", path + ".missing", kLayoutUsesPlotStyles}}) {
        display().layout.settings.styleSheet = c.styleSheet;
        display().layout.settings.plotLayoutFlags = c.flags;
        EXPECT_EQ(dbLoadLayoutPlotStyleTable(drawing), 0) << c.name;
        EXPECT_FALSE(display().plotStyleTable) << c.name;
    }
    display().layout.settings.styleSheet = path;
    display().layout.settings.plotLayoutFlags = kLayoutUsesPlotStyles;
    dbSetPlotStyleFileHook(findPlotStyleFile);
    EXPECT_EQ(dbLoadLayoutPlotStyleTable(drawing), 0) << "the hook finds nothing";
    drawing->displayContext.reset();
    EXPECT_EQ(dbLoadLayoutPlotStyleTable(drawing), 0) << "no display";
}

} // namespace
} // namespace tracemill
