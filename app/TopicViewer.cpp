// The topic editor.
#include "app/TopicViewer.h"

#include "app/LinkTarget.h"
#include "richedit/MvRichEditStrings.h"

#include <richedit.h>
#include <windowsx.h>

using namespace mv::app;

TTopicViewer::TTopicViewer(TComponent* AOwner, ITopicWindow* ATopicWindow, const TTopicServices& Services)
    : TMvRichEdit(AOwner), FTopicWindow(ATopicWindow), FServices(Services), FDocument(*this, Services, this) {
    OnDblClick = [this](TObject* Sender) { FollowLink(Sender); };
}

void TTopicViewer::LoadTopic(const std::string& Title, const std::string& Namespace) {
    FDocument.LoadTopic(Title, Namespace);
}

void TTopicViewer::SaveTopic(const std::string& Title, const std::string& Namespace) {
    FDocument.SaveTopic(Title, Namespace);
}

void TTopicViewer::ProcessDotLines(bool Loading) {
    FDocument.ProcessDotLines(Loading);
}

void TTopicViewer::AttachTag(const std::string& TagTitle) {
    FDocument.AttachTag(TagTitle);
}

void TTopicViewer::DetachTag(const std::string& TagTitle) {
    FDocument.DetachTag(TagTitle);
}

std::unique_ptr<TStringList> TTopicViewer::ListTags() {
    return FDocument.ListTags();
}

void TTopicViewer::LoadContent(TStream& Content) {
    Content.SetPosition(0);
    const TRedrawLock Quiet(*this);
    Lines().LoadFromStream(Content);
    TextReplaced();
}

void TTopicViewer::TextReplaced() {
    // A note without text starts plain in the editor's default font, not in the format the text
    // it replaced left at the caret (which typing would take); the style buttons then show the
    // format of the new text.
    if (HandleAllocated() && GetWindowTextLengthA(Handle()) == 0) {
        CHARFORMAT2A Format{};
        Format.cbSize = sizeof Format;
        SendMessageA(Handle(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&Format));
        Format.dwMask |= CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
        Format.dwEffects &= ~(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT);
        SendMessageA(Handle(), EM_SETSEL, 0, 0);
        SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Format));
    }
    SelectionChange();
}

TTopicViewer::TRedrawLock::TRedrawLock(TTopicViewer& Editor) : FEditor(Editor) {
    if (FEditor.FRedrawLocks++ == 0 && FEditor.HandleAllocated() && IsWindowVisible(FEditor.Handle())) {
        SendMessageA(FEditor.Handle(), WM_SETREDRAW, FALSE, 0);
        FEditor.FRedrawOff = true;
    }
}

TTopicViewer::TRedrawLock::~TRedrawLock() {
    if (--FEditor.FRedrawLocks > 0 || !FEditor.FRedrawOff) return;
    FEditor.FRedrawOff = false;
    if (!FEditor.HandleAllocated()) return;
    SendMessageA(FEditor.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FEditor.Handle(), nullptr, TRUE);
}

void TTopicViewer::SaveContent(TStream& Content) {
    Lines().SaveToStream(Content);
}

void TTopicViewer::ClearContent() {
    Lines().Clear();
    TextReplaced();
}

std::string TTopicViewer::TextInPositions() {
    return GetTextRange(0, -1);
}

std::string TTopicViewer::PlainText() {
    return TextInPositions();
}

void TTopicViewer::WndProc(TMessage& Message) {
    if (Message.Msg != WM_LBUTTONDBLCLK) {
        TMvRichEdit::WndProc(Message);
        return;
    }
    struct TForget {
        std::optional<POINT>& At;
        ~TForget() { At.reset(); }
    } Forget{FDoubleClickAt};
    FDoubleClickAt = POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    TMvRichEdit::WndProc(Message);
}

// The word comes from the click point, not from the selection the control made: Wine's rich
// edit selects text of the next paragraph when the last word of one is double-clicked.
void TTopicViewer::FollowLink(TObject*) {
    const std::string Text = TextInPositions();
    const TLinkTarget Target = FDoubleClickAt ? ResolveLinkAt(Text, CharFromPos(*FDoubleClickAt), Namespace())
                                              : ResolveLinkTarget(Text, SelStart(), SelLength(), Namespace());
    if (!Target.Follow) return;
    SetSelStart(Target.SelStart);
    SetSelLength(Target.SelLength);
    // The link marking: pure blue with a dotted underline, saved with the text.
    SelAttributes().SetColor(TColor(0xFF0000));
    SelAttributes().SetUnderlineType(4);
    if (FServices.ShowTopic) FServices.ShowTopic(Target.Title, Target.Namespace);
}
