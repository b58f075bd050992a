// The byte stream every image decoder reads through, and its implementation over a C stdio
// FILE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace tracemill {

class ImageStream {
public:
    virtual ~ImageStream() = default;
    virtual bool Close() = 0;
    // Whole items of `size` bytes read or written.
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    // origin as in stdio: SEEK_SET, SEEK_CUR, SEEK_END.
    virtual bool Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() = 0;
    virtual int64_t Size() = 0; // -1 when unknown
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual int Error() = 0;
    virtual bool PutC(uint8_t byte);
    virtual int GetC() = 0; // 0 to 255, or -1 at the end
};

class StdioImageStream : public ImageStream {
public:
    // Without a FILE every operation fails gracefully; a FILE given here is never closed by
    // the stream, so the caller keeps it.
    StdioImageStream() = default;
    explicit StdioImageStream(FILE* file) : file_(file), closeOnDestroy_(false) {}
    // Opens a file by name ("rb", "wb", ...); the stream then owns and closes it.
    StdioImageStream(const char* path, const char* mode);
    ~StdioImageStream() override;
    StdioImageStream(const StdioImageStream&) = delete;
    StdioImageStream& operator=(const StdioImageStream&) = delete;

    bool IsOpen() const { return file_ != nullptr; }

    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() override;
    int64_t Size() override;
    bool Flush() override;
    bool Eof() override;
    int Error() override;
    bool PutC(uint8_t byte) override;
    int GetC() override;

private:
    FILE* file_ = nullptr;
    bool closeOnDestroy_ = true;
};

// Reads exactly `size` bytes; false when fewer were available.
inline bool readExact(ImageStream& stream, void* buffer, size_t size) {
    return stream.Read(buffer, 1, size) == size;
}

} // namespace tracemill
