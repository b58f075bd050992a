#include "app/shell/headless_start.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace tracemill {
namespace {

QtMessageHandler previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (previousHandler) {
        previousHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

} // namespace

void PrepareQtStart(bool offscreen) {
    if (offscreen || (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    previousHandler = qInstallMessageHandler(quietHandler);
}

} // namespace tracemill
