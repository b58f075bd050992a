#include "app/image/image_file_io.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

namespace tracemill {

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path, uint64_t maxBytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    bool ok = true;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (bytes.size() + n > maxBytes) {
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (std::ferror(f)) ok = false;
    std::fclose(f);
    if (!ok) return std::nullopt;
    return bytes;
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

FILE* AtomicFileWriter::Open() {
    Discard();
    std::string pattern = target_.string() + ".tmp-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return nullptr;
    temporary_ = pattern;
    // mkstemp makes the file private; give it the permissions a newly created file gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    file_ = fdopen(fd, "wb");
    if (!file_) {
        close(fd);
        Discard();
    }
    return file_;
}

bool AtomicFileWriter::Commit() {
    if (!file_) return false;
    const bool written = std::fflush(file_) == 0 && !std::ferror(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        Discard();
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void AtomicFileWriter::Discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
}

bool WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    AtomicFileWriter writer(path);
    FILE* f = writer.Open();
    if (!f) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) return false;
    return writer.Commit();
}

} // namespace tracemill
