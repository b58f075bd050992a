#include "app/services/registry_key.h"

#include <QProcess>
#include <bit>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>

#include "settings_test_support.h"

namespace tracemill {
namespace {

using RegistryKey = test::SettingsTest;

// Runs the second process on the same settings file; its output and exit code.
std::pair<std::string, int> probe(const QStringList& arguments) {
    QProcess process;
    process.start(TRACEMILL_SETTINGS_PROBE, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.readAllStandardOutput().toStdString(), process.exitCode()};
}

TEST_F(RegistryKey, WrapperHoldingNothing) {
    CRegistryKey key;
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(key.Close(), kRegSuccess);
    EXPECT_EQ(key.Open("Missing"), kRegFileNotFound);
    EXPECT_EQ(key.Open("Missing/Deeper"), kRegFileNotFound);
    EXPECT_FALSE(key.IsOpen());
    std::string text;
    uint32_t number = 0;
    EXPECT_EQ(key.QueryString(text, "Value"), kRegInvalidHandle);
    EXPECT_EQ(key.QueryDword(number, "Value"), kRegInvalidHandle);
    EXPECT_EQ(key.SetDword(1, "Value"), kRegInvalidHandle);
    EXPECT_EQ(key.DeleteSubKey("Value"), kRegInvalidHandle);
}

TEST_F(RegistryKey, CreateOpenAndReopen) {
    CRegistryKey key;
    bool createdNew = false;
    ASSERT_EQ(key.Create("Option/Batch", &createdNew), kRegSuccess);
    EXPECT_TRUE(createdNew);
    EXPECT_EQ(key.GetPath(), "Option/Batch");
    EXPECT_EQ(key.SetDword(7, "Format"), kRegSuccess);
    ASSERT_EQ(key.Create("Option\\Transmit", &createdNew), kRegSuccess) << "a backslash separates too";
    EXPECT_TRUE(createdNew);
    EXPECT_EQ(key.SetString("zip", "Kind"), kRegSuccess);

    ASSERT_EQ(key.Create("OPTION/batch", &createdNew), kRegSuccess);
    EXPECT_FALSE(createdNew);
    EXPECT_EQ(key.GetPath(), "Option/Batch") << "keys keep their stored spelling";

    // Open on a held key: a missing subkey keeps the held key usable.
    EXPECT_EQ(key.Open("Option/Missing"), kRegFileNotFound);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(key.GetPath(), "Option/Batch");
    uint32_t format = 0;
    EXPECT_EQ(key.QueryDword(format, "Format"), kRegSuccess);
    EXPECT_EQ(format, 7u);

    // A valid subkey replaces it.
    ASSERT_EQ(key.Open("option/TRANSMIT"), kRegSuccess);
    EXPECT_EQ(key.GetPath(), "Option/Transmit");
    std::string kind;
    EXPECT_EQ(key.QueryString(kind, "kind"), kRegSuccess) << "value names match without regard to case";
    EXPECT_EQ(kind, "zip");
    EXPECT_EQ(key.QueryDword(format, "Format"), kRegFileNotFound);

    // A key without values or subkeys is not kept.
    ASSERT_EQ(key.Create("Empty", &createdNew), kRegSuccess);
    EXPECT_EQ(key.Close(), kRegSuccess);
    EXPECT_EQ(key.Open("Empty"), kRegFileNotFound);
    EXPECT_EQ(key.Open(""), kRegSuccess) << "the product key itself";
}

TEST_F(RegistryKey, ValuesOfEachKindReadOnlyAsTheirKind) {
    CRegistryKey key;
    ASSERT_EQ(key.Create("Kinds"), kRegSuccess);
    const uint8_t four[] = {1, 2, 3, 4};
    key.SetString("abc", "Text");
    key.SetString("", "EmptyText");
    key.SetDword(300, "Number");
    key.SetDword(0xFFFFFFFFu, "Largest");
    key.SetBinary(four, "FourBytes");
    SetRegDouble(key, "Double", 0.5);
    ASSERT_EQ(key.Close(), kRegSuccess);
    ASSERT_EQ(key.Open("Kinds"), kRegSuccess);

    struct Case {
        const char* name;
        long stringResult;
        const char* text;
        long dwordResult;
        uint32_t number;
        long binaryResult;
        size_t bytes;
    } const cases[] = {
        {"Text", kRegSuccess, "abc", kRegFileNotFound, 0, kRegFileNotFound, 0},
        {"EmptyText", kRegSuccess, "", kRegFileNotFound, 0, kRegFileNotFound, 0},
        // The INI file keeps a DWORD as its digits.
        {"Number", kRegSuccess, "300", kRegSuccess, 300, kRegFileNotFound, 0},
        {"Largest", kRegSuccess, "4294967295", kRegSuccess, 0xFFFFFFFFu, kRegFileNotFound, 0},
        {"FourBytes", kRegFileNotFound, "", kRegFileNotFound, 0, kRegSuccess, 4},
        {"Double", kRegFileNotFound, "", kRegFileNotFound, 0, kRegSuccess, 8},
        {"Missing", kRegFileNotFound, "", kRegFileNotFound, 0, kRegFileNotFound, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "unchanged";
        uint32_t number = 12345;
        std::vector<uint8_t> bytes;
        EXPECT_EQ(key.QueryString(text, c.name), c.stringResult);
        EXPECT_EQ(text, c.stringResult == kRegSuccess ? c.text : "unchanged");
        EXPECT_EQ(key.QueryDword(number, c.name), c.dwordResult);
        EXPECT_EQ(number, c.dwordResult == kRegSuccess ? c.number : 12345u);
        EXPECT_EQ(key.QueryBinary(bytes, c.name), c.binaryResult);
        EXPECT_EQ(bytes.size(), c.bytes);
        double value = -1;
        EXPECT_EQ(QueryRegDouble(key, c.name, value), c.bytes == 8);
        EXPECT_EQ(value, c.bytes == 8 ? 0.5 : -1) << "a refused double stays unchanged";
    }
    EXPECT_EQ(key.SetDword(1, ""), kRegInvalidParameter);
}

TEST_F(RegistryKey, DoublesRoundTripBitForBit) {
    const double values[] = {
        0.1, -0.0, 1e-310, std::numeric_limits<double>::infinity(), DBL_MAX, -M_PI,
        std::bit_cast<double>(uint64_t(0x7FF8000000000123)), // NaN with a payload
    };
    CRegistryKey key;
    ASSERT_EQ(key.Create("Doubles"), kRegSuccess);
    for (size_t i = 0; i < std::size(values); ++i) ASSERT_EQ(SetRegDouble(key, "D" + std::to_string(i), values[i]), 0);
    for (size_t i = 0; i < std::size(values); ++i) {
        double read = 0;
        ASSERT_TRUE(QueryRegDouble(key, "D" + std::to_string(i), read));
        EXPECT_EQ(std::bit_cast<uint64_t>(read), std::bit_cast<uint64_t>(values[i])) << i;
    }
    ASSERT_EQ(key.Close(), kRegSuccess);
    // Through the file, in another process: the little-endian bytes of each double.
    for (size_t i = 0; i < std::size(values); ++i) {
        const uint64_t bits = std::bit_cast<uint64_t>(values[i]);
        char hex[17];
        for (int b = 0; b < 8; ++b) std::snprintf(hex + 2 * b, 3, "%02x", unsigned(uint8_t(bits >> (8 * b))));
        EXPECT_EQ(probe({"get-binary", "Doubles", QString::fromStdString("D" + std::to_string(i))}),
                  std::make_pair(std::string(hex), 0))
            << i;
    }
}

TEST_F(RegistryKey, ValueNamesKeepTheirFirstSpelling) {
    CRegistryKey key;
    ASSERT_EQ(key.Create("Case"), kRegSuccess);
    key.SetDword(1, "Value");
    key.SetDword(2, "VALUE");
    uint32_t number = 0;
    EXPECT_EQ(key.QueryDword(number, "value"), kRegSuccess);
    EXPECT_EQ(number, 2u);
    key.Close();
    const std::string file = test::settingsFileText();
    EXPECT_NE(file.find("Value=2"), std::string::npos) << file;
    EXPECT_EQ(file.find("VALUE"), std::string::npos) << file;
}

TEST_F(RegistryKey, SubKeysAreListedAndDeleted) {
    CRegistryKey key;
    for (const char* path : {"Sets/Alpha", "Sets/Beta", "Sets/Beta/Inner", "Sets/Gamma"}) {
        ASSERT_EQ(key.Create(path), kRegSuccess);
        key.SetDword(1, "V");
    }
    ASSERT_EQ(key.Open("Sets"), kRegSuccess);
    std::vector<std::string> names;
    std::string name;
    for (uint32_t i = 0; key.EnumSubKey(i, name) == kRegSuccess; ++i) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(key.EnumSubKey(3, name), kRegNoMoreItems);

    EXPECT_EQ(key.DeleteSubKey("missing"), kRegFileNotFound);
    EXPECT_EQ(key.DeleteSubKey("beta"), kRegAccessDenied) << "it has a subkey";
    EXPECT_EQ(key.DeleteSubKey("ALPHA"), kRegSuccess);
    EXPECT_EQ(key.RecurseDeleteKey("Beta"), kRegSuccess);
    EXPECT_EQ(key.RecurseDeleteKey("Beta"), kRegFileNotFound);
    names.clear();
    for (uint32_t i = 0; key.EnumSubKey(i, name) == kRegSuccess; ++i) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Gamma"}));
    CRegistryKey other;
    EXPECT_EQ(other.Open("Sets/Beta/Inner"), kRegFileNotFound);
}

TEST_F(RegistryKey, ValuesPassBetweenProcessesThroughTheIniFile) {
    CRegistryKey key;
    ASSERT_EQ(key.Create("Language"), kRegSuccess);
    ASSERT_EQ(key.SetString("french.lan", "LanguageFileName"), kRegSuccess);
    ASSERT_EQ(key.Create("PenWidthSet"), kRegSuccess);
    ASSERT_EQ(key.SetDword(1, "unit"), kRegSuccess);
    ASSERT_EQ(key.Close(), kRegSuccess);

    const std::string file = test::settingsFileText();
    EXPECT_NE(file.find("[Language]\nLanguageFileName=french.lan\n"), std::string::npos) << file;
    EXPECT_NE(file.find("[PenWidthSet]\nunit=1\n"), std::string::npos) << file;

    EXPECT_EQ(probe({"get-string", "language", "languagefilename"}), std::make_pair(std::string("french.lan"), 0));
    EXPECT_EQ(probe({"get-dword", "PenWidthSet", "unit"}), std::make_pair(std::string("1"), 0));
    EXPECT_EQ(probe({"get-dword", "Language", "LanguageFileName"}).second, 2) << "a text is no DWORD";
    EXPECT_EQ(probe({"get-string", "Missing", "Value"}).second, 2);

    // Written by the other process while this one has read the file before.
    ASSERT_EQ(probe({"set-string", "Language", "LanguageFileName", "deutsch.lan"}).second, 0);
    ASSERT_EQ(probe({"set-string", "Option/ShxDirs", "Dir0", "/usr/share/fonts"}).second, 0);
    std::string value;
    ASSERT_EQ(key.Open("Language"), kRegSuccess);
    EXPECT_EQ(key.QueryString(value, "LanguageFileName"), kRegSuccess);
    EXPECT_EQ(value, "deutsch.lan");
    ASSERT_EQ(key.Open("Option/ShxDirs"), kRegSuccess);
    EXPECT_EQ(key.QueryString(value, "Dir0"), kRegSuccess);
    EXPECT_EQ(value, "/usr/share/fonts");
}

TEST_F(RegistryKey, SettingsThatCannotBeWrittenAreReported) {
    // A file where the settings folder belongs: the settings file cannot be made.
    const std::filesystem::path folder = std::filesystem::path(test::settingsFilePath()).parent_path();
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "in the way";
    CRegistryKey key;
    ASSERT_EQ(key.Create("Option"), kRegSuccess);
    ASSERT_EQ(key.SetDword(1, "BackgroundColor"), kRegSuccess);
    EXPECT_EQ(key.Close(), kRegAccessDenied);
    std::filesystem::remove(folder);
}

} // namespace
} // namespace tracemill
