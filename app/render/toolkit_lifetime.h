// The toolkit's lifetime in the program: `CToolkitLifetime` is the first object main() makes
// and the last it destroys. Its construction starts the toolkit and installs the program's
// callbacks (the screen hook set, file finders, fonts, the refresh hook) and loads the font
// search directories; its destruction saves them and shuts the toolkit down, deleting the
// temporary files of converted drawings.
#pragma once

#include <cstdint>

namespace tracemill {

class CToolkitLifetime {
public:
    CToolkitLifetime();   // StartDrawingToolkit, then LoadShxSearchDirs
    ~CToolkitLifetime();  // SaveShxSearchDirs, then StopDrawingToolkit
    CToolkitLifetime(const CToolkitLifetime&) = delete;
    CToolkitLifetime& operator=(const CToolkitLifetime&) = delete;
};

// 1 when started; 0 after showing "Unable to initialize." when the toolkit's context or global
// state cannot be made (nothing is installed then).
int16_t StartDrawingToolkit();
// Shuts down whatever was started; always 1.
int16_t StopDrawingToolkit();

// Installs the program's callbacks into the toolkit, in their fixed order.
int16_t InstallToolkitCallbacks();

} // namespace tracemill
