// TComponent: the owner tree (owned components die with their owner) and free notification.
#pragma once

#include "base/Object.h"

#include <string>
#include <vector>

enum class TOperation { opInsert, opRemove };

// Life-cycle flags of a component.
enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csUpdating = 1u << 5,
};
using TComponentState = unsigned;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    int ComponentIndex() const;
    // The owned component with this name (ASCII case ignored), or nullptr.
    TComponent* FindComponent(const std::string& name) const;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);

    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t tag) { tag_ = tag; }

    TComponentState ComponentState() const { return state_; }
    bool HasState(TComponentStateFlag flag) const { return (state_ & flag) != 0; }

    // Ownership changes. The component moves from its current owner, if any.
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    // Asks to be told (Notification opRemove) when `component` is destroyed,
    // even though it is not owned. Mutual: each side forgets the other on death.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Marks the component as being set up (csLoading) and runs Loaded when done.
    void BeginLoading();
    void EndLoading();

protected:
    // Sent to the owner and to every registered free-notification partner.
    virtual void Notification(TComponent* component, TOperation operation);
    // Called once the component's settings have all been applied.
    virtual void Loaded();
    // Marks csDestroying; a descendant's destructor may call it first so that
    // notifications it triggers see the component as going away.
    void Destroying();
    void SetComponentState(TComponentState state) { state_ = state; }
    void SetDesigning(bool value);

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void NotifyAll(TComponent* component, TOperation operation);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    intptr_t tag_ = 0;
    TComponentState state_ = 0;
};
