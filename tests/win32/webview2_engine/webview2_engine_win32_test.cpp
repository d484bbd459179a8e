// The Windows engine behind the portable host, against the test runtime: each creation stage's
// failure as the learner reads it, the navigation policy, the local "Blocked" answer, the
// player's request headers, document scripts, page messages both ways and the print results.
// The test runtime records every call the engine makes (KESTRUM_STANDIN_LOG).
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "browser/header_decisions.h"
#include "browser/navigation_policy.h"
#include "browser/webview_host.h"
#include "browser/win32/webview_engine_win32.h"
#include "common/app_context.h"
#include "common/text_encoding.h"
#include "service/device_identity.h"

namespace kestrum {
namespace {

std::string TempFolder() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

std::u16string U16(const std::string& text) {
    return Utf8ToUtf16(text);
}

// "Name: value" of each header, sorted by name and joined with "; ", as the test runtime
// describes a request's headers.
std::string Describe(std::vector<RequestHeader> headers) {
    std::sort(headers.begin(), headers.end(),
              [](const RequestHeader& a, const RequestHeader& b) { return a.name < b.name; });
    std::string text;
    for (const RequestHeader& header : headers) {
        if (!text.empty())
            text += "; ";
        text += Utf16ToUtf8(header.name) + ": " + Utf16ToUtf8(header.value);
    }
    return text;
}

class WebView2Engine : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        const std::string run = TempFolder() + "kestrum-engine-" +
                                std::to_string(GetCurrentProcessId()) + "-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(run.c_str(), nullptr);
        dataBase_ = U16(run + "\\WebView2Data");
        logPath_ = run + "\\standin.log";
        scriptPath_ = run + "\\page-script.txt";
        std::remove(logPath_.c_str());
        SetEnvironmentVariableA("KESTRUM_STANDIN_LOG", logPath_.c_str());
        for (const char* name :
             {"KESTRUM_STANDIN_FAIL", "KESTRUM_STANDIN_SCRIPT", "KESTRUM_STANDIN_PRINT_STATUS",
              "KESTRUM_STANDIN_WITHHOLD", "KESTRUM_STANDIN_ASYNC"})
            SetEnvironmentVariableA(name, nullptr);
        window_ = CreateWindowExW(0, L"STATIC", L"engine test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        TheAppContext() = AppContext{};
    }
    void TearDown() override {
        host_.reset();
        if (window_)
            DestroyWindow(window_);
        SetEnvironmentVariableA("KESTRUM_STANDIN_LOG", nullptr);
        CoUninitialize();
    }

