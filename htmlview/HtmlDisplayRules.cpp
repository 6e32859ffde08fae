// The viewer's window-free rules.
#include "htmlview/HtmlDisplayRules.h"

#include <algorithm>
#include <cstdlib>

#include "base/StrUtils.h"

int32_t ClampScroll(int64_t v, int32_t documentHeight, int32_t panelHeight) {
    const int64_t top = std::max<int64_t>(0, static_cast<int64_t>(documentHeight) - panelHeight);
    return static_cast<int32_t>(std::clamp<int64_t>(v, 0, top));
}

TBarChoice ChooseScrollBars(THvScrollStyle style, bool alwaysVertical, int32_t w, int32_t h, int32_t b,
                            int32_t s, int32_t dh, int32_t dw) {
    TBarChoice c;
    const bool vertStyle = style == THvScrollStyle::ssVertical || style == THvScrollStyle::ssBoth;
    if (style == THvScrollStyle::ssNone) return c;
    if (!alwaysVertical && dh < h - 2 * b && dw <= w - 2 * b) return c;
    if (vertStyle) {
        const bool v1 = !(dh < h - 2 * b &&
                          (style == THvScrollStyle::ssVertical || dh < h - 2 * b - s || dw <= w - s - 2 * b));
        c.Needed = v1;
        c.Horizontal = style == THvScrollStyle::ssBoth &&
                       (dw > w - 2 * b || ((v1 || alwaysVertical) && dw > w - s - 2 * b));
        c.Vertical = v1 || alwaysVertical;
    } else {
        c.Horizontal = dw > w - 2 * b;
    }
    return c;
}

int32_t VerticalLargeChange(int32_t panelHeight) {
    return std::max(1, panelHeight - 16);
}

int32_t HorizontalLargeChange(int32_t width) {
    return std::max(1, width - 20);
}

int32_t PanStep(int32_t d) {
    if (d < -60) return -32;
    if (d < -20) return -8;
    if (d > 60) return 32;
    if (d > 20) return 8;
    return 0;
}

int32_t SelectScrollStep(int32_t y, int32_t height, int32_t smallChange) {
    if (y < -15) return -8 * smallChange;
    if (y > height + 15) return 8 * smallChange;
    return y <= 0 ? -smallChange : smallChange;
}

bool AutoScrollContinues(bool autoScrolling, bool leftButtonDown, bool panning, int32_t y, int32_t height,
                         int32_t panAnchorY) {
    return (autoScrolling && leftButtonDown && (y < 1 || y > height)) ||
           (panning && std::abs(y - panAnchorY) >= 21);
}

int32_t WheelTarget(int32_t current, int32_t wheelDelta, int32_t documentHeight, int32_t panelHeight) {
    return ClampScroll(static_cast<int64_t>(current) - wheelDelta / 2, documentHeight, panelHeight);
}

std::string SplitFragment(std::string& reference) {
    const size_t hash = reference.find('#');
    if (hash == std::string::npos) return {};
    std::string dest = reference.substr(hash + 1, 255);
    reference.resize(hash);
    return dest;
}

bool ParseRefresh(std::string_view content, int32_t& delay, std::string& url) {
    const size_t semi = content.find(';');
    const std::string number = Trim(std::string(content.substr(0, semi)));
    if (number.empty()) return false;
    char* end = nullptr;
    const long value = std::strtol(number.c_str(), &end, 10);
    if (*end != '\0' || value < 0 || value > 0x7FFFFFFF) return false;
    delay = value == 0 ? 1 : static_cast<int32_t>(value);
    const std::string upper = UpperCase(content);
    const size_t at = upper.find("URL=");
    url = at == std::string::npos ? std::string() : std::string(content.substr(at + 4));
    return true;
}

TLinkKind LinkKindOf(std::string_view path) {
    const size_t dot = path.find_last_of(".\\/:");
    if (dot == std::string_view::npos || path[dot] != '.') return TLinkKind::Other;
    const std::string ext = UpperCase(path.substr(dot, 5));
    if (ext == ".HTM" || ext == ".HTML") return TLinkKind::Html;
    if (ext == ".BMP" || ext == ".GIF" || ext == ".JPG" || ext == ".JPEG" || ext == ".PNG")
        return TLinkKind::Image;
    return TLinkKind::Other;
}
