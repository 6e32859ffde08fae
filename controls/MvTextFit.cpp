// Text shortening.
#include "controls/MvTextFit.h"

std::string ShortenTextToWidthBy(const std::string& S, int MaxWidth, const TMvTextWidthFunc& TextWidth) {
    std::string result = S;
    const long long length = static_cast<long long>(S.size());
    long long keep = length - 2;
    for (long long tries = 0; tries < length && TextWidth(result) > MaxWidth; ++tries, --keep) {
        const size_t n = keep > 0 ? static_cast<size_t>(keep) : 0;
        result = S.substr(0, n) + "...";
    }
    return result;
}
