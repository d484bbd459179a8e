#include "app/linux/linux_startup_platform.h"

#include <gtk/gtk.h>
#include <unistd.h>

#include "app/linux/browser_runtime_linux.h"
#include "app/linux/instance_lock_linux.h"
#include "app/linux/shell_windows_gtk.h"
#include "app/linux/splash_gtk.h"
#include "app/linux/url_scheme_linux.h"
#include "app/platform_link_services.h"
#include "app/update_address.h"
#include "browser/browser_host_slots.h"
#include "browser/header_decisions.h"
#include "browser/linux/browser_window_shell_gtk.h"
#include "browser/linux/webkit_engine.h"
#include "common/app_context.h"
#include "common/debug_log.h"
#include "common/linux/own_executable_linux.h"
#include "common/linux/toolkit_start_gtk.h"
#include "common/shutdown.h"
#include "common/text_case.h"
#include "common/text_encoding.h"
#include "fatal/diagnostic_code.h"
#include "fatal/fatal_error_presenter.h"
#include "link/scheme_args.h"
#include "printing/linux/print_job_webkit.h"
#include "service/device_identity.h"
#include "service/dynamic_pins.h"
#include "service/page_host_pins.h"
#include "service/pin_store.h"

namespace kestrum {

void LinuxStartupPlatform::InitializeThread() {
    RecordMainThread();
    display_ = StartToolkit(&argc_, &argv_);
    InstallFatalErrorPresenter();
    SetWebKitPrintHandler(PrintViewWithPicker);
}

StartupPlatform::InstanceResult LinuxStartupPlatform::AcquireInstance(const std::u16string& name) {
    return AcquireInstanceGuard(name);
}

void LinuxStartupPlatform::ReleaseInstance() {
    ReleaseInstanceGuard();
}

bool LinuxStartupPlatform::ShowSplash() {
    // The browser windows close it when they take its place.
    SetSplashCloser([] { kestrum::CloseSplash(); });
    return kestrum::ShowSplash(700, 450);
}

void LinuxStartupPlatform::CloseSplash() {
    kestrum::CloseSplash();
}

void LinuxStartupPlatform::PumpPendingMessages() {
    if (!display_)
        return;
    while (gtk_events_pending())
        gtk_main_iteration();
}

std::u16string LinuxStartupPlatform::DeviceId() {
    return GetDeviceId();
}

bool LinuxStartupPlatform::EnsureBrowserRuntime() {
    return kestrum::EnsureBrowserRuntime();
}

void LinuxStartupPlatform::WarmContentBrowser() {
    if (display_)
        WarmBrowser(BrowserWindow::kMain);
}

void LinuxStartupPlatform::DiscardWarmBrowser() {
    kestrum::DiscardWarmBrowser();
}

void LinuxStartupPlatform::InstallDefaultPins() {
    ReplacePins(DefaultPins());
}

bool LinuxStartupPlatform::LoadDynamicPins() {
    return kestrum::LoadDynamicPins();
}

VersionCheckResult LinuxStartupPlatform::CheckAppVersion(double currentVersion,
                                                         const std::u16string& server) {
    return kestrum::CheckAppVersion(currentVersion, server);
}

MessageAnswer LinuxStartupPlatform::ShowMessageBox(const MessageBoxRequest& request) {
    return kestrum::ShowMessageBox(request);
}

void LinuxStartupPlatform::OpenAddress(const std::u16string& address) {
    // Only an https address of the platform's domain: it goes to the handler as a URI, and
    // since it begins with "https://" no program can read it as an option.
    const std::string uri = Utf16ToUtf8(ChooseUpdateAddress(address));
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error)) {
        DebugLog(std::string("Opening the address failed: ") + (error ? error->message : "?"));
        g_clear_error(&error);
        // Desktops without a GIO handler still have xdg-open.
        const gchar* command[] = {"xdg-open", uri.c_str(), nullptr};
        g_spawn_async(nullptr, const_cast<gchar**>(command), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                      nullptr, nullptr, nullptr);
    }
}

std::u16string LinuxStartupPlatform::ExecutablePath() {
    const std::string path = OwnExecutablePath();
    if (path.empty())
        return Utf8ToUtf16(argc_ > 0 ? argv_[0] : "");
    return Utf8ToUtf16(path);
}

void LinuxStartupPlatform::RegisterUrlScheme(const std::u16string& scheme,
                                             const std::u16string& description,
                                             const std::u16string& executablePath) {
    kestrum::RegisterUrlScheme(scheme, description, executablePath);
}

CommandLine LinuxStartupPlatform::ReadCommandLine() {
    return kestrum::ReadCommandLine(argc_, argv_);
}

bool LinuxStartupPlatform::ParseSchemeArgs(const std::u16string& linkArgument,
                                           std::string& errorText) {
    return kestrum::ParseSchemeArgs(linkArgument, errorText, TheAppContext(),
                                    PlatformLinkServices());
}

// The first page then neither waits for a check nor makes a handshake of its own for it.
void LinuxStartupPlatform::CheckContentHostAhead(const std::u16string& contentUrl) {
    if (const std::u16string host = PinCheckHost(ToLowerCopy(contentUrl)); !host.empty())
        BeginHostPinCheck(host);
}

std::string LinuxStartupPlatform::BuildDiagnosticCode(const std::string& reason) {
    return kestrum::BuildDiagnosticCode(reason, GetDeviceId);
}

void LinuxStartupPlatform::ShowFatalErrorDialog(const FatalError& error) {
    kestrum::ShowFatalErrorDialog(error);
}

bool LinuxStartupPlatform::CreateInitScreen() {
    if (!display_)
        return false;
    GtkWidget* window = CreateStartWindow();
    return window && CreateInitScreenBrowser(window, GtkBrowserWindowShell());
}

bool LinuxStartupPlatform::StartHostExists() {
    return TheBrowserHosts().startHost != nullptr;
}

bool LinuxStartupPlatform::CreateMainWindow() {
    return display_ && kestrum::CreateMainWindow() != nullptr;
}

bool LinuxStartupPlatform::CreatePlayerWindow(bool haveMainWindow) {
    return haveMainWindow && CreatePlayerWindowBrowser(ShellWindow(), GtkBrowserWindowShell());
}

int LinuxStartupPlatform::RunMessageLoop() {
    int code = 0;
    // A quit that came while a browser was starting ends the loop before it runs.
    if (TakeMainLoopQuit(code) || !ShellWindow())
        return code;
    gtk_main();
    TakeMainLoopQuit(code);
    return code;
}

void LinuxStartupPlatform::InstallShutdownHook() {
    SetShutdownHook([] { CloseBrowserHostsFromAnyThread(7000); });
}

void LinuxStartupPlatform::RemoveShutdownHook() {
    SetShutdownHook(nullptr);
}

void LinuxStartupPlatform::CloseBrowserHosts() {
    kestrum::CloseBrowserHosts();
}

void LinuxStartupPlatform::Log(std::string_view line) {
    DebugLog(line);
}

}  // namespace kestrum
