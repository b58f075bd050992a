// How the decoders report a failure: raised where it is found and caught once at the end of
// the decoder's Decode, which copies the message into the picture's last-error text.
#pragma once

#include <string>

namespace tracemill {

struct DecodeFailure {
    std::string message;
};

[[noreturn]] inline void failDecode(const char* message) { throw DecodeFailure{message}; }

// The message a dimensions-only decode leaves behind; such a decode counts as success.
inline constexpr const char* kOutputDimensionsReturned = "output dimensions returned";

} // namespace tracemill
