// tracemill: the program. With "/r", "/x" or "/g" among its arguments it converts drawings
// without a window and ends (see command_line.h); its exit status is 0 when every conversion
// succeeded and 1 otherwise. It runs without a display: conversions, and every run where no
// display is set, use Qt's offscreen platform. "--help", "-h" and "/?" print the help, and
// "--version" the version, on standard output before anything starts.
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
#include "app/shell/headless_start.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version.h"

namespace {

constexpr int kExitNoWindow = 2;

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> given(argv + 1, argv + argc);
    switch (tracemill::CommandLineAsks(given)) {
    case tracemill::CommandLineRequest::Help:
        std::fputs(tracemill::TracemillHelpText().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case tracemill::CommandLineRequest::Version:
        std::printf("tracemill %s\n", tracemill::dbVersionText());
        return std::fflush(stdout) == 0 ? 0 : 1;
    case tracemill::CommandLineRequest::Run: break;
    }
    // The platform is chosen before Qt starts: a conversion never needs a display.
    tracemill::PrepareQtStart(tracemill::CommandLineConverts(given));
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
    std::fputs(tracemill::TracemillUsageText().c_str(), stderr);
    if (app.GetDocumentsToOpen().empty())
        std::fputs("This build has no window: drawings are converted, not shown.\n", stderr);
    app.ExitInstance();
    return kExitNoWindow;
}
