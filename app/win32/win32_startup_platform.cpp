#include "app/win32/win32_startup_platform.h"

#include <objbase.h>
// after objbase.h
#include <gdiplus.h>

#include "app/instance_guard.h"
#include "app/platform_link_services.h"
#include "app/url_scheme.h"
#include "app/win32/browser_runtime_win32.h"
#include "app/win32/host_shutdown_win32.h"
#include "app/win32/main_window_win32.h"
#include "app/win32/splash_win32.h"
#include "app/win32/update_address_win32.h"
#include "app/win32/windows_version_win32.h"
#include "browser/browser_host_slots.h"
#include "browser/win32/browser_windows_win32.h"
#include "common/app_context.h"
#include "common/debug_log.h"
#include "common/shutdown.h"
#include "common/win32/known_paths_win32.h"
#include "common/win32/message_box_win32.h"
#include "fatal/diagnostic_code.h"
#include "link/scheme_args.h"
#include "service/device_identity.h"
#include "service/dynamic_pins.h"
#include "service/pin_store.h"
#include "service/version_check.h"
#if KESTRUM_WIN32_FATAL_PRESENTER
#include "fatal/fatal_error_presenter.h"
#endif

namespace kestrum {

void Win32StartupPlatform::InitializeThread() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RecordMainThread();
#if KESTRUM_WIN32_FATAL_PRESENTER
    InstallFatalErrorPresenter();
#endif
}

void Win32StartupPlatform::UninitializeThread() {
    CoUninitialize();
}

bool Win32StartupPlatform::StartGraphics() {
    Gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    return Gdiplus::GdiplusStartup(&graphicsToken_, &input, nullptr) == Gdiplus::Ok;
}

void Win32StartupPlatform::StopGraphics() {
    if (graphicsToken_) {
        Gdiplus::GdiplusShutdown(graphicsToken_);
        graphicsToken_ = 0;
    }
}

StartupPlatform::InstanceResult Win32StartupPlatform::AcquireInstance(const std::u16string& name) {
    return AcquireInstanceGuard(name);
}

void Win32StartupPlatform::ReleaseInstance() {
    ReleaseInstanceGuard();
}

bool Win32StartupPlatform::ShowSplash() {
    // The browser windows close it when they take its place.
    SetSplashCloser([] { kestrum::CloseSplash(); });
    return kestrum::ShowSplash(instance_, 700, 450) != nullptr;
}

void Win32StartupPlatform::CloseSplash() {
    kestrum::CloseSplash();
}

void Win32StartupPlatform::PumpPendingMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int Win32StartupPlatform::WindowsGeneration() {
    return kestrum::WindowsGeneration();
}

std::u16string Win32StartupPlatform::DeviceId() {
    return GetDeviceId();
}

bool Win32StartupPlatform::EnsureBrowserRuntime() {
    return kestrum::EnsureBrowserRuntime();
}

void Win32StartupPlatform::InstallDefaultPins() {
    ReplacePins(DefaultPins());
}

bool Win32StartupPlatform::LoadDynamicPins() {
    return kestrum::LoadDynamicPins();
}

VersionCheckResult Win32StartupPlatform::CheckAppVersion(double currentVersion,
                                                         const std::u16string& server) {
    return kestrum::CheckAppVersion(currentVersion, server);
}

MessageAnswer Win32StartupPlatform::ShowMessageBox(const MessageBoxRequest& request) {
    return kestrum::ShowMessageBox(request);
}

void Win32StartupPlatform::OpenAddress(const std::u16string& address) {
    OpenUpdateAddress(address);
}

std::u16string Win32StartupPlatform::ExecutablePath() {
    const std::wstring path = ModuleFilePath();
    return std::u16string(path.begin(), path.end());
}

void Win32StartupPlatform::RegisterUrlScheme(const std::u16string& scheme,
                                             const std::u16string& description,
                                             const std::u16string& executablePath) {
    kestrum::RegisterUrlScheme(scheme, description, executablePath);
}

CommandLine Win32StartupPlatform::ReadCommandLine() {
    CommandLine commandLine = kestrum::ReadCommandLine(0, nullptr);
    // The entry point's own text decides the instance key and is the fallback link.
    commandLine.tail =
        commandLine_ ? std::u16string(reinterpret_cast<const char16_t*>(commandLine_)) : u"";
    return commandLine;
}

bool Win32StartupPlatform::ParseSchemeArgs(const std::u16string& linkArgument,
                                           std::string& errorText) {
    return kestrum::ParseSchemeArgs(linkArgument, errorText, TheAppContext(),
                                    PlatformLinkServices());
}

std::string Win32StartupPlatform::BuildDiagnosticCode(const std::string& reason) {
    return kestrum::BuildDiagnosticCode(reason, GetDeviceId);
}

void Win32StartupPlatform::ShowFatalErrorDialog(const FatalError& error) {
    kestrum::ShowFatalErrorDialog(error);
}

bool Win32StartupPlatform::CreateInitScreen() {
    return kestrum::CreateInitScreen(instance_);
}

bool Win32StartupPlatform::StartHostExists() {
    return TheBrowserHosts().startHost != nullptr;
}

bool Win32StartupPlatform::CreateMainWindow() {
    mainWindow_ = kestrum::CreateMainWindow(instance_);
    return mainWindow_ != nullptr;
}

bool Win32StartupPlatform::CreatePlayerWindow(bool haveMainWindow) {
    return kestrum::CreatePlayerWindow(instance_, haveMainWindow ? mainWindow_ : nullptr);
}

int Win32StartupPlatform::RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(static_cast<DWORD>(message.wParam));
}

void Win32StartupPlatform::InstallShutdownHook() {
    SetShutdownHook([] { CloseBrowserHostsFromAnyThread(7000); });
}

void Win32StartupPlatform::RemoveShutdownHook() {
    SetShutdownHook(nullptr);
}

void Win32StartupPlatform::CloseBrowserHosts() {
    kestrum::CloseBrowserHosts();
}

void Win32StartupPlatform::Log(std::string_view line) {
    DebugLog(line);
}

}  // namespace kestrum
