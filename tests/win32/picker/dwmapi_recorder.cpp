// A stand-in for the desktop window manager's library in the picker's tests: records each
// DwmSetWindowAttribute call ("attribute value", one line each) in the file that
// KESTRUM_DWM_RECORD names, and refuses the attribute KESTRUM_DWM_REFUSE names, as a system
// that does not know it would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

extern "C" __declspec(dllexport) HRESULT WINAPI
    DwmSetWindowAttribute(HWND, DWORD attribute, LPCVOID value, DWORD size) {
    DWORD number = 0;
    if (value != nullptr && size >= sizeof(DWORD)) {
        number = *static_cast<const DWORD*>(value);
    }
    if (const char* path = std::getenv("KESTRUM_DWM_RECORD")) {
        if (FILE* file = std::fopen(path, "a")) {
            std::fprintf(file, "%lu %lu %lu\n", attribute, number, size);
            std::fclose(file);
        }
    }
    const char* refused = std::getenv("KESTRUM_DWM_REFUSE");
    if (refused != nullptr && std::strtoul(refused, nullptr, 10) == attribute) {
        return E_INVALIDARG;
    }
    return S_OK;
}
