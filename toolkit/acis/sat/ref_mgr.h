// RefMgr ("Reference Manager"): the subtype blocks of one SAT text, numbered from 0 in the
// order in which their opening braces stand, so that a later block "{ ref n }" can share
// block n. It owns the subtypes.
#pragma once

#include <iosfwd>
#include <memory>
#include <vector>

#include "toolkit/acis/sat/acis_subtype.h"

namespace tracemill {

class RefMgr {
public:
    // Room for `capacity` subtypes; a request below 5 gives 20.
    explicit RefMgr(int capacity);

    // The next index (the count before the call); a full table first grows to 1.5 times its
    // capacity.
    int newIndex();
    // Stores the subtype when 0 <= index < capacity.
    void set(int index, std::unique_ptr<acis_Subtype> subtype);
    // The subtype at 0 <= index < count, else null (with "Invalid reference: " under the
    // error-detail switch).
    acis_Subtype* get(int index) const;

    int count() const { return mCount; }
    int capacity() const { return int(mSlots.size()); }

    // One line per index: the index and the subtype's name, or "NULL".
    void print(std::ostream& out) const;

private:
    std::vector<std::unique_ptr<acis_Subtype>> mSlots;
    int mCount = 0;
};

} // namespace tracemill
