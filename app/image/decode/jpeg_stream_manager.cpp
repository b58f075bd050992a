#include "app/image/decode/jpeg_stream_manager.h"

#include <cstddef>

#include "app/image/decode/image_stream.h"

namespace tracemill {

namespace {

JpegStreamManager* manager(j_decompress_ptr cinfo) {
    return reinterpret_cast<JpegStreamManager*>(reinterpret_cast<char*>(cinfo->src) -
                                                offsetof(JpegStreamManager, pub));
}

void initSource(j_decompress_ptr cinfo) { manager(cinfo)->startOfFile = true; }

boolean fillInputBuffer(j_decompress_ptr cinfo) {
    JpegStreamManager* m = manager(cinfo);
    size_t got = m->stream->Read(m->buffer.data(), 1, m->buffer.size());
    if (got == 0) {
        if (m->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        m->buffer[0] = 0xFF;
        m->buffer[1] = JPEG_EOI;
        got = 2;
    }
    m->pub.next_input_byte = m->buffer.data();
    m->pub.bytes_in_buffer = got;
    m->startOfFile = false;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    JpegStreamManager* m = manager(cinfo);
    size_t n = size_t(count);
    while (n > m->pub.bytes_in_buffer) {
        n -= m->pub.bytes_in_buffer;
        fillInputBuffer(cinfo);
    }
    m->pub.next_input_byte += n;
    m->pub.bytes_in_buffer -= n;
}

void termSource(j_decompress_ptr) {}

JpegStreamManager* manager(j_compress_ptr cinfo) {
    return reinterpret_cast<JpegStreamManager*>(reinterpret_cast<char*>(cinfo->dest) -
                                                offsetof(JpegStreamManager, destination));
}

void initDestination(j_compress_ptr cinfo) {
    JpegStreamManager* m = manager(cinfo);
    m->destination.next_output_byte = m->buffer.data();
    m->destination.free_in_buffer = m->buffer.size();
}

boolean emptyOutputBuffer(j_compress_ptr cinfo) {
    JpegStreamManager* m = manager(cinfo);
    if (m->stream->Write(m->buffer.data(), 1, m->buffer.size()) != m->buffer.size())
        ERREXIT(cinfo, JERR_FILE_WRITE);
    m->destination.next_output_byte = m->buffer.data();
    m->destination.free_in_buffer = m->buffer.size();
    return TRUE;
}

// Writes what is left in the buffer; a short write, a failed flush or a stream in error all
// mean the file is incomplete.
void termDestination(j_compress_ptr cinfo) {
    JpegStreamManager* m = manager(cinfo);
    const size_t count = m->buffer.size() - m->destination.free_in_buffer;
    if (count > 0 && m->stream->Write(m->buffer.data(), 1, count) != count) ERREXIT(cinfo, JERR_FILE_WRITE);
    const bool flushed = m->stream->Flush();
    if (!flushed || m->stream->Error() != 0) ERREXIT(cinfo, JERR_FILE_WRITE);
}

} // namespace

void JpegStreamManager::Attach(j_decompress_ptr cinfo, ImageStream& source) {
    stream = &source;
    pub.init_source = initSource;
    pub.fill_input_buffer = fillInputBuffer;
    pub.skip_input_data = skipInputData;
    pub.resync_to_restart = jpeg_resync_to_restart;
    pub.term_source = termSource;
    pub.bytes_in_buffer = 0;
    pub.next_input_byte = nullptr;
    cinfo->src = &pub;
}

void JpegStreamManager::Attach(j_compress_ptr cinfo, ImageStream& target) {
    stream = &target;
    destination.init_destination = initDestination;
    destination.empty_output_buffer = emptyOutputBuffer;
    destination.term_destination = termDestination;
    cinfo->dest = &destination;
}

} // namespace tracemill
