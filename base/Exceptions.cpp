// Exception base class.
#include "base/Exceptions.h"

#include <utility>

Exception::Exception(std::string message) : message_(std::move(message)) {}

void Abort() {
    throw EAbort();
}
