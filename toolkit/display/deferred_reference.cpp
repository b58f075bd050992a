#include "toolkit/display/deferred_reference.h"

#include <utility>

namespace tracemill {

namespace {

int takeAt(std::vector<DeferredReference>& list, size_t index, DeferredReference& out) {
    out = std::move(list[index]);
    list.erase(list.begin() + std::ptrdiff_t(index));
    return 1;
}

} // namespace

int genTakeDeferredReference(std::vector<DeferredReference>& list, DeferredReference& out) {
    return list.empty() ? 0 : takeAt(list, 0, out);
}

int genFindDeferredReference(std::vector<DeferredReference>& list, DeferredReference& out, const std::string& name) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].fileName == name) return takeAt(list, i, out);
    }
    return 0;
}

} // namespace tracemill
