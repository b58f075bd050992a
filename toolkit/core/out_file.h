// The writers' file operations. A file opened for writing ("w" modes) is written under a
// temporary name in the target's folder and renamed over the target only when it is closed
// without a write error: a failed save never destroys the existing file, and a file that is
// still being read is never overwritten in place.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace tracemill {

struct OutFile {
    std::FILE* stream = nullptr;
    std::string target;     // the file the caller named
    std::string temporary;  // where the data is written until the close; empty when the
                            // mode updates the target in place ("r+", "a")
    bool failed = false;    // a write or seek failed
};

// Opens `name` with the C library's mode and the 8,192-byte buffer; null when it cannot be
// opened.
OutFile* dbOutFileOpen(const char* name, const char* mode);

// Finishes the file: flushes, and for a "w" mode renames the temporary file over the target.
// 0 on success; -1 when anything failed, in which case the target is left as it was and the
// temporary file is removed. Frees `f` in both cases.
int dbOutFileClose(OutFile* f);

// Abandons a file: closes and removes the temporary file, leaving the target untouched.
void dbOutFileDiscard(OutFile* f);

// 0 on success, -1 on error.
int dbOutFilePutString(OutFile* f, const char* text);

size_t dbOutFileWrite(const void* buf, size_t size, size_t count, OutFile* f);
size_t dbOutFileRead(void* buf, size_t size, size_t count, OutFile* f);
int dbOutFileSeek(OutFile* f, long offset, int whence);
long dbOutFileTell(OutFile* f);

// A seam for tests of write failures: once `bytes` more bytes have been written to output
// files, every further write fails as a full disk would; a negative count turns it off.
void dbSetOutFileWriteLimit(long long bytes);

// Discards a file that is still open when it goes out of scope; a successful save calls
// dbOutFileClose on the released pointer.
struct OutFileDiscarder {
    void operator()(OutFile* f) const { dbOutFileDiscard(f); }
};
using OutFilePtr = std::unique_ptr<OutFile, OutFileDiscarder>;

} // namespace tracemill
