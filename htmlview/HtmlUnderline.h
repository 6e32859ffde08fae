// Underlined text drawn by hand: the plain font's glyphs and then the underline bar. Some
// platforms (Wine) spend far more on an underlined font's text than on the plain font's, and a
// page of links is mostly underlined text. Used only for a font whose hand-drawn underline was
// checked once to give exactly the platform's pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "htmlview/HtmlCanvas.h"

struct TUnderlineBar {
    int32_t Top;       // from the baseline (negative above it)
    int32_t Thickness; // at least 1
};

// For text in font (underlined, as underlinedFont) on a screen-like DC: the bar to draw under the
// plain font's text (plainFont) so that the two give the platform's underlined text; nothing when
// they differ or the font has no outline metrics. Checked once per face, size, charset and style.
std::optional<TUnderlineBar> HandDrawnUnderline(const TMyFont& font, HFONT underlinedFont, HFONT plainFont);
