// The version of the program and its tools, as `--version` prints it.
#pragma once

namespace tracemill {

// "0.1": the project's version (set in the top CMakeLists.txt).
const char* dbVersionText();

} // namespace tracemill
