// A file read in large blocks, or a range of memory, as one byte window that the readers scan
// directly: no per-value calls into the C library, no per-line allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace tracemill {

class BufferedInput {
  public:
    // The size of the blocks read from a file.
    static constexpr size_t kBlockSize = size_t(1) << 20;

    BufferedInput() = default;
    ~BufferedInput() { close(); }
    BufferedInput(const BufferedInput&) = delete;
    BufferedInput& operator=(const BufferedInput&) = delete;

    // The size of the blocks read from the files opened from now on (tests use tiny blocks
    // to cross every window boundary).
    void setBlockSize(size_t size) { blockSize_ = size > 0 ? size : 1; }

    // Opens a file for reading; false when it cannot be opened.
    bool openFile(const std::string& path);
    // Reads from memory that the caller keeps alive until the input is closed.
    void openMemory(std::span<const uint8_t> bytes);
    void close();
    bool isOpen() const { return file_ != nullptr || memory_; }

    // The unread bytes of the window.
    const uint8_t* data() const { return cur_; }
    size_t available() const { return size_t(end_ - cur_); }
    void advance(size_t count) { cur_ += count; }

    // Makes at least `count` bytes available when the input still has them, keeping the
    // unread bytes; the window may move, so pointers into it are stale afterwards. Result
    // available() >= count.
    bool fill(size_t count) { return available() >= count || refill(count); }
    // True when no byte is left.
    bool atEnd() { return !fill(1); }

    // The offset of the next unread byte, and moving to an offset (beyond the length: false).
    uint64_t tell() const { return windowOffset_ + uint64_t(cur_ - begin_); }
    bool seek(uint64_t offset);
    uint64_t length() const { return length_; }

  private:
    bool refill(size_t count);

    size_t blockSize_ = kBlockSize;
    std::FILE* file_ = nullptr;
    bool memory_ = false;
    std::vector<uint8_t> buffer_;
    const uint8_t* begin_ = nullptr; // the window: begin_ <= cur_ <= end_
    const uint8_t* cur_ = nullptr;
    const uint8_t* end_ = nullptr;
    uint64_t windowOffset_ = 0; // file offset of begin_
    uint64_t length_ = 0;
};

} // namespace tracemill
