#include "app/services/progress_step.h"

#include <QCoreApplication>

#include "app/services/progress_dialog.h"

namespace tracemill {
namespace {

CProgressDialog* mainProgressDialog = nullptr;
bool handlingEvents = false;

} // namespace

void SetMainProgressDialog(CProgressDialog* dialog) { mainProgressDialog = dialog; }

CProgressDialog* GetMainProgressDialog() { return mainProgressDialog; }

uint8_t ProgressStep(int32_t position) {
    if (!mainProgressDialog) return 0;
    mainProgressDialog->SetPos(position);
    // An event handled here may report progress itself: it must not pump again underneath.
    if (!handlingEvents && QCoreApplication::instance()) {
        handlingEvents = true;
        QCoreApplication::processEvents();
        handlingEvents = false;
    }
    return mainProgressDialog ? mainProgressDialog->StopFlag() : 0;
}

} // namespace tracemill
