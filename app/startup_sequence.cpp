#include "app/startup_sequence.h"

#include <exception>
#include <optional>
#include <utility>

#include "app/instance_name.h"
#include "app/update_address.h"
#include "common/app_context.h"
#include "common/decimal_number.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

constexpr std::u16string_view kUrlSchemeDescription = u"Molvane Desktop Player";

MessageBoxRequest Box(std::u16string text, std::u16string caption, MessageIcon icon,
                      MessageButtons buttons = MessageButtons::kOk) {
    MessageBoxRequest request;
    request.text = std::move(text);
    request.caption = std::move(caption);
    request.icon = icon;
    request.buttons = buttons;
    return request;
}

class Startup {
  public:
    explicit Startup(StartupPlatform& platform) : p_(platform) {}

    int Run() {
        p_.InitializeThread();
        p_.InstallShutdownHook();
        graphics_ = p_.StartGraphics();
        if (const auto code = GuardInstance())
            return *code;
        ShowSplash();
        if (const auto code = CheckMachine())
            return *code;
        LoadPins();
        if (const auto code = CheckVersion(u""))
            return *code;

        p_.Log("Step 8: Registering URL protocol...");
        p_.RegisterUrlScheme(std::u16string(AppContext::schemeName),
                             std::u16string(kUrlSchemeDescription), p_.ExecutablePath());

        p_.Log("Step 9: Parsing command line...");
        const std::u16string& argument = linkArgument_;
        const bool linkMode = HasSchemeArgs(argument);
        p_.Log(std::string("Step 9: hasSchemeArgs=") + (linkMode ? "1" : "0"));
        if (const auto code = linkMode ? LinkMode(argument) : PlainMode()) {
            DiscardWarmBrowser();
            return *code;
        }

        const int quitCode = p_.RunMessageLoop();
        p_.CloseBrowserHosts();
        p_.RemoveShutdownHook();
        if (graphics_)
            p_.StopGraphics();
        p_.ReleaseInstance();
        p_.UninitializeThread();
        return quitCode;
    }

  private:
    std::optional<int> GuardInstance() {
        const CommandLine commandLine = p_.ReadCommandLine();
        linkArgument_ = ChooseLinkArgument(commandLine);
        const bool withArguments = !commandLine.tail.empty();
        switch (p_.AcquireInstance(InstanceMutexName(InstanceKey(withArguments)))) {
            case StartupPlatform::InstanceResult::kFailed:
                p_.UninitializeThread();
                return 1;
            case StartupPlatform::InstanceResult::kAlreadyRunning:
                p_.ShowMessageBox(
                    Box(u"The application is already running.\n\nالبرنامج يعمل بالفعل.",
                        std::u16string(AppContext::productName), MessageIcon::kInformation));
                p_.ReleaseInstance();
                p_.UninitializeThread();
                return 0;
            case StartupPlatform::InstanceResult::kAcquired:
                break;
        }
        return std::nullopt;
    }

    void ShowSplash() {
        if (!graphics_)
            return;
        try {
            if (p_.ShowSplash())
                p_.PumpPendingMessages();
        } catch (const std::exception&) {
            // The player starts without its splash.
        }
    }

    std::optional<int> CheckMachine() {
        if (p_.WindowsGeneration() < 10) {
            p_.ShowMessageBox(
                Box(u"This application requires Windows 10 or later.\n"
                    u"هذا التطبيق يتطلب ويندوز 10 أو أحدث.",
                    u"Unsupported OS", MessageIcon::kError));
            return 1;
        }
        if (p_.DeviceId().empty()) {
            p_.CloseSplash();
            p_.ShowMessageBox(
                Box(u"Unable to read device information. The application will close. "
                    u"Please contact support.\n"
                    u"تعذر قراءة بيانات الجهاز. سيتم إغلاق البرنامج. يرجى التواصل مع الدعم.",
                    std::u16string(AppContext::productName), MessageIcon::kError));
            if (graphics_)
                p_.StopGraphics();
            p_.UninitializeThread();
            return 1;
        }
        // A link's browser is needed at the end of a start that rarely fails: its processes
        // come up while the runtime, the pins, the version and the link are checked.
        if (HasSchemeArgs(linkArgument_)) {
            p_.WarmContentBrowser();
            warmed_ = true;
        }
        if (!p_.EnsureBrowserRuntime()) {
            DiscardWarmBrowser();
            return 1;
        }
        return std::nullopt;
    }

    void LoadPins() {
        p_.Log("Step 7: Initializing SSL pinning defaults");
        p_.InstallDefaultPins();
        p_.Log("Step 7: Loading dynamic pins synchronously");
        try {
            p_.LoadDynamicPins();
            p_.Log("Step 7: Dynamic pins loaded OK");
        } catch (...) {
            p_.Log("Step 7: Dynamic pins FAILED (exception)");
        }
    }

