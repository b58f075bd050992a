#include "toolkit/read/buffered_input.h"

#include <algorithm>
#include <cstring>

namespace tracemill {

bool BufferedInput::openFile(const std::string& path) {
    close();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::setvbuf(file, nullptr, _IONBF, 0); // we read whole blocks ourselves
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return false;
    }
    file_ = file;
    length_ = uint64_t(length);
    buffer_.resize(blockSize_);
    begin_ = cur_ = end_ = buffer_.data();
    windowOffset_ = 0;
    return true;
}

void BufferedInput::openMemory(std::span<const uint8_t> bytes) {
    close();
    memory_ = true;
    begin_ = cur_ = bytes.data();
    end_ = bytes.data() + bytes.size();
    length_ = bytes.size();
    windowOffset_ = 0;
}

void BufferedInput::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    memory_ = false;
    buffer_.clear();
    buffer_.shrink_to_fit();
    begin_ = cur_ = end_ = nullptr;
    windowOffset_ = length_ = 0;
}

bool BufferedInput::refill(size_t count) {
    if (!file_) return false;
    const size_t unread = available();
    const uint64_t offset = tell();
    const size_t start = size_t(cur_ - buffer_.data());
    if (buffer_.size() < count) buffer_.resize(std::max(count, buffer_.size() * 2));
    uint8_t* buffer = buffer_.data();
    if (unread > 0 && start > 0) std::memmove(buffer, buffer + start, unread);
    windowOffset_ = offset;
    begin_ = cur_ = buffer;
    end_ = buffer + unread;
    while (available() < count) {
        const size_t room = buffer_.size() - available();
        const size_t got = std::fread(buffer + available(), 1, room, file_);
        if (got == 0) break;
        end_ += got;
    }
    return available() >= count;
}

bool BufferedInput::seek(uint64_t offset) {
    if (offset > length_) return false;
    if (offset >= windowOffset_ && offset <= windowOffset_ + uint64_t(end_ - begin_)) {
        cur_ = begin_ + (offset - windowOffset_);
        return true;
    }
    if (!file_ || std::fseek(file_, long(offset), SEEK_SET) != 0) return false;
    windowOffset_ = offset;
    begin_ = cur_ = end_ = buffer_.data();
    return true;
}

} // namespace tracemill
