// Actions (commands with caption, enabled state and shortcut) and action lists.
#pragma once

#include "gui/Menus.h"

#include <functional>
#include <utility>
#include <vector>

class TActionList;
class TImageList;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
    // Runs OnExecute; false when there was nothing to run.
    virtual bool Execute();
    // Runs OnUpdate; false when there was nothing to run.
    virtual bool Update();
    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
};

class TAction : public TBasicAction {
public:
    explicit TAction(TComponent* owner);
    ~TAction() override;

    // Updates the action, then runs it when it is enabled.
    bool Execute() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { Assign(caption_, caption); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { Assign(enabled_, value); }
    bool Checked() const { return checked_; }
    // Checking an action of a group (GroupIndex > 0) unchecks the others of its list's group.
    void SetChecked(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value) { groupIndex_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { Assign(visible_, value); }
    TShortCut GetShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
    // Further keys that run the action as its shortcut does.
    std::vector<TShortCut>& SecondaryShortCuts() { return secondaryShortCuts_; }
    bool HasShortCut(TShortCut shortCut) const;
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { Assign(hint_, hint); }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index) { Assign(imageIndex_, index); }

    // Controls showing the action (tool buttons) follow its caption, hint,
    // image, enabled, checked and visible state through a listener, keyed by
    // the client so it can take it off again (it must before it goes).
    void AddChangeListener(const void* client, std::function<void()> listener);
    void RemoveChangeListener(const void* client);

    TActionList* ActionList() const { return actionList_; }
    void SetActionList(TActionList* list);

private:
    template <class T> void Assign(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Changed();
    }
    void Changed();

    std::string caption_;
    bool enabled_ = true, checked_ = false, visible_ = true;
    int groupIndex_ = 0;
    std::vector<std::pair<const void*, std::function<void()>>> listeners_;
    TShortCut shortCut_ = 0;
    std::vector<TShortCut> secondaryShortCuts_;
    std::string hint_;
    int imageIndex_ = -1;
    TActionList* actionList_ = nullptr;
    friend class TActionList;
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner);
    ~TActionList() override;

    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TAction* Actions(int index) const { return actions_.at(static_cast<size_t>(index)); }
    // Runs the first enabled action with this shortcut; false when none took it.
    bool IsShortCut(TShortCut shortCut);
    // Runs every action's OnUpdate (the application does it when idle).
    void UpdateActions();

    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);

    // Bookkeeping, called by TAction.
    void AddAction(TAction* action);
    void RemoveAction(TAction* action);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::vector<TAction*> actions_;
    TImageList* images_ = nullptr;
};
