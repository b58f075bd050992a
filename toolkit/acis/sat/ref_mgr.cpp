#include "toolkit/acis/sat/ref_mgr.h"

#include <ostream>

#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {

RefMgr::RefMgr(int capacity) : mSlots(size_t(capacity < 5 ? 20 : capacity)) {}

int RefMgr::newIndex() {
    if (mCount >= capacity()) mSlots.resize(mSlots.size() + mSlots.size() / 2);
    return mCount++;
}

void RefMgr::set(int index, std::unique_ptr<acis_Subtype> subtype) {
    if (index >= 0 && index < capacity()) mSlots[size_t(index)] = std::move(subtype);
}

acis_Subtype* RefMgr::get(int index) const {
    if (index >= 0 && index < mCount) return mSlots[size_t(index)].get();
    if (satSwitches().errorDetails) kernelDiagnostics() << "*** ERROR: " << "Invalid reference: " << index << '\n';
    return nullptr;
}

void RefMgr::print(std::ostream& out) const {
    for (int i = 0; i < mCount; ++i) {
        out << i << ' ';
        if (const acis_Subtype* subtype = mSlots[size_t(i)].get()) {
            subtype->print(out);
        } else {
            out << "NULL";
        }
        out << '\n';
    }
}

} // namespace tracemill
