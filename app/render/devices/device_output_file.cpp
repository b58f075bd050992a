#include "app/render/devices/device_output_file.h"

#include "app/image/image_file_io.h"

namespace tracemill::render {

namespace {

constexpr size_t kBlockSize = 1 << 16;

} // namespace

DeviceOutputFile::DeviceOutputFile() = default;
DeviceOutputFile::~DeviceOutputFile() = default;

bool DeviceOutputFile::Open(const char* path) {
    if (!path || !*path) return false;
    writer_ = std::make_unique<AtomicFileWriter>(path);
    if (writer_->Open()) return true;
    writer_.reset();
    return false;
}

bool DeviceOutputFile::IsOpen() const { return writer_ != nullptr; }

bool DeviceOutputFile::WritePending() {
    if (!writer_ || failed_) return false;
    if (!pending_.empty() && std::fwrite(pending_.data(), 1, pending_.size(), writer_->File()) != pending_.size())
        failed_ = true;
    pending_.clear();
    return !failed_;
}

void DeviceOutputFile::Flush() {
    if (pending_.size() >= kBlockSize) WritePending();
}

bool DeviceOutputFile::Finish() {
    const bool ok = WritePending() && writer_->Commit();
    writer_.reset();
    return ok;
}

} // namespace tracemill::render
