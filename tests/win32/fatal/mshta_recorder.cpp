// A stand-in for the system's HTML application host in the fatal path's tests: records the
// command line it was started with, as UTF-8, in a new file of the folder that
// KESTRUM_MSHTA_RECORDS names, and shows nothing.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"KESTRUM_MSHTA_RECORDS", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 2;
    }
    const wchar_t* commandLine = GetCommandLineW();
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, text.data(), bytes, nullptr, nullptr);
    text.resize(text.size() - 1);  // the terminator

    const std::wstring path =
        std::wstring(folder) + L"\\launch-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size() ? 0 : 4;
}
