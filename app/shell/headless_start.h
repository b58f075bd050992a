// How the command-line programs start Qt: on its offscreen platform when no display is set
// (or when the caller needs none), and without Qt's note that XDG_RUNTIME_DIR is not set,
// which tells the user of a converter nothing (Qt makes the folder it needs itself). Called
// before the QApplication is made.
#pragma once

namespace tracemill {

void PrepareQtStart(bool offscreen);

} // namespace tracemill
