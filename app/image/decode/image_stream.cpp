#include "app/image/decode/image_stream.h"

namespace tracemill {

bool ImageStream::PutC(uint8_t byte) { return Write(&byte, 1, 1) == 1; }

StdioImageStream::StdioImageStream(const char* path, const char* mode)
    : file_(std::fopen(path, mode)), closeOnDestroy_(true) {}

StdioImageStream::~StdioImageStream() { Close(); }

bool StdioImageStream::Close() {
    if (!file_ || !closeOnDestroy_) return true;
    bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

size_t StdioImageStream::Read(void* buffer, size_t size, size_t count) {
    if (!file_ || size == 0) return 0;
    return std::fread(buffer, size, count, file_);
}

size_t StdioImageStream::Write(const void* buffer, size_t size, size_t count) {
    if (!file_ || size == 0) return 0;
    return std::fwrite(buffer, size, count, file_);
}

bool StdioImageStream::Seek(int64_t offset, int origin) {
    if (!file_) return false;
    return fseeko(file_, off_t(offset), origin) == 0;
}

int64_t StdioImageStream::Tell() {
    if (!file_) return 0;
    return int64_t(ftello(file_));
}

int64_t StdioImageStream::Size() {
    if (!file_) return -1;
    off_t position = ftello(file_);
    if (position < 0 || fseeko(file_, 0, SEEK_END) != 0) return -1;
    off_t size = ftello(file_);
    fseeko(file_, position, SEEK_SET);
    return int64_t(size);
}

bool StdioImageStream::Flush() { return file_ && std::fflush(file_) == 0; }

bool StdioImageStream::Eof() { return !file_ || std::feof(file_) != 0; }

int StdioImageStream::Error() { return file_ ? std::ferror(file_) : -1; }

bool StdioImageStream::PutC(uint8_t byte) { return file_ && std::fputc(byte, file_) == byte; }

int StdioImageStream::GetC() {
    if (!file_) return -1;
    int c = std::fgetc(file_);
    return c == EOF ? -1 : c;
}

} // namespace tracemill
