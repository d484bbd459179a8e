// The two browser windows on Win32: the waiting text as painted on the screen, the browser's
// failure reported to the learner over the window, the hosts closed once from the window
// messages and from other threads, and both full-screen forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "app/win32/host_shutdown_win32.h"
#include "box_answerer_win32.h"
#include "browser/browser_host_slots.h"
#include "browser/win32/browser_windows_win32.h"
#include "browser/win32/runtime_version_win32.h"
#include "browser/win32/webview_engine_win32.h"
#include "common/win32/known_paths_win32.h"
#include "screen_capture_win32.h"

namespace kestrum {
namespace {

// A host that records where and how often it was closed.
struct CountingHost final : ClosableHost {
    explicit CountingHost(int& closes, DWORD& thread) : closes_(closes), thread_(thread) {}
    void Close(unsigned) override {
        ++closes_;
        thread_ = GetCurrentThreadId();
    }
    int& closes_;
    DWORD& thread_;
};

HWND CreateTestWindow(const wchar_t* className, WNDPROC procedure, int width, int height) {
    RegisterBrowserWindowClass(GetModuleHandleW(nullptr), className, procedure);
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, className, L"Kestrum V 4.11.0",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width, height, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(window);
    return window;
}

// Takes the quit message a window's destruction posted; its code, or -1 without one.
int TakeQuit() {
    MSG message{};
    if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return static_cast<int>(message.wParam);
    return -1;
}

class BrowserWindowsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        TheBrowserHosts().contentHost.reset();
        TheBrowserHosts().startHost.reset();
        TheBrowserWindows() = BrowserWindowSlots{};
        TakeQuit();
    }
};

TEST_F(BrowserWindowsTest, WaitingTextIsPaintedLightGreyOnBlackInTheMiddle) {
    HWND window = CreateTestWindow(L"KestrumWindow", ContentWndProc, 640, 360);
    ASSERT_NE(window, nullptr);
    PumpFor(400);
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const ScreenImage shot = CaptureScreen(origin.x, origin.y, client.right, client.bottom);
    long grey = 0, black = 0, greyOutsideBand = 0;
    const int middle = client.bottom / 2;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            const std::uint32_t pixel = shot.pixels[static_cast<std::size_t>(y * client.right + x)];
            if (pixel == 0)
                ++black;
            if (pixel == 0xC8C8C8) {
                ++grey;
                greyOutsideBand += (y < middle - 20 || y > middle + 20);
            }
        }
    }
    EXPECT_GT(grey, 40) << "the text's strokes are RGB(200, 200, 200)";
    EXPECT_EQ(greyOutsideBand, 0) << "the text is one line, vertically centred";
    EXPECT_GT(black, client.right * client.bottom * 9 / 10) << "the background is black";
    DestroyWindow(window);
}

TEST_F(BrowserWindowsTest, BothClassesRedrawOnResizeOverBlackWithTheProgramsIcon) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    struct Class {
        const wchar_t* name;
        WNDPROC procedure;
    };
    for (const Class& c :
         {Class{L"MolvaneInitWindow", StartWndProc}, Class{L"KestrumWindow", ContentWndProc}}) {
        const wchar_t* name = c.name;
        const WNDPROC procedure = c.procedure;
        RegisterBrowserWindowClass(instance, name, procedure);
        WNDCLASSEXW info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetClassInfoExW(instance, name, &info));
        EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(info.lpfnWndProc, procedure);
        EXPECT_EQ(info.hbrBackground, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EXPECT_EQ(info.hCursor, LoadCursorW(nullptr, IDC_ARROW));
        EXPECT_NE(info.hIcon, nullptr) << "icon 101 of the program";
    }
}