    WebView2EngineHooks Hooks() {
        return WebView2EngineHooks{
            [](const std::u16string& host) { return host != u"intercepted.example"; },
            [this](const std::u16string& host) { blockedHosts_.push_back(host); },
            [this](HWND owner) {
                pickerOwners_.push_back(owner);
                return printer_;
            }};
    }
    WebViewHost& NewHost(BrowserWindow kind) {
        host_ = std::make_unique<WebViewHost>(CreateWebView2Engine(kind, Hooks()));
        host_->onInitialized = [this](bool success, HResult hr) {
            reports_.push_back({success, hr});
        };
        return *host_;
    }
    WebViewHost& UpHost(BrowserWindow kind) {
        WebViewHost& host = NewHost(kind);
        EXPECT_TRUE(host.Initialize(window_, dataBase_, 1)) << Utf16ToUtf8(host.statusText());
        return host;
    }
    void PageScript(const std::string& lines) {
        std::ofstream(scriptPath_) << lines;
        SetEnvironmentVariableA("KESTRUM_STANDIN_SCRIPT", scriptPath_.c_str());
    }
    std::string Log() const {
        std::ifstream in(logPath_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool Logged(const std::string& line) const {
        return ("\n" + Log()).find("\n" + line + "\n") != std::string::npos;
    }
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const {
        std::vector<std::string> lines;
        std::stringstream text(Log());
        for (std::string line; std::getline(text, line);)
            if (line.rfind(prefix, 0) == 0)
                lines.push_back(line);
        return lines;
    }
    std::string FixedFolder() const { return Utf16ToUtf8(dataBase_) + "_Fixed_Env5"; }

    HWND window_ = nullptr;
    std::u16string dataBase_;
    std::string logPath_;
    std::string scriptPath_;
    std::unique_ptr<WebViewHost> host_;
    struct Report {
        bool success;
        HResult hr;
    };
    std::vector<Report> reports_;
    std::vector<std::u16string> blockedHosts_;
    std::vector<HWND> pickerOwners_;
    std::u16string printer_ = u"Office Laser";
};

TEST_F(WebView2Engine, ComesUpOnThePrivateRuntimeAndConfiguresTheBrowser) {
    WebViewHost& host = UpHost(BrowserWindow::kMain);
    EXPECT_EQ(Utf16ToUtf8(host.statusText()),
              "WebView2 initialized with Fixed 120.0.2210.91; userData=" + FixedFolder());
    ASSERT_EQ(reports_.size(), 1U);
    EXPECT_TRUE(reports_[0].success);
    EXPECT_EQ(reports_[0].hr, kSOk);

    // The loader got the data folder and the options carry the browser arguments.
    EXPECT_NE(Log().find("runtimeType=1 userData=" + FixedFolder() +
                         " arguments=" + Utf16ToUtf8(BrowserArguments()) + " language="),
              std::string::npos)
        << Log();
    RECT client{};
    GetClientRect(window_, &client);
    for (const std::string& line :
         {std::string("add_BrowserProcessExited"),
          std::string("Controller.put_DefaultBackgroundColor 255 18 18 18"),
          std::string("Controller.put_AllowExternalDrop 0"),
          "Controller.put_Bounds 0,0," + std::to_string(client.right) + "," +
              std::to_string(client.bottom),
          std::string("add_NavigationStarting"), std::string("add_WebMessageReceived"),
          std::string("add_NavigationCompleted"), std::string("add_PermissionRequested"),
          std::string("add_NewWindowRequested"),
          std::string("AddWebResourceRequestedFilterWithRequestSourceKinds * 0 4294967295"),
          std::string("add_WebResourceRequested")})
        EXPECT_TRUE(Logged(line)) << line << "\n" << Log();

    host.ApplySettings();
    for (const char* line :
         {"Settings.put_AreDevToolsEnabled 0", "Settings.put_AreDefaultContextMenusEnabled 0",
          "Settings.put_IsStatusBarEnabled 0", "Settings.put_IsZoomControlEnabled 0",
          "Settings.put_AreBrowserAcceleratorKeysEnabled 0",
          "Settings.put_HiddenPdfToolbarItems 0"})
        EXPECT_TRUE(Logged(line)) << line;
    EXPECT_TRUE(LinesStartingWith("Settings.put_IsScriptEnabled").empty());

    // Closing waits for the browser's exit report, then stops watching; a second close does
    // nothing.
    host.Close(5000);
    host.Close(5000);
    EXPECT_EQ(LinesStartingWith("Controller.Close").size(), 1U);
    const std::string log = Log();
    const size_t exited = log.find("BrowserProcessExited\n");
    ASSERT_NE(exited, std::string::npos) << log;
    EXPECT_NE(log.find("remove_BrowserProcessExited 1", exited), std::string::npos) << log;
    EXPECT_FALSE(host.IsUp());
}

TEST_F(WebView2Engine, EachCreationStageFailureReachesTheStatusText) {
    struct Case {
        const char* fail;
        HResult hr;
        const char* stage;
        bool controllerClosed;
    };
    const Case cases[] = {
        {"create=0x80070002", static_cast<HResult>(0x80070002), "CreateEnvironmentCall", false},
        {"environment=0x80070005", static_cast<HResult>(0x80070005), "CreateEnvironmentCallback",
         false},
        {"controllercall=0x8007000E", static_cast<HResult>(0x8007000E), "CreateControllerCall",
         false},
        {"controller=0x80004004", static_cast<HResult>(0x80004004), "CreateControllerCallback",
         false},
        {"webview=0x80004002", static_cast<HResult>(0x80004002), "GetCoreWebView2", true},
        // A completion that reports success without its object.
        {"nowebview", kEFail, "GetCoreWebView2", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fail);
        std::remove(logPath_.c_str());
        reports_.clear();
        SetEnvironmentVariableA("KESTRUM_STANDIN_FAIL", c.fail);
        WebViewHost& host = NewHost(BrowserWindow::kMain);
        EXPECT_FALSE(host.Initialize(window_, dataBase_, 1));
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(c.hr));
        EXPECT_EQ(Utf16ToUtf8(host.statusText()),
                  std::string("WebView2 initialization failed. First=") + hex + " at " + c.stage +
                      "; last=" + hex + " at " + c.stage +
                      "; runtime=Fixed 120.0.2210.91; lastUserData=" + FixedFolder());
        EXPECT_EQ(host.lastHr(), c.hr);
        ASSERT_EQ(reports_.size(), 1U);
        EXPECT_FALSE(reports_[0].success);
        EXPECT_EQ(reports_[0].hr, c.hr);
        EXPECT_FALSE(host.IsUp());
        EXPECT_EQ(LinesStartingWith("Controller.Close").size(), c.controllerClosed ? 1U : 0U)
            << Log();
    }
}

// As the runtime does it: each completion arrives later, through the thread's message loop,
// which the host runs while it waits.
TEST_F(WebView2Engine, CompletionsFromTheMessageLoopAreWaitedFor) {
    SetEnvironmentVariableA("KESTRUM_STANDIN_ASYNC", "1");
    EXPECT_TRUE(UpHost(BrowserWindow::kMain).IsUp());

    SetEnvironmentVariableA("KESTRUM_STANDIN_FAIL", "controller=0x80004004");
    WebViewHost& refused = NewHost(BrowserWindow::kMain);
    EXPECT_FALSE(refused.Initialize(window_, dataBase_, 1));
    EXPECT_EQ(refused.lastHr(), static_cast<HResult>(0x80004004));
    EXPECT_NE(refused.statusText().find(u" at CreateControllerCallback;"), std::u16string::npos);
    SetEnvironmentVariableA("KESTRUM_STANDIN_FAIL", nullptr);

    // The learner quits while the browser starts: the start fails, and the application's own
    // loop still gets the quit with its code.
    WebViewHost& quitting = NewHost(BrowserWindow::kMain);
    PostQuitMessage(7);
    EXPECT_FALSE(quitting.Initialize(window_, dataBase_, 1));
    EXPECT_EQ(quitting.lastHr(), kEAbort);
    EXPECT_NE(
        quitting.statusText().find(u"First=0x80004004 at ApplicationQuitDuringInitialization;"),
        std::u16string::npos)
        << Utf16ToUtf8(quitting.statusText());
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7U);
}

TEST_F(WebView2Engine, NavigationsTheContentPolicyRefusesAreCancelled) {
    TheAppContext().contentUrl = u"https://localhost:8443/lesson/7?x=1";
    TheAppContext().contentKind = u"pdf";
    TheAppContext().linkServer = u"https://localhost:8443";
    WebViewHost& host = UpHost(BrowserWindow::kMain);
    host.onNavigationStarting = [](const std::u16string& uri, bool& cancel) {
        cancel = ContentNavigationPolicy(uri, TheAppContext()) == NavigationDecision::kCancel;
    };
    // New windows open in this browser, where the policy judges them too.
    PageScript(
        "newwindow https://elsewhere.example/popup\n"
        "newwindow https://www.youtube.com/watch?v=1\n");
    struct Case {
        const char* uri;
        bool cancelled;
    };
    const Case cases[] = {
        {"https://localhost:8443/lesson/7?x=2", false},
        {"https://elsewhere.example/", true},
        {"https://elsewhere.example/popup", true},
        {"https://www.youtube.com/watch?v=1", false},
    };
    host.Navigate(U16(cases[0].uri));
    host.Navigate(U16(cases[1].uri));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri);
        EXPECT_TRUE(Logged(std::string("NavigationStarting ") + c.uri +
                           (c.cancelled ? " cancelled" : " allowed")))
            << Log();
        // A cancelled navigation never reaches the network.
        EXPECT_EQ(LinesStartingWith(std::string("WebResourceRequested ") + c.uri + " ").empty(),
                  c.cancelled);
    }
    EXPECT_TRUE(Logged("NewWindowRequested https://elsewhere.example/popup handled"));
}

