// A library named like the archive library on a disk, but without its entry.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI Unpack() {
    return 0;
}
