// TTopicViewer: the rich-text editor of a note window, showing one topic at a
// time. It loads the topic's text, window rectangle and meta lines from the
// notes store and saves them back, runs its dot-lines, and follows a
// double-clicked word as a link to another topic.
#pragma once

#include "richedit/MvRichEdit.h"

#include "app/TopicDocument.h"
#include "app/TopicWindow.h"
#include "plugins/MvPlugin.h"

#include <memory>
#include <optional>
#include <string>

// Plug-in dot-line handlers get the editor as their sender: they work on its
// Meta lines and read its topic, with the dot-line they handle.
class TTopicViewer : public TMvRichEdit, public IMvPluginTopicHost, private mv::app::ITopicText {
public:
    // ATopicWindow is the hosting note window, which outlives the editor;
    // Services are the main window's, which outlive both.
    TTopicViewer(TComponent* AOwner, ITopicWindow* ATopicWindow, const mv::app::TTopicServices& Services);

    const std::string& TopicFile() const { return FDocument.TopicFile(); }
    const std::string& Namespace() const { return FDocument.Namespace(); }
    ITopicWindow* TopicWindow() const { return FTopicWindow; }
    const mv::app::TTopicServices& Services() const { return FServices; }
    TTopicRect& WindowRect() { return FDocument.WindowRect; }
    bool Valid() const { return FDocument.Valid(); }
    int32_t TopicID() const { return FDocument.TopicID(); }
    THashedStringList& Meta() { return FDocument.Meta; }
    TStrings& PluginMeta() override { return FDocument.Meta; }
    const TMvPluginTopicView* PluginTopic() const override { return FDocument.HandlerTopic(); }

    // The rich edit's own flag, also the document's (ITopicText): set by typing, pasting,
    // formatting and inserted objects, cleared when a topic is loaded or written.
    bool Modified() override { return TMvRichEdit::Modified(); }
    void SetModified(bool Value) override { TMvRichEdit::SetModified(Value); }

    // Loads a topic, creating it in the store when missing.
    void LoadTopic(const std::string& Title, const std::string& Namespace);
    // Saves the shown topic, under a new title or namespace when they differ
    // ("*" keeps the current one).
    void SaveTopic(const std::string& Title, const std::string& Namespace);
    void ProcessDotLines(bool Loading);
    // Whether the shown topic's text is not in the file yet (see TTopicDocument::Unsaved).
    bool Unsaved() { return FDocument.Unsaved(); }

    void AttachTag(const std::string& TagTitle);
    void DetachTag(const std::string& TagTitle);
    // The tags of the shown topic, or nullptr when it has none.
    std::unique_ptr<TStringList> ListTags();

    // The double-click handler: follows the word under the double-click, read from the text
    // with the link rules whatever the control selected (called outside a double-click, the
    // selected word), marks it as a link and opens its topic.
    void FollowLink(TObject* Sender);
    void WndProc(TMessage& Message) override;

    // The whole text in the control's character positions (a paragraph break is one character).
    std::string TextInPositions();

    // While a lock lives the editor is not drawn, whatever happens to its text,
    // focus or state; the last lock to go invalidates it once. A navigation
    // holds one, so the editor is painted once per topic instead of at every
    // step (Wine's rich edit paints synchronously when its text is replaced).
    // Locks on a window that is not on the screen do nothing.
    class TRedrawLock {
    public:
        explicit TRedrawLock(TTopicViewer& Editor);
        ~TRedrawLock();
        TRedrawLock(const TRedrawLock&) = delete;
        TRedrawLock& operator=(const TRedrawLock&) = delete;

    private:
        TTopicViewer& FEditor;
    };

private:
    void LoadContent(TStream& Content) override;
    void SaveContent(TStream& Content) override;
    void ClearContent() override;
    std::string PlainText() override;
    // After the text was loaded or cleared: the format at the caret and the selection event.
    void TextReplaced();

    ITopicWindow* FTopicWindow;
    const mv::app::TTopicServices& FServices;
    mv::app::TTopicDocument FDocument;
    int FRedrawLocks = 0;
    bool FRedrawOff = false;
    // Where the left double-click being handled fell, in client coordinates.
    std::optional<POINT> FDoubleClickAt;
};