TEST_F(BrowserWindowsTest, ClosingTheHostsMessageThenDestroyClosesThemOnceAndQuits) {
    int closes = 0;
    DWORD thread = 0;
    HWND window = CreateTestWindow(L"MolvaneInitWindow", StartWndProc, 300, 200);
    TheBrowserWindows().mainWindow = window;
    TheBrowserHosts().startHost = std::make_unique<CountingHost>(closes, thread);
    TheBrowserHosts().contentHost = std::make_unique<CountingHost>(closes, thread);

    EXPECT_EQ(SendMessageW(window, WM_APP_CLOSE_HOSTS, 0, 0), 0);
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(TheBrowserHosts().startHost, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(closes, 2) << "the hosts are closed once";
    EXPECT_EQ(TheBrowserWindows().mainWindow, nullptr);
    EXPECT_EQ(TakeQuit(), 0);
}

TEST_F(BrowserWindowsTest, AnotherThreadHasTheHostsClosedOnTheWindowsThread) {
    RecordMainThread();
    int closes = 0;
    DWORD thread = 0;
    HWND window = CreateTestWindow(L"KestrumWindow", ContentWndProc, 300, 200);
    TheBrowserWindows().mainWindow = window;
    TheBrowserHosts().contentHost = std::make_unique<CountingHost>(closes, thread);

    std::atomic<bool> done{false};
    std::thread other([&] {
        CloseBrowserHostsFromAnyThread(7000);
        done = true;
    });
    while (!done)
        PumpFor(20);
    other.join();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(thread, GetCurrentThreadId());

    // Without a live main window another thread has nothing to ask.
    DestroyWindow(window);
    TakeQuit();
    TheBrowserHosts().contentHost = std::make_unique<CountingHost>(closes, thread);
    std::thread late([] { CloseBrowserHostsFromAnyThread(7000); });
    late.join();
    EXPECT_EQ(closes, 1);
}

TEST_F(BrowserWindowsTest, MinimisingAndPowerEventsAreAnsweredWithoutABrowser) {
    HWND window = CreateTestWindow(L"KestrumWindow", ContentWndProc, 300, 200);
    EXPECT_EQ(SendMessageW(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0), TRUE);
    // Resuming with no host is left to the default handling.
    EXPECT_EQ(SendMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0),
              DefWindowProcW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
    EXPECT_EQ(SendMessageW(window, WM_SIZE, SIZE_MINIMIZED, 0), 0);
    DestroyWindow(window);
}

TEST_F(BrowserWindowsTest, StartWindowFullScreenCoversTheMonitorAndComesBack) {
    HWND window = CreateTestWindow(L"MolvaneInitWindow", StartWndProc, 500, 300);
    RECT before{};
    GetWindowRect(window, &before);
    BrowserWindowShell& shell = Win32BrowserWindowShell();

    shell.ToggleStartFullscreen(window);
    RECT full{};
    GetWindowRect(window, &full);
    EXPECT_EQ(full.left, 0);
    EXPECT_EQ(full.top, 0);
    EXPECT_EQ(full.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(full.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0) << "no frame";

    shell.ToggleStartFullscreen(window);
    RECT back{};
    GetWindowRect(window, &back);
    EXPECT_EQ(back.left, before.left);
    EXPECT_EQ(back.top, before.top);
    EXPECT_EQ(back.right, before.right);
    EXPECT_EQ(back.bottom, before.bottom);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW,
              static_cast<LONG>(WS_OVERLAPPEDWINDOW));
    DestroyWindow(window);
}

TEST_F(BrowserWindowsTest, MainWindowFullScreenTogglesBetweenMonitorAndFramedSize) {
    HWND window = CreateTestWindow(L"KestrumWindow", ContentWndProc, 700, 400);
    TheBrowserWindows().contentWindow = window;
    BrowserWindowShell& shell = Win32BrowserWindowShell();

    // The system adds WS_CLIPSIBLINGS to every top-level window.
    const DWORD kIgnored = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    HandlePageMessage(u"\"toggleFullscreen\"", shell);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & ~kIgnored,
              WS_POPUP | WS_VISIBLE);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));

    HandlePageMessage(u"toggleFullscreen", shell);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & WS_OVERLAPPEDWINDOW,
              static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    GetWindowRect(window, &rect);
    // 1280 x 720, or as much of it as the system lets a window on this screen have.
    EXPECT_EQ(rect.right - rect.left, std::min(1280, GetSystemMetrics(SM_CXMAXTRACK)));
    EXPECT_EQ(rect.bottom - rect.top, std::min(720, GetSystemMetrics(SM_CYMAXTRACK)));
    DestroyWindow(window);
}

