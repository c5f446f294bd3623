#pragma once
// The run-time library's exception family. Every failure carries a message
// text; the application shows it when it escapes a handler.
#include "platform/rtl/ansistring.h"
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(const AnsiString& msg) : Message(msg) {}
    const char* what() const noexcept override { return Message.c_str(); }
    // Name of the exception class, as ShowException prints it.
    virtual const char* ClassName() const noexcept { return "Exception"; }
    AnsiString Message;
};

#define QM_DECLARE_EXCEPTION(Name, Base)                                                           \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
        const char* ClassName() const noexcept override { return #Name; }                          \
    };

QM_DECLARE_EXCEPTION(EConvertError, Exception)
QM_DECLARE_EXCEPTION(ERangeError, Exception)
QM_DECLARE_EXCEPTION(EListError, Exception)
QM_DECLARE_EXCEPTION(EStringListError, EListError)
QM_DECLARE_EXCEPTION(EInvalidOperation, Exception)
QM_DECLARE_EXCEPTION(EInvalidPointer, Exception)
QM_DECLARE_EXCEPTION(EOutOfResources, Exception)
QM_DECLARE_EXCEPTION(EComponentError, Exception)
QM_DECLARE_EXCEPTION(EInOutError, Exception)
QM_DECLARE_EXCEPTION(EZeroDivide, Exception)
QM_DECLARE_EXCEPTION(EStreamError, Exception)
QM_DECLARE_EXCEPTION(EFilerError, EStreamError)
QM_DECLARE_EXCEPTION(EReadError, EFilerError)
QM_DECLARE_EXCEPTION(EWriteError, EFilerError)
QM_DECLARE_EXCEPTION(EClassNotFound, EFilerError)
QM_DECLARE_EXCEPTION(EFCreateError, EStreamError)
QM_DECLARE_EXCEPTION(EFOpenError, EStreamError)
// The silent exception: leaves a handler without any message.
QM_DECLARE_EXCEPTION(EAbort, Exception)
