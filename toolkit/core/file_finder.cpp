#include "toolkit/core/file_finder.h"

#include <cstdlib>
#include <optional>

#include "toolkit/core/file_name_resolver.h"

namespace tracemill {

std::vector<std::string> dbDefaultFileFinderCandidates(std::string_view name) {
    std::string windows(name);
    for (char& c : windows) {
        if (c == '/') c = '\\';
    }
    std::vector<std::string> candidates{windows};

    std::string_view base(windows);
    if (const size_t slash = base.rfind('\\'); slash != std::string_view::npos) base.remove_prefix(slash + 1);
    else if (dbHasDrivePrefix(base)) base.remove_prefix(2);
    if (!base.empty()) candidates.emplace_back(base);

    if (windows.find(':') != std::string::npos) return candidates;
    const char* acad = std::getenv("ACAD");
    if (!acad) return candidates;
    for (std::string dir : dbSplitSearchList(acad)) {
        if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
        candidates.push_back(dir + windows);
    }
    return candidates;
}

int dbDefaultFileFinder(const char* name, std::string& outPath, void*) {
    if (!name) return 0;
    const std::vector<std::string> candidates = dbDefaultFileFinderCandidates(name);
    for (const std::string& candidate : candidates) {
        if (std::optional<std::string> found = dbResolveFileName(candidate)) {
            outPath = *found;
            return 1;
        }
    }
    outPath = candidates.front();
    return 0;
}

} // namespace tracemill
