// The process-wide dialog responder.
#include "gui/Responder.h"

namespace {
TDialogResponder* currentResponder = nullptr;
} // namespace

TDialogResponder* DialogResponder() {
    return currentResponder;
}

TDialogResponder* SetDialogResponder(TDialogResponder* responder) {
    TDialogResponder* previous = currentResponder;
    currentResponder = responder;
    return previous;
}