TEST_F(WebView2Engine, AHostFailingItsPinsGetsTheLocalBlockedAnswer) {
    WebViewHost& host = UpHost(BrowserWindow::kMain);
    PageScript(
        "request https://intercepted.example:8443/app.js\n"
        "request https://trusted.example/app.js\n");
    host.Navigate(u"https://intercepted.example/page");
    EXPECT_TRUE(Logged(
        "CreateWebResourceResponse 403 Blocked content=none headers=Content-Type: text/plain"));
    // The blocked requests carry none of the player's headers.
    EXPECT_TRUE(Logged(
        "WebResourceRequested https://intercepted.example/page headers= response=403 Blocked"))
        << Log();
    EXPECT_TRUE(
        Logged("WebResourceRequested https://intercepted.example:8443/app.js headers= response=403 "
               "Blocked"));
    const std::vector<std::string> trusted =
        LinesStartingWith("WebResourceRequested https://trusted.example/app.js ");
    ASSERT_EQ(trusted.size(), 1U);
    EXPECT_NE(trusted[0].find("response=none"), std::string::npos);
    EXPECT_EQ(blockedHosts_,
              (std::vector<std::u16string>{u"intercepted.example", u"intercepted.example"}));
}

TEST_F(WebView2Engine, RequestsCarryTheHeadersOfTheirWindowAndAddress) {
    const DeviceValues device{GetDeviceId(), GetDeviceDescription()};
    const std::string addresses[] = {
        "https://localhost:8443/api/page",           // platform
        "https://media.example/course/hls/seg1.ts",  // media, anywhere pattern
        "https://media.example/lesson/video",        // media, 6-character suffix
        "https://www.youtube.com/embed/abc",         // Referer in the main window
        "https://outside.example/lib.js",            // client header only
    };
    for (const BrowserWindow kind : {BrowserWindow::kMain, BrowserWindow::kStart}) {
        SCOPED_TRACE(kind == BrowserWindow::kMain ? "main" : "start");
        std::remove(logPath_.c_str());
        TheAppContext().linkServer = u"https://localhost:8443/";
        std::string script;
        for (const std::string& address : addresses)
            script += "request " + address + "\n";
        PageScript(script);
        WebViewHost& host = UpHost(kind);
        host.Navigate(u"https://outside.example/");
        for (const std::string& address : addresses) {
            SCOPED_TRACE(address);
            const std::string expected =
                Describe(RequestHeaders(U16(address), kind, device, u"https://localhost:8443/"));
            EXPECT_NE(expected.find("X-Kestrum-Client: desktop-player"), std::string::npos);
            EXPECT_TRUE(Logged("WebResourceRequested " + address + " headers=" + expected +
                               " response=none"))
                << Log();
        }
    }
}

