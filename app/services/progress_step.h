// The progress step of the main frame: what the toolkit's progress callback calls while the
// toolkit reads, draws or writes. It moves the bar of the main frame's progress dialog, lets
// the user's input through once, and tells whether the user pressed Stop.
#pragma once

#include <cstdint>

namespace tracemill {

class CProgressDialog;

// The progress dialog of the main frame (null while there is none).
void SetMainProgressDialog(CProgressDialog* dialog);
CProgressDialog* GetMainProgressDialog();

// Moves the bar to `position`, handles the events waiting (not again while a step is already
// handling them), and returns the stop flag; 0 without a progress dialog.
uint8_t ProgressStep(int32_t position);

} // namespace tracemill
