// The progress of an interactive export: while the export progress flag is set (by the export
// commands of the main window, for the length of one call) vector and raster export show the
// main frame's progress dialog with its Stop button and let the user stop the regeneration.
// Batch conversion and the command line leave the flag off: no dialog, no Stop.
#pragma once

#include <string>

namespace tracemill {

class CProgressDialog;

void SetExportProgress(bool on);
bool GetExportProgress();

// The main frame's progress dialog for one export, or nothing while the flag is off (or
// there is no dialog): every call then does nothing and Stopped() is false.
class ExportProgress {
public:
    ExportProgress();
    bool Shown() const { return dialog_ != nullptr; }
    // Enables Stop, sets the range 0 to 100 and shows the dialog.
    void Begin();
    void Message(const std::string& text);
    void SetPos(int position);
    void ShowBar(bool show);
    void EnableStop(bool enable);
    // The abort hook of the walk: on while the user may stop it.
    void AbortHook(bool on);
    bool Stopped() const;
    void End();

private:
    CProgressDialog* dialog_ = nullptr;
};

} // namespace tracemill
