// The JPEG reader over libjpeg: a memory source, an error manager that returns to us through
// longjmp, and a size check between reading the header and decoding.
#include "htmlview/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// A scan count far beyond what any real encoder writes: a progressive file with more is hostile
// (each scan re-runs over the whole picture).
constexpr long kMaxScans = 1000;
// libjpeg's own working memory (coefficient buffers of progressive pictures among it).
constexpr long kMaxLibraryMemory = 300'000'000;

struct TErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TErrorManager*>(cinfo->err)->jump, 1);
}
void IgnoreMessage(j_common_ptr, int) {}

const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
// The whole file is in memory from the start; asking for more means it ended early. An inserted
// end marker lets libjpeg finish the picture with what it has.
boolean FillInput(j_decompress_ptr cinfo) {
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
    jpeg_source_mgr source;
    jpeg_progress_mgr progress;
    TPixelImage* image;
    std::vector<uint8_t>* row;
    bool created = false;
    bool tooBig = false;
    int64_t maxBytes = kMaxPictureBytes;
};

// Everything libjpeg may leave by longjmp happens here, and this frame holds nothing that needs
// a destructor. Returns false on a library error (its code is in err.pub.msg_code).
bool RunDecoder(TDecodeState& st, const void* data, size_t size) {
    jpeg_decompress_struct& cinfo = st.cinfo;
    if (setjmp(st.err.jump)) return false;
    // Between the header and the decoding the size is checked, so a hostile header stops the
    // decoder before libjpeg or we allocate the picture.
    jpeg_create_decompress(&cinfo);
    st.created = true;
    cinfo.mem->max_memory_to_use = static_cast<long>(
        std::min<int64_t>(kMaxLibraryMemory, std::min<int64_t>(st.maxBytes, 1 << 30) * 4 + 16'000'000));
    st.source.init_source = InitSource;
    st.source.fill_input_buffer = FillInput;
    st.source.skip_input_data = SkipInput;
    st.source.resync_to_restart = jpeg_resync_to_restart;
    st.source.term_source = TermSource;
    st.source.next_input_byte = static_cast<const JOCTET*>(data);
    st.source.bytes_in_buffer = size;
    cinfo.src = &st.source;
    st.progress.progress_monitor = LimitScans;
    cinfo.progress = &st.progress;

    jpeg_read_header(&cinfo, TRUE);
    const int64_t bytes = int64_t{cinfo.image_width} * cinfo.image_height * 3;
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || bytes > st.maxBytes ||
        cinfo.image_width > 65500 || cinfo.image_height > 65500) {
        st.tooBig = true;
        return false;
    }
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
    jpeg_start_decompress(&cinfo);
    st.image->Allocate(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    st.row->assign(static_cast<size_t>(cinfo.output_width) * cinfo.output_components, 0);
    st.image->Grayscale = cinfo.out_color_space == JCS_GRAYSCALE;
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION y = cinfo.output_scanline;
        JSAMPROW rows[1] = {st.row->data()};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
        uint8_t* out = st.image->Row(static_cast<int>(y));
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

TPixelImage DecodeJpeg(const void* data, size_t size, int64_t maxBytes) {
    TPixelImage image;
    std::vector<uint8_t> row;
    TDecodeState st{};
    st.image = &image;
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
    const bool ok = RunDecoder(st, data, size);
    if (st.tooBig) throw EOutOfMemory();
    if (!ok) {
        char text[40];
        std::snprintf(text, sizeof text, "JPEG error #%d", st.err.pub.msg_code);
        throw EInvalidGraphicOperation(text);
    }
    return image;
}
