#include "toolkit/display/reference_chain.h"

#include <filesystem>
#include <system_error>

#include "toolkit/core/file_name_resolver.h"

namespace tracemill {

std::string genNormaliseChainPath(std::string_view path) {
    std::string text(path);
    for (char& c : text) {
        if (c == '\\') c = '/';
    }
    std::filesystem::path normal = std::filesystem::path(text).lexically_normal();
    if (std::optional<std::string> found = dbResolveFileName(text)) {
        std::error_code error;
        std::filesystem::path canonical = std::filesystem::weakly_canonical(*found, error);
        normal = error ? std::filesystem::path(*found).lexically_normal() : canonical;
    }
    std::string result = normal.generic_string();
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return result;
}

void genChainAddPath(ReferenceChain& chain, std::string_view path) {
    chain.paths.push_back(genNormaliseChainPath(path));
}

int genChainHasPath(const ReferenceChain& chain, std::string_view path) {
    const std::string wanted = genNormaliseChainPath(path);
    for (const std::string& entry : chain.paths) {
        if (entry == wanted) return 1;
    }
    return 0;
}

void genChainCopy(const ReferenceChain& chain, ReferenceChain& out) { out = chain; }

} // namespace tracemill