    // The version check and its prompt; a value ends the process with that code.
    std::optional<int> CheckVersion(const std::u16string& server) {
        if (server.empty())
            p_.Log("Step 7B: Checking app version...");
        const VersionCheckResult result =
            p_.CheckAppVersion(VersionNumber(AppContext::versionText), server);
        if (server.empty()) {
            p_.Log(std::string("Step 7B: Version check done. hasUpdate=") +
                   (result.hasUpdate ? "1" : "0"));
        }
        if (!result.hasUpdate)
            return std::nullopt;

        // Only an https address on the platform's domain is opened; anything else the
        // service names (a script, a local file, another protocol, an option) gives way to
        // the built-in address.
        const std::u16string target = ChooseUpdateAddress(result.downloadUrl);
        if (result.mandatory) {
            DiscardWarmBrowser();
            const MessageAnswer answer = p_.ShowMessageBox(Box(
                u"A mandatory update is available. You must download the new version to "
                u"continue.\nتحديث إجباري متاح. يجب عليك تحميل الإصدار الجديد للمتابعة.",
                u"Kestrum - Update Required", MessageIcon::kWarning, MessageButtons::kOkCancel));
            if (answer == MessageAnswer::kOk)
                p_.OpenAddress(target);
            return 0;
        }
        const MessageAnswer answer = p_.ShowMessageBox(
            Box(u"A new version of the app is available. Would you like to update now?\n"
                u"يوجد تحديث جديد للتطبيق. هل ترغب في التحديث الآن؟",
                u"Kestrum - Update Available", MessageIcon::kInformation, MessageButtons::kYesNo));
        if (answer != MessageAnswer::kYes)
            return std::nullopt;
        DiscardWarmBrowser();
        p_.OpenAddress(target);
        return 0;
    }

    std::optional<int> PlainMode() {
        if (p_.CreateInitScreen())
            return std::nullopt;
        if (!p_.StartHostExists()) {
            p_.ShowMessageBox(Box(u"Failed to create the application window.",
                                  u"Kestrum - Startup Error", MessageIcon::kError));
        }
        return 1;
    }

    std::optional<int> LinkMode(const std::u16string& argument) {
        const bool haveWindow = p_.CreateMainWindow();
        if (haveWindow)
            p_.PumpPendingMessages();

        std::string error;
        if (!p_.ParseSchemeArgs(argument, error))
            return LinkFailure(error);
        p_.CheckContentHostAhead(TheAppContext().contentUrl);
        if (const auto code = CheckVersion(TheAppContext().linkServer))
            return *code;
        if (!p_.CreatePlayerWindow(haveWindow))
            return 1;
        return std::nullopt;
    }

    int LinkFailure(const std::string& error) {
        DiscardWarmBrowser();
        static constexpr std::string_view kServerPrefix = "server:";
        if (error.size() >= kServerPrefix.size() && error.compare(0, 7, kServerPrefix) == 0) {
            MessageBoxRequest box =
                Box(Utf8ToUtf16(error.substr(7)), u"Kestrum - خطأ", MessageIcon::kWarning);
            box.rightToLeft = true;
            p_.ShowMessageBox(box);
            return 1;
        }
        FatalError fatal;
        fatal.title = u"Link Error - خطأ في الرابط";
        fatal.englishText =
            u"Failed to process the content link.\nIf the problem persists, send the diagnostic "
            u"code below to support.";
        fatal.arabicText =
            u"فشل في معالجة رابط المحتوى.\nإذا استمرت المشكلة، يرجى إرسال الكود التشخيصي أدناه "
            u"للدعم الفني.";
        fatal.code = p_.BuildDiagnosticCode(error);
        p_.ShowFatalErrorDialog(fatal);
        return 0;  // reached only where the fatal path returns (it ends the process otherwise)
    }

    // Before a start ends without the content browser, and before its box: nothing of the
    // browser outlives the decision.
    void DiscardWarmBrowser() {
        if (std::exchange(warmed_, false))
            p_.DiscardWarmBrowser();
    }

    StartupPlatform& p_;
    bool graphics_ = false;
    bool warmed_ = false;          // the content browser's processes were started ahead
    std::u16string linkArgument_;  // the command line's link, if it has one
};

}  // namespace

double VersionNumber(std::u16string_view versionText) {
    return LeadingDecimalNumber(Utf16ToUtf8(versionText)).value_or(3.0);
}

int RunStartup(StartupPlatform& platform) {
    return Startup(platform).Run();
}

}  // namespace kestrum
