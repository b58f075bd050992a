#include "app/image/decode/cx_image_gif.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "app/image/decode/image_stream.h"

namespace tracemill {

namespace {

bool knownIntroducer(int b) {
    return b == kGifExtensionIntroducer || b == kGifImageSeparator || b == kGifTrailer;
}

uint32_t depthForEntries(int entries) { return entries <= 2 ? 1 : entries <= 16 ? 4 : 8; }

} // namespace

bool CxImageGIF::Decode(ImageStream& stream) {
    GifScreenDescriptorLayout::Bytes bytes;
    if (!readExact(stream, bytes.data(), bytes.size())) return false;
    screen_ = GifScreenDescriptorLayout::decode(bytes);
    if (std::memcmp(screen_.signature.data(), "GIF8", 4) != 0) return false;
    if (GetEscape() == -1) {
        SetDimensions(screen_.width, screen_.height);
        return true;
    }
    tableEntries_ = 0;
    if (screen_.flags & kGifColourTableFlag) {
        tableEntries_ = gifTableEntries(screen_.flags);
        if (!readExact(stream, table_.data(), size_t(3 * tableEntries_))) return false;
    } else {
        ++trueColourSigns_;
    }
    const int frames = CountFrames(stream);
    SetFrameCount(frames);
    if (GetFrame() < 0 || GetFrame() >= frames) return false;
    if (frames == 1) trueColourSigns_ = 0;
    return RunBlocks(stream, Pass::Decode) > 0 && IsValid();
}

// Reads blocks until the trailer, the end of the data or (when decoding) the requested
// frame. After a byte that is no introducer, only a byte behind a 0 byte is taken as the
// next introducer. Counting returns the number of frames; decoding returns 1 on success.
int CxImageGIF::RunBlocks(ImageStream& stream, Pass pass) {
    const int64_t start = stream.Tell();
    const std::array<uint8_t, 3 * kGifMaxColours> savedTable = table_;
    const int savedEntries = tableEntries_;
    int frameNumber = 0;
    int32_t firstTransparent = -1;
    std::unique_ptr<CxImage> trueColour;
    bool expectIntroducer = true;
    bool ok = true;
    for (;;) {
        const int b = stream.GetC();
        if (b < 0) break;
        if (pass == Pass::Decode && GetEscape() > 0) return 0;
        if (!expectIntroducer || !knownIntroducer(b)) {
            expectIntroducer = b == 0;
            continue;
        }
        if (b == kGifTrailer) break;
        if (b == kGifExtensionIntroducer) {
            if (!ReadExtension(stream)) break;
            continue;
        }
        GifImageDescriptorLayout::Bytes descBytes;
        if (!readExact(stream, descBytes.data(), descBytes.size())) break;
        const GifImageDescriptor desc = GifImageDescriptorLayout::decode(descBytes);
        if (desc.left + desc.width > screen_.width || desc.top + desc.height > screen_.height) {
            expectIntroducer = false; // the frame's data is passed over
            continue;
        }
        // Signs of a true-colour file are counted once, while decoding.
        if (pass == Pass::Decode && frameNumber == 0 && desc.width != screen_.width &&
            desc.height != screen_.height)
            ++trueColourSigns_;
        if (desc.flags & kGifColourTableFlag) {
            tableEntries_ = gifTableEntries(desc.flags);
            if (!readExact(stream, table_.data(), size_t(3 * tableEntries_))) break;
        }
        const bool interlaced = (desc.flags & kGifInterlacedFlag) != 0;
        const uint32_t depth = depthForEntries(tableEntries_);
        const int64_t dataStart = stream.Tell();

        if (pass == Pass::Count) {
            DecodeLzw(stream, nullptr, desc.width, interlaced);
            if (badCodes_) SkipToNextImage(stream, dataStart);
            else GiveBackInput(stream);
            ++frameNumber;
            continue;
        }

        const bool isTrueColour = trueColourSigns_ >= 2;
        // A true-colour file paints every frame: the requested frame becomes the last one.
        if (isTrueColour) SetFrame(GetFrameCount() - 1);
        CxImage background;
        if (!isTrueColour) {
            background.CopyAttributes(*this);
            if (frameNumber == 0) {
                if (!background.Create(screen_.width, screen_.height, depth, CXIMAGE_FORMAT_GIF)) {
                    SetLastError(background.GetLastError());
                    ok = false;
                    break;
                }
                background.Fill(uint8_t(GetTransparentIndex()));
                firstTransparent = GetTransparentIndex();
            } else {
                background.Copy(*this, true, false, false);
                if (!background.IsValid()) {
                    SetLastError(background.GetLastError());
                    ok = false;
                    break;
                }
                if (disposal_ == 2) background.Fill(uint8_t(firstTransparent));
            }
        }
        CxImage frame(desc.width, desc.height, depth, CXIMAGE_FORMAT_GIF);
        if (!frame.IsValid()) {
            SetLastError(frame.GetLastError());
            ok = false;
            break;
        }
        frame.SetTransparentIndex(GetTransparentIndex());
        if (tableEntries_ > 0) {
            if (GetTransparentIndex() != -1) {
                std::array<uint8_t, 3 * kGifMaxColours> padded = table_;
                std::fill(padded.begin() + 3 * tableEntries_, padded.end(), 255);
                frame.SetPalette(padded.data(), kGifMaxColours);
            } else {
                frame.SetPalette(table_.data(), uint32_t(tableEntries_));
            }
        }
        DecodeLzw(stream, &frame, desc.width, interlaced);
        if (GetEscape()) return 0;

        if (!isTrueColour) {
            MixFrame(background, frame, desc);
            background.SetTransparentIndex(firstTransparent);
            // A frame of fewer colours than the picture (a small local table) replaces only
            // its own entries.
            background.SetPalette(frame.GetPalette(), frame.GetHeader().biClrUsed);
            TakeOver(background);
        } else {
            if (!trueColour) {
                trueColour = std::make_unique<CxImage>();
                trueColour->CopyAttributes(*this);
                if (!trueColour->Create(screen_.width, screen_.height, 24, CXIMAGE_FORMAT_GIF)) {
                    SetLastError(trueColour->GetLastError());
                    ok = false;
                    break;
                }
            }
            const uint32_t frameBits = frame.GetBitCount();
            for (uint32_t fy = 0; fy < desc.height; ++fy) {
                const uint8_t* source = frame.GetRow(desc.height - 1u - fy);
                uint8_t* target = trueColour->GetRow(uint32_t(screen_.height - 1 - (desc.top + fy)));
                if (!source || !target) continue;
                for (uint32_t fx = 0; fx < desc.width; ++fx) {
                    const RgbQuad colour = frame.GetPaletteColor(RowPixelIndex(source, frameBits, fx));
                    uint8_t* pixel = target + 3 * (uint64_t(desc.left) + fx);
                    pixel[0] = colour.rgbBlue;
                    pixel[1] = colour.rgbGreen;
                    pixel[2] = colour.rgbRed;
                }
            }
        }
        if (badCodes_) SkipToNextImage(stream, dataStart);
        else GiveBackInput(stream);
        if (frameNumber == GetFrame()) break;
        ++frameNumber;
    }

    if (pass == Pass::Count) {
        stream.Seek(start, SEEK_SET);
        table_ = savedTable;
        tableEntries_ = savedEntries;
        return frameNumber;
    }
    if (!ok) return 0;
    if (trueColour) {
        if (controlFlags_ & kGifTransparencyFlag) {
            const int index = std::clamp(GetTransparentIndex(), 0, kGifMaxColours - 1);
            trueColour->SetTransparentColor(
                RgbQuad{table_[3 * index + 2], table_[3 * index + 1], table_[3 * index], 0});
            trueColour->SetTransparentIndex(0);
        }
        TakeOver(*trueColour);
    }
    return 1;
}

bool CxImageGIF::ReadExtension(ImageStream& stream) {
    const int label = stream.GetC();
    if (label < 0) return false;
    bool ok = true;
    if (label == kGifLabelGraphicControl) {
        const int size = stream.GetC();
        GifGraphicControlLayout::Bytes bytes{};
        const size_t got = stream.Read(bytes.data(), 1, bytes.size());
        ok = size >= 0 && got == size_t(size);
        if (ok) {
            const GifGraphicControl control = GifGraphicControlLayout::decode(bytes);
            controlFlags_ = control.flags;
            if (control.flags & kGifTransparencyFlag) SetTransparentIndex(control.transparentIndex);
            SetFrameDelay(control.delay);
            disposal_ = gifDisposalMethod(control.flags);
        }
    } else if (label == kGifLabelComment) {
        const int size = stream.GetC();
        ok = size >= 0;
        if (ok) {
            std::string text(size_t(size), '\0');
            ok = readExact(stream, text.data(), text.size());
            comment_ = text.substr(0, 255);
        }
    } else if (label == kGifLabelApplication) {
        const int size = stream.GetC();
        if (size != kGifApplicationIdSize) return false;
        uint8_t id[kGifApplicationIdSize];
        ok = readExact(stream, id, sizeof id);
        const int blockSize = ok ? stream.GetC() : -1;
        ok = blockSize >= 0;
        if (ok) {
            std::array<uint8_t, kGifMaxSubBlock> data{};
            ok = readExact(stream, data.data(), size_t(blockSize));
            if (ok && blockSize > 2) loopCount_ = data[1] + 256 * data[2];
        }
    }
    if (!ok) return false;
    for (;;) {
        const int size = stream.GetC();
        if (size <= 0) break;
        if (!stream.Seek(size, SEEK_CUR)) break;
    }
    return true;
}

int64_t CxImageGIF::SkipToNextImage(ImageStream& stream, int64_t position) {
    if (!stream.Seek(position, SEEK_SET)) return -1;
    int previous = 0;
    for (;;) {
        const int b = stream.GetC();
        if (b < 0) return -1;
        if (b == kGifImageSeparator && previous == 0) {
            stream.Seek(-1, SEEK_CUR);
            return stream.Tell();
        }
        previous = b;
    }
}

void CxImageGIF::GiveBackInput(ImageStream& stream) {
    const int unused = inputRealFill_ - inputPos_;
    if (unused > 0) stream.Seek(-int64_t(unused), SEEK_CUR);
    inputFill_ = inputRealFill_ = inputPos_ = 0;
}

int CxImageGIF::NextByte(ImageStream& stream) {
    if (inputPos_ >= inputFill_) {
        const size_t got = stream.Read(input_.data(), 1, kInputBuffer);
        inputRealFill_ = int(got);
        inputPos_ = 0;
        if (got == 0) {
            inputFill_ = 0;
            return -1;
        }
        inputFill_ = int(got);
        if (got < size_t(kInputBuffer)) input_[inputFill_++] = 255; // end marker
    }
    return input_[size_t(inputPos_++)];
}

void CxImageGIF::ResetCodes(int size) {
    codeSize_ = size + 1;
    topSlot_ = 1 << codeSize_;
    clearCode_ = 1 << size;
    endCode_ = clearCode_ + 1;
    firstFree_ = nextFree_ = clearCode_ + 2;
    subBlockLeft_ = subBlockPos_ = 0;
    bitCount_ = 0;
    bitAccumulator_ = 0;
    dataEnded_ = false;
    stack_.fill(0);
    suffix_.fill(0);
    prefix_.fill(0);
}

// Reads the next sub-block; 0 when the block terminator (or the end of the data) is met.
int CxImageGIF::ReadSubBlock(ImageStream& stream) {
    const int size = NextByte(stream);
    if (size < 0) return size;
    for (int i = 0; i < size; ++i) {
        const int b = NextByte(stream);
        if (b < 0) return b;
        subBlock_[size_t(i)] = uint8_t(b);
    }
    subBlockLeft_ = size;
    subBlockPos_ = 0;
    if (size == 0) dataEnded_ = true;
    return size;
}

int CxImageGIF::NextCode(ImageStream& stream) {
    if (dataEnded_) return endCode_;
    while (bitCount_ < codeSize_) {
        if (subBlockLeft_ <= 0) {
            const int size = ReadSubBlock(stream);
            if (size < 0) return size;
            if (size == 0) return endCode_;
        }
        bitAccumulator_ |= uint32_t(subBlock_[size_t(subBlockPos_++)]) << bitCount_;
        --subBlockLeft_;
        bitCount_ += 8;
    }
    const int code = int(bitAccumulator_ & ((1u << codeSize_) - 1));
    bitAccumulator_ >>= codeSize_;
    bitCount_ -= codeSize_;
    return code;
}

int CxImageGIF::DecodeLzw(ImageStream& stream, CxImage* frame, uint32_t width, bool interlaced) {
    inputFill_ = inputRealFill_ = inputPos_ = 0;
    badCodes_ = 0;
    interlaced_ = interlaced;
    outputRow_ = 0;
    interlacePass_ = 0;
    linesDone_ = false;
    frameHeight_ = frame ? frame->GetHeight() : 0;
    const int size = NextByte(stream);
    if (size < 0) return size;
    if (size < 2 || size > 9) return -20;
    ResetCodes(size);
    std::vector<uint8_t> line;
    try {
        line.resize(size_t(width) + 1);
    } catch (const std::bad_alloc&) {
        return -10;
    }
    uint32_t filled = 0;
    int oldCode = 0, firstChar = 0;
    auto emit = [&](uint8_t pixel) -> int {
        line[filled++] = pixel;
        if (filled >= width) {
            filled = 0;
            return PutLine(frame, line.data(), width);
        }
        return 0;
    };
    for (;;) {
        int c = NextCode(stream);
        if (c == endCode_) break;
        if (c < 0) return c;
        if (c == clearCode_) {
            codeSize_ = size + 1;
            topSlot_ = 1 << codeSize_;
            nextFree_ = firstFree_;
            do c = NextCode(stream);
            while (c == clearCode_);
            if (c < 0) return c;
            if (c == endCode_) break;
            if (c >= nextFree_) c = 0;
            oldCode = firstChar = c;
            if (const int r = emit(uint8_t(c)); r < 0) return r;
            continue;
        }
        int code = c;
        size_t depth = 0;
        if (code >= nextFree_) {
            if (code > nextFree_) ++badCodes_;
            stack_[depth++] = uint8_t(firstChar);
            code = oldCode;
        }
        // A damaged table may chain back on itself: the stack bounds the walk.
        while (code >= firstFree_ && depth < stack_.size()) {
            stack_[depth++] = suffix_[size_t(code)];
            code = prefix_[size_t(code)];
        }
        if (depth >= stack_.size()) {
            ++badCodes_;
            break;
        }
        stack_[depth++] = uint8_t(code);
        if (nextFree_ < topSlot_) {
            suffix_[size_t(nextFree_)] = uint8_t(code);
            firstChar = code;
            prefix_[size_t(nextFree_++)] = uint16_t(oldCode);
            oldCode = c;
        }
        if (nextFree_ >= topSlot_ && codeSize_ < kGifMaxCodeBits) {
            topSlot_ <<= 1;
            ++codeSize_;
        }
        while (depth > 0)
            if (const int r = emit(stack_[--depth]); r < 0) return r;
    }
    if (filled > 0) PutLine(frame, line.data(), filled);
    return 0;
}

int CxImageGIF::PutLine(CxImage* frame, uint8_t* line, uint32_t length) {
    if (!frame) return 0;
    const uint32_t bits = frame->GetBitCount();
    uint32_t bytes = length;
    if (bits == 4) {
        for (uint32_t x = 0; x < length; ++x) {
            if (x & 1) line[x / 2] = uint8_t(line[x / 2] | (line[x] & 0x0F));
            else line[x / 2] = uint8_t(line[x] << 4);
        }
        bytes = (length + 1) / 2;
    } else if (bits == 1) {
        for (uint32_t x = 0; x < length; ++x) {
            const uint8_t bit = uint8_t((line[x] & 1) << (7 - x % 8));
            if (x % 8 == 0) line[x / 8] = bit;
            else line[x / 8] = uint8_t(line[x / 8] | bit);
        }
        bytes = (length + 7) / 8;
    }
    if (linesDone_ || outputRow_ >= frameHeight_) return -1;
    uint8_t* row = frame->GetRow(frameHeight_ - 1 - outputRow_);
    std::memcpy(row, line, std::min<uint32_t>(bytes, frame->GetRowLength()));
    if (!interlaced_) {
        ++outputRow_;
        return 0;
    }
    outputRow_ += uint32_t(kGifInterlacePasses[interlacePass_].step);
    while (outputRow_ >= frameHeight_) {
        if (++interlacePass_ >= kGifInterlacePasses.size()) {
            linesDone_ = true;
            break;
        }
        outputRow_ = uint32_t(kGifInterlacePasses[interlacePass_].start);
    }
    return 0;
}

void CxImageGIF::MixFrame(CxImage& background, CxImage& frame, const GifImageDescriptor& descriptor) {
    if (!background.HasPalette() || !frame.HasPalette()) return;
    const int64_t height = background.GetHeight();
    const int64_t frameHeight = frame.GetHeight();
    const int64_t firstRow = std::max<int64_t>(0, height - descriptor.top - frameHeight);
    const int64_t lastRow = height - descriptor.top;
    const int64_t rightEnd = std::min<int64_t>(descriptor.left + int64_t(frame.GetWidth()), background.GetWidth());
    const int32_t transparent = frame.GetTransparentIndex();
    const uint32_t frameBits = frame.GetBitCount();
    const uint32_t backgroundBits = background.GetBitCount();
    for (int64_t y = firstRow; y < lastRow; ++y) {
        const uint8_t* source = frame.GetRow(uint32_t(y - (height - descriptor.top - frameHeight)));
        uint8_t* target = background.GetRow(uint32_t(y));
        if (!source || !target) continue;
        for (int64_t x = descriptor.left; x < rightEnd; ++x) {
            const uint8_t index = RowPixelIndex(source, frameBits, uint32_t(x - descriptor.left));
            if (index != transparent) SetRowPixelIndex(target, backgroundBits, uint32_t(x), index);
        }
    }
}

} // namespace tracemill
