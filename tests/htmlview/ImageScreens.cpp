// The tests' pictures as PNG files.
#include "ImageScreens.h"

#include "tests/support/PngFile.h"

#include <cstdint>

void SaveScreenPng(const std::string& name, const TPixelImage& image) {
    mv::test::WriteFile(MV_SCREENS_DIR, name + ".png",
                        mv::test::EncodePng(image.Width, image.Height, [&image](int y, uint8_t* rgb) {
                            const uint8_t* row = image.Row(y);
                            for (int x = 0; x < image.Width; ++x) {
                                rgb[x * 3] = row[x * 3 + 2];
                                rgb[x * 3 + 1] = row[x * 3 + 1];
                                rgb[x * 3 + 2] = row[x * 3];
                            }
                        }));
}
