// Drives the fatal error path under Wine and a virtual display, for fatal_path_win32_test.sh.
//   present MODE                 fails as the player would; never returns. MODE:
//                                  main       the main thread fails
//                                  threads    two other threads fail at once
//                                  reenter    the main thread fails again inside its countdown
//                                  no-window  the countdown window cannot be created
//   clipboard                    prints the clipboard's Unicode text and its ANSI form
//   inspect-countdown PNG        the countdown's place, styles and pixels; saves the screen
//   expected-command-line FILE   the dialog command the failure must launch, in UTF-8
//   expected-box dialog|countdown FILE
//                                the text of the box that replaces the dialog or the countdown
//   box TEXTFILE                 waits for a message box captioned as the failure, writes its
//                                text, prints its OK button's screen centre
//   window-rect                  the countdown window's screen rectangle
//   countdowns                   how many countdown windows exist
//   hold-clipboard SECONDS       keeps the clipboard open, as a busy program would
// PROBE_CODE names the diagnostic code of the failure.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "common/message_box.h"
#include "common/shutdown.h"
#include "common/text_encoding.h"
#include "fatal/countdown_layout.h"
#include "fatal/diagnostic_document.h"
#include "fatal/fatal_error.h"
#include "fatal/fatal_error_presenter.h"
#include "tests/win32/support/screen_win32.h"

namespace kestrum {

// The shell's box is not part of this program: this one shows the same box and says so.
MessageAnswer ShowMessageBox(const MessageBoxRequest& request) {
    std::fprintf(stderr, "MESSAGE BOX [%s]\n", Utf16ToUtf8(request.caption).c_str());
    std::fflush(stderr);
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(request.text.c_str()),
                reinterpret_cast<const wchar_t*>(request.caption.c_str()),
                MB_OK | MB_TOPMOST | MB_SETFOREGROUND | MB_ICONERROR);
    std::fputs("MESSAGE BOX ANSWERED\n", stderr);
    std::fflush(stderr);
    return MessageAnswer::kOk;
}

}  // namespace kestrum

namespace {

using namespace kestrum;
using test::Checks;
using test::ScreenImage;

constexpr wchar_t kCountdownClass[] = L"MolvaneSecureExitCountdown";

FatalError SampleError() {
    FatalError error;
    error.title = u"Link Error - خطأ في الرابط";
    error.englishText =
        u"Failed to process the content link.\nIf the problem persists, send the diagnostic "
        u"code below to support.";
    error.arabicText =
        u"فشل في معالجة رابط المحتوى.\nإذا استمرت المشكلة، يرجى إرسال الكود التشخيصي أدناه "
        u"للدعم الفني.";
    const char* code = std::getenv("PROBE_CODE");
    error.code = code != nullptr ? code : "PROBE-CODE";
    return error;
}

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::string Narrow(const std::wstring& text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// Refuses to create the countdown's window, as a system out of window resources would.
LRESULT CALLBACK RefuseCountdown(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        const LPCWSTR className = create->lpcs->lpszClass;
        if (!IS_INTRESOURCE(className) && std::wcscmp(className, kCountdownClass) == 0) {
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int Present(const char* mode) {
    InstallFatalErrorPresenter();
    SetShutdownHook([] {
        std::fputs("SHUTDOWN HOOK RAN\n", stderr);
        std::fflush(stderr);
    });
    static const FatalError error = SampleError();
    if (std::strcmp(mode, "main") == 0) {
        ShowFatalErrorDialog(error);
    } else if (std::strcmp(mode, "threads") == 0) {
        std::thread([] { ShowFatalErrorDialog(error); }).detach();
        std::thread([] { ShowFatalErrorDialog(error); }).detach();
        Sleep(60000);
    } else if (std::strcmp(mode, "reenter") == 0) {
        // A timer of this thread fires inside the countdown's loop and fails once more.
        SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR timer, DWORD) {
            KillTimer(nullptr, timer);
            std::fputs("SECOND FAILURE\n", stderr);
            std::fflush(stderr);
            FatalError second = error;
            second.code = "SECOND-" + error.code;
            ShowFatalErrorDialog(second);
        });
        ShowFatalErrorDialog(error);
    } else if (std::strcmp(mode, "no-window") == 0) {
        SetWindowsHookExW(WH_CBT, RefuseCountdown, nullptr, GetCurrentThreadId());
        ShowFatalErrorDialog(error);
    }
    std::fputs("PRESENTER RETURNED\n", stderr);
    return 3;
}

int PrintClipboard() {
    for (int attempt = 0; !OpenClipboard(nullptr); ++attempt) {
        if (attempt == 50) {
            return 1;
        }
        Sleep(20);
    }
    std::string unicode = "(none)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const char16_t*>(GlobalLock(data))) {
            unicode = Utf16ToUtf8(text);
            GlobalUnlock(data);
        }
    }
    std::string ansi = "(none)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* text = static_cast<const char*>(GlobalLock(data))) {
            ansi = text;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    std::printf("unicode=%s\nansi=%s\n", unicode.c_str(), ansi.c_str());
    return 0;
}

