// The readers' file operations: buffered binary input over the C library's streams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace tracemill {

// Size of the full buffer given to every file the toolkit opens.
inline constexpr size_t kFileBufferSize = 8192;

// Opens a file for binary reading with a full 8,192-byte buffer; null when it cannot be
// opened (or no memory).
std::FILE* dbInFileOpen(const char* name);
void dbInFileClose(std::FILE* f);

// Nonzero once a read has met the end of the file.
int dbInFileEof(std::FILE* f);

// The next byte, or EOF (-1) at the end.
int dbInFileGetc(std::FILE* f);

// Reads one text line into buf (n bytes of room): at most n - 1 bytes and a NUL. A line
// ends after a CR or an LF, which stays in the buffer; the byte after a CR is consumed when
// it is an LF, the byte after an LF when it is a CR, so CR LF and LF CR each end one line.
// A longer line is returned in pieces of n - 1 bytes; a last line without an ending is
// returned whole. Null when n is 0 or nothing is left to read.
char* dbInFileGetLine(char* buf, size_t n, std::FILE* f);

// The length of the file; the position is kept. -1 when it cannot be determined.
long dbInFileLength(std::FILE* f);

size_t dbInFileRead(void* buf, size_t size, size_t count, std::FILE* f);

// Reads the whole file, from its start, into out: 1, or 0 when memory is short or the read
// fails.
int dbInFileReadAll(std::FILE* f, std::vector<uint8_t>& out);
int dbInFileSeek(std::FILE* f, long offset, int whence);
long dbInFileTell(std::FILE* f);

// 0 when the path exists (mode 0; other modes as the C library's access()), -1 otherwise.
int dbFileAccess(const char* path, int mode);

// Closes a reader file when it goes out of scope.
struct InFileCloser {
    void operator()(std::FILE* f) const { dbInFileClose(f); }
};
using InFilePtr = std::unique_ptr<std::FILE, InFileCloser>;

} // namespace tracemill
