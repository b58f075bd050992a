#include "app/shell/app_settings.h"

#include <bit>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "app/render/cad_support_folder.h"
#include "app/render/gdi_output_state.h"
#include "app/render/pen_width_table.h"
#include "app/services/file_paths.h"
#include "app/services/registry_key.h"
#include "settings_test_support.h"
#include "temp_folder.h"

namespace tracemill {
namespace {

using namespace std::string_literals;

class AppSettings : public test::SettingsTest {
protected:
    void SetUp() override {
        test::SettingsTest::SetUp();
        SetPenTableFromPenSet(DefaultPenSetEntries());
    }
};

PenSetEntries scaledEntries(double scale) {
    PenSetEntries entries = DefaultPenSetEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].width = scale * double(i + 1) / 128;
        entries[i].destinationColor = int16_t(255 - i);
    }
    return entries;
}

bool sameEntries(const PenSetEntries& a, const PenSetEntries& b) {
    for (size_t i = 0; i < a.size(); ++i)
        if (std::bit_cast<uint64_t>(a[i].width) != std::bit_cast<uint64_t>(b[i].width) ||
            a[i].destinationColor != b[i].destinationColor)
            return false;
    return true;
}

// Stores a pen set the way the settings hold it, as the program's settings object would.
void storeSet(CAppSettings& settings, const std::string& name, const PenSetEntries& entries) {
    SetPenTableFromPenSet(entries);
    settings.SavePenSet(name);
}

std::vector<std::string> listed(const CAppSettings& settings) {
    std::vector<std::string> names;
    settings.ListPenSets(names);
    return names;
}

TEST_F(AppSettings, NothingStoredGivesTheDefaultSet) {
    SetPenTableFromPenSet(scaledEntries(1));
    CAppSettings settings;
    EXPECT_EQ(CAppSettings::Get(), &settings);
    EXPECT_EQ(settings.GetCurrentPenSetName(), "Default");
    EXPECT_TRUE(sameEntries(GetPenTableAsPenSet(), DefaultPenSetEntries()));
    EXPECT_EQ(listed(settings), std::vector<std::string>{"Default"});
    EXPECT_EQ(settings.GetBackgroundColor(), 0);
    EXPECT_EQ(GetPenWidthTable()[17].mappedColorIndex, 17);
}

TEST_F(AppSettings, StoredValuesOfTheWrongKindGiveDefaults) {
    {
        CRegistryKey key;
        ASSERT_EQ(key.Create("PenWidths"), kRegSuccess);
        key.SetString("Plotter", "CurPenWidthColorSets");
        ASSERT_EQ(key.Create("PenWidths/Plotter"), kRegSuccess);
        key.SetDword(300, "C12");      // beyond the colour indices: own index
        key.SetDword(7, "C13");
        key.SetDword(0xFFFFFFFFu, "C14");
        key.SetString("9", "C15");     // digits read as a DWORD
        key.SetDword(5, "W5");         // a DWORD is no width
        const uint8_t four[] = {0, 0, 0x80, 0x3F};
        key.SetBinary(four, "W6");     // nor are 4 bytes
        SetRegDouble(key, "W7", 0.25);
        key.SetString("0.5", "W8");
    }
    CAppSettings settings;
    EXPECT_EQ(settings.GetCurrentPenSetName(), "Plotter");
    const PenWidthTable& table = GetPenWidthTable();
    EXPECT_EQ(table[12].mappedColorIndex, 12);
    EXPECT_EQ(table[13].mappedColorIndex, 7);
    EXPECT_EQ(table[14].mappedColorIndex, 14);
    EXPECT_EQ(table[15].mappedColorIndex, 9);
    EXPECT_EQ(table[5].exportWidth, 0);
    EXPECT_EQ(table[6].exportWidth, 0);
    EXPECT_EQ(table[7].exportWidth, 0.25);
    EXPECT_EQ(table[8].exportWidth, 0);
    EXPECT_EQ(table[200].mappedColorIndex, 200);
}

TEST_F(AppSettings, CurrentSetThatIsNotStoredGivesDefault) {
    {
        CRegistryKey key;
        ASSERT_EQ(key.Create("PenWidths"), kRegSuccess);
        key.SetString("Gone", "CurPenWidthColorSets");
    }
    CAppSettings settings;
    EXPECT_EQ(settings.GetCurrentPenSetName(), "Default");
}

