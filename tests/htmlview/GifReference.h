// A reference compositor for animated GIFs, written from the GIF89a rules for the tests: it takes
// each image's decoded colour indexes (from whichever decoder the test trusts) and composes the
// frames the plain way, a whole screen at a time, to check the viewer's composer against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// In a namespace of its own: a program that holds these tests also holds the GUI library, whose
// classes live in the global namespace.
namespace mv::test {

struct TReferenceImage {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> indexes; // width * height, top row first
    std::vector<uint32_t> colors; // the image's colour table, 0x00BBGGRR
    int transparent = -1;         // the transparent index, -1 when none
    int disposal = 0;             // 0..3
};

// One composed screen: a colour (0x00BBGGRR) and a see-through flag per pixel, row by row.
struct TReferenceScreen {
    int width = 0, height = 0;
    std::vector<uint32_t> color;
    std::vector<uint8_t> seeThrough;
};

// The logical screen starts as background (see-through: what lies behind the picture shows),
// each image is drawn at its position with its transparent index leaving what is below, the
// screen after drawing is the frame, and then the image's disposal method acts: 2 restores its
// rectangle to the background, 3 restores the whole screen as it was before the image was drawn.
// An index past the colour table draws black.
std::vector<TReferenceScreen> ComposeByTheRules(int screenWidth, int screenHeight,
                                                const std::vector<TReferenceImage>& images);

} // namespace mv::test
