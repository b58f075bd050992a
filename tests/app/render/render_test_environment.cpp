// The process of the drawing-side tests is set up as the program's: a QGuiApplication (the
// device contexts draw through Qt), the user's settings in a new temporary configuration
// folder and the temporary files in a new temporary folder, so that no test touches the
// settings or the temporary files of the user running it, and a test can see which temporary
// files are left.
#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

std::filesystem::path newFolder(const char* prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    return ::mkdtemp(pattern.data()) ? std::filesystem::path(pattern) : std::filesystem::path();
}

class RenderTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        configFolder_ = newFolder("tracemill-config");
        temporaryFolder_ = newFolder("tracemill-tmp");
        ASSERT_FALSE(configFolder_.empty());
        ASSERT_FALSE(temporaryFolder_.empty());
        ::setenv("XDG_CONFIG_HOME", configFolder_.c_str(), 1);
        ::setenv("TMPDIR", temporaryFolder_.c_str(), 1);
        application_ = new QGuiApplication(argc_, argv_);
    }
    void TearDown() override {
        delete application_;
        application_ = nullptr;
        std::error_code ignored;
        std::filesystem::remove_all(configFolder_, ignored);
        std::filesystem::remove_all(temporaryFolder_, ignored);
    }

private:
    std::filesystem::path configFolder_;
    std::filesystem::path temporaryFolder_;
    QGuiApplication* application_ = nullptr;
    int argc_ = 1;
    char name_[12] = "render_test";
    char* argv_[2] = {name_, nullptr};
};

[[maybe_unused]] ::testing::Environment* const renderTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new RenderTestEnvironment);

} // namespace
