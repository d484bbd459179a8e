#pragma once

#include <string>
#include <string_view>

#include "app/link_argument.h"
#include "common/message_box.h"
#include "fatal/fatal_error.h"
#include "service/version_check.h"

namespace kestrum {

// Everything the start-up sequence asks of the operating system and of the other
// subsystems. Each platform implements it once; tests script it.
class StartupPlatform {
  public:
    virtual ~StartupPlatform() = default;

    // Thread set-up of the entry thread (COM apartment on Windows, the toolkit on Linux).
    virtual void InitializeThread() = 0;
    virtual void UninitializeThread() = 0;
    // The image library the splash needs; false when it cannot start.
    virtual bool StartGraphics() = 0;
    virtual void StopGraphics() = 0;

    enum class InstanceResult { kAcquired, kAlreadyRunning, kFailed };
    // Takes the single-instance guard of this name for the life of the process.
    virtual InstanceResult AcquireInstance(const std::u16string& mutexName) = 0;
    virtual void ReleaseInstance() = 0;

    virtual bool ShowSplash() = 0;  // may throw: the start-up goes on without a splash
    virtual void CloseSplash() = 0;
    // Handles the messages that are waiting, once, so that a new window is shown before
    // the long blocking steps.
    virtual void PumpPendingMessages() = 0;

    // 10 or 11 for supported Windows versions; other platforms pass with 10.
    virtual int WindowsGeneration() = 0;
    virtual std::u16string DeviceId() = 0;
    // False ends the start; a platform that warmed the content browser (below) discards it
    // before its box.
    virtual bool EnsureBrowserRuntime() = 0;
    // Link mode: starts the content browser's processes while the checks run, when the
    // platform can; the content browser takes them over. Discarding ends them when the start
    // ends before that browser is needed.
    virtual void WarmContentBrowser() {}
    virtual void DiscardWarmBrowser() {}
    // Link mode, once the link is read: the content's host is known, and a platform whose
    // browser would check that host's pins before its first page begins the check here, while
    // the start goes on.
    virtual void CheckContentHostAhead(const std::u16string& /*contentUrl*/) {}
    virtual void InstallDefaultPins() = 0;
    virtual bool LoadDynamicPins() = 0;  // may throw: logged, the start-up goes on
    virtual VersionCheckResult CheckAppVersion(double currentVersion,
                                               const std::u16string& server) = 0;

    virtual MessageAnswer ShowMessageBox(const MessageBoxRequest& request) = 0;
    // Opens an update address with the desktop's default handler; implementations pass it
    // through ChooseUpdateAddress (update_address.h) themselves too.
    virtual void OpenAddress(const std::u16string& address) = 0;
    virtual std::u16string ExecutablePath() = 0;
    virtual void RegisterUrlScheme(const std::u16string& scheme, const std::u16string& description,
                                   const std::u16string& executablePath) = 0;
    virtual CommandLine ReadCommandLine() = 0;

    virtual bool ParseSchemeArgs(const std::u16string& linkArgument, std::string& errorText) = 0;
    virtual std::string BuildDiagnosticCode(const std::string& reason) = 0;
    // Does not return in the player.
    virtual void ShowFatalErrorDialog(const FatalError& error) = 0;

    // Plain mode: the start window with its browser. False: `StartHostExists` tells whether
    // the browser host had been created (then its own message was shown).
    virtual bool CreateInitScreen() = 0;
    virtual bool StartHostExists() = 0;
    // Link mode: the main window ("Kestrum V 4.11.0", 1280 x 720); false when it could not
    // be created. Then the content browser in it (false for no window).
    virtual bool CreateMainWindow() = 0;
    virtual bool CreatePlayerWindow(bool haveMainWindow) = 0;

    // Runs until the main window is gone; returns the quit code.
    virtual int RunMessageLoop() = 0;
    // Installs the procedure that closes the browser hosts from any thread (the main
    // thread directly, another thread through the main loop, waiting at most 7000 ms).
    virtual void InstallShutdownHook() = 0;
    virtual void RemoveShutdownHook() = 0;
    virtual void CloseBrowserHosts() = 0;

    virtual void Log(std::string_view line) = 0;
};

// The running version as a number: the leading decimal number of the version text ("4.11.0"
// gives 4.11, in every locale), 3.0 when it has none.
double VersionNumber(std::u16string_view versionText);

// The whole start-up: single instance, splash, checks, pins, version, scheme registration,
// then link mode or plain mode and the message loop. Returns the exit code.
int RunStartup(StartupPlatform& platform);

}  // namespace kestrum
