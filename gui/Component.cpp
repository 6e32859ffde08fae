// TComponent: ownership tree and free notification.
#include "gui/Component.h"

#include <algorithm>
#include <cctype>

namespace {

bool SameTextAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

void Erase(std::vector<TComponent*>& list, TComponent* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Partners forget us; we forget them.
    while (!freeNotifies_.empty()) {
        TComponent* partner = freeNotifies_.back();
        freeNotifies_.pop_back();
        Erase(partner->freeNotifies_, this);
        partner->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

int TComponent::ComponentIndex() const {
    if (!owner_) return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_) {
        if (SameTextAscii(c->name_, name)) return c;
    }
    return nullptr;
}

void TComponent::SetName(const std::string& name) {
    name_ = name;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    if (component->owner_) component->owner_->RemoveComponent(component);
    Insert(component);
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->owner_ != this) return;
    Notification(component, TOperation::opRemove);
    Remove(component);
}

void TComponent::DestroyComponents() {
    // Last created dies first; each destructor removes itself from our list.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        Remove(c);
        Notification(c, TOperation::opRemove);
        delete c;
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
        component->freeNotifies_.end())
        component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    Erase(freeNotifies_, component);
    Erase(component->freeNotifies_, this);
}

void TComponent::BeginLoading() {
    state_ |= csLoading;
}

void TComponent::EndLoading() {
    if (!(state_ & csLoading)) return;
    state_ &= ~static_cast<unsigned>(csLoading);
    Loaded();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component) {
        Erase(freeNotifies_, component);
    }
    // Owned components hear about their siblings too, so that a reference to
    // a component of the same owner is dropped when it goes.
    NotifyAll(component, operation);
}

void TComponent::Loaded() {}

void TComponent::Destroying() {
    state_ |= csDestroying;
}

void TComponent::SetDesigning(bool value) {
    if (value)
        state_ |= csDesigning;
    else
        state_ &= ~static_cast<unsigned>(csDesigning);
}

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
    Erase(components_, component);
    component->owner_ = nullptr;
}

void TComponent::NotifyAll(TComponent* component, TOperation operation) {
    for (TComponent* c : components_)
        c->Notification(component, operation);
}
