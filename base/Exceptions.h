// Exception: the base of every failure the system raises, carrying its message text.
#pragma once

#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
public:
    explicit Exception(std::string message);
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Thin subclasses: each only names a kind of failure. Those with a fixed default
// message take it when constructed without one.
#define MV_DECLARE_EXCEPTION(Name, Base)                                                                     \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    }

#define MV_DECLARE_EXCEPTION_WITH_DEFAULT(Name, Base, DefaultMessage)                                        \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
        Name() : Base(DefaultMessage) {}                                                                     \
    }

MV_DECLARE_EXCEPTION(EConvertError, Exception);
MV_DECLARE_EXCEPTION_WITH_DEFAULT(EIntOverflow, Exception, "Integer overflow");
MV_DECLARE_EXCEPTION(EListError, Exception);
MV_DECLARE_EXCEPTION(EStringListError, EListError);
MV_DECLARE_EXCEPTION(EStreamError, Exception);
MV_DECLARE_EXCEPTION(EFOpenError, EStreamError);
MV_DECLARE_EXCEPTION(EFCreateError, EStreamError);
MV_DECLARE_EXCEPTION_WITH_DEFAULT(EReadError, EStreamError, "Stream read error");
MV_DECLARE_EXCEPTION_WITH_DEFAULT(EWriteError, EStreamError, "Stream write error");
MV_DECLARE_EXCEPTION(EInOutError, Exception);
MV_DECLARE_EXCEPTION(EOutOfResources, Exception);
MV_DECLARE_EXCEPTION(EInvalidOperation, Exception);
// A silent exception: it unwinds an operation without any message being shown.
MV_DECLARE_EXCEPTION_WITH_DEFAULT(EAbort, Exception, "Operation aborted");
MV_DECLARE_EXCEPTION_WITH_DEFAULT(EOutOfMemory, Exception, "Out of memory");

#undef MV_DECLARE_EXCEPTION
#undef MV_DECLARE_EXCEPTION_WITH_DEFAULT

// Raises EAbort.
[[noreturn]] void Abort();
