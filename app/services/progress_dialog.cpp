#include "app/services/progress_dialog.h"

#include "app/services/language_texts.h"

namespace tracemill {

void CProgressDialog::Begin() {
    stopFlag_ = 0;
    stopCaption_ = LookupText("TransformStop", "&Stop");
    caption_ = LookupText("ProgressCaption", "Progress");
    shown_ = true;
    Changed();
}

void CProgressDialog::End() {
    shown_ = false;
    Changed();
}

void CProgressDialog::SetRange(int16_t lower, int16_t upper) {
    lower_ = lower;
    upper_ = upper;
    position_ = lower;
    barShown_ = true;
    Changed();
}

void CProgressDialog::OnStop() {
    if (stopEnabled_) stopFlag_ = 1;
}

} // namespace tracemill