TEST_F(BrowserWindowsTest, ABrowserThatCannotStartIsReportedOverItsWindow) {
    HWND window = CreateTestWindow(L"KestrumWindow", ContentWndProc, 400, 300);
    BoxAnswerer answerer(L"WebView2 Error", IDOK);
    EXPECT_FALSE(CreatePlayerWindow(GetModuleHandleW(nullptr), window));
    answerer.Join();
    ASSERT_TRUE(answerer.found);
    EXPECT_EQ(answerer.ownerClass, L"KestrumWindow");
    EXPECT_EQ(answerer.text.rfind(L"Failed to initialize WebView2.\n\nWebView2 initialization "
                                  L"failed. First=0x80070002 at CreateEnvironmentCall;",
                                  0),
              0u)
        << std::string(answerer.text.begin(), answerer.text.end());
    EXPECT_NE(TheBrowserHosts().contentHost, nullptr) << "the failed host stays in its slot";
    EXPECT_FALSE(CreatePlayerWindow(GetModuleHandleW(nullptr), nullptr));
    DestroyWindow(window);
}

TEST(BrowserRuntime, InstalledVersionIsTheUpdatersRecordedFolder) {
    const wchar_t* key =
        L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
    struct Case {
        const wchar_t* folder;
        std::u16string version;
    } cases[] = {{L"C:\\Runtime\\Application\\120.0.2210.91", u"120.0.2210.91"},
                 {L"C:\\Runtime\\Application\\100.0.1149.1", u""},
                 {L"", u""}};
    for (const Case& c : cases) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0,
                                  KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(handle, L"EBWebView", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.folder),
                       static_cast<DWORD>((wcslen(c.folder) + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
        EXPECT_EQ(AvailableBrowserVersion(u""), c.version);
    }
    RegDeleteKeyExW(HKEY_CURRENT_USER, key, KEY_WOW64_32KEY, 0);
    EXPECT_EQ(AvailableBrowserVersion(u""), u"");
}

TEST(BrowserRuntime, PrivateRuntimeVersionIsItsEngineLibrarysProductVersion) {
    const std::wstring folder = TempFolder() + L"kestrum-runtime-test";
    const std::wstring library = folder + L"\\EBWebView\\x64";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\EBWebView").c_str(), nullptr);
    CreateDirectoryW(library.c_str(), nullptr);
    const std::wstring probe = library + L"\\EmbeddedBrowserWebView.dll";
    // This program carries the player's version resource: 4.11.0.0.
    ASSERT_TRUE(CopyFileW(ModuleFilePath().c_str(), probe.c_str(), FALSE));
    EXPECT_EQ(AvailableBrowserVersion(std::u16string(folder.begin(), folder.end())), u"4.11.0.0");
    DeleteFileW(probe.c_str());
    EXPECT_EQ(AvailableBrowserVersion(std::u16string(folder.begin(), folder.end())), u"");
    RemoveDirectoryW(library.c_str());
    RemoveDirectoryW((folder + L"\\EBWebView").c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(BrowserEngine, DataFolderWriteTestLeavesNothingBehind) {
    auto engine = CreateWebView2Engine(BrowserWindow::kMain);
    const std::wstring wide = TempFolder() + L"kestrum-engine-test";
    const std::u16string folder(wide.begin(), wide.end());
    EXPECT_FALSE(engine->CreateFolder(folder).has_value());
    EXPECT_FALSE(engine->CreateFolder(folder).has_value()) << "an existing folder is fine";
    const std::u16string file = folder + u"\\.molvane_write_test";
    EXPECT_FALSE(engine->WriteTestFile(file).has_value());
    EXPECT_FALSE(engine->IsFile(file));
    EXPECT_TRUE(engine->IsDirectory(folder));
    const auto missing = engine->CreateFolder(folder + u"\\no\\such\\parent");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(static_cast<std::uint32_t>(*missing), 0x80070003u);
    RemoveDirectoryW(wide.c_str());
}

}  // namespace
}  // namespace kestrum
