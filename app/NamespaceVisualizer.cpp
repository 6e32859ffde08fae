// The side panel's list of namespaces and topics.
#include "app/NamespaceVisualizer.h"

#include "base/StrUtils.h"

bool TNamespaceVisualizer::TNoCase::operator()(const std::string& A, const std::string& B) const {
    return CompareText(A, B) < 0;
}

TNamespaceVisualizer::TNamespaceVisualizer(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clWindow);
    SetDoubleBuffered(true);
}

void TNamespaceVisualizer::AddEntry(const std::string& Namespace, const std::string& Title) {
    FMap[Namespace].insert(Title);
}

void TNamespaceVisualizer::RemoveEntry(const std::string& Namespace, const std::string& Title) {
    const auto It = FMap.find(Namespace);
    if (It == FMap.end()) return;
    It->second.erase(Title);
    if (It->second.empty()) FMap.erase(It);
}

void TNamespaceVisualizer::Clear() {
    FMap.clear();
}

std::vector<std::string> TNamespaceVisualizer::Titles(const std::string& Namespace) const {
    const auto It = FMap.find(Namespace);
    if (It == FMap.end()) return {};
    return {It->second.begin(), It->second.end()};
}

void TNamespaceVisualizer::Render() {
    FLines.clear();
    for (const auto& [Namespace, TitleSet] : FMap) {
        FLines.push_back({Namespace, ""});
        if (ShowRootLinks) FLines.push_back({"\xBB [Root]", Namespace + ":"});
        for (const std::string& Title : TitleSet) {
            if (Title.empty() && ShowRootLinks) continue;
            FLines.push_back(
                {"\xBB " + (Title.empty() ? std::string("[Root]") : Title), Namespace + ":" + Title});
        }
    }
    Invalidate();
}

void TNamespaceVisualizer::ClickLine(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FLines.size()) || FLines[Index].Link.empty()) return;
    bool Handled = false;
    if (OnHotSpotClick) OnHotSpotClick(this, FLines[Index].Link, Handled);
}

int TNamespaceVisualizer::LineHeight() {
    return Canvas().TextHeight("Ag") + 2;
}

void TNamespaceVisualizer::Paint() {
    TCanvas& C = Canvas();
    C.Brush().SetColor(Color());
    C.FillRect(ClientRect());
    const int H = LineHeight();
    const int Bottom = ClientHeight();
    int Y = 4;
    for (const TLine& Line : FLines) {
        if (Y > Bottom) break;
        const bool Heading = Line.Link.empty();
        C.Font().SetStyle(Heading ? fsBold : fsUnderline);
        C.Font().SetColor(Heading ? clWindowText : TColor(0xCC0000));
        C.TextOut(Heading ? 4 : 10, Y, Line.Text);
        Y += H;
    }
}

void TNamespaceVisualizer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == TMouseButton::mbLeft && Y >= 4) ClickLine((Y - 4) / LineHeight());
}
