#include "app/render/shx_search_dirs.h"

#include <mutex>

namespace tracemill {
namespace {

std::mutex& listLock() {
    static std::mutex lock;
    return lock;
}

std::optional<std::vector<std::string>>& dirList() {
    static std::optional<std::vector<std::string>> list;
    return list;
}

} // namespace

void CreateShxDirList() {
    std::lock_guard guard(listLock());
    dirList().emplace();
}

void DeleteShxDirList() {
    std::lock_guard guard(listLock());
    dirList().reset();
}

std::optional<std::vector<std::string>> GetShxDirList() {
    std::lock_guard guard(listLock());
    return dirList();
}

bool SetShxDirList(std::vector<std::string> dirs) {
    std::lock_guard guard(listLock());
    if (!dirList()) return false;
    *dirList() = std::move(dirs);
    return true;
}

} // namespace tracemill
