// The reference compositor: whole screens, copied whole for disposal 3.
#include "GifReference.h"

namespace mv::test {

std::vector<TReferenceScreen> ComposeByTheRules(int sw, int sh, const std::vector<TReferenceImage>& images) {
    const size_t pixels = static_cast<size_t>(sw) * sh;
    TReferenceScreen screen{sw, sh, std::vector<uint32_t>(pixels, 0), std::vector<uint8_t>(pixels, 1)};
    std::vector<TReferenceScreen> frames;
    for (const TReferenceImage& image : images) {
        const TReferenceScreen before = screen;
        for (int r = 0; r < image.height; ++r)
            for (int c = 0; c < image.width; ++c) {
                const int x = image.left + c, y = image.top + r;
                const int p = image.indexes[static_cast<size_t>(r) * image.width + c];
                if (x >= sw || y >= sh || p == image.transparent) continue;
                const size_t at = static_cast<size_t>(y) * sw + x;
                screen.color[at] = p < static_cast<int>(image.colors.size()) ? image.colors[p] : 0;
                screen.seeThrough[at] = 0;
            }
        frames.push_back(screen);
        if (image.disposal == 3) screen = before;
        if (image.disposal == 2)
            for (int y = image.top; y < image.top + image.height && y < sh; ++y)
                for (int x = image.left; x < image.left + image.width && x < sw; ++x) {
                    screen.color[static_cast<size_t>(y) * sw + x] = 0;
                    screen.seeThrough[static_cast<size_t>(y) * sw + x] = 1;
                }
    }
    return frames;
}

} // namespace mv::test
