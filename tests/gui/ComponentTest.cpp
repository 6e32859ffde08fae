// Component ownership and free notification.
#include "gui/Component.h"

#include <gtest/gtest.h>

#include <new>
#include <vector>

namespace {

// Records its own destruction and the removals it hears about.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::vector<std::string>* log, std::string name) : TComponent(owner), log_(log) {
        SetName(std::move(name));
    }
    ~Probe() override {
        if (log_) log_->push_back("destroy " + Name());
    }
    TComponent* watched = nullptr;
    std::vector<TComponent*> removed;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == TOperation::opRemove) {
            removed.push_back(component);
            if (component == watched) watched = nullptr;
        }
    }

private:
    std::vector<std::string>* log_;
};

TEST(Component, OwnerDestroysOwnedComponentsLastCreatedFirst) {
    std::vector<std::string> log;
    auto* owner = new Probe(nullptr, &log, "owner");
    new Probe(owner, &log, "a");
    auto* b = new Probe(owner, &log, "b");
    new Probe(b, &log, "b1");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("B"), b);
    delete owner;
    EXPECT_EQ(log, (std::vector<std::string>{"destroy owner", "destroy b", "destroy b1", "destroy a"}));
}

TEST(Component, DeletedComponentLeavesItsOwner) {
    Probe owner(nullptr, nullptr, "owner");
    auto* a = new Probe(&owner, nullptr, "a");
    auto address = reinterpret_cast<uintptr_t>(a);
    delete a;
    EXPECT_EQ(owner.ComponentCount(), 0);
    ASSERT_EQ(owner.removed.size(), 1u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(owner.removed[0]), address);
}

TEST(Component, InsertComponentMovesBetweenOwners) {
    Probe first(nullptr, nullptr, "first");
    Probe second(nullptr, nullptr, "second");
    auto* c = new Probe(&first, nullptr, "c");
    second.InsertComponent(c);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.ComponentCount(), 1);
    EXPECT_EQ(c->Owner(), &second);
}

TEST(Component, FreeNotificationTellsAnUnrelatedComponent) {
    Probe watcher(nullptr, nullptr, "watcher");
    auto* target = new Probe(nullptr, nullptr, "target");
    watcher.watched = target;
    target->FreeNotification(&watcher);
    delete target;
    EXPECT_EQ(watcher.watched, nullptr);
}

TEST(Component, FreeNotificationIsForgottenWhenTheWatcherDiesFirst) {
    // The watcher lives in storage of our own, so that after its death a
    // stranger can take its very address: a partnership that survived the
    // watcher would then notify the stranger, which never asked.
    alignas(Probe) unsigned char slot[sizeof(Probe)];
    auto* watcher = new (slot) Probe(nullptr, nullptr, "watcher");
    auto* target = new Probe(nullptr, nullptr, "target");
    target->FreeNotification(watcher);
    watcher->~Probe();
    auto* stranger = new (slot) Probe(nullptr, nullptr, "stranger");
    delete target;
    EXPECT_TRUE(stranger->removed.empty());
    stranger->~Probe();
}

TEST(Component, SiblingsHearAboutEachOthersRemoval) {
    Probe owner(nullptr, nullptr, "owner");
    auto* holder = new Probe(&owner, nullptr, "holder");
    auto* other = new Probe(&owner, nullptr, "other");
    holder->watched = other;
    delete other;
    EXPECT_EQ(holder->watched, nullptr);
}

class LoadProbe : public TComponent {
public:
    using TComponent::TComponent;
    int loaded = 0;

protected:
    void Loaded() override { ++loaded; }
};

TEST(Component, LoadedRunsOnceWhenLoadingEnds) {
    LoadProbe c(nullptr);
    c.BeginLoading();
    EXPECT_TRUE(c.HasState(csLoading));
    c.EndLoading();
    c.EndLoading();
    EXPECT_EQ(c.loaded, 1);
    EXPECT_FALSE(c.HasState(csLoading));
}

} // namespace
