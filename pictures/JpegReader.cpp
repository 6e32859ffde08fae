// The JPEG reader over libjpeg: a memory source, an error manager that returns to us through
// longjmp, and the caller's size check between reading the header and decoding.
#include "pictures/JpegReader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

// libjpeg's header wants size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace mv::pictures {

namespace {

// A scan count far beyond what any real encoder writes: a progressive file with more is hostile
// (each scan re-runs over the whole picture).
constexpr long kMaxScans = 1000;
// libjpeg's own working memory (coefficient buffers of progressive pictures among it).
constexpr long kMaxLibraryMemory = 300'000'000;

struct TErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TErrorManager*>(cinfo->err);
    cinfo->err->format_message(cinfo, err->text);
    std::longjmp(err->jump, 1);
}
// Warnings and traces are not printed; the one that matters (the file ended early) is seen by
// the source below.
void IgnoreMessage(j_common_ptr, int) {}

struct TSource {
    jpeg_source_mgr pub;
    bool ended = false;
};

const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
// The whole file is in memory from the start; asking for more means it ended early. An inserted
// end marker lets libjpeg finish the picture with what it has.
boolean FillInput(j_decompress_ptr cinfo) {
    reinterpret_cast<TSource*>(cinfo->src)->ended = true;
    cinfo->src->next_input_byte = kFakeEoi;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}
void SkipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    while (count > static_cast<long>(src->bytes_in_buffer)) {
        count -= static_cast<long>(src->bytes_in_buffer);
        FillInput(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}
void TermSource(j_decompress_ptr) {}

void LimitScans(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->is_decompressor && d->input_scan_number > kMaxScans) {
        cinfo->err->msg_code = JERR_BAD_PROGRESSION;
        ErrorExit(cinfo);
    }
}

struct TDecodeState {
    jpeg_decompress_struct cinfo;
    TErrorManager err;
    TSource source;
    jpeg_progress_mgr progress;
    IJpegTarget* target;
    std::vector<uint8_t>* row;
    bool created = false;
    bool refused = false;
    int64_t maxBytes = 0;
};

// Everything libjpeg may leave by longjmp happens here, and this frame holds nothing that needs
// a destructor. Returns false on a library error or a refused size.
bool RunDecoder(TDecodeState& st, const void* data, size_t size) {
    jpeg_decompress_struct& cinfo = st.cinfo;
    if (setjmp(st.err.jump)) return false;
    jpeg_create_decompress(&cinfo);
    st.created = true;
    cinfo.mem->max_memory_to_use = static_cast<long>(
        std::min<int64_t>(kMaxLibraryMemory, std::min<int64_t>(st.maxBytes, 1 << 30) * 4 + 16'000'000));
    st.source.pub.init_source = InitSource;
    st.source.pub.fill_input_buffer = FillInput;
    st.source.pub.skip_input_data = SkipInput;
    st.source.pub.resync_to_restart = jpeg_resync_to_restart;
    st.source.pub.term_source = TermSource;
    st.source.pub.next_input_byte = static_cast<const JOCTET*>(data);
    st.source.pub.bytes_in_buffer = size;
    cinfo.src = &st.source.pub;
    st.progress.progress_monitor = LimitScans;
    cinfo.progress = &st.progress;

    // Between the header and the decoding the size is checked, so a hostile header stops the
    // decoder before libjpeg or the target allocates the picture.
    jpeg_read_header(&cinfo, TRUE);
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        break;
    default:
        cinfo.out_color_space = JCS_RGB;
    }
    if (!st.target->Accept(cinfo.image_width, cinfo.image_height, cinfo.out_color_space == JCS_GRAYSCALE)) {
        st.refused = true;
        return false;
    }
    jpeg_start_decompress(&cinfo);
    st.row->assign(static_cast<size_t>(cinfo.output_width) * cinfo.output_components, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION y = cinfo.output_scanline;
        JSAMPROW rows[1] = {st.row->data()};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
        uint8_t* out = st.target->Row(y);
        const uint8_t* in = st.row->data();
        const JDIMENSION w = cinfo.output_width;
        switch (cinfo.out_color_space) {
        case JCS_GRAYSCALE:
            for (JDIMENSION x = 0; x < w; ++x)
                out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = in[x];
            break;
        case JCS_CMYK:
            // Adobe writes its CMYK inverted: each value is already "amount of light".
            for (JDIMENSION x = 0; x < w; ++x) {
                const unsigned k = in[x * 4 + 3];
                out[x * 3] = static_cast<uint8_t>(in[x * 4 + 2] * k / 255);
                out[x * 3 + 1] = static_cast<uint8_t>(in[x * 4 + 1] * k / 255);
                out[x * 3 + 2] = static_cast<uint8_t>(in[x * 4] * k / 255);
            }
            break;
        default:
            for (JDIMENSION x = 0; x < w; ++x) {
                out[x * 3] = in[x * 3 + 2];
                out[x * 3 + 1] = in[x * 3 + 1];
                out[x * 3 + 2] = in[x * 3];
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

} // namespace

TJpegResult ReadJpeg(const void* data, size_t size, int64_t maxBytes, IJpegTarget& target) {
    std::vector<uint8_t> row;
    TDecodeState st{};
    st.target = &target;
    st.row = &row;
    st.maxBytes = maxBytes;
    st.cinfo.err = jpeg_std_error(&st.err.pub);
    st.err.pub.error_exit = ErrorExit;
    st.err.pub.emit_message = IgnoreMessage;
    struct TDestroy {
        TDecodeState& st;
        ~TDestroy() {
            if (st.created) jpeg_destroy_decompress(&st.cinfo);
        }
    } destroy{st};
    TJpegResult result;
    if (RunDecoder(st, data, size)) {
        result.Status = TJpegStatus::Decoded;
        result.Truncated = st.source.ended;
    } else if (st.refused) {
        result.Status = TJpegStatus::Refused;
    } else {
        result.ErrorCode = st.err.pub.msg_code;
        result.ErrorText = st.err.text;
    }
    return result;
}

} // namespace mv::pictures
