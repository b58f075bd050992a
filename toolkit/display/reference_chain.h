// The chain of external references being drawn: the paths of the drawings open in the current
// chain, the host drawing's own first. A reference whose path is already in the chain is not
// drawn again, so a drawing that references itself, directly or through others, is drawn once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

struct ReferenceChain {
    std::vector<std::string> paths;  // normalised (see genNormaliseChainPath)
    friend bool operator==(const ReferenceChain&, const ReferenceChain&) = default;
};

// The form in which the chain keeps a path: separators '/', "." and ".." resolved, absolute
// when the file exists (symbolic links followed), letters upper-cased, so that two names of one
// file compare equal.
std::string genNormaliseChainPath(std::string_view path);

// Appends the path.
void genChainAddPath(ReferenceChain& chain, std::string_view path);

// 1 when the chain holds the path (the whole normalised path, without regard to case), else 0.
int genChainHasPath(const ReferenceChain& chain, std::string_view path);

// A copy of the chain in `out`.
void genChainCopy(const ReferenceChain& chain, ReferenceChain& out);

} // namespace tracemill