TEST_F(WebView2Engine, PlatformAddressesAreOpenedWithTheIdentityHeaders) {
    const DeviceValues device{GetDeviceId(), GetDeviceDescription()};
    WebViewHost& host = UpHost(BrowserWindow::kStart);
    host.Navigate(u"https://localhost:8443/start");
    host.Navigate(u"https://outside.example/");
    EXPECT_TRUE(
        Logged("NavigateWithWebResourceRequest GET https://localhost:8443/start headers=" +
               Describe(PlatformNavigationHeaders(u"https://localhost:8443/start", device))))
        << Log();
    EXPECT_TRUE(Logged("Navigate https://outside.example/"));
    EXPECT_TRUE(LinesStartingWith("NavigateWithWebResourceRequest GET https://outside").empty());
}

// A runtime without the later interfaces: the browser still comes up and works with what the
// runtime has.
TEST_F(WebView2Engine, AnOlderRuntimeGetsWhatItOffers) {
    SetEnvironmentVariableA("KESTRUM_STANDIN_WITHHOLD",
                            "WebView2_2,WebView2_22,Controller2,Controller4,Settings3,Settings7");
    WebViewHost& host = UpHost(BrowserWindow::kStart);
    EXPECT_TRUE(Logged("AddWebResourceRequestedFilter * 0"));
    EXPECT_TRUE(LinesStartingWith("AddWebResourceRequestedFilterWithRequestSourceKinds").empty());
    EXPECT_TRUE(LinesStartingWith("Controller.put_DefaultBackgroundColor").empty());
    EXPECT_TRUE(LinesStartingWith("Controller.put_AllowExternalDrop").empty());
    host.ApplySettings();
    EXPECT_TRUE(Logged("Settings.put_AreDevToolsEnabled 0"));
    EXPECT_TRUE(LinesStartingWith("Settings.put_AreBrowserAcceleratorKeysEnabled").empty());
    EXPECT_TRUE(LinesStartingWith("Settings.put_HiddenPdfToolbarItems").empty());
    // It cannot take a request of ours: the platform address is opened plainly.
    host.Navigate(u"https://localhost:8443/home");
    EXPECT_TRUE(Logged("Navigate https://localhost:8443/home"));
    EXPECT_TRUE(LinesStartingWith("NavigateWithWebResourceRequest").empty());
}

