// The process of the shell tests is set up as the application's: a QApplication (which sets
// the process locale from the environment) and the user's settings in a new temporary
// configuration folder, so no test reads or changes the settings of the user running it.
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

class ShellTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "tracemill-config-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        configFolder_ = pattern;
        ::setenv("XDG_CONFIG_HOME", configFolder_.c_str(), 1);
        application_ = new QApplication(argc_, argv_);
    }
    void TearDown() override {
        delete application_;
        application_ = nullptr;
        std::error_code ignored;
        std::filesystem::remove_all(configFolder_, ignored);
    }

private:
    std::filesystem::path configFolder_;
    QApplication* application_ = nullptr;
    int argc_ = 1;
    char name_[12] = "shell_tests";
    char* argv_[2] = {name_, nullptr};
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ShellTestEnvironment);

} // namespace
