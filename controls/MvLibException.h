// EMvLibException: the component library's own failures (a checked combo box that
// is full, a data provider asked for something it cannot do, ...).
#pragma once

#include "base/Exceptions.h"

class EMvLibException : public Exception {
public:
    using Exception::Exception;
};
