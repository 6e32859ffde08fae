// The topic side of the topic editor: which topic it shows, loading it from
// the notes store and saving it back with its window rectangle and meta lines,
// running its dot-lines, and its tag links. Window-free: the editor control is
// reached through ITopicText, so these rules are tested without a window.
#pragma once

#include "base/StringList.h"
#include "plugins/MvPlugin.h"
#include "store/NotesStore.h"

#include <cstdint>
#include <functional>
#include <string>

namespace mv::app {

class TTagEventTable;

// What the editor control offers for a topic's text.
class ITopicText {
public:
    // Replaces the text with the stream's content (RTF or plain text).
    virtual void LoadContent(TStream& Content) = 0;
    // Writes the text as RTF.
    virtual void SaveContent(TStream& Content) = 0;
    virtual void ClearContent() = 0;
    // The plain text, paragraphs separated by line breaks.
    virtual std::string PlainText() = 0;
    // Whether the text (its characters or their formatting) changed since SetModified(false); a
    // text that cannot tell says true, and is then written at every save.
    virtual bool Modified() { return true; }
    virtual void SetModified(bool) {}

protected:
    ~ITopicText() = default;
};

// Where a topic document finds the program's services: the main window hands
// these over; none is owned here.
struct TTopicServices {
    TNotesStore* Store = nullptr;
    const TTagEventTable* TagEvents = nullptr;
    std::function<void(const std::string&)> Log;
    // The checkpoint after a user-level write: commits the store; a failure is
    // logged and raised to the caller.
    std::function<void()> Commit;
    // Opens a topic in its note window (link following).
    std::function<void(const std::string& Title, const std::string& Namespace)> ShowTopic;
    // Tells the user that a plug-in's dot-line handler failed (the text names
    // the plug-in, the line and the reason); the load or save goes on. When
    // unassigned, the failure is only logged.
    std::function<void(const std::string& Text)> ReportPluginFailure;
};

class TTopicDocument {
public:
    // Sender is the object plug-in handlers receive (the editor control).
    TTopicDocument(ITopicText& Text, const TTopicServices& Services, TObject* Sender);

    const std::string& TopicFile() const { return FTopicFile; }
    const std::string& Namespace() const { return FNamespace; }
    int32_t TopicID() const { return FTopicID; }
    bool Valid() const { return FValid; }
    TTopicRect WindowRect;
    // The topic's meta lines (name=value), such as "splitter_pos".
    THashedStringList Meta;

    // Loads a topic, creating it (and its namespace) in the store when missing.
    // A new topic starts with empty text and keeps the rectangle and meta lines
    // of the topic shown before, to be saved with it. A store read that fails
    // leaves the document on the topic it showed (same id, title, text); a
    // failure while the editor takes the new text leaves it showing no topic
    // (not Valid), so that no save files the editor's text under either id.
    void LoadTopic(const std::string& Title, const std::string& Namespace);
    // Saves the shown topic under Title and Namespace ("*" keeps the current
    // one): dot-lines first, then the content with the rectangle, then the meta
    // lines. The new title and namespace are taken over only once the store has
    // written them. Does nothing unless a topic is loaded. The dot-lines' save
    // handlers always run; the topic is written only when something differs
    // from what the store holds: its text, its meta lines (a handler may have
    // changed them), its rectangle, its title or namespace, or it is new.
    void SaveTopic(const std::string& Title, const std::string& Namespace);
    // Whether a save would write the topic (see SaveTopic). A write that a
    // failed commit took back counts as never made.
    bool Changed();
    // Whether the shown topic is not in the file yet: a save would write it,
    // or its last write waits for a commit.
    bool Unsaved();
    // Runs the dot-lines. A plug-in handler that fails is reported and
    // skipped; the other handlers still run and the tags are still brought
    // into line.
    void ProcessDotLines(bool Loading);
    // While a plug-in handler runs: the topic as it sees it (its title and
    // namespace, its lines and the dot-line handled); nullptr otherwise.
    const TMvPluginTopicView* HandlerTopic() const { return FHandlerTopic; }

    void AttachTag(const std::string& TagTitle);
    void DetachTag(const std::string& TagTitle);
    // The tags of the shown topic, or nullptr when it has none.
    std::unique_ptr<TStringList> ListTags();

private:
    TNotesStore& Store() const;
    void RunDotLines(bool Loading, const std::string& Title, const std::string& Namespace);
    void ReportHandlerFailure(const std::string& PluginName, const std::string& Address,
                              const std::string& Line, const std::string& Reason);

    ITopicText& FText;
    const TTopicServices& FServices;
    TObject* FSender;
    std::string FTopicFile;
    std::string FNamespace;
    int32_t FTopicID = -1;
    bool FValid = false;
    const TMvPluginTopicView* FHandlerTopic = nullptr;
    // The topic as the store holds it (as loaded or last written): a new topic
    // is not written yet.
    void KeepAsStored(std::string PlainText);
    bool FStored = false;
    // The store's mark of the last write (0: loaded, nothing written).
    int64_t FWriteMark = 0;
    std::string FStoredText;
    std::string FStoredMeta;
    TTopicRect FStoredRect;
};

} // namespace mv::app
