// Font style bits, shared by the GUI library's fonts and the HTML display's fonts (both are
// used in one translation unit by the HTML viewer control).
#pragma once

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
