// A file read whole into a toolkit stream: the contents of an RTEXT that names a file.
#pragma once

namespace tracemill {

struct PagedStream;

// A new stream of 4,096-byte pages holding the whole file (found through the shared file-name
// resolver), or null when the file cannot be opened or memory runs out. The caller destroys it
// (dbStreamDestroy).
PagedStream* genReadFileToStream(const char* path);

} // namespace tracemill