TEST_F(AppSettings, SavedAtExitAndLoadedAtStart) {
    {
        CRegistryKey key;
        ASSERT_EQ(key.Create("Option"), kRegSuccess);
        key.SetString("/opt/cad/support:/opt/cad/fonts", "CadSupportPath");
    }
    {
        CAppSettings settings;
        EXPECT_EQ(GetCadSupportDir(), "/opt/cad/support:/opt/cad/fonts");
        settings.SetBackgroundColor(5);
        EXPECT_EQ(GetBackgroundColorIndex(), 5);
        storeSet(settings, "Plotter", scaledEntries(1));
        SetPenTableFromPenSet(scaledEntries(2)); // changed after the last save
    }
    EXPECT_EQ(CAppSettings::Get(), nullptr);
    SetPenTableFromPenSet(DefaultPenSetEntries());
    SetBackgroundColorIndex(0);
    CAppSettings settings;
    EXPECT_EQ(settings.GetBackgroundColor(), 5);
    EXPECT_EQ(GetBackgroundColorIndex(), 5);
    EXPECT_EQ(settings.GetCurrentPenSetName(), "Plotter");
    EXPECT_TRUE(sameEntries(GetPenTableAsPenSet(), scaledEntries(2)));
}

TEST_F(AppSettings, BackgroundBeyondTheColourIndicesIsIgnored) {
    {
        CRegistryKey key;
        ASSERT_EQ(key.Create("Option"), kRegSuccess);
        key.SetDword(300, "BackgroundColor");
    }
    CAppSettings settings;
    EXPECT_EQ(settings.GetBackgroundColor(), 0);
    EXPECT_EQ(GetBackgroundColorIndex(), 0);
}

TEST_F(AppSettings, EveryPenSetNameRoundTrips) {
    CAppSettings settings;
    const std::vector<std::string> names = {"a/b", "c\\d", "50%", "%2F", "\xC3\x84 x", "tab\tname", "Plain"};
    for (size_t i = 0; i < names.size(); ++i) storeSet(settings, names[i], scaledEntries(double(i + 1)));
    std::vector<std::string> stored = listed(settings);
    std::sort(stored.begin(), stored.end());
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(stored, expected);
    for (size_t i = 0; i < names.size(); ++i) {
        PenSetEntries entries;
        settings.LoadPenSet(entries, names[i]);
        EXPECT_TRUE(sameEntries(entries, scaledEntries(double(i + 1)))) << names[i];
    }
    CRegistryKey key;
    EXPECT_EQ(key.Open("a"), kRegFileNotFound) << "no key was split at the '/'";

    DeletePenSet("a/b");
    stored = listed(settings);
    EXPECT_EQ(std::count(stored.begin(), stored.end(), "a/b"), 0);
    EXPECT_EQ(stored.size(), names.size() - 1);
}

TEST_F(AppSettings, PenSetNamesIgnoreCase) {
    CAppSettings settings;
    storeSet(settings, "Plotter", scaledEntries(1));
    storeSet(settings, "PLOTTER", scaledEntries(2));
    EXPECT_EQ(listed(settings), std::vector<std::string>{"Plotter"});
    PenSetEntries entries;
    settings.LoadPenSet(entries, "plotter");
    EXPECT_TRUE(sameEntries(entries, scaledEntries(2)));
    storeSet(settings, "", scaledEntries(3));
    EXPECT_EQ(settings.GetCurrentPenSetName(), "Default");
    EXPECT_EQ(listed(settings), (std::vector<std::string>{"Default", "Plotter"}));
}

TEST_F(AppSettings, ExportedSetsImportAgain) {
    const test::TempFolder folder;
    const std::string path = folder / "pens.cps";
    {
        CAppSettings settings;
        storeSet(settings, "A", scaledEntries(1));
        storeSet(settings, "B", scaledEntries(2));
        storeSet(settings, "Current", scaledEntries(3));
        SetPenTableFromPenSet(scaledEntries(4)); // not saved: the export leaves it alone
        ASSERT_TRUE(settings.ExportPenSets(path, {"A", "B"}));
        EXPECT_TRUE(sameEntries(GetPenTableAsPenSet(), scaledEntries(4)));
        EXPECT_EQ(settings.GetCurrentPenSetName(), "Current");
    }
    EXPECT_EQ(GetFileSizeByName(path), 5147);
    std::ifstream exported(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(exported)), {});
    EXPECT_EQ(bytes.substr(0, 25), "KirvTracemill Pen Sets\0A\0"s);
    EXPECT_EQ(bytes.substr(25 + 2560, 2), "B\0"s);

    clearSettings();
    SetPenTableFromPenSet(DefaultPenSetEntries());
    CAppSettings settings;
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> names;
    settings.ReadPenSetNames(file, names);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B"}));
    int questions = 0;
    ASSERT_TRUE(settings.ImportPenSets(path, names, [&](const std::string&) {
        ++questions;
        return PenSetOverwrite::Yes;
    }));
    EXPECT_EQ(questions, 0) << "nothing to overwrite";
    EXPECT_EQ(listed(settings), (std::vector<std::string>{"A", "B"}));
    PenSetEntries entries;
    settings.LoadPenSet(entries, "A");
    EXPECT_TRUE(sameEntries(entries, scaledEntries(1)));
    settings.LoadPenSet(entries, "B");
    EXPECT_TRUE(sameEntries(entries, scaledEntries(2)));
    EXPECT_EQ(settings.GetCurrentPenSetName(), "Default");

    // A file of another signature lists nothing.
    const std::string foreign = folder.write("foreign.cps", "Other Pen Sets\0A\0"s + std::string(2560, '\0'));
    std::ifstream other(foreign, std::ios::binary);
    settings.ReadPenSetNames(other, names);
    EXPECT_TRUE(names.empty());
}

