#include "toolkit/core/file_name_resolver.h"

#include <filesystem>

#include "toolkit/core/name_compare.h"

namespace tracemill {

namespace fs = std::filesystem;

namespace {

bool isDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool pathExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// The entry of `dir` named `component` in any case: the exact name when it exists, else the
// first case-insensitive match in byte order; empty when none.
std::string matchComponent(const fs::path& dir, const std::string& component) {
    if (pathExists(dir / component)) return component;
    std::string best;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (dbEqualsNoCase(entry, component) && (best.empty() || entry < best)) best = entry;
    }
    return best;
}

} // namespace

bool dbHasDrivePrefix(std::string_view name) {
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

std::optional<std::string> dbResolveFileName(std::string_view name) {
    std::string text(name);
    for (char& c : text) {
        if (c == '\\') c = '/';
    }
    bool absolute = false;
    if (dbHasDrivePrefix(text)) {
        text.erase(0, 2);
        absolute = true;
    }
    if (!text.empty() && text[0] == '/') absolute = true;

    std::vector<std::string> components;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('/', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) components.emplace_back(text, start, end - start);
        start = end + 1;
    }
    if (components.empty()) return std::nullopt;

    fs::path path = absolute ? fs::path("/") : fs::path();
    for (size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        const bool last = i + 1 == components.size();
        if (component == "." || component == "..") {
            path /= component;
            if (last) return std::nullopt;
            continue;
        }
        const fs::path dir = path.empty() ? fs::path(".") : path;
        const std::string match = matchComponent(dir, component);
        if (match.empty()) return std::nullopt;
        path /= match;
        if (last ? isDirectory(path) : !isDirectory(path)) return std::nullopt;
    }
    return path.string();
}

std::vector<std::string> dbSplitSearchList(std::string_view list) {
    std::vector<std::string> entries;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start) entries.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

} // namespace tracemill
