// TMvComponent: the base of the library's non-visual components.
#pragma once

#include "gui/Component.h"

class TMvComponent : public TComponent {
public:
    using TComponent::TComponent;
};
