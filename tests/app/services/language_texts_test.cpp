#include "app/services/language_texts.h"

#include <gtest/gtest.h>
#include <string>

#include "app/shell/command_hints.h"
#include "temp_folder.h"

namespace tracemill {
namespace {

using namespace std::string_literals;

// Each test starts and ends with the built-in English texts.
class LanguageTexts : public ::testing::Test {
protected:
    void SetUp() override { GetLanguageTable().Clear(); }
    void TearDown() override { GetLanguageTable().Clear(); }
};

TEST_F(LanguageTexts, LinesOfALanguageFile) {
    struct Case {
        const char* line;
        const char* key;  // null: the line stores nothing
        std::string text; // as stored
    } const cases[] = {
        {"Key=", "Key", " "},
        {"Key = Text", "Key", " Text"},
        {"  Padded\t=  Text  \t", "Padded", "  Text"},
        {"=Text", nullptr, ""},
        {"NoEqualsSign", nullptr, ""},
        {"   \t  ", nullptr, ""},
        {"  = Text", nullptr, ""},
        {"a=b=c", "a", "b=c"},
        {"// a=b", nullptr, ""},
        {"   //a=b", nullptr, ""},
        {"/a=b", "/a", "b"},
        {"Rate=50%%", "Rate", "50%"},
        {"Lines=Two%Lines", "Lines", "Two\r\nLines"},
        {"Feed=A\\nB", "Feed", "A\nB"},
        {"Three=%%%", "Three", "%\r\n"},
        {"Format=%%d of %%s", "Format", "%d of %s"},
        {"Percent=%%%%", "Percent", "%%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        LanguageTable table;
        table.LoadBytes(std::string("Language name\n") + c.line + "\n");
        if (!c.key) {
            EXPECT_EQ(table.Size(), 0u);
            continue;
        }
        ASSERT_EQ(table.Size(), 1u);
        EXPECT_EQ(table.Key(0), c.key);
        EXPECT_EQ(table.Text(0), c.text);
    }
}

TEST_F(LanguageTexts, LookupFallsBackToTheDefault) {
    GetLanguageTable().LoadBytes("English\nOkCaption=Fine\nEmpty=\nBlank= \nTitle=One\nTITLE=Two\n");
    EXPECT_EQ(LookupText("OkCaption", "Ok"), "Fine");
    EXPECT_EQ(LookupText("okcaption", "Ok"), "Fine") << "keys match without regard to case";
    EXPECT_EQ(LookupText("Empty", "Default"), "Default") << "an empty text stands for the default";
    EXPECT_EQ(LookupText("Blank", "Default"), "Default") << "so does a lone blank";
    EXPECT_EQ(LookupText("Missing", "Default"), "Default");
    EXPECT_EQ(LookupText("Missing", nullptr), "");

    // The last line of a key wins; the key keeps its first spelling and place.
    const LanguageTable& table = GetLanguageTable();
    ASSERT_EQ(table.Size(), 4u);
    EXPECT_EQ(table.Key(3), "Title");
    EXPECT_EQ(table.Text(3), "Two");
    EXPECT_EQ(LookupText("title", nullptr), "Two");
}

TEST_F(LanguageTexts, LineEndsLoadTheSamePairs) {
    const std::string lines[] = {"Deutsch", "OkCaption=Gut", "// comment", "CancelCaption=Abbrechen", "a=b=c"};
    const std::string endings[] = {"\r\n", "\n", "\0"s, "\r\n\r\n\n"};
    std::vector<std::pair<std::string, std::string>> first;
    for (const std::string& ending : endings) {
        std::string file;
        for (const std::string& line : lines) file += line + ending;
        LanguageTable table;
        table.LoadBytes(file);
        std::vector<std::pair<std::string, std::string>> pairs;
        for (size_t i = 0; i < table.Size(); ++i) pairs.emplace_back(table.Key(i), table.Text(i));
        EXPECT_EQ(pairs.size(), 3u);
        if (first.empty())
            first = pairs;
        else
            EXPECT_EQ(pairs, first);
    }
}

TEST_F(LanguageTexts, FilesInUtf8AndWindows1252) {
    const test::TempFolder folder;
    // "Schließen" and "Größe" in UTF-8, and the same words with the euro sign in
    // Windows-1252 (not valid UTF-8, so read as Windows-1252).
    LoadLanguageFile(folder.write("utf8.lan", "Deutsch\nClose=Schlie\xC3\x9F" "en\nSize=Gr\xC3\xB6\xC3\x9F" "e\n"));
    EXPECT_EQ(LookupText("Close", "Close"), "Schlie\xC3\x9F" "en");
    EXPECT_EQ(LookupText("Size", "Size"), "Gr\xC3\xB6\xC3\x9F" "e");

    LoadLanguageFile(folder.write("cp1252.lan", "Deutsch\nClose=Schlie\xDF" "en\nPrice=5 \x80\nQuote=\x93" "a\x94\n"));
    EXPECT_EQ(LookupText("Close", "Close"), "Schlie\xC3\x9F" "en");
    EXPECT_EQ(LookupText("Price", ""), "5 \xE2\x82\xAC");
    EXPECT_EQ(LookupText("Quote", ""), "\xE2\x80\x9C" "a" "\xE2\x80\x9D");
    EXPECT_EQ(LookupText("Size", "Size"), "Size") << "loading again replaces the whole table";

    LoadLanguageFile(folder.write("bom.lan", "\xEF\xBB\xBF" "Deutsch\nKey=Wert\n"));
    EXPECT_EQ(GetLanguageTable().Size(), 1u);
    EXPECT_EQ(LookupText("Key", ""), "Wert");

    LoadLanguageFile(folder / "missing.lan");
    EXPECT_EQ(GetLanguageTable().Size(), 0u) << "a missing file leaves the built-in texts";
    EXPECT_EQ(LookupText("Key", "Default"), "Default");
}

TEST_F(LanguageTexts, CommandHints) {
    EXPECT_EQ(GetCommandHint(32783), "Open existing drawing file");
    EXPECT_EQ(GetCommandHint(57671), "Show help");
    EXPECT_EQ(GetCommandHint(32792), GetCommandHint(32843)) << "both print commands share one text";
    EXPECT_EQ(GetCommandHint(32785), "");
    EXPECT_EQ(GetCommandHint(0), "");
    EXPECT_EQ(GetCommandHint(99999), "");

    GetLanguageTable().LoadBytes("Deutsch\nMainMenuOpenHistory=Datei öffnen\nChildMenuPrintHint=Drucken\n");
    for (int id = 32847; id <= 32851; ++id) EXPECT_EQ(GetCommandHint(id), "Datei öffnen") << id;
    EXPECT_EQ(GetCommandHint(32792), "Drucken");
    EXPECT_EQ(GetCommandHint(32843), "Drucken");
    EXPECT_EQ(GetCommandHint(32786), "Zoom in");
}

TEST_F(LanguageTexts, PlaceholdersAreFilledWithoutPrintf) {
    struct Case {
        const char* text;
        std::initializer_list<std::string_view> arguments;
        const char* result;
    } const cases[] = {
        {"Linetype %s is already loaded.", {"DASHED"}, "Linetype DASHED is already loaded."},
        {"%d / %d %s", {"1", "3", "Regenerating"}, "1 / 3 Regenerating"},
        {"50% and %%s", {"x"}, "50% and %s"},
        {"%s %s %s", {"one"}, "one %s %s"},
        {"%n%x%p%s", {"name"}, "%n%x%pname"},
        {"%", {"x"}, "%"},
        {"no placeholder", {"x"}, "no placeholder"},
        {"%s", {"%s%n"}, "%s%n"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatLanguageText(c.text, c.arguments), c.result) << c.text;
}

// A language file may hold any placeholder in a text that the program fills with arguments:
// every such text is looked up and filled, and nothing reads an argument that is not there.
TEST_F(LanguageTexts, HostileTextsOfEveryTextWithArguments) {
    struct TextWithArguments {
        const char* key;
        const char* englishDefault;
        std::initializer_list<std::string_view> arguments;
    } const texts[] = {
        {"ImportPenSetsOverWritePrompt", "The pen sets \"%s\" already exists, overwrite it?", {"Plotter"}},
        {"LtypeLoadInquireText", "Linetype %s is already loaded. Reload it?", {"DASHED"}},
    };
    for (const TextWithArguments& t : texts) {
        SCOPED_TRACE(t.key);
        EXPECT_NE(FormatLanguageText(LookupText(t.key, t.englishDefault), t.arguments).find(*t.arguments.begin()),
                  std::string::npos)
            << "the default takes its argument";
        GetLanguageTable().LoadBytes(std::string("Hostile\n") + t.key + "=%%s%%s%%s%%n%%d%%x %%99999999s %%ls\n");
        const std::string text = LookupText(t.key, t.englishDefault);
        EXPECT_EQ(text, "%s%s%s%n%d%x %99999999s %ls");
        const std::string filled = FormatLanguageText(text, t.arguments);
        EXPECT_EQ(filled, std::string(*t.arguments.begin()) + "%s%s%n%d%x %99999999s %ls");
    }
}

} // namespace
} // namespace tracemill
