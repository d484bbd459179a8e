#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "browser/browser_host_slots.h"
#include "browser/browser_windows.h"
#include "browser/webview_host.h"
#include "common/app_context.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

// A scripted engine: creations complete through the pump, as a runtime's handlers do.
struct EngineScript {
    bool liveWindow = true;
    std::u16string programFolder = u"C:\\Program\\Kestrum";
    std::set<std::u16string> directories, files;
    std::map<std::u16string, std::u16string> versions;  // folder ("" = installed) -> version
    std::map<std::u16string, HResult> folderFailures, writeFailures;
    HResult environmentCall = kSOk;
    Creation environment{kSOk, true};
    HResult controllerCall = kSOk;
    Creation controller{kSOk, true};
    Creation webview{kSOk, true};
    std::optional<BrowserEngine::Pump> pumpOutcome;  // instead of the pending completion
    std::int64_t pumpDetail = 0;
    bool webRtc = true;  // what the engine says of video calls

    // What the host did.
    std::map<std::u16string, std::u16string> variables;
    std::vector<std::u16string> createdFolders, environmentFolders;
    std::u16string arguments, environmentBrowserFolder;
    int closes = 0;
    std::optional<std::int64_t> repostedQuit;
    std::vector<std::string> calls;
    std::u16string html;                // the last generated page shown
    std::vector<std::u16string> posts;  // messages to the page
};

class ScriptedEngine final : public BrowserEngine {
  public:
    explicit ScriptedEngine(EngineScript& script) : s_(script) {}

    bool IsLiveWindow(NativeWindow window) override { return window && s_.liveWindow; }
    std::u16string ProgramFolder() override { return s_.programFolder; }
    char16_t PathSeparator() override { return u'\\'; }
    std::u16string PrivateRuntimeExecutableName() override { return u"msedgewebview2.exe"; }
    bool IsDirectory(const std::u16string& path) override { return s_.directories.count(path); }
    bool IsFile(const std::u16string& path) override { return s_.files.count(path); }
    std::u16string RuntimeVersion(const std::u16string& folder) override {
        const auto found = s_.versions.find(folder);
        return found == s_.versions.end() ? std::u16string() : found->second;
    }
    std::u16string RunTag() override { return u"4242_99"; }
    StepFailure CreateFolder(const std::u16string& path) override {
        s_.createdFolders.push_back(path);
        if (const auto found = s_.folderFailures.find(path); found != s_.folderFailures.end())
            return found->second;
        return std::nullopt;
    }
    StepFailure WriteTestFile(const std::u16string& path) override {
        for (const auto& [folder, hr] : s_.writeFailures) {
            if (path == folder + u"\\.molvane_write_test")
                return hr;
        }
        return std::nullopt;
    }
    bool RuntimeVariableIsSet(const std::u16string& name) override {
        return s_.variables.count(name);
    }
    void DeleteRuntimeVariable(const std::u16string& name) override { s_.variables.erase(name); }
    StepFailure SetRuntimeVariable(const std::u16string& name,
                                   const std::u16string& value) override {
        s_.variables[name] = value;
        return std::nullopt;
    }
    HResult CreateEnvironment(const std::u16string& browserFolder, const std::u16string& folder,
                              const std::u16string& arguments,
                              std::function<void(Creation)> completed) override {
        s_.environmentFolders.push_back(folder);
        s_.environmentBrowserFolder = browserFolder;
        s_.arguments = arguments;
        if (s_.environmentCall < 0)
            return s_.environmentCall;
        pending_ = [this, completed] { completed(s_.environment); };
        return kSOk;
    }
    void RegisterBrowserProcessExitHandler() override { s_.calls.push_back("exit-handler"); }
    void PauseBeforeController() override {}
    HResult CreateController(NativeWindow, std::function<void(Creation)> completed) override {
        if (s_.controllerCall < 0)
            return s_.controllerCall;
        pending_ = [this, completed] { completed(s_.controller); };
        return kSOk;
    }
    Creation TakeWebview() override {
        up_ = s_.webview.hr >= 0 && s_.webview.present;
        return s_.webview;
    }
    void ConfigureController(NativeWindow) override { s_.calls.push_back("configure"); }
    void SubscribeEvents(BrowserEvents&) override { s_.calls.push_back("subscribe"); }
    bool HasWebview() override { return up_; }
    Pump PumpOneMessage(std::int64_t& detail) override {
        if (s_.pumpOutcome) {
            detail = s_.pumpDetail;
            return *s_.pumpOutcome;
        }
        auto run = std::move(pending_);
        pending_ = nullptr;
        if (run)
            run();
        return Pump::kDispatched;
    }
    void RepostQuit(std::int64_t code) override { s_.repostedQuit = code; }
    void Wake(NativeWindow) override {}
    void CloseBrowser(std::uint32_t) override {
        ++s_.closes;
        up_ = false;
    }
    void ApplySettings() override { s_.calls.push_back("settings"); }
    void AddDocumentScript(const std::u16string&) override { s_.calls.push_back("script"); }
    void Navigate(const std::u16string& address, const std::vector<RequestHeader>& h) override {
        s_.calls.push_back("navigate " + Utf16ToUtf8(address) +
                           " headers=" + std::to_string(h.size()));
    }
    void NavigateToString(const std::u16string& html) override {
        s_.calls.push_back("html");
        s_.html = html;
    }
    void GoBack() override {}
    void Reload() override {}
    void Resize(int, int) override { s_.calls.push_back("resize"); }
    void SetVisible(bool) override {}
    void NotifyPositionChanged() override {}
    void RestoreVisibility() override {}
    void PostWebMessageAsJson(const std::u16string& json) override { s_.posts.push_back(json); }
    void ShowSystemPrintDialog() override {}
    bool OffersWebRtc() override {
        s_.calls.push_back("webrtc?");
        return s_.webRtc;
    }

