#include "app/shell/drawing_app.h"

#include <QCoreApplication>
#include <cstdio>

#include "app/shell/command_line.h"
#include "app/shell/crc32.h"
#include "app/services/file_paths.h"
#include "app/services/language_texts.h"
#include "app/shell/program_files.h"
#include "app/services/registry_key.h"
#include "app/convert/conversion_library.h"

namespace tracemill {
namespace {

constexpr const char* kDefaultLanguageFile = "english.lan";

std::string recentFileValueName(int index) { return "Openedfile" + std::to_string(index); }

} // namespace

CDrawingApp::CDrawingApp(std::vector<std::string> arguments, std::string programFolder)
    : arguments_(std::move(arguments)), programFolder_(std::move(programFolder)) {}

bool CDrawingApp::InitInstance() {
    // The settings root: "Quillon" / "Tracemill".
    QCoreApplication::setOrganizationName("Quillon");
    QCoreApplication::setApplicationName("Tracemill");
    InitDLL();
    BuildCrc32Table();
    if (!LoadLanguageAtStartup()) return false;
    LoadRecentFiles();
    if (!arguments_.empty() && !HandleCommandLine()) return false;
    return true;
}

int CDrawingApp::ExitInstance() {
    SaveRecentFiles();
    UninitDLL();
    return commandLineSucceeded_ ? 0 : 1;
}

bool CDrawingApp::LoadLanguageAtStartup() {
    std::string name;
    CRegistryKey key;
    if (key.Open("Language") == kRegSuccess) key.QueryString(name, "LanguageFileName");
    key.Close();
    // A folder in the stored value is dropped: language files live with the program.
    name = GetPathFileName(name);
    if (name.empty()) name = kDefaultLanguageFile;
    std::string path = FindProgramFile(programFolder_, name);
    if (path.empty()) path = FindProgramFile(programFolder_, kDefaultLanguageFile);
    if (path.empty()) path = programFolder_ + kDefaultLanguageFile;
    LoadLanguageFile(path);
    languageFilePath_ = path;
    if (key.Create("Language") == kRegSuccess) key.SetString(GetPathFileName(path), "LanguageFileName");
    return true;
}

void CDrawingApp::LoadRecentFiles() {
    recentFiles_ = {};
    CRegistryKey key;
    if (key.Open("OpenedFiles") != kRegSuccess) return;
    for (int i = 0; i < kRecentFileCount; ++i) {
        std::string value;
        if (key.QueryString(value, recentFileValueName(i)) != kRegSuccess) break;
        recentFiles_[size_t(i)] = value;
    }
}

void CDrawingApp::SaveRecentFiles() const {
    CRegistryKey key;
    if (key.Create("OpenedFiles") != kRegSuccess) return;
    // From the first empty entry on every value is cleared, so no entry of an older, longer
    // list stays behind.
    bool ended = false;
    for (int i = 0; i < kRecentFileCount; ++i) {
        const std::string& entry = recentFiles_[size_t(i)];
        if (entry.empty()) ended = true;
        key.SetString(ended ? std::string() : entry, recentFileValueName(i));
    }
}

bool CDrawingApp::HandleCommandLine() {
    CCommandLine commandLine(arguments_, [this](const std::string& path) { OpenDocument(path.c_str()); });
    const bool goOn = commandLine.Run();
    commandLineSucceeded_ = commandLine.AllSucceeded();
    return goOn;
}

void CDrawingApp::OpenDocument(const char* path) {
    documentsToOpen_.emplace_back(path);
    std::fprintf(stderr, "tracemill: %s: this build has no window to show drawings in; convert them with /r, /x or /g\n",
                 path);
}

} // namespace tracemill
