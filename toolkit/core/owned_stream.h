// A stored stream that a record owns (its extended data, proxy graphics, SAT text, pictures).
// Records are values: copying a record copies the bytes of its streams, so a caller's copy and
// the stored record never share a stream, and a stream is freed with the record that owns it.
#pragma once

#include <cstdint>
#include <span>
#include <utility>

#include "toolkit/core/paged_stream.h"

namespace tracemill {

class OwnedStream {
public:
    OwnedStream() = default;
    // Takes over a stream made by dbStreamCreate (null allowed).
    explicit OwnedStream(PagedStream* stream) : stream_(stream) {}
    OwnedStream(const OwnedStream& other) : stream_(copyOf(other.stream_)) {}
    OwnedStream(OwnedStream&& other) noexcept : stream_(std::exchange(other.stream_, nullptr)) {}
    OwnedStream& operator=(const OwnedStream& other) {
        if (this == &other) return *this;
        if (stream_ && other.stream_) {
            *stream_ = *other.stream_;  // reuses the stream's storage
        } else {
            reset(copyOf(other.stream_));
        }
        return *this;
    }
    OwnedStream& operator=(OwnedStream&& other) noexcept {
        if (this != &other) reset(std::exchange(other.stream_, nullptr));
        return *this;
    }
    ~OwnedStream() { dbStreamDestroy(stream_); }

    // A new empty stream of that page size replaces the one held; null when memory is
    // exhausted (the stream held is released all the same).
    PagedStream* create(int pageSize) {
        reset(dbStreamCreate(pageSize));
        return stream_;
    }

    PagedStream* get() const { return stream_; }
    explicit operator bool() const { return stream_ != nullptr; }

    // Gives up the stream without freeing it.
    PagedStream* release() { return std::exchange(stream_, nullptr); }
    void reset(PagedStream* stream = nullptr) {
        PagedStream* old = std::exchange(stream_, stream);
        if (old != stream) dbStreamDestroy(old);
    }

    // The bytes held (none without a stream).
    std::span<const uint8_t> bytes() const {
        return stream_ ? std::span<const uint8_t>(stream_->bytes) : std::span<const uint8_t>();
    }
    size_t size() const { return stream_ ? stream_->bytes.size() : 0; }

    // Streams are equal when both are absent or both hold the same bytes.
    friend bool operator==(const OwnedStream& a, const OwnedStream& b) {
        if (!a.stream_ || !b.stream_) return a.stream_ == b.stream_;
        return a.stream_->bytes == b.stream_->bytes;
    }

private:
    static PagedStream* copyOf(const PagedStream* stream) {
        if (!stream) return nullptr;
        return new PagedStream(*stream);
    }

    PagedStream* stream_ = nullptr;
};

} // namespace tracemill
