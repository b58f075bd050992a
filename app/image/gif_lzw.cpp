#include "app/image/gif_lzw.h"

#include <algorithm>
#include <array>

#include "app/image/gif_format.h"

namespace tracemill {
namespace {

constexpr int kHashShift = 4;
// The widest root codes a decoder takes (wider ones than 8 bits give indices cut to a byte).
constexpr int kMaxDecodedCodeSize = 11;

// Strings are found by open hashing on (pixel, prefix code); codes are packed least
// significant bit first into sub-blocks.
class GifLzwEncoder {
public:
    explicit GifLzwEncoder(const GifLzwSettings& settings)
        : clearCode_(1 << settings.minimumCodeSize), endCode_(clearCode_ + 1), firstFreeCode_(clearCode_ + 2),
          initialCodeBits_(settings.minimumCodeSize + 1),
          subBlockSize_(std::clamp(settings.subBlockSize, 1, int(kGifMaxSubBlock))),
          hashKeys_(size_t(settings.hashSize), -1), codes_(size_t(settings.hashSize), 0), nextCode_(firstFreeCode_),
          codeBits_(initialCodeBits_), maxCode_((1 << initialCodeBits_) - 1) {
        out_.push_back(uint8_t(settings.minimumCodeSize));
    }

    std::vector<uint8_t> Compress(std::span<const uint8_t> pixels) {
        Output(clearCode_);
        if (pixels.empty()) {
            Output(endCode_);
            return Finish();
        }
        const int hashSize = int(hashKeys_.size());
        int ent = pixels[0];
        for (size_t p = 1; p < pixels.size(); ++p) {
            const int c = pixels[p];
            const int32_t key = (int32_t(c) << kGifMaxCodeBits) + ent;
            int i = (c << kHashShift) ^ ent;
            if (hashKeys_[size_t(i)] == key) {
                ent = codes_[size_t(i)];
                continue;
            }
            bool found = false;
            if (hashKeys_[size_t(i)] >= 0) {
                const int step = i == 0 ? 1 : hashSize - i;
                do {
                    i -= step;
                    if (i < 0) i += hashSize;
                    if (hashKeys_[size_t(i)] == key) {
                        ent = codes_[size_t(i)];
                        found = true;
                        break;
                    }
                } while (hashKeys_[size_t(i)] > 0);
            }
            if (found) continue;
            Output(ent);
            ent = c;
            if (nextCode_ < kGifMaxCodes) {
                codes_[size_t(i)] = uint16_t(nextCode_++);
                hashKeys_[size_t(i)] = key;
            } else {
                std::fill(hashKeys_.begin(), hashKeys_.end(), -1);
                nextCode_ = firstFreeCode_;
                clearFlag_ = true;
                Output(clearCode_);
            }
        }
        Output(ent);
        Output(endCode_);
        return Finish();
    }

private:
    void Output(int code) {
        accumulator_ &= (uint32_t(1) << accumulatedBits_) - 1;
        if (accumulatedBits_ > 0) accumulator_ |= uint32_t(code) << accumulatedBits_;
        else accumulator_ = uint32_t(code);
        accumulatedBits_ += codeBits_;
        while (accumulatedBits_ >= 8) {
            Byte(uint8_t(accumulator_));
            accumulator_ >>= 8;
            accumulatedBits_ -= 8;
        }
        if (nextCode_ > maxCode_ || clearFlag_) {
            if (clearFlag_) {
                codeBits_ = initialCodeBits_;
                maxCode_ = (1 << codeBits_) - 1;
                clearFlag_ = false;
            } else {
                ++codeBits_;
                maxCode_ = codeBits_ == kGifMaxCodeBits ? kGifMaxCodes : (1 << codeBits_) - 1;
            }
        }
    }

    std::vector<uint8_t> Finish() {
        while (accumulatedBits_ > 0) {
            Byte(uint8_t(accumulator_));
            accumulator_ >>= 8;
            accumulatedBits_ = accumulatedBits_ > 8 ? accumulatedBits_ - 8 : 0;
        }
        FlushSubBlock();
        out_.push_back(0); // block terminator
        return std::move(out_);
    }

