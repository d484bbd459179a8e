// Looks at the player's windows from outside, the way a person sees them: which windows and
// boxes are up, what a box says and who owns it, where its buttons are (to click them with
// the display's pointer), and what the screen shows inside a window.
//   player_probe window <class|-> <title|-> <seconds>   prints "x y width height"
//   player_probe gone <class|-> <title|-> <seconds>
//   player_probe handle <class|-> <title|-> <seconds>   prints the window's handle
//   player_probe box <caption> <seconds>                 prints "owner=<class>", then the text
//   player_probe button <caption> <id>                   prints the button's centre "x y"
//   player_probe waiting-text <class>                    the light grey text on black
//   player_probe splash <seconds>                        the splash image on the screen;
//                                                        prints "x y width height black=N"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "screen_capture_win32.h"

namespace {

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

HWND Find(const std::wstring& className, const std::wstring& title) {
    HWND window = FindWindowW(className == L"-" ? nullptr : className.c_str(),
                              title == L"-" ? nullptr : title.c_str());
    return window && IsWindowVisible(window) ? window : nullptr;
}

HWND WaitFor(const std::wstring& className, const std::wstring& title, double seconds) {
    const DWORD limit = static_cast<DWORD>(seconds * 1000);
    const DWORD start = GetTickCount();
    do {
        if (HWND window = Find(className, title))
            return window;
        Sleep(50);
    } while (GetTickCount() - start < limit);
    return nullptr;
}

int Window(const std::wstring& className, const std::wstring& title, double seconds) {
    HWND window = WaitFor(className, title, seconds);
    if (!window)
        return 1;
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    return 0;
}

int Handle(const std::wstring& className, const std::wstring& title, double seconds) {
    HWND window = WaitFor(className, title, seconds);
    if (!window)
        return 1;
    std::printf("%p\n", static_cast<void*>(window));
    return 0;
}

int Gone(const std::wstring& className, const std::wstring& title, double seconds) {
    const DWORD start = GetTickCount();
    while (Find(className, title)) {
        if (GetTickCount() - start > seconds * 1000)
            return 1;
        Sleep(50);
    }
    return 0;
}

int Box(const std::wstring& caption, double seconds) {
    HWND box = WaitFor(L"#32770", caption, seconds);
    if (!box)
        return 1;
    Sleep(200);  // let it finish laying itself out
    wchar_t buffer[4096]{};
    std::wstring owner;
    if (HWND ownerWindow = GetWindow(box, GW_OWNER)) {
        GetClassNameW(ownerWindow, buffer, 256);
        owner = buffer;
    }
    GetDlgItemTextW(box, 0xFFFF, buffer, 4096);
    std::printf("owner=%s\n%s\n", Utf8(owner).c_str(), Utf8(buffer).c_str());
    return 0;
}

int Button(const std::wstring& caption, int id) {
    HWND box = Find(L"#32770", caption);
    HWND button = box ? GetDlgItem(box, id) : nullptr;
    if (!button)
        return 1;
    RECT rect{};
    GetWindowRect(button, &rect);
    std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return 0;
}

int WaitingText(const std::wstring& className) {
    HWND window = Find(className, L"-");
    if (!window)
        return 1;
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const ScreenImage shot = CaptureScreen(origin.x, origin.y, client.right, client.bottom);
    long grey = 0, black = 0;
    for (const std::uint32_t pixel : shot.pixels) {
        grey += pixel == 0xC8C8C8;
        black += pixel == 0;
    }
    const long all = static_cast<long>(shot.pixels.size());
    std::printf("grey=%ld black=%ld of %ld\n", grey, black, all);
    return grey > 40 && black > all * 8 / 10 ? 0 : 1;
}

// The splash image is mostly opaque: nearly all of its opaque pixels must be on the screen.
// Waits up to `seconds` for the splash and reads the screen as soon as it is there, in this
// same process: the splash may last only a moment (until the browser's first answer), and a
// busy machine may show the window a moment before its image is drawn. Prints the splash's
// "x y width height" and the count of black pixels of its last reading.
int Splash(double seconds) {
    const DWORD limit = static_cast<DWORD>(seconds * 1000);
    const DWORD start = GetTickCount();
    bool seen = false;
    for (;;) {
        if (HWND splash = Find(L"MolvaneTransparentSplashClass", L"Molvane Splash")) {
            RECT rect{};
            GetWindowRect(splash, &rect);
            const ScreenImage shot =
                CaptureScreen(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
            long black = 0;
            for (const std::uint32_t pixel : shot.pixels)
                black += pixel == 0;
            seen = !shot.pixels.empty() && black < static_cast<long>(shot.pixels.size()) / 2;
            if (seen || GetTickCount() - start >= limit) {
                std::printf("%ld %ld %ld %ld black=%ld\n", rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, black);
                return seen ? 0 : 1;
            }
        } else if (GetTickCount() - start >= limit) {
            return 1;
        }
        Sleep(20);
    }
}

}  // namespace

// Wide arguments: captions are Arabic as well as English.
int wmain(int argc, wchar_t** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"window" && argc == 5)
        return Window(argv[2], argv[3], _wtof(argv[4]));
    if (command == L"handle" && argc == 5)
        return Handle(argv[2], argv[3], _wtof(argv[4]));
    if (command == L"gone" && argc == 5)
        return Gone(argv[2], argv[3], _wtof(argv[4]));
    if (command == L"box" && argc == 4)
        return Box(argv[2], _wtof(argv[3]));
    if (command == L"button" && argc == 4)
        return Button(argv[2], _wtoi(argv[3]));
    if (command == L"waiting-text" && argc == 3)
        return WaitingText(argv[2]);
    if (command == L"splash" && argc == 3)
        return Splash(_wtof(argv[2]));
    std::fprintf(stderr, "usage: see the top of player_probe_win32.cpp\n");
    return 2;
}
