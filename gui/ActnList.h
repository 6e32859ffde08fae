// Actions (commands with caption, enabled state and shortcut) and action lists.
#pragma once

#include "gui/Menus.h"

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
    void SetCaption(const std::string& caption) { caption_ = caption; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    bool Checked() const { return checked_; }
    void SetChecked(bool value) { checked_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }
    TShortCut GetShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index) { imageIndex_ = index; }

    TActionList* ActionList() const { return actionList_; }
    void SetActionList(TActionList* list);

private:
    std::string caption_;
    bool enabled_ = true, checked_ = false, visible_ = true;
    TShortCut shortCut_ = 0;
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
