#include "app/shell/terminal_progress.h"

#include <unistd.h>

#include "app/render/export_progress.h"
#include "app/services/file_paths.h"
#include "app/services/progress_step.h"

namespace tracemill {
namespace {

// "step 2/4" from an export's step message ("2 / 4 Regenerating drawing..."); empty without one.
std::string passOf(const std::string& message) {
    int step = 0, steps = 0, used = 0;
    if (std::sscanf(message.c_str(), "%d / %d %n", &step, &steps, &used) < 2 || used == 0) return {};
    return " step " + std::to_string(step) + "/" + std::to_string(steps);
}

} // namespace

CTerminalProgress::CTerminalProgress(std::FILE* stream) : stream_(stream) {
    active_ = stream_ && ::isatty(::fileno(stream_)) == 1;
    if (!active_) return;
    previousDialog_ = GetMainProgressDialog();
    previousExportProgress_ = GetExportProgress();
    dialog_.SetChangeListener([this] { Show(); });
    SetMainProgressDialog(&dialog_);
    SetExportProgress(true);
}

CTerminalProgress::~CTerminalProgress() {
    if (!active_) return;
    Clear();
    SetExportProgress(previousExportProgress_);
    SetMainProgressDialog(previousDialog_);
    dialog_.SetChangeListener(nullptr);
}

void CTerminalProgress::Start(int index, int count, const std::string& name) {
    if (!active_) return;
    item_ = "[" + std::to_string(index) + "/" + std::to_string(count) + "] " + GetPathFileName(name);
    dialog_.SetMessage("");
    dialog_.SetPos(0);
}

void CTerminalProgress::Clear() {
    if (!active_ || shown_.empty()) return;
    // Back to the start of the line, and the line erased.
    std::fputs("\r\033[K", stream_);
    std::fflush(stream_);
    shown_.clear();
}

void CTerminalProgress::Show() {
    if (item_.empty()) return;
    const int32_t span = dialog_.GetUpper() - dialog_.GetLower();
    int32_t percent = span > 0 ? (dialog_.GetPos() - dialog_.GetLower()) * 100 / span : 0;
    percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    const std::string line = item_ + passOf(dialog_.GetMessage()) + " " + std::to_string(percent) + "%";
    if (line == shown_) return;
    std::fputs(("\r\033[K" + line).c_str(), stream_);
    std::fflush(stream_);
    shown_ = line;
}

} // namespace tracemill
