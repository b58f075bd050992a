// Walks the marker sections of a JPEG file and reads the EXIF directories. Problems never
// fail a decode: they leave this reader's error text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tracemill {

class ImageStream;

struct ExifInfo {
    std::string version, cameraMake, cameraModel, dateTime, comment;
    int width = 0, height = 0, orientation = 0, process = 0, flashUsed = 0;
    bool isColour = false;
    double focalLength = 0, exposureTime = 0, apertureFNumber = 0, distance = 0, ccdWidth = 0, exposureBias = 0;
    int whitebalance = 0, meteringMode = 0, exposureProgram = 0, isoEquivalent = 0;
    double compressionLevel = 0, focalplaneXRes = 0, focalplaneYRes = 0, focalplaneUnits = 0;
    double xResolution = 0, yResolution = 0, resolutionUnit = 0, brightness = 0;
    int64_t thumbnailOffset = 0, thumbnailSize = 0;
    bool isExif = false;
};

class ExifReader {
public:
    static constexpr int kMaxSections = 20;
    enum Mode : int { kReadExif = 1, kReadImage = 2 };

    explicit ExifReader(ExifInfo* info = nullptr) : info_(info ? info : &own_) {}
    bool ReadSections(ImageStream& stream, int mode);
    const ExifInfo& Info() const { return *info_; }
    const std::string& GetLastError() const { return lastError_; }

private:
    struct Section {
        int marker;
        std::vector<uint8_t> data;
    };
    bool ProcessExif(const uint8_t* data, size_t length);
    bool ProcessDirectory(const uint8_t* dir, const uint8_t* base, size_t length, int depth);

    ExifInfo own_;
    ExifInfo* info_;
    std::string lastError_;
    std::vector<Section> sections_;
    bool littleEndian_ = true;
    size_t entriesLeft_ = 0; // directory entries the EXIF block still has room for
};

} // namespace tracemill