    void Byte(uint8_t b) {
        subBlock_[size_t(subBlockBytes_++)] = b;
        if (subBlockBytes_ >= subBlockSize_) FlushSubBlock();
    }

    void FlushSubBlock() {
        if (subBlockBytes_ == 0) return;
        out_.push_back(uint8_t(subBlockBytes_));
        out_.insert(out_.end(), subBlock_.begin(), subBlock_.begin() + subBlockBytes_);
        subBlockBytes_ = 0;
    }

    const int clearCode_;
    const int endCode_;
    const int firstFreeCode_;
    const int initialCodeBits_;
    const int subBlockSize_;
    std::vector<int32_t> hashKeys_;
    std::vector<uint16_t> codes_;
    int nextCode_;
    int codeBits_;
    int maxCode_;
    bool clearFlag_ = false;
    uint32_t accumulator_ = 0;
    int accumulatedBits_ = 0;
    std::array<uint8_t, kGifMaxSubBlock> subBlock_{};
    int subBlockBytes_ = 0;
    std::vector<uint8_t> out_;
};

} // namespace

std::vector<uint8_t> EncodeGifImageData(std::span<const uint8_t> pixels, const GifLzwSettings& settings) {
    return GifLzwEncoder(settings).Compress(pixels);
}

bool DecodeGifImageData(std::span<const uint8_t> data, std::span<uint8_t> pixels) {
    if (data.empty()) return false;
    const int minCodeSize = data[0];
    if (minCodeSize < 1 || minCodeSize > kMaxDecodedCodeSize) return false;
    std::vector<uint8_t> codes;
    for (size_t pos = 1; pos < data.size();) {
        const uint8_t n = data[pos++];
        if (n == 0) break;
        const size_t take = std::min<size_t>(n, data.size() - pos);
        codes.insert(codes.end(), data.begin() + std::ptrdiff_t(pos), data.begin() + std::ptrdiff_t(pos + take));
        pos += take;
    }
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::vector<uint16_t> prefix(kGifMaxCodes);
    std::vector<uint8_t> suffix(kGifMaxCodes), stack;
    stack.reserve(kGifMaxCodes);
    for (int i = 0; i < clear; ++i) suffix[size_t(i)] = uint8_t(i);
    int codeBits = minCodeSize + 1, next = clear + 2, previous = -1;
    uint8_t first = 0;
    size_t bitPos = 0;
    size_t written = 0;
    const auto put = [&](uint8_t index) {
        if (written < pixels.size()) pixels[written++] = index;
    };
    while (written < pixels.size()) {
        if (bitPos + size_t(codeBits) > codes.size() * 8) break;
        int code = 0;
        for (int b = 0; b < codeBits; ++b, ++bitPos) code |= ((codes[bitPos / 8] >> (bitPos % 8)) & 1) << b;
        if (code == clear) {
            codeBits = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) break;
        if (previous < 0) {
            if (code >= clear) break;
            put(uint8_t(code));
            previous = code;
            first = uint8_t(code);
            continue;
        }
        if (code > next || (code == next && next >= kGifMaxCodes)) break;
        int walk = code;
        stack.clear();
        if (code == next) {
            stack.push_back(first);
            walk = previous;
        }
        while (walk >= clear) {
            stack.push_back(suffix[size_t(walk)]);
            walk = prefix[size_t(walk)];
        }
        stack.push_back(uint8_t(walk));
        first = uint8_t(walk);
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) put(*it);
        if (next < kGifMaxCodes) {
            prefix[size_t(next)] = uint16_t(previous);
            suffix[size_t(next)] = first;
            ++next;
            if (next == (1 << codeBits) && codeBits < kGifMaxCodeBits) ++codeBits;
        }
        previous = code;
    }
    return true;
}

} // namespace tracemill
