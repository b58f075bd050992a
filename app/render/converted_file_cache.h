// The drawings the conversion library has converted into temporary files in this process,
// so that each regeneration of a drawing that references them does not convert them again.
// An entry matches while its source file keeps its size and last-write time; the temporary
// files are deleted when the cache is cleared (at shut-down), not earlier. Paths compare
// exactly: names that differ in letter case are different files here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tracemill {

class CConvertedFileEntry {
public:
    // Takes the source's size and last-write time; false when the source cannot be opened.
    bool Fill(const std::string& sourcePath, const std::string& convertedPath);
    bool Matches(const std::string& path, uint64_t size, int64_t time) const;
    const char* GetConvertedPath() const { return convertedPath_.c_str(); }

private:
    friend class CConvertedFileCache;
    std::string sourcePath_;
    int64_t lastWriteTime_ = 0;  // nanoseconds since the epoch
    uint64_t size_ = 0;
    std::string convertedPath_;
    std::unique_ptr<CConvertedFileEntry> next_;
};

class CConvertedFileCache {
public:
    CConvertedFileCache() = default;
    ~CConvertedFileCache();  // Clear
    CConvertedFileCache(const CConvertedFileCache&) = delete;
    CConvertedFileCache& operator=(const CConvertedFileCache&) = delete;

    // The converted path of the newest entry for the source as it is now on disk; false when
    // none matches or the source cannot be opened.
    bool Find(const std::string& sourcePath, std::string& convertedPathOut) const;
    // Remembers a conversion as the newest entry; nothing when the source cannot be opened.
    void Add(const std::string& sourcePath, const std::string& convertedPath);
    // Deletes every converted file and forgets every entry.
    void Clear();
    size_t Count() const;

private:
    std::unique_ptr<CConvertedFileEntry> head_;
};

// The cache of the process.
CConvertedFileCache& GetConvertedFileCache();

} // namespace tracemill
