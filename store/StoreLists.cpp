// Reading the lines of the store's lists.
#include "store/StoreLists.h"

#include "base/StrUtils.h"

std::string ListLineTitle(std::string_view line) {
    const size_t eq = line.rfind('=');
    return std::string(eq == std::string_view::npos ? line : line.substr(0, eq));
}

int32_t ListLineID(std::string_view line) {
    const size_t eq = line.rfind('=');
    int32_t id = -1;
    if (eq == std::string_view::npos || !TryStrToInt(line.substr(eq + 1), id)) return -1;
    return id;
}
