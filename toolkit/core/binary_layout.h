// Byte-order helpers and field layouts of the raster file formats. A layout is one table of
// a structure's members in file order; readers decode and writers encode through the same
// table, so a format's header is defined once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tracemill {

inline uint16_t readLe16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t readLe32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint16_t readBe16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t readBe32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline void writeLe16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void writeLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

namespace layout_detail {

template <class T> struct FieldTraits {
    static_assert(std::is_integral_v<T>, "layout fields are integers or byte arrays");
    static constexpr size_t kSize = sizeof(T);
    static void decode(const uint8_t* p, T& value) {
        std::make_unsigned_t<T> u = 0;
        for (size_t i = 0; i < sizeof(T); ++i) u |= std::make_unsigned_t<T>(p[i]) << (8 * i);
        value = T(u);
    }
    static void encode(uint8_t* p, T value) {
        auto u = std::make_unsigned_t<T>(value);
        for (size_t i = 0; i < sizeof(T); ++i) p[i] = uint8_t(u >> (8 * i));
    }
};

template <size_t N> struct FieldTraits<std::array<uint8_t, N>> {
    static constexpr size_t kSize = N;
    static void decode(const uint8_t* p, std::array<uint8_t, N>& value) {
        for (size_t i = 0; i < N; ++i) value[i] = p[i];
    }
    static void encode(uint8_t* p, const std::array<uint8_t, N>& value) {
        for (size_t i = 0; i < N; ++i) p[i] = value[i];
    }
};

template <class M> struct MemberTraits;
template <class S, class T> struct MemberTraits<T S::*> {
    using Struct = S;
    using Type = T;
};

template <auto Member> constexpr size_t fieldSize() {
    return FieldTraits<typename MemberTraits<decltype(Member)>::Type>::kSize;
}

} // namespace layout_detail

// A little-endian layout: the members in file order, each integer stored in its own width.
template <auto First, auto... Rest> struct LittleEndianLayout {
    using Struct = typename layout_detail::MemberTraits<decltype(First)>::Struct;
    static constexpr size_t kSize = layout_detail::fieldSize<First>() + (layout_detail::fieldSize<Rest>() + ... + 0);
    using Bytes = std::array<uint8_t, kSize>;

    static Struct decode(const Bytes& bytes) { return decode(bytes.data()); }
    static Struct decode(const uint8_t* bytes) {
        Struct s{};
        size_t offset = 0;
        (decodeOne<First>(bytes, offset, s), ..., decodeOne<Rest>(bytes, offset, s));
        return s;
    }
    static Bytes encode(const Struct& s) {
        Bytes bytes{};
        size_t offset = 0;
        (encodeOne<First>(bytes.data(), offset, s), ..., encodeOne<Rest>(bytes.data(), offset, s));
        return bytes;
    }

private:
    template <auto Member> static void decodeOne(const uint8_t* bytes, size_t& offset, Struct& s) {
        using T = typename layout_detail::MemberTraits<decltype(Member)>::Type;
        layout_detail::FieldTraits<T>::decode(bytes + offset, s.*Member);
        offset += layout_detail::FieldTraits<T>::kSize;
    }
    template <auto Member> static void encodeOne(uint8_t* bytes, size_t& offset, const Struct& s) {
        using T = typename layout_detail::MemberTraits<decltype(Member)>::Type;
        layout_detail::FieldTraits<T>::encode(bytes + offset, s.*Member);
        offset += layout_detail::FieldTraits<T>::kSize;
    }
};

} // namespace tracemill
