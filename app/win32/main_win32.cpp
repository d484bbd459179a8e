// The player's entry point on Windows.
#include <windows.h>

#include "app/win32/win32_startup_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    kestrum::Win32StartupPlatform platform(instance, commandLine);
    return kestrum::RunStartup(platform);
}
