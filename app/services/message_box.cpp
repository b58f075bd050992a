#include "app/services/message_box.h"

#include <cstdio>
#include <utility>

namespace tracemill {
namespace {

MessageBoxHandler installedHandler = nullptr;

} // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) { return std::exchange(installedHandler, handler); }

void ShowMessageBox(std::string_view text) {
    if (installedHandler) {
        installedHandler(text);
        return;
    }
    std::fprintf(stderr, "%.*s\n", int(text.size()), text.data());
}

} // namespace tracemill