TEST_F(WebView2Engine, DocumentScriptsAreRegisteredInOrder) {
    WebViewHost& host = UpHost(BrowserWindow::kMain);
    for (const char16_t* script : {u"first()", u"second()", u"third()"})
        host.AddDocumentScript(script);
    EXPECT_EQ(LinesStartingWith("AddScriptToExecuteOnDocumentCreated"),
              (std::vector<std::string>{"AddScriptToExecuteOnDocumentCreated first()",
                                        "AddScriptToExecuteOnDocumentCreated second()",
                                        "AddScriptToExecuteOnDocumentCreated third()"}));
}

TEST_F(WebView2Engine, PageMessagesArriveAsTextAndPlayerMessagesReachThePage) {
    WebViewHost& host = UpHost(BrowserWindow::kMain);
    std::vector<std::u16string> received;
    host.onWebMessage = [&](const std::u16string& message) { received.push_back(message); };
    PageScript(
        "message \"requestPrint\"\n"
        "message {\"action\":\"requestPrint\"}\n"
        "message \"\"\n");
    host.Navigate(u"https://outside.example/");
    EXPECT_EQ(received, (std::vector<std::u16string>{u"requestPrint",
                                                     u"{\"action\":\"requestPrint\"}", u"\"\""}));
    host.PostWebMessageAsJson(u"{\"type\":\"hello\"}");
    EXPECT_TRUE(Logged("PostWebMessageAsJson {\"type\":\"hello\"}"));
}

TEST_F(WebView2Engine, PermissionsAndVisibilityFollowTheWindow) {
    WebViewHost& host = UpHost(BrowserWindow::kMain);
    PageScript("permission 1\npermission 2\npermission 3\npermission 4\npermission 6\n");
    host.Navigate(u"https://outside.example/");
    // Microphone, camera and notifications granted; location and the rest left to the runtime.
    for (const char* line : {"PermissionRequested 1 state=1", "PermissionRequested 2 state=1",
                             "PermissionRequested 3 state=0", "PermissionRequested 4 state=1",
                             "PermissionRequested 6 state=0"})
        EXPECT_TRUE(Logged(line)) << line << "\n" << Log();

    host.SetVisible(false);
    host.Resize(300, 200);
    host.RestoreVisibility();
    const std::vector<std::string> visibility = LinesStartingWith("Controller.");
    const std::vector<std::string> tail(visibility.end() - 5, visibility.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "Controller.put_IsVisible 0", "Controller.put_Bounds 0,0,300,200",
                        "Controller.put_Bounds 0,0,300,200", "Controller.put_IsVisible 1",
                        "Controller.NotifyParentWindowPositionChanged"}));
    // Minimised: the browser stays hidden.
    ShowWindow(window_, SW_MINIMIZE);
    if (IsIconic(window_)) {
        const size_t before = LinesStartingWith("Controller.").size();
        host.RestoreVisibility();
        EXPECT_EQ(LinesStartingWith("Controller.").size(), before);
    }
}

