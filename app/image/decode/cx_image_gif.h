// Decoder of GIF87a and GIF89a files: one chosen frame composed over the frames before it,
// with transparency, delay, comment and loop count; LZW data with repair of bad codes.
#pragma once

#include <array>
#include <string>

#include "app/image/decode/cx_image.h"
#include "app/image/gif_format.h"

namespace tracemill {

class CxImageGIF : public CxImage {
public:
    CxImageGIF() : CxImage(CXIMAGE_FORMAT_GIF) {}
    bool Decode(ImageStream& stream);

    const std::string& GetComment() const { return comment_; }
    int GetLoopCount() const { return loopCount_; }
    int GetDisposalMethod() const { return disposal_; }

private:
    enum class Pass { Count, Decode };
    int RunBlocks(ImageStream& stream, Pass pass);
    bool ReadExtension(ImageStream& stream);
    int CountFrames(ImageStream& stream) { return RunBlocks(stream, Pass::Count); }
    int64_t SkipToNextImage(ImageStream& stream, int64_t position);
    // Decodes one frame's data into `frame` (null: only passes over the data).
    int DecodeLzw(ImageStream& stream, CxImage* frame, uint32_t width, bool interlaced);
    int NextCode(ImageStream& stream);
    int NextByte(ImageStream& stream);
    int ReadSubBlock(ImageStream& stream);
    void ResetCodes(int size);
    int PutLine(CxImage* frame, uint8_t* line, uint32_t length);
    void GiveBackInput(ImageStream& stream);
    static void MixFrame(CxImage& background, CxImage& frame, const GifImageDescriptor& descriptor);

    // Colour table in force and the screen.
    GifScreenDescriptor screen_;
    std::array<uint8_t, 3 * kGifMaxColours> table_{};
    int tableEntries_ = 0;
    int trueColourSigns_ = 0;
    // Extensions.
    uint8_t controlFlags_ = 0;
    int disposal_ = 0;
    std::string comment_;
    int loopCount_ = 0;
    // LZW reader: buffered input, the current sub-block, the bit accumulator and the tables.
    static constexpr int kInputBuffer = 16383;
    std::array<uint8_t, kInputBuffer + 1> input_{}; // room for the end marker
    int inputFill_ = 0, inputRealFill_ = 0, inputPos_ = 0;
    std::array<uint8_t, kGifMaxSubBlock> subBlock_{};
    int subBlockLeft_ = 0, subBlockPos_ = 0;
    bool dataEnded_ = false;
    uint32_t bitAccumulator_ = 0;
    int bitCount_ = 0;
    int codeSize_ = 0, clearCode_ = 0, endCode_ = 0, firstFree_ = 0, nextFree_ = 0, topSlot_ = 0;
    int badCodes_ = 0;
    std::array<uint8_t, kGifMaxCodes> stack_{};
    std::array<uint8_t, kGifMaxCodes> suffix_{};
    std::array<uint16_t, kGifMaxCodes> prefix_{};
    // Line output.
    bool interlaced_ = false;
    uint32_t outputRow_ = 0, frameHeight_ = 0;
    size_t interlacePass_ = 0;
    bool linesDone_ = false;
};

} // namespace tracemill
