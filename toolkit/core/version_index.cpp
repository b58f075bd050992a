#include "toolkit/core/version_index.h"

namespace tracemill {

int dbVersionIndex(std::string_view text) {
    for (int index = 0; index < 8; ++index)
        if (text == kVersionSignatures[index]) return index;
    return kVersionUnknown;
}

} // namespace tracemill
