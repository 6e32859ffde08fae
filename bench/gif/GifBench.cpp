// gif_bench: loading a 500 x 500 GIF of 100 frames and a large photo-like single-frame GIF and
// composing every frame in turn (the animation played once), against giflib's DGifSlurp of the
// same bytes followed by a plain loop drawing each frame on one canvas. Both files are written by
// giflib's encoder, so their LZW streams are those of a real encoder. The ratios are printed at
// the end. Then the memory of a big animation (783 frames of 640 x 421) while it plays: the
// peak of the heap against the file's size plus four 32-bit screens.
#include <benchmark/benchmark.h>

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "htmlview/GifDecoder.h"
#include "bench/support/MedianReporter.h"

// The heap's live and peak bytes, counted by this program's operator new and delete.
namespace {
size_t liveBytes = 0, peakBytes = 0;
} // namespace

void* operator new(size_t size) {
    auto* block = static_cast<size_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (!block) throw std::bad_alloc();
    *block = size;
    liveBytes += size;
    peakBytes = std::max(peakBytes, liveBytes);
    return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}
void operator delete(void* p) noexcept {
    if (!p) return;
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(p) - sizeof(std::max_align_t));
    liveBytes -= *block;
    std::free(block);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace {

int WriteToString(GifFileType* gif, const GifByteType* data, int count) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), count);
    return count;
}

// A GIF of the given frames (each width x height indexes) with a 3-3-2 colour cube as its table;
// frames after the first cover a moving band only, with a transparent index, as animations do.
std::string Encode(int width, int height, const std::vector<std::vector<uint8_t>>& frames, bool band) {
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToString, &error);
    GifColorType colors[256];
    for (int i = 0; i < 256; ++i)
        colors[i] = GifColorType{static_cast<GifByteType>((i >> 5) * 255 / 7),
                                 static_cast<GifByteType>(((i >> 2) & 7) * 255 / 7),
                                 static_cast<GifByteType>((i & 3) * 255 / 3)};
    ColorMapObject* map = GifMakeMapObject(256, colors);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    for (size_t f = 0; f < frames.size(); ++f) {
        GraphicsControlBlock gcb{band && f > 0 ? DISPOSE_DO_NOT : DISPOSAL_UNSPECIFIED, false, 4,
                                 band && f > 0 ? 0 : NO_TRANSPARENT_COLOR};
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        const int top = band && f > 0 ? static_cast<int>(f * 3 % (height - 100)) : 0;
        const int rows = band && f > 0 ? 100 : height;
        EGifPutImageDesc(gif, 0, top, width, rows, false, nullptr);
        for (int y = 0; y < rows; ++y)
            EGifPutLine(gif, const_cast<GifByteType*>(frames[f].data() + static_cast<size_t>(y) * width),
                        width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

uint8_t Quantize(double r, double g, double b) {
    auto c = [](double v, int levels) {
        return std::clamp(static_cast<int>(v * (levels - 1) + 0.5), 0, levels - 1);
    };
    return static_cast<uint8_t>((c(r, 8) << 5) | (c(g, 8) << 2) | c(b, 4));
}

const std::string& Animation() {
    static const std::string bytes = [] {
        const int w = 500, h = 500;
        std::vector<std::vector<uint8_t>> frames;
        for (int f = 0; f < 100; ++f) {
            std::vector<uint8_t> px(static_cast<size_t>(w) * h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const double t = f * 0.1;
                    const double v = 0.5 + 0.5 * std::sin(x * 0.05 + t) * std::cos(y * 0.04 - t);
                    px[static_cast<size_t>(y) * w + x] =
                        (x + y + f) % 17 == 0 ? 0 : Quantize(v, 1 - v, (x ^ y) % 64 / 63.0);
                }
            frames.push_back(std::move(px));
        }
        return Encode(w, h, frames, true);
    }();
    return bytes;
}

const std::string& Photo() {
    static const std::string bytes = [] {
        const int w = 2000, h = 1500;
        std::vector<uint8_t> px(static_cast<size_t>(w) * h);
        unsigned noise = 12345;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                noise = noise * 1103515245 + 12345;
                const double n = ((noise >> 16) & 255) / 255.0 * 0.15;
                const double r = 0.5 + 0.4 * std::sin(x * 0.003) + n;
                const double g = 0.5 + 0.4 * std::cos(y * 0.004 + x * 0.001) - n;
                const double b = 0.5 + 0.3 * std::sin((x + y) * 0.002);
                px[static_cast<size_t>(y) * w + x] =
                    Quantize(std::clamp(r, 0.0, 1.0), std::clamp(g, 0.0, 1.0), b);
            }
        return Encode(w, h, {px}, false);
    }();
    return bytes;
}

void Ours(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        TGif gif;
        gif.LoadFromBytes(bytes.data(), bytes.size());
        TGifComposer composer(gif);
        for (int i = 0; i < gif.ImageCount(); ++i) {
            composer.Seek(i);
            benchmark::DoNotOptimize(composer.Pixels().Pixels.data());
        }
    }
}

struct TInput {
    const std::string* bytes;
    size_t pos;
};
int ReadFromString(GifFileType* gif, GifByteType* buffer, int count) {
    auto* in = static_cast<TInput*>(gif->UserData);
    const size_t n = std::min<size_t>(count, in->bytes->size() - in->pos);
    std::memcpy(buffer, in->bytes->data() + in->pos, n);
    in->pos += n;
    return static_cast<int>(n);
}

