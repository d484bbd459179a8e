#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <stdexcept>

#include "app/startup_sequence.h"
#include "app/update_address.h"
#include "browser/browser_host_slots.h"
#include "common/app_context.h"
#include "common/build_platform.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

// A platform that records what the start-up does and answers from a script.
class ScriptedPlatform final : public StartupPlatform {
  public:
    // Script.
    InstanceResult instance = InstanceResult::kAcquired;
    bool graphics = true;
    bool splashThrows = false;
    int generation = 10;
    std::u16string deviceId = u"ZGV2aWNl";
    bool runtime = true;
    bool pinsThrow = false;
    std::deque<VersionCheckResult> versions;
    std::deque<MessageAnswer> answers;
    CommandLine commandLine{{u"kestrum"}, u""};
    bool parseOk = true;
    std::string parseError;
    bool initScreen = true;
    bool startHost = false;
    bool mainWindow = true;
    bool playerWindow = true;
    int quitCode = 0;

    // Record.
    std::vector<std::string> calls;
    std::vector<std::string> lines;
    std::vector<MessageBoxRequest> boxes;
    std::vector<std::u16string> opened;
    std::vector<std::u16string> versionServers;
    std::vector<FatalError> fatals;
    std::u16string mutexName;
    std::u16string parsedArgument;
    std::u16string registered;
    std::u16string aheadUrl;

