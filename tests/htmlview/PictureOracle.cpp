// Test helpers around Debian's command-line picture tools.
#include "PictureOracle.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#endif

std::string RunCapture(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

TPixelImage ParsePnm(const std::string& bytes) {
    TPixelImage image;
    std::istringstream in(bytes);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    if ((magic != "P6" && magic != "P5") || maxValue != 255 || width <= 0 || height <= 0) return image;
    in.get();
    const int channels = magic == "P6" ? 3 : 1;
    std::string data(static_cast<size_t>(width) * height * channels, '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    if (in.gcount() != static_cast<std::streamsize>(data.size())) return image;
    image.Allocate(width, height);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        const auto* p = reinterpret_cast<const uint8_t*>(data.data()) + i * channels;
        uint8_t* q = image.Pixels.data() + i * 3;
        q[0] = p[channels == 3 ? 2 : 0];
        q[1] = p[channels == 3 ? 1 : 0];
        q[2] = p[0];
    }
    return image;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ComparePictures(const TPixelImage& ours, const TPixelImage& expected) {
    if (ours.Width != expected.Width || ours.Height != expected.Height)
        return "size " + std::to_string(ours.Width) + "x" + std::to_string(ours.Height) + " instead of " +
               std::to_string(expected.Width) + "x" + std::to_string(expected.Height);
    for (int y = 0; y < expected.Height; ++y)
        for (int x = 0; x < expected.Width; ++x)
            if (ours.ColorAt(x, y) != expected.ColorAt(x, y)) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel %d,%d is %06X instead of %06X", x, y,
                              ours.ColorAt(x, y), expected.ColorAt(x, y));
                return text;
            }
    return "";
}
