// Helpers of the settings tests: an empty settings file for each test, and the file as text.
#pragma once

#include <QSettings>
#include <QString>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace tracemill::test {

inline std::string settingsFilePath() {
    return std::string(std::getenv("XDG_CONFIG_HOME")) + "/Quillon/Tracemill.ini";
}

inline std::string settingsFileText() {
    std::ifstream file(settingsFilePath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Starts each test with no settings at all.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { clearSettings(); }
    void TearDown() override { clearSettings(); }

    static void clearSettings() {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Quillon", "Tracemill");
        settings.clear();
        settings.sync();
    }
};

} // namespace tracemill::test
