// The viewer's rules that need no window: scroll clamping, the choice of scroll bars, the
// auto-scroll and panning steps, the wheel, fragments of references, META refresh, the kind of
// a link's target and word characters. THtmlDisplay applies them; tests check them natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A vertical position kept inside the document: max(0, min(v, document - panel)), so a document
// shorter than the panel always gives 0.
int32_t ClampScroll(int64_t v, int32_t documentHeight, int32_t panelHeight);

enum class THvScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

struct TBarChoice {
    bool Horizontal = false;
    bool Vertical = false;
    bool Needed = false; // the document needs the vertical bar (enabled state with always-shown)
};
// Which bars show for a viewer w x h with a frame of b pixels, bars s pixels thick, and a document
// dh x dw (dw already capped).
TBarChoice ChooseScrollBars(THvScrollStyle style, bool alwaysVertical, int32_t w, int32_t h, int32_t b,
                            int32_t s, int32_t dh, int32_t dw);

// The vertical bar's page step for a paint panel ph high: never below 1, even in a short viewer.
int32_t VerticalLargeChange(int32_t panelHeight);
// The horizontal bar's page step for a usable width.
int32_t HorizontalLargeChange(int32_t width);

// One step of middle-button panning for a mouse d pixels below the anchor (0 inside the dead zone).
int32_t PanStep(int32_t d);
// One step of selection auto-scrolling for a mouse at panel y in a viewer `height` high.
int32_t SelectScrollStep(int32_t y, int32_t height, int32_t smallChange);
// Whether the auto-scroll loop goes on.
bool AutoScrollContinues(bool autoScrolling, bool leftButtonDown, bool panning, int32_t y, int32_t height,
                         int32_t panAnchorY);

// The wheel: 120 a notch moves 60 pixels; clamped like the keys and the bar.
int32_t WheelTarget(int32_t current, int32_t wheelDelta, int32_t documentHeight, int32_t panelHeight);

// Splits "file#name": Reference becomes the part before the first '#', the result is the name
// after it (at most 255 characters), empty without '#'.
std::string SplitFragment(std::string& reference);

// A META refresh: the delay (0 becomes 1) and the URL after "url=", or false when the content's
// delay is not a number.
bool ParseRefresh(std::string_view content, int32_t& delay, std::string& url);

enum class TLinkKind { Html, Image, Other };
// What following a link to this file does, by its extension's first five characters.
TLinkKind LinkKindOf(std::string_view path);

// Letters and digits of the word selection: 0-9, A-Z, a-z and codes 192..255.
inline bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 192;
}
