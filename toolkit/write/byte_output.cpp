#include "toolkit/write/byte_output.h"

#include "toolkit/core/byte_order.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

int wrPutBytes(OutputContext& output, const void* buffer, size_t count) {
    if (count == 0) return 1;
    for (;;) {
        if (output.file && dbOutFileWrite(buffer, 1, count, output.file.get()) == count) return 1;
        dbSetError(kErrorWriteFailed);
        if (!output.file || !gSystemContext) return 0;
        if (!gSystemContext->errorReplyCallback) {
            if (gSystemContext->errorCallback) gSystemContext->errorCallback(kErrorReasonWriteFailed);
            return 0;
        }
        const int reply = gSystemContext->errorReplyCallback(kErrorReasonWriteFailed);
        if (reply == kWriteReplyGiveUp) return 0;
        if (reply == kWriteReplyClose) {
            output.file.reset();
            gSystemContext->errorReplyCallback(kErrorReasonOutputClosed);
            return 0;
        }
        // A retry writes the whole piece again from a clean stream state.
        std::clearerr(output.file->stream);
        output.file->failed = false;
    }
}

int wrPutRawShort(OutputContext& output, uint16_t value) {
    uint8_t bytes[2];
    putLe16(bytes, value);
    return wrPutBytes(output, bytes, sizeof bytes);
}

int wrPutRawLong(OutputContext& output, uint32_t value) {
    uint8_t bytes[4];
    putLe32(bytes, value);
    return wrPutBytes(output, bytes, sizeof bytes);
}

int wrPutRawQword(OutputContext& output, uint64_t value) {
    uint8_t bytes[8];
    putLe64(bytes, value);
    return wrPutBytes(output, bytes, sizeof bytes);
}

int wrFlushPending(OutputContext& output) {
    if (output.pending.empty()) return 1;
    const int ok = wrPutBytes(output, output.pending.data(), output.pending.size());
    output.pending.clear();
    return ok;
}

int wrCloseOutput(OutputContext& output) {
    if (!wrFlushPending(output)) return 0;
    if (!output.file) return dbSetError(kErrorWriteFailed);
    if (dbOutFileClose(output.file.release()) != 0) return dbSetError(kErrorWriteFailed);
    return 1;
}

} // namespace tracemill
