#include "app/render/export_progress.h"

#include "app/render/draw_abort_hook.h"
#include "app/services/progress_dialog.h"
#include "app/services/progress_step.h"

namespace tracemill {
namespace {

bool exportProgress = false;

} // namespace

void SetExportProgress(bool on) { exportProgress = on; }
bool GetExportProgress() { return exportProgress; }

ExportProgress::ExportProgress() : dialog_(exportProgress ? GetMainProgressDialog() : nullptr) {}

void ExportProgress::Begin() {
    if (!dialog_) return;
    dialog_->EnableStop(true);
    dialog_->SetRange(0, 100);
    dialog_->Begin();
}

void ExportProgress::Message(const std::string& text) {
    if (dialog_) dialog_->SetMessage(text);
}

void ExportProgress::SetPos(int position) {
    if (dialog_) dialog_->SetPos(position);
}

void ExportProgress::ShowBar(bool show) {
    if (dialog_) dialog_->ShowProgressBar(show);
}

void ExportProgress::EnableStop(bool enable) {
    if (dialog_) dialog_->EnableStop(enable);
}

void ExportProgress::AbortHook(bool on) {
    if (dialog_) SetDrawAbortHook(on);
}

bool ExportProgress::Stopped() const { return dialog_ && dialog_->StopFlag(); }

void ExportProgress::End() {
    if (dialog_) dialog_->End();
}

} // namespace tracemill
