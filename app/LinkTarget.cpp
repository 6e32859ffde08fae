// Link following over plain text positions.
#include "app/LinkTarget.h"

#include "app/TopicAddress.h"

#include <algorithm>

namespace mv::app {

namespace {

class TTextCursor {
public:
    explicit TTextCursor(std::string_view Text) : FText(Text) {}
    std::int32_t Size() const { return static_cast<std::int32_t>(FText.size()); }
    // Reading outside the text gives no character, which is no word character.
    char At(std::int32_t Pos) const { return (Pos >= 0 && Pos < Size()) ? FText[Pos] : '\0'; }
    bool WordAt(std::int32_t Pos) const { return IsWordChar(At(Pos)); }
    std::int32_t WordEndFrom(std::int32_t Pos) const {
        while (WordAt(Pos))
            ++Pos;
        return Pos;
    }
    std::int32_t WordStartBefore(std::int32_t Pos) const {
        while (Pos > 0 && WordAt(Pos - 1))
            --Pos;
        return Pos;
    }
    std::string Range(std::int32_t Start, std::int32_t Length) const {
        const std::int32_t From = std::clamp<std::int32_t>(Start, 0, Size());
        const std::int32_t To =
            std::clamp<std::int32_t>(Start + std::max<std::int32_t>(Length, 0), From, Size());
        return std::string(FText.substr(From, To - From));
    }

private:
    std::string_view FText;
};

} // namespace

TLinkTarget ResolveLinkTarget(std::string_view Text, std::int32_t SelStart, std::int32_t SelLength,
                              std::string_view OwnNamespace) {
    const TTextCursor T(Text);
    TLinkTarget R;
    R.SelStart = std::clamp<std::int32_t>(SelStart, 0, T.Size());
    R.SelLength = std::clamp<std::int32_t>(SelLength, 0, T.Size() - R.SelStart);
    bool Explicit = false;

    // A double-click on a lone colon means the word after it, in the default namespace.
    if (T.Range(R.SelStart, R.SelLength) == ":") {
        Explicit = true;
        R.SelStart += 1;
        R.SelLength = T.WordEndFrom(R.SelStart) - R.SelStart;
    }

    std::string Selected = T.Range(R.SelStart, R.SelLength);
    if (Trim(Selected).empty()) return R;

    // Cut the selection at the first non-word character; a leading colon stays.
    std::int32_t Check = 0;
    if (Selected[0] == ':') {
        Explicit = true;
        Check = 1;
    }
    while (Check < R.SelLength && IsWordChar(Selected[Check]))
        ++Check;
    R.SelLength = Check;
    std::string Word = T.Range(R.SelStart, R.SelLength);
    // A selection that began with neither a word character nor a colon (a
    // bracket, say) leaves no word: there is nothing to open.
    if (Word.empty()) return R;

    std::string Namespace;
    if (R.SelStart > 0 && T.At(R.SelStart - 1) == ':') {
        Explicit = true;
        const std::int32_t Colon = R.SelStart - 1;
        const std::int32_t NsStart = T.WordStartBefore(Colon);
        Namespace = T.Range(NsStart, Colon - NsStart);
        R.SelLength = (R.SelStart + R.SelLength) - NsStart;
        R.SelStart = NsStart;
    }

    const std::int32_t After = R.SelStart + R.SelLength;
    if (T.At(After) == ':') {
        Namespace = Word;
        const std::int32_t TitleEnd = T.WordEndFrom(After + 1);
        Word = T.Range(After + 1, TitleEnd - After - 1);
        R.SelLength = TitleEnd - R.SelStart;
    }

    if (!Namespace.empty() && Namespace.back() == ':') Namespace.pop_back();
    if (Namespace.empty() && !Explicit) Namespace = std::string(OwnNamespace);

    R.Follow = true;
    R.Title = std::move(Word);
    R.Namespace = std::move(Namespace);
    return R;
}

TLinkTarget ResolveLinkAt(std::string_view Text, std::int32_t Pos, std::string_view OwnNamespace) {
    const TTextCursor T(Text);
    std::int32_t Start = Pos, End = Pos;
    if (T.WordAt(Pos) || T.WordAt(Pos - 1)) {
        const std::int32_t In = T.WordAt(Pos) ? Pos : Pos - 1;
        Start = T.WordStartBefore(In);
        End = T.WordEndFrom(In);
    } else if (T.At(Pos) == ':' || T.At(Pos - 1) == ':') {
        Start = T.At(Pos) == ':' ? Pos : Pos - 1;
        End = Start + 1;
    } else {
        return TLinkTarget{};
    }
    return ResolveLinkTarget(Text, Start, End - Start, OwnNamespace);
}

} // namespace mv::app
