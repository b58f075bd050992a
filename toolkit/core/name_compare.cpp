#include "toolkit/core/name_compare.h"

namespace tracemill {
namespace {

unsigned char foldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

} // namespace

int dbCompareNoCase(std::string_view a, std::string_view b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const unsigned char x = foldCase(a[i]), y = foldCase(b[i]);
        if (x != y) return x > y ? 1 : -1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() > b.size() ? 1 : -1;
}

} // namespace tracemill
