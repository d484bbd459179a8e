#pragma once

#include <windows.h>

#include "app/startup_sequence.h"

namespace kestrum {

// The start-up's platform on Windows: a COM single-threaded apartment and GDI+ on the entry
// thread, a named mutex for the single instance, message boxes, the layered splash, the
// registry's scheme registration, the shell for update addresses and the two browser windows.
class Win32StartupPlatform final : public StartupPlatform {
  public:
    // `commandLine` is what the entry point received: the text after the program name.
    Win32StartupPlatform(HINSTANCE instance, const wchar_t* commandLine)
        : instance_(instance), commandLine_(commandLine) {}

    void InitializeThread() override;
    void UninitializeThread() override;
    bool StartGraphics() override;
    void StopGraphics() override;
    InstanceResult AcquireInstance(const std::u16string& mutexName) override;
    void ReleaseInstance() override;
    bool ShowSplash() override;
    void CloseSplash() override;
    void PumpPendingMessages() override;
    int WindowsGeneration() override;
    std::u16string DeviceId() override;
    bool EnsureBrowserRuntime() override;
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
    HINSTANCE instance_;
    const wchar_t* commandLine_;
    ULONG_PTR graphicsToken_ = 0;
    HWND mainWindow_ = nullptr;
};

}  // namespace kestrum
