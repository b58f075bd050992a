// Whole-file reading and safe writing for the raster file classes: a file is written to a
// temporary name in its folder and renamed over the target only when complete, so a failed
// save never destroys an existing file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace tracemill {

// The file's bytes; none when it cannot be read or is larger than `maxBytes`.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path,
                                                  uint64_t maxBytes = uint64_t(1) << 31);

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter(); // removes the temporary file unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // The temporary file opened for binary writing; null when it cannot be created.
    FILE* Open();
    FILE* File() const { return file_; }
    // Flushes, closes and renames over the target; false (and no file left) on any error.
    bool Commit();

private:
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    FILE* file_ = nullptr;
};

// Writes `bytes` to `path` through an AtomicFileWriter.
bool WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes);

} // namespace tracemill