  private:
    EngineScript& s_;
    std::function<void()> pending_;
    bool up_ = false;
};

NativeWindow kWindow = reinterpret_cast<NativeWindow>(0x1234);
const std::u16string kBase = u"C:\\Users\\L\\AppData\\Local\\Kestrum\\WebView2Data";

struct Outcome {
    bool result = false;
    std::optional<std::pair<bool, HResult>> reported;
    HResult lastHr = 0;
    std::string status;
};

Outcome Initialize(EngineScript& script, NativeWindow window = kWindow,
                   const std::u16string& folder = kBase, int attempts = 1) {
    WebViewHost host(std::make_unique<ScriptedEngine>(script));
    Outcome outcome;
    host.onInitialized = [&](bool ok, HResult hr) { outcome.reported = std::make_pair(ok, hr); };
    outcome.result = host.Initialize(window, folder, attempts);
    outcome.lastHr = host.lastHr();
    outcome.status = Utf16ToUtf8(host.statusText());
    return outcome;
}

TEST(WebViewHostInitialize, RefusesAMissingWindowOrFolderWithoutTouchingTheEnvironment) {
    for (const auto& [window, folder] : {std::pair{static_cast<NativeWindow>(nullptr), kBase},
                                         std::pair{kWindow, std::u16string()}}) {
        EngineScript script;
        script.variables[u"WEBVIEW2_RELEASE_CHANNELS"] = u"canary";
        const Outcome outcome = Initialize(script, window, folder);
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.lastHr, kEInvalidArg);
        EXPECT_EQ(outcome.status, "Invalid parent window or user-data folder.");
        EXPECT_EQ(outcome.reported, std::make_pair(false, kEInvalidArg));
        EXPECT_EQ(script.variables.count(u"WEBVIEW2_RELEASE_CHANNELS"), 1u);
        EXPECT_TRUE(script.createdFolders.empty());
    }
}

