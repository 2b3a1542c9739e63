// Exceptions that carry their message, and the framework's own error kinds.
#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// A string resource of the running program; an empty text when it is missing.
std::string LoadResString(unsigned id);
// A string resource used as a printf format with one string argument.
std::string FormatResString(unsigned id, const std::string& argument);

class EFileStreamError : public Exception {
    using Exception::Exception;
};
class EFOpenError : public EFileStreamError {
public:
    explicit EFOpenError(const std::string& fileName);
};
class EFCreateError : public EFileStreamError {
public:
    explicit EFCreateError(const std::string& fileName);
};
class EResNotFound : public Exception {
public:
    explicit EResNotFound(const std::string& resourceName);
};
class EIniFileException : public Exception {
public:
    explicit EIniFileException(const std::string& fileName);
};
class ERegistryException : public Exception {
    using Exception::Exception;
};
// A registry value that could not be written (named by the value).
ERegistryException RegSetDataFailed(const std::string& valueName);
// A registry value of another type than the one asked for.
ERegistryException InvalidRegType(const std::string& valueName);
class EOleError : public Exception {
    using Exception::Exception;
};
// A failed COM or shell call: the system's text for the result, else "OLE Error" and its code.
class EOleSysError : public EOleError {
public:
    explicit EOleSysError(HRESULT result);
    HRESULT ErrorCode() const { return result_; }

private:
    HRESULT result_;
};
class EInvalidCast : public Exception {
public:
    EInvalidCast();
};
class EIntfCastError : public Exception {
public:
    EIntfCastError();
};
class EOutOfMemory : public Exception {
public:
    EOutOfMemory();
};

// Raises EOleSysError for a failing result.
inline void OleCheck(HRESULT result) {
    if (FAILED(result)) throw EOleSysError(result);
}
