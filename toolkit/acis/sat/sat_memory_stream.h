// SatMemoryStream: an input stream buffer over the read callback of a SatCallbackRecord, which
// hands out the caller's SAT text 512 bytes at a time. It cannot be written to.
#pragma once

#include <array>
#include <streambuf>

namespace tracemill {

struct SatCallbackRecord;

class SatMemoryStream final : public std::streambuf {
public:
    static constexpr int kBufferSize = 512;

    // The record must outlive the stream buffer.
    explicit SatMemoryStream(const SatCallbackRecord& record);

protected:
    // Refills the buffer through the read callback: end of file when it gives nothing (a
    // count above the buffer size is taken as the buffer size).
    int_type underflow() override;
    // Writing is refused.
    int_type overflow(int_type c) override;
    // Puts back what was read from the buffer; there is nothing to put back before it.
    int_type pbackfail(int_type c) override;

private:
    const SatCallbackRecord& mRecord;
    std::array<char, kBufferSize> mBuffer;
};

} // namespace tracemill
