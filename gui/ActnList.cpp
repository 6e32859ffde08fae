// Actions and action lists.
#include "gui/ActnList.h"

#include "gui/Application.h"
#include "gui/ImgList.h"

#include <algorithm>

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

TAction::TAction(TComponent* owner) : TBasicAction(owner) {}

TAction::~TAction() {
    if (actionList_) actionList_->RemoveAction(this);
}

bool TAction::Execute() {
    Update();
    if (!enabled_) return false;
    return TBasicAction::Execute();
}

void TAction::SetChecked(bool value) {
    if (value && groupIndex_ > 0 && actionList_) {
        for (int i = 0; i < actionList_->ActionCount(); ++i)
            if (TAction* other = actionList_->Actions(i); other != this && other->groupIndex_ == groupIndex_)
                other->Assign(other->checked_, false);
    }
    Assign(checked_, value);
}

bool TAction::HasShortCut(TShortCut shortCut) const {
    if (shortCut == 0) return false;
    return shortCut_ == shortCut || std::find(secondaryShortCuts_.begin(), secondaryShortCuts_.end(),
                                              shortCut) != secondaryShortCuts_.end();
}

void TAction::AddChangeListener(const void* client, std::function<void()> listener) {
    RemoveChangeListener(client);
    listeners_.emplace_back(client, std::move(listener));
}

void TAction::RemoveChangeListener(const void* client) {
    std::erase_if(listeners_, [client](const auto& entry) { return entry.first == client; });
}

void TAction::Changed() {
    // A listener may take itself off while the list is walked.
    const auto listeners = listeners_;
    for (const auto& entry : listeners)
        if (entry.second) entry.second();
}

void TAction::SetActionList(TActionList* list) {
    if (list == actionList_) return;
    if (actionList_) actionList_->RemoveAction(this);
    if (list) list->AddAction(this);
}

TActionList::TActionList(TComponent* owner) : TComponent(owner) {
    if (Application) Application->RegisterActionList(this);
}

TActionList::~TActionList() {
    if (Application) Application->UnregisterActionList(this);
    for (TAction* a : actions_)
        a->actionList_ = nullptr;
    if (images_) images_->RemoveFreeNotification(this);
}

void TActionList::AddAction(TAction* action) {
    if (std::find(actions_.begin(), actions_.end(), action) != actions_.end()) return;
    actions_.push_back(action);
    action->actionList_ = this;
}

void TActionList::RemoveAction(TAction* action) {
    actions_.erase(std::remove(actions_.begin(), actions_.end(), action), actions_.end());
    if (action->actionList_ == this) action->actionList_ = nullptr;
}

bool TActionList::IsShortCut(TShortCut shortCut) {
    for (TAction* a : std::vector<TAction*>(actions_)) {
        if (!a->HasShortCut(shortCut)) continue;
        a->Update();
        if (a->Enabled() && a->Execute()) return true;
    }
    return false;
}

void TActionList::UpdateActions() {
    for (TAction* a : std::vector<TAction*>(actions_))
        a->Update();
}

void TActionList::SetImages(TImageList* images) {
    if (images == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images_) images_->FreeNotification(this);
}

void TActionList::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}