TEST_F(AppSettings, ImportAsksBeforeOverwriting) {
    const test::TempFolder folder;
    const std::string path = folder / "pens.cps";
    {
        CAppSettings settings;
        for (const char* name : {"A", "B", "C", "D"}) storeSet(settings, name, scaledEntries(2));
        ASSERT_TRUE(settings.ExportPenSets(path, {"A", "B", "C", "D"}));
    }
    struct Case {
        const char* name;
        std::vector<PenSetOverwrite> answers;
        std::vector<std::string> asked;
        std::string imported; // sets that now hold the file's entries
    } const cases[] = {
        {"each", {PenSetOverwrite::No, PenSetOverwrite::Yes, PenSetOverwrite::No, PenSetOverwrite::Yes},
         {"A", "B", "C", "D"}, "BD"},
        {"yes to all", {PenSetOverwrite::No, PenSetOverwrite::YesToAll}, {"A", "B"}, "BCD"},
        {"no to all", {PenSetOverwrite::Yes, PenSetOverwrite::NoToAll}, {"A", "B"}, "A"},
        {"cancel", {PenSetOverwrite::Yes, PenSetOverwrite::Cancel}, {"A", "B"}, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearSettings();
        CAppSettings settings;
        for (const char* name : {"a", "b", "c", "d"}) storeSet(settings, name, scaledEntries(1));
        storeSet(settings, "b", scaledEntries(1)); // "b" is current
        std::vector<std::string> asked;
        ASSERT_TRUE(settings.ImportPenSets(path, {"A", "B", "C", "D"}, [&](const std::string& name) {
            asked.push_back(name);
            return c.answers[asked.size() - 1];
        }));
        EXPECT_EQ(asked, c.asked);
        for (const char* name : {"A", "B", "C", "D"}) {
            PenSetEntries entries;
            settings.LoadPenSet(entries, name);
            const bool imported = c.imported.find(name) != std::string::npos;
            EXPECT_TRUE(sameEntries(entries, scaledEntries(imported ? 2 : 1))) << name;
        }
        EXPECT_EQ(listed(settings).size(), 4u) << "sets were overwritten, not added";
        EXPECT_EQ(settings.GetCurrentPenSetName(), "b");
        const bool currentImported = c.imported.find('B') != std::string::npos;
        EXPECT_TRUE(sameEntries(GetPenTableAsPenSet(), scaledEntries(currentImported ? 2 : 1)))
            << "the pen table follows a current set that was overwritten";
    }
}

TEST_F(AppSettings, PenSetRecordsOfTheCurrentSet) {
    CAppSettings settings;
    storeSet(settings, "Mine", scaledEntries(1));
    std::stringstream file;
    WritePenSetFileSignature(file);
    ASSERT_TRUE(settings.WritePenSetRecord(file));
    EXPECT_EQ(file.str().size(), 23u + 5 + 2560);

    SetPenTableFromPenSet(DefaultPenSetEntries());
    EXPECT_FALSE(settings.ReadPenSetRecord("Other", file));
    EXPECT_TRUE(sameEntries(GetPenTableAsPenSet(), DefaultPenSetEntries())) << "a failed read changes nothing";
    ASSERT_TRUE(settings.ReadPenSetRecord("MINE", file));
    EXPECT_TRUE(sameEntries(GetPenTableAsPenSet(), scaledEntries(1)));
    EXPECT_EQ(settings.GetCurrentPenSetName(), "MINE");
}

TEST_F(AppSettings, ExportThatCannotBeWrittenFails) {
    const test::TempFolder folder;
    CAppSettings settings;
    EXPECT_FALSE(settings.ExportPenSets(folder / "missing/pens.cps", {"Default"}));
    EXPECT_FALSE(FileExists(folder / "missing/pens.cps"));
    const std::string file = folder.write("file", "x");
    EXPECT_FALSE(settings.ExportPenSets(file + "/pens.cps", {"Default"}));
}

} // namespace
} // namespace tracemill