TEST(WebViewHostInitialize, BringsTheInstalledRuntimeUpWithACleanEnvironment) {
    EngineScript script;
    script.versions[u""] = u"149.0.1";
    script.variables[u"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS"] = u"--learner-flag";
    script.variables[u"WEBVIEW2_RELEASE_CHANNELS"] = u"canary";
    const Outcome outcome = Initialize(script);

    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.lastHr, kSOk);
    EXPECT_EQ(outcome.reported, std::make_pair(true, kSOk));
    const std::u16string folder = kBase + u"_Evergreen_Env5";
    EXPECT_EQ(outcome.status,
              "WebView2 initialized with Evergreen 149.0.1; userData=" + Utf16ToUtf8(folder));
    EXPECT_EQ(script.environmentFolders, std::vector<std::u16string>{folder});
    EXPECT_EQ(script.variables.count(u"WEBVIEW2_RELEASE_CHANNELS"), 0u);
    EXPECT_EQ(script.variables[u"WEBVIEW2_USER_DATA_FOLDER"], folder);
    EXPECT_EQ(script.variables[u"WEBVIEW2_ADDITIONAL_BROWSER_ARGUMENTS"], script.arguments);
    EXPECT_EQ(script.arguments.find(u"--learner-flag"), std::u16string::npos);
    EXPECT_NE(script.arguments.find(u" --disable-web-security --disable-site-isolation-trials"),
              std::u16string::npos);
    EXPECT_EQ(script.calls, (std::vector<std::string>{"exit-handler", "configure", "subscribe"}));
}

TEST(WebViewHostInitialize, UsesAPrivateRuntimeOnlyWhenItIsCompleteAndAnswers) {
    const std::u16string runtime = u"C:\\Program\\Kestrum\\WebView2Runtime";
    struct Case {
        bool executable;
        std::u16string version;
        std::string kind;
    };
    for (const Case& c : {Case{true, u"120.0.5", "Fixed 120.0.5"},
                          Case{false, u"120.0.5", "Evergreen"}, Case{true, u"", "Evergreen"}}) {
        EngineScript script;
        script.directories.insert(runtime);
        if (c.executable)
            script.files.insert(runtime + u"\\msedgewebview2.exe");
        script.versions[runtime] = c.version;
        const Outcome outcome = Initialize(script);
        ASSERT_TRUE(outcome.result);
        const bool fixed = c.kind != "Evergreen";
        EXPECT_EQ(outcome.status, "WebView2 initialized with " + c.kind +
                                      "; userData=" + Utf16ToUtf8(kBase) +
                                      (fixed ? "_Fixed_Env5" : "_Evergreen_Env5"));
        EXPECT_EQ(script.environmentBrowserFolder, fixed ? runtime : u"");
        EXPECT_EQ(script.variables.count(u"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER"), fixed ? 1u : 0u);
    }
}

TEST(WebViewHostInitialize, ReportsTheFirstAndLastFailureOfItsAttempts) {
    EngineScript script;
    const std::u16string first = kBase + u"_Evergreen_Env5";
    const std::u16string second = first + u"_Recovery_4242_99_1";
    const std::u16string third = first + u"_Recovery_4242_99_2";
    script.folderFailures[first] = HResultFromWin32(5);
    script.writeFailures[second] = kSOk;  // a failure without an error code
    script.environmentCall = static_cast<HResult>(0x80070002u);
    const Outcome outcome = Initialize(script, kWindow, kBase, 3);

    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(script.createdFolders, (std::vector<std::u16string>{first, second, third}));
    EXPECT_EQ(outcome.lastHr, static_cast<HResult>(0x80070005u));
    EXPECT_EQ(outcome.status,
              "WebView2 initialization failed. First=0x80070005 at CreateUserDataFolder; "
              "last=0x80070002 at CreateEnvironmentCall; runtime=Evergreen; lastUserData=" +
                  Utf16ToUtf8(third));
    EXPECT_EQ(outcome.reported, std::make_pair(false, outcome.lastHr));
    EXPECT_EQ(script.closes, 1) << "only the attempt that started a browser releases it";
}

