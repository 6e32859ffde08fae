// Whether the character advances of a GDI font can stand in for the platform's text extents: the
// one check behind every caller that sums advances instead of measuring text by text.
#pragma once

#include <windows.h>

#include <cstdint>

// Reads the advances of characters 0..255 of the font selected into dc, and returns whether sums of
// them reproduce what the platform reports for whole texts: every character alone, every printable
// character of the code page in one text (overhangs add up there), and pairs that a kerning or
// ligature-making platform would draw closer. When it returns false the advances must not be used:
// the caller asks the platform for each text.
bool TrustedAdvances(HDC dc, int32_t (&advances)[256]);