int WriteExpectedCommandLine(const char* file) {
    const FatalError error = SampleError();
    const std::string line = Utf16ToUtf8(
        BuildDiagnosticCommandLine(error.title, error.englishText, error.arabicText, error.code));
    std::ofstream out(file, std::ios::binary);
    out << line;
    return out ? 0 : 1;
}

int WriteExpectedBox(const std::string& which, const char* file) {
    const FatalError error = SampleError();
    const std::u16string text =
        which == "dialog"
            ? DialogFallbackText(error.englishText, error.arabicText, error.code)
            : CountdownFallbackText(error.englishText, error.arabicText, kCountdownSeconds);
    std::ofstream out(file, std::ios::binary);
    out << Utf16ToUtf8(text);
    return out ? 0 : 1;
}

HFONT InterfaceFont(int pixels, bool bold) {
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
}

// The height a wrapped 16 px text takes between x = 30 and W - 30, at least 20.
int WrappedHeight(const std::u16string& text, int clientWidth, bool rightToLeft) {
    HDC dc = GetDC(nullptr);
    HFONT font = InterfaceFont(16, false);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT box{30, 0, clientWidth - 30, 0};
    DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &box,
              DT_CALCRECT | DT_WORDBREAK | DT_CENTER | (rightToLeft ? DT_RTLREADING : 0));
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return std::max(20, static_cast<int>(box.bottom - box.top));
}

// The application icon as DrawIconEx paints it on the countdown's background.
ScreenImage ReferenceIcon() {
    ScreenImage icon;
    icon.width = icon.height = 64;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 64;
    info.bmiHeader.biHeight = -64;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    RECT all{0, 0, 64, 64};
    HBRUSH background = CreateSolidBrush(RGB(0x1A, 0x1A, 0x2E));
    FillRect(memory, &all, background);
    DeleteObject(background);
    HICON handle = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101),
                                                 IMAGE_ICON, 64, 64, LR_DEFAULTCOLOR));
    DrawIconEx(memory, 0, 0, handle, 64, 64, 0, nullptr, DI_NORMAL);
    DestroyIcon(handle);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    icon.pixels.assign(source, source + 64 * 64);
    for (std::uint32_t& pixel : icon.pixels) {
        pixel &= 0xFFFFFFu;
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return icon;
}

bool SameArea(const ScreenImage& a, const ScreenImage& b, const RECT& area) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                return false;
            }
        }
    }
    return true;
}

