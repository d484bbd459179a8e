#pragma once

#include "app/startup_sequence.h"

namespace kestrum {

// The start-up's platform on Linux: GTK for windows and boxes, a file lock for the single
// instance, the desktop's scheme registration, the real service client.
class LinuxStartupPlatform final : public StartupPlatform {
  public:
    LinuxStartupPlatform(int argc, char** argv) : argc_(argc), argv_(argv) {}

    void InitializeThread() override;
    void UninitializeThread() override {}
    bool StartGraphics() override { return display_; }
    void StopGraphics() override {}
    InstanceResult AcquireInstance(const std::u16string& mutexName) override;
    void ReleaseInstance() override;
    bool ShowSplash() override;
    void CloseSplash() override;
    void PumpPendingMessages() override;
    int WindowsGeneration() override { return 10; }  // every Linux the player builds on passes
    std::u16string DeviceId() override;
    bool EnsureBrowserRuntime() override;
    void WarmContentBrowser() override;
    void DiscardWarmBrowser() override;
    void CheckContentHostAhead(const std::u16string& contentUrl) override;
    void InstallDefaultPins() override;
    bool LoadDynamicPins() override;
    VersionCheckResult CheckAppVersion(double currentVersion,
                                       const std::u16string& server) override;
    MessageAnswer ShowMessageBox(const MessageBoxRequest& request) override;
    void OpenAddress(const std::u16string& address) override;
    std::u16string ExecutablePath() override;
    void RegisterUrlScheme(const std::u16string& scheme, const std::u16string& description,
                           const std::u16string& executablePath) override;
    CommandLine ReadCommandLine() override;
    bool ParseSchemeArgs(const std::u16string& linkArgument, std::string& errorText) override;
    std::string BuildDiagnosticCode(const std::string& reason) override;
    void ShowFatalErrorDialog(const FatalError& error) override;
    bool CreateInitScreen() override;
    bool StartHostExists() override;
    bool CreateMainWindow() override;
    bool CreatePlayerWindow(bool haveMainWindow) override;
    int RunMessageLoop() override;
    void InstallShutdownHook() override;
    void RemoveShutdownHook() override;
    void CloseBrowserHosts() override;
    void Log(std::string_view line) override;

  private:
    int argc_;
    char** argv_;
    bool display_ = false;
};

}  // namespace kestrum
