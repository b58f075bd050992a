// Messages to the user: the program shows them in a message box with an OK button. Until the
// main window exists they go to a handler the program (or a test) installs, and without one
// to the standard error stream.
#pragma once

#include <string>
#include <string_view>

namespace tracemill {

using MessageBoxHandler = void (*)(std::string_view text);

// Installs the handler (null: the standard error stream); returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Shows the text with an OK button.
void ShowMessageBox(std::string_view text);

} // namespace tracemill
