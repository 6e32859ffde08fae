// Widths of many short texts in one GDI font, for the side panel's column count: summed from the
// font's character advances when a probe shows that they add up to exactly what the platform
// reports for a whole text, else asked of the platform text by text. The probe is made once for a
// font; the owner keeps the object while that font stays and hands in a DC with it selected.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class TTitleWidths {
public:
    // Probes the font selected into dc.
    explicit TTitleWidths(HDC dc);
    // dc has the probed font selected (the platform answers for texts the advances cannot).
    int32_t Width(HDC dc, const std::string& text) const;
    // Whether widths are sums of advances (the probe agreed with the platform).
    bool Summed() const { return summed_; }

private:
    bool summed_ = false;
    int32_t advances_[256] = {};
};
