#include "toolkit/core/version.h"

namespace tracemill {

const char* dbVersionText() {
    return TRACEMILL_VERSION;
}

} // namespace tracemill
