// TObject: the root of every polymorphic class of the system, and the notify event type.
#pragma once

#include <functional>

class TObject {
public:
    virtual ~TObject() = default;
};

// An event handler with the sender first; fired only when assigned.
using TNotifyEvent = std::function<void(TObject*)>;
