// The exception family: messages, defaults and the catch hierarchy callers rely on.
#include "base/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(Exceptions, DefaultMessagesAndWhat) {
    struct Case {
        std::function<void()> raise;
        const char* message;
    };
    const Case cases[] = {
        {[] { throw EIntOverflow(); }, "Integer overflow"},
        {[] { throw EReadError(); }, "Stream read error"},
        {[] { throw EWriteError(); }, "Stream write error"},
        {[] { throw EOutOfMemory(); }, "Out of memory"},
        {[] { Abort(); }, "Operation aborted"},
        {[] { throw EConvertError("bad"); }, "bad"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            c.raise();
            ADD_FAILURE() << "nothing raised";
        } catch (const Exception& e) {
            EXPECT_EQ(c.message, e.Message());
            EXPECT_STREQ(c.message, e.what());
        }
    }
}

TEST(Exceptions, FileErrorsAreStreamErrors) {
    EXPECT_THROW(throw EFOpenError("x"), EStreamError);
    EXPECT_THROW(throw EFCreateError("x"), EStreamError);
    EXPECT_THROW(throw EReadError(), EStreamError);
    EXPECT_THROW(throw EStringListError("x"), EListError);
    EXPECT_THROW(throw EAbort(), std::exception);
    Exception e("first");
    e.SetMessage("second");
    EXPECT_STREQ("second", e.what());
}

} // namespace
