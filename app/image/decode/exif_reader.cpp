#include "app/image/decode/exif_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "toolkit/core/binary_layout.h"
#include "app/image/decode/image_stream.h"

namespace tracemill {

namespace {

// Bytes of one directory entry: tag, format, component count, value or offset.
constexpr size_t kEntrySize = 12;

// Bytes per component of the 12 EXIF formats (1-based).
constexpr int kFormatBytes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

// Numbers from a file may be anything a double holds; whole-number fields take them clamped.
int toInt(double value) {
    if (!(value == value)) return 0; // NaN
    constexpr double kLowest = std::numeric_limits<int>::min(), kHighest = std::numeric_limits<int>::max();
    return int(std::clamp(value, kLowest, kHighest));
}

double unitToInches(double unit) {
    switch (toInt(unit)) {
    case 1:
    case 2: return 1.0;
    case 3: return 0.3937007874;
    case 4: return 0.03937007874;
    case 5: return 0.00003937007874;
    default: return unit;
    }
}

} // namespace

bool ExifReader::ReadSections(ImageStream& stream, int mode) {
    uint8_t soi[2] = {};
    if (!readExact(stream, soi, 2) || soi[0] != 0xFF || soi[1] != 0xD8) return false;
    for (;;) {
        if (int(sections_.size()) >= kMaxSections) {
            lastError_ = "Too many sections in jpg file";
            return false;
        }
        int marker = 0;
        int padding = 0;
        for (;;) {
            marker = stream.GetC();
            if (marker != 0xFF) break;
            if (++padding > 6) {
                lastError_ = "too many padding bytes";
                return false;
            }
        }
        if (marker < 0) return false;
        uint8_t lengthBytes[2];
        if (!readExact(stream, lengthBytes, 2)) return false;
        const size_t length = readBe16(lengthBytes);
        if (length < 2) {
            lastError_ = "invalid marker";
            return false;
        }
        Section section{marker, std::vector<uint8_t>(length - 2)};
        if (!readExact(stream, section.data.data(), section.data.size())) {
            lastError_ = "Premature end of file?";
            return false;
        }
        const std::vector<uint8_t>& data = section.data;
        switch (marker) {
        case 0xDA:
            if (mode & kReadImage) {
                std::vector<uint8_t> rest;
                uint8_t chunk[4096];
                for (size_t n; (n = stream.Read(chunk, 1, sizeof chunk)) > 0;) rest.insert(rest.end(), chunk, chunk + n);
                sections_.push_back(Section{-1, std::move(rest)});
            }
            return true;
        case 0xD9: return true;
        case 0xE0: continue; // JFIF: dropped
        case 0xE1:
            if (data.size() >= 4 && std::memcmp(data.data(), "Exif", 4) == 0) {
                if (mode & kReadExif) ProcessExif(data.data(), data.size());
                sections_.push_back(std::move(section));
            }
            continue;
        case 0xFE:
            if ((mode & kReadExif) && info_->comment.empty())
                info_->comment.assign(data.begin(), data.end());
            continue;
        default:
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC &&
                data.size() >= 6) {
                info_->process = marker;
                info_->height = readBe16(&data[1]);
                info_->width = readBe16(&data[3]);
                info_->isColour = data[5] == 3;
            }
            sections_.push_back(std::move(section));
        }
    }
}

bool ExifReader::ProcessExif(const uint8_t* data, size_t length) {
    if (length < 14 || std::memcmp(data, "Exif\0\0", 6) != 0) {
        lastError_ = "Incorrect Exif header";
        return false;
    }
    const uint8_t* base = data + 6;
    const size_t size = length - 6;
    if (std::memcmp(base, "II", 2) == 0) littleEndian_ = true;
    else if (std::memcmp(base, "MM", 2) == 0) littleEndian_ = false;
    else {
        lastError_ = "Invalid Exif alignment marker.";
        return false;
    }
    auto get16 = [&](const uint8_t* p) { return littleEndian_ ? readLe16(p) : readBe16(p); };
    auto get32 = [&](const uint8_t* p) { return littleEndian_ ? readLe32(p) : readBe32(p); };
    if (get16(base + 2) != 0x2A) {
        lastError_ = "Invalid Exif start (1)";
        return false;
    }
    info_->isExif = true;
    // Directories may overlap or link back to each other: all of them together never get
    // more entries than the block has room for.
    entriesLeft_ = size / kEntrySize;
    bool ok = ProcessDirectory(base + 8, base, size, 0);
    const uint32_t first = get32(base + 4);
    if (first > 8 && first < size) ok = ProcessDirectory(base + first, base, size, 0) && ok;
    if (info_->focalplaneXRes != 0)
        info_->ccdWidth = info_->width * info_->focalplaneUnits / info_->focalplaneXRes;
    return ok;
}

