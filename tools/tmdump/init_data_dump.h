// tmdump --init-data: what the initialisation data holds.
#pragma once

#include <cstdio>

namespace tracemill::tmdump {

// Prints the banner, every code page with its table and the built-in fonts of the running
// toolkit. 0 on success.
int dumpInitData(std::FILE* out);

} // namespace tracemill::tmdump