TEST(WebViewHostInitialize, NamesTheStageWhereTheBrowserDidNotComeUp) {
    struct Case {
        std::string stage;
        std::function<void(EngineScript&)> arrange;
        HResult hr;
    };
    const HResult denied = static_cast<HResult>(0x80070005u);
    const std::vector<Case> cases = {
        {"UserDataFolderWriteTest",
         [&](EngineScript& s) { s.writeFailures[kBase + u"_Evergreen_Env5"] = denied; }, denied},
        {"CreateEnvironmentCallback",
         [&](EngineScript& s) {
             s.environment = {denied, true};
         },
         denied},
        {"CreateEnvironmentCallback",
         [](EngineScript& s) {
             s.environment = {kSOk, false};
         },
         kEFail},
        {"CreateControllerCall", [&](EngineScript& s) { s.controllerCall = denied; }, denied},
        {"CreateControllerCallback",
         [](EngineScript& s) {
             s.controller = {kSOk, false};
         },
         kEFail},
        {"GetCoreWebView2",
         [](EngineScript& s) {
             s.webview = {kSOk, false};
         },
         kEFail},
        {"InitializationMessagePump",
         [](EngineScript& s) {
             s.pumpOutcome = BrowserEngine::Pump::kFailed;
             s.pumpDetail = 1400;
         },
         static_cast<HResult>(0x80070578u)},
    };
    for (const Case& c : cases) {
        EngineScript script;
        c.arrange(script);
        const Outcome outcome = Initialize(script);
        EXPECT_FALSE(outcome.result) << c.stage;
        EXPECT_EQ(outcome.lastHr, c.hr) << c.stage;
        EXPECT_NE(outcome.status.find(" at " + c.stage + "; last="), std::string::npos)
            << outcome.status;
    }
}

TEST(WebViewHostInitialize, AQuitDuringStartUpAbortsAndIsHandedOn) {
    EngineScript script;
    script.pumpOutcome = BrowserEngine::Pump::kQuit;
    script.pumpDetail = 3;
    const Outcome outcome = Initialize(script);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.lastHr, kEAbort);
    EXPECT_NE(outcome.status.find("at ApplicationQuitDuringInitialization"), std::string::npos);
    EXPECT_EQ(script.repostedQuit, 3);
}

TEST(WebViewHostClose, ReleasesOnceAndWaitsOnlyForABrowserThatCameUp) {
    EngineScript script;
    {
        WebViewHost host(std::make_unique<ScriptedEngine>(script));
        ASSERT_TRUE(host.Initialize(kWindow, kBase, 1));
        host.Close(5000);
        host.Close(5000);
        EXPECT_EQ(script.closes, 1);
        EXPECT_FALSE(host.IsUp());
    }
    EXPECT_EQ(script.closes, 1) << "the destructor found the host closed";
}

// The window side, recorded.
class RecordingShell final : public BrowserWindowShell {
  public:
    explicit RecordingShell(EngineScript& script) : script_(script) {}
    std::unique_ptr<BrowserEngine> CreateEngine(BrowserWindow) override {
        return std::make_unique<ScriptedEngine>(script_);
    }
    std::u16string DataFolderBase() override { return kBase; }
    void DestroySplash() override { events.push_back("splash gone"); }
    void BringToFront(NativeWindow) override { events.push_back("front"); }
    void ShowWindow(NativeWindow) override { events.push_back("show"); }
    void ShowBrowserFailure(NativeWindow, const std::u16string& status) override {
        events.push_back("failure " + Utf16ToUtf8(status));
    }
    void SetContentFullscreen(NativeWindow, bool on) override {
        events.push_back(on ? "fullscreen" : "framed");
    }
    void ToggleStartFullscreen(NativeWindow) override { events.push_back("start fullscreen"); }
    bool OpenInDefaultBrowser(const std::u16string& address) override {
        events.push_back("browser " + Utf16ToUtf8(address));
        return browserOpens;
    }
    std::vector<std::string> events;
    bool browserOpens = true;

  private:
    EngineScript& script_;
};

class PlayerWindow : public ::testing::Test {
  protected:
    void SetUp() override { saved_ = TheAppContext(); }
    void TearDown() override {
        CloseBrowserHosts();
        TheBrowserWindows() = BrowserWindowSlots{};
        TheAppContext() = saved_;
    }
    AppContext saved_;
};