int InspectCountdown(const char* png) {
    Checks checks;
    HWND window = test::WaitForWindow(kCountdownClass, L"Security Alert", 10000);
    checks.Expect(window != nullptr, "a visible \"Security Alert\" countdown window");
    if (window == nullptr) {
        return 1;
    }
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT frame{};
    GetWindowRect(window, &frame);
    const int left = (screenWidth - 700) / 2;
    const int top = (screenHeight - 600) / 2;
    checks.Expect(frame.left == left && frame.top == top && frame.right == left + 700 &&
                      frame.bottom == top + 600,
                  "700 x 600 in the middle of the screen, at " + std::to_string(frame.left) + "," +
                      std::to_string(frame.top) + " size " +
                      std::to_string(frame.right - frame.left) + "x" +
                      std::to_string(frame.bottom - frame.top));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const LONG extended = GetWindowLongW(window, GWL_EXSTYLE);
    checks.Expect(
        (style & (WS_POPUP | WS_BORDER)) == (WS_POPUP | WS_BORDER) && (style & WS_DLGFRAME) == 0,
        "a bordered pop-up without a caption");
    checks.Expect(
        (extended & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW)) == (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
        "top-most tool window");

    Sleep(300);  // the first paint
    const ScreenImage shot = test::CaptureWholeScreen();
    checks.Expect(test::SavePng(shot, std::wstring(png, png + std::strlen(png))),
                  std::string("screenshot saved to ") + png);

    const RECT client = test::ClientOnScreen(window);
    const int ox = client.left;
    const int oy = client.top;
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    const FatalError error = SampleError();
    const int h1 = WrappedHeight(error.englishText, w, false);
    const int h2 = WrappedHeight(error.arabicText, w, true);
    const int f = h1 + h2;
    auto box = [&](int l, int t, int r, int b) { return RECT{ox + l, oy + t, ox + r, oy + b}; };

    constexpr std::uint32_t kBackground = 0x1A1A2E;
    constexpr std::uint32_t kAccent = 0xE94560;
    constexpr std::uint32_t kDeepBlue = 0x0F3460;
    checks.ExpectColour(shot, ox + 3, oy + 3, kBackground, "background, top left");
    checks.ExpectColour(shot, ox + w - 4, oy + h - 4, kBackground, "background, bottom right");

    const ScreenImage icon = ReferenceIcon();
    int iconMismatches = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (shot.At(ox + (w - 64) / 2 + x, oy + 20 + y) != icon.pixels[y * 64 + x]) {
                ++iconMismatches;
            }
        }
    }
    checks.Expect(iconMismatches == 0, "application icon 64 x 64 at ((W - 64) / 2, 20): " +
                                           std::to_string(iconMismatches) + " pixels differ");

    checks.ExpectAtLeast(shot, box(20, 92, w - 20, 127), kAccent, 60, "title in #E94560 bold");
    checks.ExpectColour(shot, ox + 40, oy + 137, kAccent, "rule starts at x 40");
    checks.ExpectColour(shot, ox + w / 2, oy + 137, kAccent, "rule in the middle");
    checks.ExpectColour(shot, ox + w - 41, oy + 137, kAccent, "rule ends before W - 40");
    checks.ExpectColour(shot, ox + 39, oy + 137, kBackground, "nothing left of the rule");
    checks.ExpectColour(shot, ox + w - 40, oy + 137, kBackground, "nothing right of the rule");
    checks.ExpectColour(shot, ox + w / 2, oy + 136, kBackground, "the rule is one pixel high");

    checks.ExpectAtLeast(shot, box(30, 152, w - 30, 152 + h1), 0xCCCCCC, 10,
                         "English text in #CCCCCC");
    checks.ExpectAtLeast(shot, box(30, 162 + h1, w - 30, 162 + h1 + h2), 0xB4B4B4, 10,
                         "Arabic text in #B4B4B4");

    const int cx = w / 2;
    const int cy = f + 227;
    checks.ExpectColour(shot, ox + cx - 45, oy + cy, kAccent, "circle's left edge");
    checks.ExpectColour(shot, ox + cx + 44, oy + cy, kAccent, "circle's right edge");
    checks.ExpectColour(shot, ox + cx, oy + f + 183, kAccent, "circle's top edge");
    checks.ExpectColour(shot, ox + cx - 47, oy + cy, kBackground, "outside the circle and its pen");
    checks.ExpectColour(shot, ox + cx, oy + f + 188, kDeepBlue, "circle filled #0F3460");
    checks.ExpectAtLeast(shot, box(cx - 35, f + 195, cx + 35, f + 260), kAccent, 150,
                         "seconds in 60 px bold #E94560");

    checks.ExpectAtLeast(shot, box(20, f + 282, w - 20, f + 302), 0x888888, 10,
                         "English notice in #888888");
    checks.ExpectAtLeast(shot, box(20, f + 304, w - 20, f + 324), 0x888888, 10,
                         "Arabic notice in #888888");
    checks.ExpectAtLeast(shot, box(20, f + 334, w - 20, f + 352), kAccent, 10,
                         "code caption in #E94560");
    checks.ExpectColour(shot, ox + 30, oy + f + 370, kAccent, "code box frame, left");
    checks.ExpectColour(shot, ox + w - 31, oy + f + 370, kAccent, "code box frame, right");
    checks.ExpectColour(shot, ox + cx, oy + f + 356, kAccent, "code box frame, top");
    checks.ExpectColour(shot, ox + cx, oy + f + 385, kAccent, "code box frame, bottom");
    checks.ExpectColour(shot, ox + 29, oy + f + 370, kBackground, "outside the code box");
    checks.ExpectColour(shot, ox + 32, oy + f + 358, kDeepBlue, "code box filled #0F3460");
    checks.ExpectAtLeast(shot, box(35, f + 358, w - 35, f + 384), kAccent, 20, "code in #E94560");
    checks.ExpectAtLeast(shot, box(20, f + 391, w - 20, f + 407), 0x646464, 10,
                         "copied notice in #646464");
    checks.Expect(test::CountColour(shot, box(1, f + 409, w - 1, h - 1), kBackground) ==
                      (w - 2) * (h - 1 - f - 409),
                  "nothing below the copied notice");

    // The count goes on: the seconds and the notices change, the rest stays.
    Sleep(1100);
    const ScreenImage later = test::CaptureWholeScreen();
    checks.Expect(!SameArea(shot, later, box(cx - 45, f + 182, cx + 45, f + 272)),
                  "the seconds change after a second");
    checks.Expect(!SameArea(shot, later, box(20, f + 282, w - 20, f + 302)),
                  "the English notice changes after a second");
    checks.Expect(SameArea(shot, later, box(0, 0, w, f + 180)),
                  "the title and texts stay as they were");
    return checks.failures();
}