bool ExifReader::ProcessDirectory(const uint8_t* dir, const uint8_t* base, size_t length, int depth) {
    if (depth > 4) return false; // directories linking back to each other
    auto get16 = [&](const uint8_t* p) { return littleEndian_ ? readLe16(p) : readBe16(p); };
    auto get32 = [&](const uint8_t* p) { return littleEndian_ ? readLe32(p) : readBe32(p); };
    const size_t offset = size_t(dir - base);
    if (offset + 2 > length) {
        lastError_ = "Illegally sized directory";
        return false;
    }
    const uint32_t entries = get16(dir);
    if (offset + 2 + kEntrySize * uint64_t(entries) > length) {
        lastError_ = "Illegally sized directory";
        return false;
    }
    for (uint32_t i = 0; i < entries; ++i) {
        if (entriesLeft_ == 0) {
            lastError_ = "Too many EXIF directory entries";
            return false;
        }
        --entriesLeft_;
        const uint8_t* entry = dir + 2 + kEntrySize * i;
        const uint32_t tag = get16(entry);
        const uint32_t format = get16(entry + 2);
        const uint32_t components = get32(entry + 4);
        if (format < 1 || format > 12) {
            lastError_ = "Illegal format code in EXIF dir";
            return false;
        }
        if (components == 0) continue; // no value to read
        const uint64_t byteCount = uint64_t(components) * kFormatBytes[format];
        const uint8_t* value = entry + 8;
        if (byteCount > 4) {
            const uint32_t at = get32(entry + 8);
            if (uint64_t(at) + byteCount > length) {
                lastError_ = "Illegal pointer offset value in EXIF.";
                continue;
            }
            value = base + at;
        }
        auto number = [&]() -> double {
            switch (format) {
            case 1: case 7: return value[0];
            case 6: return int8_t(value[0]);
            case 3: return get16(value);
            case 8: return int16_t(get16(value));
            case 4: return get32(value);
            case 9: return int32_t(get32(value));
            case 5: { const uint32_t d = get32(value + 4); return d ? double(get32(value)) / d : 0.0; }
            case 10: { const int32_t d = int32_t(get32(value + 4)); return d ? double(int32_t(get32(value))) / d : 0.0; }
            case 11: { float f; uint32_t u = get32(value); std::memcpy(&f, &u, 4); return f; }
            default: { double d; uint64_t u = littleEndian_ ? (uint64_t(get32(value + 4)) << 32 | get32(value)) : (uint64_t(get32(value)) << 32 | get32(value + 4)); std::memcpy(&d, &u, 8); return d; }
            }
        };
        auto text = [&](size_t limit) {
            std::string s(reinterpret_cast<const char*>(value), size_t(std::min<uint64_t>(byteCount, limit)));
            return s.substr(0, s.find('\0'));
        };
        switch (tag) {
        case 271: info_->cameraMake = text(31); break;
        case 272: info_->cameraModel = text(39); break;
        case 274: {
            const int o = toInt(number());
            info_->orientation = (o >= 1 && o <= 8) ? o : 0;
            if (info_->orientation == 0) lastError_ = "Undefined rotation value";
            break;
        }
        case 282: info_->xResolution = number(); break;
        case 283: info_->yResolution = number(); break;
        case 296: info_->resolutionUnit = unitToInches(number()); break;
        case 306: case 36867: info_->dateTime = text(19); break;
        case 33434: info_->exposureTime = number(); break;
        case 33437: case 37378: case 37381: info_->apertureFNumber = number(); break;
        case 34855: info_->isoEquivalent = toInt(number()); break;
        case 36864: info_->version = text(4); break;
        case 37122: info_->compressionLevel = number(); break;
        case 37377: break; // shutter speed: the exposure time is kept instead
        case 37379: info_->brightness = number(); break;
        case 37380: info_->exposureBias = number(); break;
        case 37382: info_->distance = number(); break;
        case 37383: info_->meteringMode = toInt(number()); break;
        case 37384: info_->whitebalance = toInt(number()); break;
        case 37385: info_->flashUsed = toInt(number()); break;
        case 37386: info_->focalLength = number(); break;
        case 37510: info_->comment = text(255); break;
        case 40962: info_->width = toInt(number()); break;
        case 40963: info_->height = toInt(number()); break;
        case 41486: info_->focalplaneXRes = number(); break;
        case 41487: info_->focalplaneYRes = number(); break;
        case 41488: info_->focalplaneUnits = unitToInches(number()); break;
        case 34665: // EXIF sub-directory
        case 40965: { // interoperability sub-directory
            const uint32_t at = get32(entry + 8);
            if (at >= length) {
                lastError_ = "Illegal subdirectory link";
                break;
            }
            ProcessDirectory(base + at, base, length, depth + 1);
            break;
        }
        default: break;
        }
    }
    return true;
}

} // namespace tracemill