TEST_F(PlayerWindow, LoadsTheContentByItsKind) {
    struct Case {
        std::u16string kind, pageScript;
        std::vector<std::string> calls;
    };
    const std::string navigate = "navigate https://cdn.example.test/lesson?a=1 headers=0";
    const std::vector<Case> cases = {
        {u"url_direct", u"", {"settings", "script", "script", navigate}},
        {u"url_direct", u"run();", {"settings", "script", "script", "script", navigate}},
        {u"pdf", u"", {"settings", "script", "script", "script", "script", navigate}},
        {u"pdf_url", u"", {"settings", "script", "script", "script", "script", navigate}},
        {u"PDF", u"", {"settings", "script", "script", "html"}},
        {u"zoom", u"", {"settings", "script", "script", "html"}},
    };
    for (const Case& c : cases) {
        AppContext& context = TheAppContext();
        context.contentUrl = u"https://cdn.example.test/lesson?a=1";
        context.contentKind = c.kind;
        context.pageScript = c.pageScript;
        EngineScript script;
        RecordingShell shell(script);
        ASSERT_TRUE(CreatePlayerWindowBrowser(kWindow, shell));
        std::vector<std::string> loads(script.calls.begin() + 3, script.calls.end());
        EXPECT_EQ(loads, c.calls) << Utf16ToUtf8(c.kind);
        EXPECT_TRUE(TheBrowserWindows().contentShown);
        EXPECT_EQ(shell.events, (std::vector<std::string>{"splash gone", "front"}));
        CloseBrowserHosts();
    }
}

TEST_F(PlayerWindow, AFailedBrowserIsReportedAfterTheSplashIsGone) {
    EngineScript script;
    script.environmentCall = static_cast<HResult>(0x80070002u);
    RecordingShell shell(script);
    EXPECT_FALSE(CreatePlayerWindowBrowser(kWindow, shell));
    ASSERT_EQ(shell.events.size(), 2u);
    EXPECT_EQ(shell.events[0], "splash gone");
    EXPECT_EQ(shell.events[1].rfind("failure WebView2 initialization failed. First=0x80070002", 0),
              0u);
    EXPECT_NE(ContentHost(), nullptr) << "the closed host stays in its slot";
    EXPECT_FALSE(CreatePlayerWindowBrowser(nullptr, shell));
}

TEST_F(PlayerWindow, ThePageMessagesShowTheWindowOnceAndToggleFullScreen) {
    EngineScript script;
    RecordingShell shell(script);
    HandlePageMessage(u"toggleFullscreen", shell);
    EXPECT_TRUE(shell.events.empty()) << "no window yet";
    EXPECT_FALSE(TheBrowserWindows().contentFullscreen);

    TheBrowserWindows().contentWindow = kWindow;
    for (const char16_t* message :
         {u"toggleFullscreen", u"\"toggleFullscreen\"", u"ToggleFullscreen", u"pageLoaded",
          u"\"pageLoaded\"", u"PageLoaded"})
        HandlePageMessage(message, shell);
    EXPECT_EQ(shell.events, (std::vector<std::string>{"fullscreen", "framed", "show"}));
}

