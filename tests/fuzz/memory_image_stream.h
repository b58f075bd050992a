// An ImageStream over bytes in memory with the behaviour of a stdio file opened for reading:
// seeking past the end succeeds and later reads come up short, reads count whole items, and
// the end-of-file flag is set by a read that hits the end and cleared by a seek.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/image/decode/image_stream.h"

namespace tracemill {

class MemoryImageStream : public ImageStream {
public:
    MemoryImageStream(const uint8_t* data, size_t size) : data_(data), size_(int64_t(size)) {}

    bool Close() override { return true; }
    size_t Read(void* buffer, size_t size, size_t count) override {
        if (size == 0 || count == 0) return 0;
        const uint64_t wanted = count > UINT64_MAX / size ? UINT64_MAX : uint64_t(size) * count;
        const uint64_t available = position_ < size_ ? uint64_t(size_ - position_) : 0;
        const uint64_t taken = std::min(wanted, available);
        if (taken > 0) std::memcpy(buffer, data_ + position_, size_t(taken));
        position_ += int64_t(taken);
        if (taken < wanted) eof_ = true;
        return size_t(taken / size);
    }
    size_t Write(const void*, size_t, size_t) override { return 0; }
    bool Seek(int64_t offset, int origin) override {
        const int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? position_ : size_;
        if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return false;
        position_ = base + offset;
        eof_ = false;
        return true;
    }
    int64_t Tell() override { return position_; }
    int64_t Size() override { return size_; }
    bool Flush() override { return true; }
    bool Eof() override { return eof_; }
    int Error() override { return 0; }
    bool PutC(uint8_t) override { return false; }
    int GetC() override {
        if (position_ >= size_) {
            eof_ = true;
            return -1;
        }
        return data_[position_++];
    }

private:
    const uint8_t* data_;
    int64_t size_;
    int64_t position_ = 0;
    bool eof_ = false;
};

} // namespace tracemill
