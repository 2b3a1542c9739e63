// Exception texts from the string table.
#include "Errors.h"

#include "FrameworkStrings.h"
#include "SysUtils.h"

std::string LoadResString(unsigned id) {
    char text[1024] = "";
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

std::string FormatResString(unsigned id, const std::string& argument) {
    return Format(LoadResString(id).c_str(), argument.c_str());
}

EFOpenError::EFOpenError(const std::string& fileName)
    : EFileStreamError(FormatResString(SFOpenError, fileName)) {}

EFCreateError::EFCreateError(const std::string& fileName)
    : EFileStreamError(FormatResString(SFCreateError, fileName)) {}

EResNotFound::EResNotFound(const std::string& resourceName)
    : Exception(FormatResString(SResNotFound, resourceName)) {}

EIniFileException::EIniFileException(const std::string& fileName)
    : Exception(FormatResString(SIniFileWriteError, fileName)) {}

ERegistryException RegSetDataFailed(const std::string& valueName) {
    return ERegistryException(FormatResString(SRegSetDataFailed, valueName));
}

ERegistryException InvalidRegType(const std::string& valueName) {
    return ERegistryException(FormatResString(SInvalidRegType, valueName));
}

namespace {

std::string OleErrorText(HRESULT result) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text(buffer ? buffer : "", length);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (!text.empty()) return text;
    return Format(LoadResString(SOleError).c_str(), static_cast<unsigned>(result));
}

} // namespace

EOleSysError::EOleSysError(HRESULT result) : EOleError(OleErrorText(result)), result_(result) {}

EInvalidCast::EInvalidCast() : Exception(LoadResString(SInvalidCast)) {}
EIntfCastError::EIntfCastError() : Exception(LoadResString(SIntfCastError)) {}
EOutOfMemory::EOutOfMemory() : Exception(LoadResString(SOutOfMemory)) {}
