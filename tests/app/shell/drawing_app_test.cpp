// The application object's start-up and exit without a window: the language file it finds
// beside the program or in the shared folder of an installed program, and the recent files it
// reads and writes back.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/shell/drawing_app.h"
#include "app/services/language_texts.h"
#include "app/shell/program_files.h"
#include "app/services/registry_key.h"
#include "settings_test_support.h"
#include "temp_folder.h"

namespace tracemill::test {
namespace {

// A program installed as PREFIX/bin/tracemill with its shared files in PREFIX/share/tracemill/.
class DrawingAppStartup : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        std::filesystem::create_directories(prefix_.path() / "bin");
        std::filesystem::create_directories(prefix_.path() / "share" / "tracemill");
    }
    void TearDown() override {
        GetLanguageTable().Clear();
        SettingsTest::TearDown();
    }
    std::string programFolder() const { return prefix_ / "bin/"; }
    void writeLanguage(const std::string& relativePath, const std::string& text) const {
        prefix_.write(relativePath, "Language\n" + text + "\n");
    }
    static void storeLanguageName(const std::string& name) {
        CRegistryKey key;
        ASSERT_EQ(key.Create("Language"), kRegSuccess);
        key.SetString(name, "LanguageFileName");
    }
    static std::string storedLanguageName() {
        CRegistryKey key;
        std::string name;
        if (key.Open("Language") == kRegSuccess) key.QueryString(name, "LanguageFileName");
        return name;
    }

    TempFolder prefix_;
};

TEST_F(DrawingAppStartup, LanguageFilesBesideTheProgramThenInTheSharedFolder) {
    struct Row {
        const char* name;
        const char* stored;          // the setting; null: none
        const char* besideProgram;   // a file in bin/; null: none
        const char* shared;          // a file in share/tracemill/; null: none
        const char* expectedText;    // the text of "OpenFileFail" afterwards
        const char* expectedStored;
    };
    const Row rows[] = {
        {"no setting, English beside", nullptr, "english.lan", nullptr, "from bin/english.lan", "english.lan"},
        {"no setting, English shared", nullptr, nullptr, "english.lan", "from share/english.lan", "english.lan"},
        {"no file at all", nullptr, nullptr, nullptr, "Open file failure!", "english.lan"},
        {"setting beside", "deutsch.lan", "deutsch.lan", nullptr, "from bin/deutsch.lan", "deutsch.lan"},
        {"setting shared", "deutsch.lan", nullptr, "deutsch.lan", "from share/deutsch.lan", "deutsch.lan"},
        {"setting with a folder", "/elsewhere/deutsch.lan", nullptr, "deutsch.lan", "from share/deutsch.lan",
         "deutsch.lan"},
        {"setting missing, English", "francais.lan", nullptr, "english.lan", "from share/english.lan", "english.lan"},
        {"empty setting", "", "english.lan", nullptr, "from bin/english.lan", "english.lan"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        clearSettings();
        std::filesystem::remove_all(prefix_.path() / "bin");
        std::filesystem::remove_all(prefix_.path() / "share");
        std::filesystem::create_directories(prefix_.path() / "bin");
        std::filesystem::create_directories(prefix_.path() / "share" / "tracemill");
        if (row.stored) storeLanguageName(row.stored);
        if (row.besideProgram)
            writeLanguage(std::string("bin/") + row.besideProgram, std::string("OpenFileFail=from bin/") + row.besideProgram);
        if (row.shared)
            writeLanguage(std::string("share/tracemill/") + row.shared,
                          std::string("OpenFileFail=from share/") + row.shared);
        CDrawingApp app({}, programFolder());
        EXPECT_TRUE(app.LoadLanguageAtStartup());
        EXPECT_EQ(LookupText("OpenFileFail", "Open file failure!"), row.expectedText);
        EXPECT_EQ(storedLanguageName(), row.expectedStored);
    }
}

TEST_F(DrawingAppStartup, FindsShippedFilesInOrder) {
    EXPECT_EQ(ProgramFileFolders("/opt/tm/bin/"),
              (std::vector<std::string>{"/opt/tm/bin/", "/opt/tm/bin/../share/tracemill/"}));
    EXPECT_EQ(FindProgramFile(programFolder(), "tracemill.chm"), "");
    prefix_.write("share/tracemill/tracemill.chm", "help");
    EXPECT_EQ(FindProgramFile(programFolder(), "tracemill.chm"), programFolder() + "../share/tracemill/tracemill.chm");
    prefix_.write("bin/tracemill.chm", "help");
    EXPECT_EQ(FindProgramFile(programFolder(), "tracemill.chm"), programFolder() + "tracemill.chm");
}

TEST_F(DrawingAppStartup, RecentFilesStopAtTheFirstMissingValueAndAreWrittenBackWhole) {
    {
        CRegistryKey key;
        ASSERT_EQ(key.Create("OpenedFiles"), kRegSuccess);
        key.SetString("/d/a.dwg", "Openedfile0");
        key.SetString("/d/c.dwg", "Openedfile2");
        key.SetString("/d/e.dwg", "Openedfile4");
    }
    CDrawingApp app({}, programFolder());
    EXPECT_TRUE(app.InitInstance());
    EXPECT_EQ(app.GetRecentFiles(), (std::array<std::string, kRecentFileCount>{"/d/a.dwg", "", "", "", ""}));
    EXPECT_EQ(app.ExitInstance(), 0);
    CRegistryKey key;
    ASSERT_EQ(key.Open("OpenedFiles"), kRegSuccess);
    const char* expected[] = {"/d/a.dwg", "", "", "", ""};
    for (int i = 0; i < kRecentFileCount; ++i) {
        std::string value = "unread";
        EXPECT_EQ(key.QueryString(value, "Openedfile" + std::to_string(i)), kRegSuccess) << i;
        EXPECT_EQ(value, expected[i]) << i;
    }
}

TEST_F(DrawingAppStartup, CommandLineDecidesWhetherTheProgramGoesOn) {
    prefix_.write("plan.dxf", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n");
    const std::string drawing = prefix_ / "plan.dxf";
    {
        CDrawingApp app({drawing}, programFolder());
        EXPECT_TRUE(app.InitInstance());
        EXPECT_EQ(app.GetDocumentsToOpen(), std::vector<std::string>{drawing});
        EXPECT_EQ(app.ExitInstance(), 0);
    }
    {
        CDrawingApp app({"/r", prefix_ / "nope.dwg"}, programFolder());
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(app.ExitInstance(), 1);
    }
}

} // namespace
} // namespace tracemill::test