// A live class needs video calls: the engine is asked only for a Zoom address, and without
// them the learner gets the player's own page instead of a meeting page that cannot join.
TEST_F(PlayerWindow, ALiveClassWithoutVideoCallsShowsThePlayersOwnPage) {
    struct Case {
        std::u16string url, kind;
        bool webRtc;
        bool asked, ownPage;
    };
    const std::u16string meeting = u"https://us02web.zoom.us/j/81234567890?pwd=demo";
    const std::vector<Case> cases = {
        {meeting, u"zoom", false, true, true},
        {meeting, u"live", false, true, true},
        {meeting, u"url_direct", false, true, true},
        {meeting, u"zoom", true, true, false},
        {u"https://cdn.example.test/lesson.mp4", u"video", false, false, false},
    };
    for (const Case& c : cases) {
        AppContext& context = TheAppContext();
        context.contentUrl = c.url;
        context.contentKind = c.kind;
        EngineScript script;
        script.webRtc = c.webRtc;
        RecordingShell shell(script);
        ASSERT_TRUE(CreatePlayerWindowBrowser(kWindow, shell));
        const std::string what = Utf16ToUtf8(c.url + u" " + c.kind);
        EXPECT_EQ(std::count(script.calls.begin(), script.calls.end(), "webrtc?"), c.asked ? 1 : 0)
            << what;
        EXPECT_EQ(TheBrowserWindows().liveClassElsewhere, c.ownPage) << what;
        const bool ownPage = script.html.find(u"openLiveClassInBrowser") != std::u16string::npos;
        EXPECT_EQ(ownPage, c.ownPage) << what;
        if (c.ownPage) {
            EXPECT_EQ(script.html.find(u"<iframe"), std::u16string::npos) << what;
        }
        EXPECT_TRUE(TheBrowserWindows().contentShown) << what;
        CloseBrowserHosts();
    }
}

// The page's button opens the link's own meeting address, only while the live class page is
// shown and only for an https address, and the page hears how it went.
TEST_F(PlayerWindow, TheLiveClassPageOpensOnlyTheLinksMeetingInTheWebBrowser) {
    struct Case {
        std::u16string url;
        bool browserOpens;
        std::vector<std::string> events;
        std::u16string answer;
    };
    const std::u16string meeting = u"https://us02web.zoom.us/j/81234567890?pwd=demo";
    const std::u16string opened = u"{\"type\":\"liveClassInBrowser\",\"status\":\"opened\"}";
    const std::u16string failed = u"{\"type\":\"liveClassInBrowser\",\"status\":\"failed\"}";
    const std::vector<Case> cases = {
        {meeting, true, {"browser " + Utf16ToUtf8(meeting)}, opened},
        {meeting, false, {"browser " + Utf16ToUtf8(meeting)}, failed},
        {u"http://us02web.zoom.us/j/81234567890", true, {}, failed},
        {u"https://us02web.zoom.us/j/1 --new-window", true, {}, failed},
    };
    for (const Case& c : cases) {
        TheAppContext().contentUrl = c.url;
        TheAppContext().contentKind = u"zoom";
        EngineScript script;
        script.webRtc = false;
        RecordingShell shell(script);
        shell.browserOpens = c.browserOpens;
        ASSERT_TRUE(CreatePlayerWindowBrowser(kWindow, shell));
        shell.events.clear();
        ContentHost()->onWebMessage(u"openLiveClassInBrowser");
        EXPECT_EQ(shell.events, c.events) << Utf16ToUtf8(c.url);
        EXPECT_EQ(script.posts, std::vector<std::u16string>{c.answer}) << Utf16ToUtf8(c.url);
        CloseBrowserHosts();
    }

    // Any other content: the message does nothing.
    TheAppContext().contentUrl = meeting;
    EngineScript script;
    script.webRtc = true;
    RecordingShell shell(script);
    ASSERT_TRUE(CreatePlayerWindowBrowser(kWindow, shell));
    shell.events.clear();
    ContentHost()->onWebMessage(u"openLiveClassInBrowser");
    EXPECT_TRUE(shell.events.empty());
    EXPECT_TRUE(script.posts.empty());
    CloseBrowserHosts();  // while the shell and engine script it uses still exist
}

TEST(HResults, MapSystemErrorsAndPrintAsEightHexDigits) {
    EXPECT_EQ(HResultFromWin32(5), static_cast<HResult>(0x80070005u));
    EXPECT_EQ(HResultFromWin32(0), 0);
    EXPECT_EQ(HResultFromWin32(-5), -5);
    EXPECT_EQ(Utf16ToUtf8(FormatHResult(kEFail)), "0x80004005");
    EXPECT_EQ(Utf16ToUtf8(FormatHResult(0x2A)), "0x0000002A");
}

}  // namespace
}  // namespace kestrum
