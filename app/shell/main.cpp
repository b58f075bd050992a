// tracemill: the program. With "/r", "/x" or "/g" among its arguments it converts drawings
// without a window and ends (see command_line.h); its exit status is 0 when every conversion
// succeeded and 1 otherwise. It runs without a display: conversions, and every run where no
// display is set, use Qt's offscreen platform.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/render/support_file_search.h"
#include "app/render/toolkit_lifetime.h"
#include "app/shell/app_settings.h"
#include "app/shell/command_line.h"
#include "app/shell/drawing_app.h"
#include "toolkit/core/system_context.h"

namespace {

constexpr int kExitNoWindow = 2;

void printTracemillUsage() {
    std::fputs("usage: tracemill /r [/l RESULTS] [options] DRAWING...   export drawings beside themselves\n"
               "       tracemill /xV SOURCE TARGET | /gV SOURCE TARGET  convert to DXF (x) or DWG (g) of version V\n"
               "options: /f FORMAT /w WIDTH /h HEIGHT /e /a LAYOUT /p COLOURS /b BACKGROUND /j QUALITY /m /d PDF\n"
               "This build has no window: drawings are converted, not shown.\n",
               stderr);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> given(argv + 1, argv + argc);
    // The platform is chosen before Qt starts: a conversion never needs a display.
    if ((!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) || tracemill::CommandLineConverts(given))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    // Numbers in files never follow the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    // Qt has taken its own options out of the arguments.
    const std::vector<std::string> arguments(argv + 1, argv + argc);

    tracemill::CToolkitLifetime toolkit;
    if (!tracemill::gSystemContext) return 1;
    tracemill::CAppSettings settings;
    tracemill::CDrawingApp app(arguments, tracemill::GetProgramFolder());
    if (!app.InitInstance()) return app.ExitInstance();
    printTracemillUsage();
    app.ExitInstance();
    return kExitNoWindow;
}
