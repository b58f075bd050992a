#include "app/shell/browse_for_folder.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "temp_folder.h"

namespace tracemill {
namespace {

// Answers the folder dialog once it shows: `answer` gets the dialog and ends it.
void answerDialog(std::function<void(QFileDialog&)> answer, int attempts = 200) {
    QTimer::singleShot(10, [answer, attempts] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            answer(*dialog);
        } else if (attempts > 0) {
            answerDialog(answer, attempts - 1);
        } else {
            ADD_FAILURE() << "no folder dialog showed";
        }
    });
}

struct Shown {
    std::string title;
    std::string directory;
};

TEST(BrowseForFolder, StartsAtTheFolderAndReturnsTheChoice) {
    const test::TempFolder folder;
    const std::string start = folder.path().string();
    const std::string chosen = folder / "chosen";
    std::filesystem::create_directory(chosen);

    Shown shown;
    answerDialog([&](QFileDialog& dialog) {
        shown = {dialog.windowTitle().toStdString(), dialog.directory().absolutePath().toStdString()};
        dialog.setDirectory(QString::fromStdString(chosen));
        static_cast<QDialog&>(dialog).accept(); // QFileDialog::accept, which checks the choice
    });
    std::string path = start;
    EXPECT_TRUE(BrowseForFolder(nullptr, "Choose the fonts folder", path));
    EXPECT_EQ(shown.title, "Choose the fonts folder");
    EXPECT_EQ(shown.directory, start);
    EXPECT_EQ(path, chosen);
}

TEST(BrowseForFolder, CancelKeepsAnExistingFolderAndEmptiesAnotherText) {
    const test::TempFolder folder;
    struct Case {
        std::string given;
        std::string after;
    } const cases[] = {
        {folder.path().string(), folder.path().string()},
        {folder / "missing", ""},
        {folder.write("file.txt", "x"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        answerDialog([](QFileDialog& dialog) { dialog.reject(); });
        std::string path = c.given;
        EXPECT_FALSE(BrowseForFolder(nullptr, "Folder", path));
        EXPECT_EQ(path, c.after);
    }
}

} // namespace
} // namespace tracemill