TEST_F(WebView2Engine, EachPrintOutcomeGivesOneResultMessage) {
    struct Case {
        const char* printer;
        const char* status;
        const char* fail;
        const char* withhold;
        const char* message;
    };
    const Case cases[] = {
        {"", "0", "", "", R"({"type":"printResult","status":"cancelled"})"},
        {"Office Laser", "0", "", "",
         R"({"type":"printResult","status":"success","message":"Print job sent successfully."})"},
        {"Office Laser", "1", "", "",
         R"({"type":"printResult","status":"error","message":"The selected printer is unavailable."})"},
        {"Office Laser", "2", "", "",
         R"({"type":"printResult","status":"error","message":"Print failed with unknown error."})"},
        {"Office Laser", "9", "", "",
         R"({"type":"printResult","status":"error","message":"Print failed with unknown error."})"},
        {"Office Laser", "0", "print=0x80004005", "",
         R"({"type":"printResult","status":"error","message":"Print failed. Please check your printer."})"},
        {"Office Laser", "0", "", "Environment6",
         R"({"type":"printResult","status":"error","message":"Failed to create print environment"})"},
        {"Office Laser", "0", "", "PrintSettings2",
         R"({"type":"printResult","status":"error","message":"Failed to set printer name"})"},
        {"Office Laser", "0", "", "WebView2_16",
         R"({"type":"printResult","status":"error","message":"Print API not available"})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.printer) + " " + c.status + " " + c.fail + " " + c.withhold);
        std::remove(logPath_.c_str());
        pickerOwners_.clear();
        SetEnvironmentVariableA("KESTRUM_STANDIN_WITHHOLD", c.withhold);
        WebViewHost& host = UpHost(BrowserWindow::kMain);
        printer_ = U16(c.printer);
        SetEnvironmentVariableA("KESTRUM_STANDIN_PRINT_STATUS", c.status);
        SetEnvironmentVariableA("KESTRUM_STANDIN_FAIL", c.fail);
        host.ShowSystemPrintDialog();
        SetEnvironmentVariableA("KESTRUM_STANDIN_FAIL", nullptr);
        EXPECT_EQ(pickerOwners_, std::vector<HWND>{window_});
        EXPECT_EQ(LinesStartingWith("PostWebMessageAsJson"),
                  std::vector<std::string>{std::string("PostWebMessageAsJson ") + c.message})
            << Log();
        const bool printed = !LinesStartingWith("Print printer=").empty();
        EXPECT_EQ(printed,
                  std::string(c.message).find("\"cancelled\"") == std::string::npos &&
                      std::string(c.message).find("print environment") == std::string::npos &&
                      std::string(c.message).find("printer name") == std::string::npos &&
                      std::string(c.message).find("API") == std::string::npos);
        if (printed) {
            // Only the printer's name is set; everything else keeps the runtime's defaults.
            EXPECT_TRUE(Logged(std::string("Print printer=") + c.printer));
            EXPECT_EQ(LinesStartingWith("PrintSettings.put_"),
                      std::vector<std::string>{std::string("PrintSettings.put_PrinterName ") +
                                               c.printer});
        }
    }
    // Two requests of one page: two answers.
    std::remove(logPath_.c_str());
    SetEnvironmentVariableA("KESTRUM_STANDIN_WITHHOLD", nullptr);
    SetEnvironmentVariableA("KESTRUM_STANDIN_PRINT_STATUS", "0");
    WebViewHost& host = UpHost(BrowserWindow::kMain);
    host.ShowSystemPrintDialog();
    host.ShowSystemPrintDialog();
    EXPECT_EQ(LinesStartingWith("PostWebMessageAsJson").size(), 2U);
}

}  // namespace
}  // namespace kestrum
