#include "toolkit/core/name_compare.h"

#include <algorithm>

namespace tracemill {
namespace {

unsigned char foldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

} // namespace

int dbCharCompareNoCase(char a, char b) {
    const unsigned char x = foldCase(a), y = foldCase(b);
    return x == y ? 0 : x > y ? 1 : -1;
}

int dbCompareNoCase(std::string_view a, std::string_view b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        if (const int order = dbCharCompareNoCase(a[i], b[i])) return order;
    }
    if (a.size() == b.size()) return 0;
    return a.size() > b.size() ? 1 : -1;
}

int dbCompareNoCaseN(std::string_view a, std::string_view b, long n) {
    if (n < 1) return 0;
    const size_t limit = size_t(n);
    return dbCompareNoCase(a.substr(0, std::min(a.size(), limit)), b.substr(0, std::min(b.size(), limit)));
}

} // namespace tracemill
