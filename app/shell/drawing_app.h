// The application object: starts the program in its fixed order (settings, conversion
// library, CRC table, language texts, recent files, command line), keeps the list of the five
// drawings opened last and ends the program in its fixed order. The main window comes later:
// this object runs the parts of start-up and exit that need no window.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tracemill {

inline constexpr int kRecentFileCount = 5;

class CDrawingApp {
public:
    // `arguments` are the program's arguments after its name; `programFolder` (with its
    // trailing '/') is where the files shipped with the program are looked for.
    CDrawingApp(std::vector<std::string> arguments, std::string programFolder);
    CDrawingApp(const CDrawingApp&) = delete;
    CDrawingApp& operator=(const CDrawingApp&) = delete;

    // Start-up without the window. False ends the program (a command-line conversion ran).
    bool InitInstance();
    // Writes the recent files back and lets the conversion library go; the exit status: 0, or
    // 1 when a conversion of the command line failed.
    int ExitInstance();

    // Loads the language file the settings name ("english.lan" when they name none or it is
    // not there), always from the program's folders; a missing file leaves the built-in
    // English texts. The name loaded is stored back. Always true.
    bool LoadLanguageAtStartup();
    // The command line (see command_line.h); false when the program ends.
    bool HandleCommandLine();
    // Shows a drawing in a window of its own. Until the main window exists the drawing is
    // only noted (GetDocumentsToOpen) and the program says that it cannot show it.
    void OpenDocument(const char* path);

    const std::array<std::string, kRecentFileCount>& GetRecentFiles() const { return recentFiles_; }
    const std::vector<std::string>& GetDocumentsToOpen() const { return documentsToOpen_; }
    const std::string& GetLanguageFilePath() const { return languageFilePath_; }

private:
    void LoadRecentFiles();
    void SaveRecentFiles() const;

    std::vector<std::string> arguments_;
    std::string programFolder_;
    std::array<std::string, kRecentFileCount> recentFiles_;
    std::vector<std::string> documentsToOpen_;
    std::string languageFilePath_;
    bool commandLineSucceeded_ = true;
};

} // namespace tracemill