int PrintBox(const char* textFile) {
    const std::u16string title = SampleError().title;
    HWND box = test::WaitForWindow(L"#32770", Wide(title), 15000);
    if (box == nullptr) {
        std::fputs("no message box with the failure's caption\n", stderr);
        return 1;
    }
    Sleep(200);
    wchar_t text[4096] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 4096);
    std::ofstream(textFile, std::ios::binary) << Narrow(text);
    RECT button{};
    GetWindowRect(GetDlgItem(box, IDOK), &button);
    std::printf("%ld %ld\n", (button.left + button.right) / 2, (button.top + button.bottom) / 2);
    return 0;
}

int PrintCountdownRect() {
    HWND window = test::WaitForWindow(kCountdownClass, nullptr, 5000);
    if (window == nullptr) {
        return 1;
    }
    RECT frame{};
    GetWindowRect(window, &frame);
    std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom);
    return 0;
}

int CountCountdowns() {
    int count = 0;
    for (HWND window = FindWindowExW(nullptr, nullptr, kCountdownClass, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, kCountdownClass, nullptr)) {
        ++count;
    }
    std::printf("%d\n", count);
    return 0;
}

int HoldClipboard(int seconds) {
    // Opened for a window: Wine lets a second opener without a window in otherwise.
    HWND holder = CreateWindowExW(0, L"STATIC", L"clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
    if (!OpenClipboard(holder)) {
        return 1;
    }
    std::puts("HOLDING");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    CloseClipboard();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    int result = 2;
    if (command == "present" && argc == 3) {
        result = Present(argv[2]);
    } else if (command == "clipboard") {
        result = PrintClipboard();
    } else if (command == "inspect-countdown" && argc == 3) {
        result = InspectCountdown(argv[2]);
    } else if (command == "expected-command-line" && argc == 3) {
        result = WriteExpectedCommandLine(argv[2]);
    } else if (command == "expected-box" && argc == 4) {
        result = WriteExpectedBox(argv[2], argv[3]);
    } else if (command == "box" && argc == 3) {
        result = PrintBox(argv[2]);
    } else if (command == "window-rect") {
        result = PrintCountdownRect();
    } else if (command == "hold-clipboard" && argc == 3) {
        result = HoldClipboard(std::atoi(argv[2]));
    } else if (command == "countdowns") {
        result = CountCountdowns();
    } else {
        std::fputs("usage: see the comment at the top of fatal_probe_win32.cpp\n", stderr);
    }
    std::fflush(nullptr);
    return result;
}