// giflib's decoding and the same strip: each frame copied from the one before, drawn pixels
// written from their colour table, a mask when any frame is transparent.
void Giflib(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        TInput input{&bytes, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&input, ReadFromString, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib failed");
            return;
        }
        const int sw = gif->SWidth, sh = gif->SHeight, n = gif->ImageCount;
        std::vector<GraphicsControlBlock> gcb(n);
        for (int i = 0; i < n; ++i) {
            gcb[i] = GraphicsControlBlock{0, false, 0, NO_TRANSPARENT_COLOR};
            DGifSavedExtensionToGCB(gif, i, &gcb[i]);
        }
        // One canvas; every frame of these files is left in place (no disposal to undo).
        const size_t stride = static_cast<size_t>(sw) * 3;
        std::vector<uint8_t> canvas(stride * sh, 0);
        std::vector<uint8_t> mask(static_cast<size_t>(sw) * sh, 1);
        for (int i = 0; i < n; ++i) {
            const SavedImage& frame = gif->SavedImages[i];
            const GifImageDesc& d = frame.ImageDesc;
            const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
            const int t = gcb[i].TransparentColor;
            for (int r = 0; r < d.Height && d.Top + r < sh; ++r) {
                const uint8_t* src = frame.RasterBits + static_cast<size_t>(r) * d.Width;
                uint8_t* dst = canvas.data() + (d.Top + r) * stride + static_cast<size_t>(d.Left) * 3;
                uint8_t* m = mask.data() + static_cast<size_t>(d.Top + r) * sw + d.Left;
                for (int c = 0; c < d.Width && d.Left + c < sw; ++c) {
                    const int p = src[c];
                    if (p == t) continue;
                    const GifColorType& col = map->Colors[p < map->ColorCount ? p : 0];
                    dst[c * 3] = col.Blue, dst[c * 3 + 1] = col.Green, dst[c * 3 + 2] = col.Red;
                    m[c] = 0;
                }
            }
            benchmark::DoNotOptimize(canvas.data());
        }
        benchmark::DoNotOptimize(canvas.data());
        DGifCloseFile(gif, &error);
    }
}

void BM_Animation_TGif(benchmark::State& s) {
    Ours(s, Animation());
}
void BM_Animation_Giflib(benchmark::State& s) {
    Giflib(s, Animation());
}
void BM_Photo_TGif(benchmark::State& s) {
    Ours(s, Photo());
}
void BM_Photo_Giflib(benchmark::State& s) {
    Giflib(s, Photo());
}
BENCHMARK(BM_Animation_TGif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Animation_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Photo_TGif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Photo_Giflib)->Unit(benchmark::kMillisecond);

// 783 frames of 640 x 421 (as big as a real animation that needs a 633 MB strip of frames), each
// a band of 60 rows moving down over the picture; frames are made one at a time while encoding.
std::string BigAnimation() {
    const int w = 640, h = 421, n = 783, band = 60;
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToString, &error);
    GifColorType colors[256];
    for (int i = 0; i < 256; ++i)
        colors[i] = GifColorType{static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i),
                                 static_cast<GifByteType>(i * 7)};
    ColorMapObject* map = GifMakeMapObject(256, colors);
    EGifPutScreenDesc(gif, w, h, 8, 0, map);
    std::vector<uint8_t> row(w);
    for (int f = 0; f < n; ++f) {
        GraphicsControlBlock gcb{f == 0 ? DISPOSE_DO_NOT : DISPOSE_PREVIOUS, false, 4, NO_TRANSPARENT_COLOR};
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        const int top = f == 0 ? 0 : f * 5 % (h - band), rows = f == 0 ? h : band;
        EGifPutImageDesc(gif, 0, top, w, rows, false, nullptr);
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < w; ++x)
                row[x] = static_cast<uint8_t>(f == 0 ? (x / 40 + (top + y) / 40) * 16 : (x + f) / 8);
            EGifPutLine(gif, row.data(), w);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

// Loads the big animation and plays it through once, reporting the heap's peak above what was
// live before, the file's size and the bound (the file plus four screens at 4 bytes a pixel).
void BM_BigAnimationMemory(benchmark::State& state) {
    static const std::string bytes = BigAnimation();
    for (auto _ : state) {
        const size_t before = liveBytes;
        peakBytes = liveBytes;
        TGif gif;
        gif.LoadFromBytes(bytes.data(), bytes.size());
        TGifComposer composer(gif);
        for (int i = 0; i < gif.ImageCount(); ++i)
            composer.Seek(i);
        const double screen = 4.0 * gif.ScreenWidth() * gif.ScreenHeight();
        state.counters["frames"] = gif.ImageCount();
        state.counters["file_MB"] = bytes.size() / 1e6;
        state.counters["peak_MB"] = (peakBytes - before) / 1e6;
        state.counters["bound_MB"] = (bytes.size() + 4 * screen) / 1e6;
        state.counters["strip_MB"] = 3.0 * gif.ScreenWidth() * gif.ScreenHeight() * gif.ImageCount() / 1e6;
    }
}
BENCHMARK(BM_BigAnimationMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    std::printf("animation: %zu bytes, photo: %zu bytes\n", Animation().size(), Photo().size());
    TMedianReporter reporter;
    RunBenchmarks(argc, argv, reporter);
    // Real time, which includes the page faults of the large strips; the thread's CPU time beside it.
    std::printf("\nmedians of the rounds, the lowest and the highest in brackets:\n");
    for (const char* what : {"Animation", "Photo"}) {
        const std::string ours = std::string("BM_") + what + "_TGif",
                          base = std::string("BM_") + what + "_Giflib";
        PrintComparison(std::string(what) + ": ours / giflib", reporter.Ratio(ours, base), "ms");
        const double o = reporter.MedianCpu(ours), b = reporter.MedianCpu(base);
        if (o > 0 && b > 0) std::printf("    CPU time: %.2f ms / %.2f ms = %.2fx\n", o, b, o / b);
    }
    benchmark::Shutdown();
    return 0;
}