    void InitializeThread() override { calls.push_back("init"); }
    void UninitializeThread() override { calls.push_back("uninit"); }
    bool StartGraphics() override { return graphics; }
    void StopGraphics() override { calls.push_back("stop-graphics"); }
    InstanceResult AcquireInstance(const std::u16string& name) override {
        mutexName = name;
        return instance;
    }
    void ReleaseInstance() override { calls.push_back("release"); }
    bool ShowSplash() override {
        if (splashThrows)
            throw std::runtime_error("no image");
        calls.push_back("splash");
        return true;
    }
    void CloseSplash() override { calls.push_back("close-splash"); }
    void PumpPendingMessages() override { calls.push_back("pump"); }
    int WindowsGeneration() override { return generation; }
    std::u16string DeviceId() override {
        calls.push_back("device");
        return deviceId;
    }
    bool EnsureBrowserRuntime() override {
        calls.push_back("runtime");
        return runtime;
    }
    void WarmContentBrowser() override { calls.push_back("warm"); }
    void DiscardWarmBrowser() override { calls.push_back("discard"); }
    void CheckContentHostAhead(const std::u16string& contentUrl) override {
        calls.push_back("check-ahead");
        aheadUrl = contentUrl;
    }
    void InstallDefaultPins() override { calls.push_back("default-pins"); }
    bool LoadDynamicPins() override {
        calls.push_back("dynamic-pins");
        if (pinsThrow)
            throw std::runtime_error("x");
        return true;
    }
    VersionCheckResult CheckAppVersion(double current, const std::u16string& server) override {
        EXPECT_DOUBLE_EQ(current, 4.11);
        calls.push_back("version");
        versionServers.push_back(server);
        if (versions.empty())
            return {};
        VersionCheckResult result = versions.front();
        versions.pop_front();
        return result;
    }
    MessageAnswer ShowMessageBox(const MessageBoxRequest& request) override {
        boxes.push_back(request);
        calls.push_back("box");
        if (answers.empty())
            return MessageAnswer::kOk;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void OpenAddress(const std::u16string& address) override { opened.push_back(address); }
    std::u16string ExecutablePath() override { return u"/opt/kestrum/kestrum"; }
    void RegisterUrlScheme(const std::u16string& scheme, const std::u16string& description,
                           const std::u16string& path) override {
        calls.push_back("register");
        registered = scheme + u"|" + description + u"|" + path;
    }
    CommandLine ReadCommandLine() override { return commandLine; }
    bool ParseSchemeArgs(const std::u16string& argument, std::string& error) override {
        calls.push_back("parse");
        parsedArgument = argument;
        error = parseError;
        if (parseOk) {
            TheAppContext().linkServer = u"https://server.test";
            TheAppContext().contentUrl = u"https://content.test/lesson";
        }
        return parseOk;
    }
    std::string BuildDiagnosticCode(const std::string& reason) override {
        return "CODE(" + reason + ")";
    }
    void ShowFatalErrorDialog(const FatalError& error) override {
        calls.push_back("fatal");
        fatals.push_back(error);
    }
    bool CreateInitScreen() override {
        calls.push_back("init-screen");
        return initScreen;
    }
    bool StartHostExists() override { return startHost; }
    bool CreateMainWindow() override {
        calls.push_back("main-window");
        return mainWindow;
    }
    bool CreatePlayerWindow(bool haveWindow) override {
        calls.push_back(haveWindow ? "player" : "player(no window)");
        return playerWindow && haveWindow;
    }
    int RunMessageLoop() override {
        calls.push_back("loop");
        return quitCode;
    }
    void InstallShutdownHook() override { calls.push_back("hook"); }
    void RemoveShutdownHook() override { calls.push_back("unhook"); }
    void CloseBrowserHosts() override { calls.push_back("close-hosts"); }
    void Log(std::string_view line) override { lines.emplace_back(line); }
};

CommandLine LinkCommandLine(std::u16string link) {
    return {{u"kestrum", link}, link};
}

VersionCheckResult Update(bool mandatory, std::u16string url = u"") {
    return VersionCheckResult{true, mandatory, std::move(url)};
}

TEST(Startup, PlainModeRunsEveryStepInOrder) {
    ScriptedPlatform p;
    p.quitCode = 7;
    EXPECT_EQ(RunStartup(p), 7);
    EXPECT_EQ(p.calls, (std::vector<std::string>{
                           "init", "hook", "splash", "pump", "device", "runtime", "default-pins",
                           "dynamic-pins", "version", "register", "init-screen", "loop",
                           "close-hosts", "unhook", "stop-graphics", "release", "uninit"}));
    EXPECT_EQ(p.lines,
              (std::vector<std::string>{
                  "Step 7: Initializing SSL pinning defaults",
                  "Step 7: Loading dynamic pins synchronously", "Step 7: Dynamic pins loaded OK",
                  "Step 7B: Checking app version...", "Step 7B: Version check done. hasUpdate=0",
                  "Step 8: Registering URL protocol...", "Step 9: Parsing command line...",
                  "Step 9: hasSchemeArgs=0"}));
    EXPECT_EQ(p.mutexName, u"Local\\MolvanePlayer.WebView2.fcafc8a911b9612a");
    EXPECT_EQ(p.registered, u"kestrum|Molvane Desktop Player|/opt/kestrum/kestrum");
    EXPECT_TRUE(p.boxes.empty());
}

TEST(Startup, LinkModeDecodesThenChecksTheVersionAgainstTheLinksServer) {
    ScriptedPlatform p;
    p.commandLine = LinkCommandLine(u"KESTRUM:abc");
    EXPECT_EQ(RunStartup(p), 0);
    EXPECT_EQ(p.mutexName, u"Local\\MolvanePlayer.WebView2.e43129514f59ccad");
    EXPECT_EQ(p.parsedArgument, u"KESTRUM:abc");  // unchanged, not lower-cased
    EXPECT_EQ(p.versionServers, (std::vector<std::u16string>{u"", u"https://server.test"}));
    // The content browser comes up while the runtime, the pins, the version and the link are
    // checked; the slow part of the runtime check begins before anything else.
    EXPECT_EQ(
        p.calls,
        (std::vector<std::string>{
            "init",        "hook",         "splash",        "pump",    "device",   "warm",
            "runtime",     "default-pins", "dynamic-pins",  "version", "register", "main-window",
            "pump",        "parse",        "check-ahead",   "version", "player",   "loop",
            "close-hosts", "unhook",       "stop-graphics", "release", "uninit"}));
    // The content's host is checked ahead as soon as the link has named it.
    EXPECT_EQ(p.aheadUrl, u"https://content.test/lesson");
}

// A start that ends before the content browser is needed ends its processes first, before
// its box; one that gets that far hands them to the browser.
TEST(Startup, TheBrowserWarmedForALinkIsDiscardedWhenTheStartEndsWithoutIt) {
    struct Case {
        const char* name;
        std::function<void(ScriptedPlatform&)> script;
        std::vector<std::string> ending;  // the calls from the discard (or the player) on
    };
    const auto refused = [](std::string error) {
        return [error](ScriptedPlatform& p) {
            p.parseOk = false;
            p.parseError = error;
        };
    };
    const Case cases[] = {
        {"the runtime check fails", [](auto& p) { p.runtime = false; }, {"runtime", "discard"}},
        {"the server refuses the link", refused("server:expired"), {"discard", "box"}},
        {"the link cannot be read", refused("split_failed_parts_2"), {"discard", "fatal"}},
        {"a mandatory update", [](auto& p) { p.versions = {Update(true)}; }, {"discard", "box"}},
        {"an update after the link, accepted",
         [](auto& p) {
             p.versions = {{}, Update(false)};
             p.answers = {MessageAnswer::kYes};
         },
         {"box", "discard"}},
        {"the content browser fails",
         [](auto& p) { p.playerWindow = false; },
         {"player", "discard"}},
        {"an update declined: the start goes on",
         [](auto& p) {
             p.versions = {Update(false)};
             p.answers = {MessageAnswer::kNo};
         },
         {"player", "loop"}},
    };
    for (const auto& c : cases) {
        ScriptedPlatform p;
        p.commandLine = LinkCommandLine(u"kestrum:x");
        c.script(p);
        RunStartup(p);
        EXPECT_EQ(std::count(p.calls.begin(), p.calls.end(), "warm"), 1) << c.name;
        const auto first = std::find(p.calls.begin(), p.calls.end(), c.ending.front());
        ASSERT_NE(first, p.calls.end()) << c.name;
        EXPECT_EQ(
            std::vector<std::string>(
                first, first + std::min<std::ptrdiff_t>(p.calls.end() - first, c.ending.size())),
            c.ending)
            << c.name;
        EXPECT_EQ(std::count(p.calls.begin(), p.calls.end(), "discard"),
                  std::count(c.ending.begin(), c.ending.end(), "discard"))
            << c.name;
    }
    // A plain start has no content browser to warm; nor has one that ends before the
    // machine's checks.
    ScriptedPlatform plain;
    RunStartup(plain);
    ScriptedPlatform noDevice;
    noDevice.commandLine = LinkCommandLine(u"kestrum:x");
    noDevice.deviceId.clear();
    RunStartup(noDevice);
    for (const auto* p : {&plain, &noDevice}) {
        EXPECT_EQ(std::count(p->calls.begin(), p->calls.end(), "warm"), 0);
        EXPECT_EQ(std::count(p->calls.begin(), p->calls.end(), "discard"), 0);
    }
}

TEST(Startup, EndsWithTheExitCodeOfEachFailure) {
    struct Case {
        const char* name;
        std::function<void(ScriptedPlatform&)> script;
        int exitCode;
        std::u16string caption;  // of the one box shown, empty for none
    };
    const Case cases[] = {
        {"guard cannot be created",
         [](auto& p) { p.instance = StartupPlatform::InstanceResult::kFailed; }, 1, u""},
        {"already running",
         [](auto& p) { p.instance = StartupPlatform::InstanceResult::kAlreadyRunning; }, 0,
         u"Kestrum"},
        {"old Windows", [](auto& p) { p.generation = 8; }, 1, u"Unsupported OS"},
        {"no device identifier", [](auto& p) { p.deviceId.clear(); }, 1, u"Kestrum"},
        {"no browser runtime", [](auto& p) { p.runtime = false; }, 1, u""},
        {"start window failed, no host", [](auto& p) { p.initScreen = false; }, 1,
         u"Kestrum - Startup Error"},
        {"start window failed after its host",
         [](auto& p) {
             p.initScreen = false;
             p.startHost = true;
         },
         1, u""},
        {"content browser failed",
         [](auto& p) {
             p.commandLine = LinkCommandLine(u"kestrum:x");
             p.playerWindow = false;
         },
         1, u""},
        {"server message",
         [](auto& p) {
             p.commandLine = LinkCommandLine(u"kestrum:x");
             p.parseOk = false;
             p.parseError = "server:انتهت الصلاحية";
         },
         1, u"Kestrum - خطأ"},
    };
    for (const auto& c : cases) {
        ScriptedPlatform p;
        c.script(p);
        EXPECT_EQ(RunStartup(p), c.exitCode) << c.name;
        if (c.caption.empty()) {
            EXPECT_TRUE(p.boxes.empty()) << c.name;
        } else {
            ASSERT_EQ(p.boxes.size(), 1u) << c.name;
            EXPECT_EQ(p.boxes[0].caption, c.caption) << c.name;
        }
        EXPECT_EQ(std::count(p.calls.begin(), p.calls.end(), "loop"), 0) << c.name;
    }
}

TEST(Startup, TheServersMessageBoundary) {
    ScriptedPlatform exact;
    exact.commandLine = LinkCommandLine(u"kestrum:x");
    exact.parseOk = false;
    exact.parseError = "server:";
    EXPECT_EQ(RunStartup(exact), 1);
    ASSERT_EQ(exact.boxes.size(), 1u);
    EXPECT_EQ(exact.boxes[0].text, u"");
    EXPECT_TRUE(exact.boxes[0].rightToLeft);
    EXPECT_EQ(exact.boxes[0].icon, MessageIcon::kWarning);

    ScriptedPlatform shorter;
    shorter.commandLine = LinkCommandLine(u"kestrum:x");
    shorter.parseOk = false;
    shorter.parseError = "server";
    RunStartup(shorter);
    EXPECT_TRUE(shorter.boxes.empty());
    ASSERT_EQ(shorter.fatals.size(), 1u);
    EXPECT_EQ(shorter.fatals[0].code, "CODE(server)");
    EXPECT_EQ(shorter.fatals[0].title, u"Link Error - خطأ في الرابط");
}

TEST(Startup, UpdatePrompts) {
    struct Case {
        const char* name;
        std::deque<VersionCheckResult> versions;
        std::deque<MessageAnswer> answers;
        int exitCode;
        std::vector<std::u16string> opened;
        bool reachedLoop;
    };
    // The built-in download of this build's own system: never the Windows installer on Linux.
#ifdef _WIN32
    const std::u16string fallback = u"https://localhost:8443/desktop/kestrum/kestrum.exe";
#else
    const std::u16string fallback =
        u"https://localhost:8443/desktop/kestrum/kestrum-linux-x86_64.tar.gz";
#endif
    const Case cases[] = {
        {"mandatory, OK",
         {Update(true, u"https://downloads.localhost/new")},
         {MessageAnswer::kOk},
         0,
         {u"https://downloads.localhost/new"},
         false},
        {"an address off the platform's domain gives way to the built-in one",
         {Update(true, u"https://d.test/new")},
         {MessageAnswer::kOk},
         0,
         {fallback},
         false},
        {"so does an option",
         {Update(false, u"--help")},
         {MessageAnswer::kYes},
         0,
         {fallback},
         false},
        {"mandatory, Cancel", {Update(true)}, {MessageAnswer::kCancel}, 0, {}, false},
        {"optional, Yes, no address given",
         {Update(false)},
         {MessageAnswer::kYes},
         0,
         {fallback},
         false},
        {"optional, No", {Update(false)}, {MessageAnswer::kNo}, 0, {}, true},
        {"declined first, offered again after the link",
         {Update(false), Update(false)},
         {MessageAnswer::kNo, MessageAnswer::kNo},
         0,
         {},
         true},
    };
    for (const auto& c : cases) {
        ScriptedPlatform p;
        p.commandLine = LinkCommandLine(u"kestrum:x");
        p.versions = c.versions;
        p.answers = c.answers;
        EXPECT_EQ(RunStartup(p), c.exitCode) << c.name;
        EXPECT_EQ(p.opened, c.opened) << c.name;
        EXPECT_EQ(p.boxes.size(), c.answers.size()) << c.name;
        EXPECT_EQ(std::count(p.calls.begin(), p.calls.end(), "loop") == 1, c.reachedLoop) << c.name;
    }
    ScriptedPlatform p;
    p.versions = {Update(true)};
    RunStartup(p);
    ASSERT_EQ(p.boxes.size(), 1u);
    EXPECT_EQ(p.boxes[0].caption, u"Kestrum - Update Required");
    EXPECT_EQ(p.boxes[0].buttons, MessageButtons::kOkCancel);
}

TEST(UpdateAddress, OnlyHttpsAddressesOnThePlatformsDomainAreOpened) {
    struct Case {
        std::u16string address;
        bool safe;
    };
    const Case cases[] = {
        {u"https://platform.test/desktop/kestrum.exe", true},
        {u"HTTPS://Downloads.Platform.TEST./desktop/kestrum.exe?v=4.12#x", true},
        {u"https://platform.test:8443/a%20b", true},
        {u"https://platform.test", true},
        {u"http://platform.test/kestrum.exe", false},
        {u"javascript:alert(document.domain)//", false},
        {u"file:///etc/passwd", false},
        {u"smb://attacker.test/share/evil.desktop", false},
        {u"--help", false},
        {u"", false},
        {u"https://attacker.test/kestrum.exe", false},
        {u"https://evilplatform.test/", false},  // no dot before the domain
        {u"https://platform.test.attacker.test/", false},
        {u"https://platform.test@attacker.test/", false},
        {u"https://%70latform.test/", false},
        {u"https://platform.test:x/", false},
        {u"https://platform.test/a b", false},
        {u"https://platform.test/a\nb", false},
        {u"https://platform.test\\@attacker.test/", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSafeUpdateAddress(c.address, u"Platform.Test"), c.safe)
            << Utf16ToUtf8(c.address);
    }
    EXPECT_FALSE(IsSafeUpdateAddress(u"https://platform.test/", u""));
    // The profile's own domain here is "localhost".
    EXPECT_EQ(ChooseUpdateAddress(u"https://localhost:8443/new.exe"),
              u"https://localhost:8443/new.exe");
    // Anything else gives way to this build's own built-in download.
    EXPECT_EQ(ChooseUpdateAddress(u"file:///etc/passwd"),
              Utf8ToUtf16(ProfileText(UpdateItemsFor(ThisBuildPlatform()).downloadUrl)));
}

TEST(Startup, OptionalStepsThatFailDoNotStopTheStart) {
    ScriptedPlatform p;
    p.pinsThrow = true;
    p.splashThrows = true;
    EXPECT_EQ(RunStartup(p), 0);
    EXPECT_NE(std::find(p.lines.begin(), p.lines.end(), "Step 7: Dynamic pins FAILED (exception)"),
              p.lines.end());
    EXPECT_EQ(std::count(p.calls.begin(), p.calls.end(), "loop"), 1);

    ScriptedPlatform noGraphics;
    noGraphics.graphics = false;
    RunStartup(noGraphics);
    EXPECT_EQ(std::count(noGraphics.calls.begin(), noGraphics.calls.end(), "splash"), 0);
}

TEST(Startup, AFailedMainWindowStillDecodesTheLink) {
    ScriptedPlatform p;
    p.commandLine = LinkCommandLine(u"kestrum:x");
    p.mainWindow = false;
    p.versions = {{}, Update(false)};
    p.answers = {MessageAnswer::kNo};
    EXPECT_EQ(RunStartup(p), 1);
    EXPECT_NE(std::find(p.calls.begin(), p.calls.end(), "parse"), p.calls.end());
    EXPECT_EQ(p.boxes.size(), 1u);  // the update offer after the link
    EXPECT_EQ(std::vector<std::string>(p.calls.end() - 2, p.calls.end()),
              (std::vector<std::string>{"player(no window)", "discard"}));
}

TEST(Startup, VersionNumberReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(VersionNumber(u"4.11.0"), 4.11);
    EXPECT_DOUBLE_EQ(VersionNumber(u"5"), 5.0);
    EXPECT_DOUBLE_EQ(VersionNumber(u"beta"), 3.0);
}

class RecordingHost final : public ClosableHost {
  public:
    RecordingHost(std::vector<std::string>& log, std::string name)
        : log_(log), name_(std::move(name)) {}
    void Close(unsigned waitMs) override {
        // The slot is already empty while the host closes.
        log_.push_back(name_ + ":" + std::to_string(waitMs) +
                       (TheBrowserHosts().contentHost ? ":content-set" : ""));
    }

  private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(BrowserHosts, CloseContentThenStartOnce) {
    std::vector<std::string> log;
    TheBrowserHosts().contentHost = std::make_unique<RecordingHost>(log, "content");
    TheBrowserHosts().startHost = std::make_unique<RecordingHost>(log, "start");
    CloseBrowserHosts();
    CloseBrowserHosts();
    EXPECT_EQ(log, (std::vector<std::string>{"content:5000", "start:5000"}));
}

}  // namespace
}  // namespace kestrum
