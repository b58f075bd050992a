// Progress on a terminal: while a tool converts drawings one after another, one line on
// standard error tells which of how many is at work and how far its export has come
// ("[2/5] plan.dwg 45%"), rewritten in place. It follows the export progress of the drawing
// object: while it is active it stands in as the main frame's progress dialog, which vector
// and raster export report to. When standard error is not a terminal it does nothing at all,
// so redirected output and logs stay as they were.
#pragma once

#include <cstdio>
#include <string>

#include "app/services/progress_dialog.h"

namespace tracemill {

class CTerminalProgress {
  public:
    // Active when `stream` is a terminal; then the exports of the drawing object report here.
    explicit CTerminalProgress(std::FILE* stream = stderr);
    // Clears the line and puts the previous progress dialog and export progress back.
    ~CTerminalProgress();
    CTerminalProgress(const CTerminalProgress&) = delete;
    CTerminalProgress& operator=(const CTerminalProgress&) = delete;

    bool Active() const { return active_; }
    // Item `index` (from 1) of `count`, called `name`, begins at 0 %.
    void Start(int index, int count, const std::string& name);
    // Erases the line: before anything else is written to the stream, and when the work ends.
    void Clear();

  private:
    void Show();

    std::FILE* stream_;
    bool active_ = false;
    CProgressDialog dialog_;
    CProgressDialog* previousDialog_ = nullptr;
    bool previousExportProgress_ = false;
    std::string item_;  // "[2/5] plan.dwg"
    std::string shown_; // the line as it stands on the terminal
};

} // namespace tracemill
