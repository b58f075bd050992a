// What a toolkit error number means, for the messages of tmdump.
#pragma once

namespace tracemill::tmdump {

// A short English text; "unknown error" for numbers not listed.
const char* errorMeaning(int number);

} // namespace tracemill::tmdump
