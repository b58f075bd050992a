// The walks over the linked ACIS model: a chain of entities from a first one through a link
// (next face, next loop, next coedge ...) up to a null or an entity met before. A damaged text
// may link its records in a circle that does not return to the first: such a walk still ends,
// and visits each entity once.
#pragma once

#include <unordered_set>
#include <vector>

namespace tracemill {

template <class T, class Next> std::vector<T*> acisChain(T* first, Next next) {
    std::vector<T*> chain;
    std::unordered_set<const T*> seen;
    for (T* entity = first; entity && seen.insert(entity).second; entity = next(entity)) chain.push_back(entity);
    return chain;
}

} // namespace tracemill
