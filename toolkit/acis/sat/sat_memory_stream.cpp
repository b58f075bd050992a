#include "toolkit/acis/sat/sat_memory_stream.h"

#include <algorithm>

#include "toolkit/acis/sat/solid_drawing_bridge.h"

namespace tracemill {

SatMemoryStream::SatMemoryStream(const SatCallbackRecord& record) : mRecord(record) {
    setg(mBuffer.data(), mBuffer.data(), mBuffer.data());
}

SatMemoryStream::int_type SatMemoryStream::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (!mRecord.read) return traits_type::eof();
    const int32_t count = mRecord.read(mBuffer.data(), kBufferSize, mRecord.user);
    if (count <= 0) return traits_type::eof();
    setg(mBuffer.data(), mBuffer.data(), mBuffer.data() + std::min<int32_t>(count, kBufferSize));
    return traits_type::to_int_type(*gptr());
}

SatMemoryStream::int_type SatMemoryStream::overflow(int_type) { return traits_type::eof(); }

SatMemoryStream::int_type SatMemoryStream::pbackfail(int_type c) {
    if (gptr() == eback()) return traits_type::eof();
    gbump(-1);
    if (!traits_type::eq_int_type(c, traits_type::eof())) *gptr() = traits_type::to_char_type(c);
    return traits_type::not_eof(c);
}

} // namespace tracemill
