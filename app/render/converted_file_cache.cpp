#include "app/render/converted_file_cache.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tracemill {
namespace {

struct SourceIdentity {
    uint64_t size = 0;
    int64_t time = 0;
};

// The size and last-write time of a file that can be opened for reading.
bool identityOf(const std::string& path, SourceIdentity& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!known) return false;
    out.size = uint64_t(info.st_size);
    out.time = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
}

} // namespace

bool CConvertedFileEntry::Fill(const std::string& sourcePath, const std::string& convertedPath) {
    SourceIdentity identity;
    if (!identityOf(sourcePath, identity)) return false;
    sourcePath_ = sourcePath;
    size_ = identity.size;
    lastWriteTime_ = identity.time;
    convertedPath_ = convertedPath;
    return true;
}

bool CConvertedFileEntry::Matches(const std::string& path, uint64_t size, int64_t time) const {
    return path == sourcePath_ && size == size_ && time == lastWriteTime_;
}

CConvertedFileCache::~CConvertedFileCache() { Clear(); }

bool CConvertedFileCache::Find(const std::string& sourcePath, std::string& convertedPathOut) const {
    SourceIdentity identity;
    if (!identityOf(sourcePath, identity)) return false;
    for (const CConvertedFileEntry* entry = head_.get(); entry; entry = entry->next_.get()) {
        if (entry->Matches(sourcePath, identity.size, identity.time)) {
            convertedPathOut = entry->GetConvertedPath();
            return true;
        }
    }
    return false;
}

void CConvertedFileCache::Add(const std::string& sourcePath, const std::string& convertedPath) {
    auto entry = std::make_unique<CConvertedFileEntry>();
    if (!entry->Fill(sourcePath, convertedPath)) return;
    entry->next_ = std::move(head_);
    head_ = std::move(entry);
}

void CConvertedFileCache::Clear() {
    // Unlinked one by one, so that a long list never recurses through the destructors.
    while (head_) {
        std::remove(head_->convertedPath_.c_str());
        head_ = std::move(head_->next_);
    }
}

size_t CConvertedFileCache::Count() const {
    size_t count = 0;
    for (const CConvertedFileEntry* entry = head_.get(); entry; entry = entry->next_.get()) ++count;
    return count;
}

CConvertedFileCache& GetConvertedFileCache() {
    static CConvertedFileCache cache;
    return cache;
}

} // namespace tracemill
