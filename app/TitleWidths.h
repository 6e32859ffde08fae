// Widths of many short texts in one GDI font, for the side panel's column count: summed from the
// font's character advances when a probe shows that they add up to exactly what the platform
// reports for a whole text, else asked of the platform text by text. Lives for one measuring pass
// (the advances belong to the font selected now, not to a handle that may be reused later).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class TTitleWidths {
public:
    // dc has the font to measure with selected, and keeps it while this object lives.
    explicit TTitleWidths(HDC dc);
    int32_t Width(const std::string& text) const;
    // Whether widths are sums of advances (the probe agreed with the platform).
    bool Summed() const { return summed_; }

private:
    HDC dc_;
    bool summed_ = false;
    int32_t advances_[256] = {};
};
