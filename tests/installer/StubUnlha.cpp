// A library with the archive library's entry that unpacks nothing and reports success.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI Unlha(HWND, const char*, char* output, DWORD size) {
    if (output && size) output[0] = '\0';
    return 0;
}
