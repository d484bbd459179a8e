// The runtime check and installation under Wine: runtimes made by the test (a private folder
// beside this program with a stand-in engine library, the updater's registry entry), boxes
// answered by clicking, and installers downloaded from the test's own HTTPS server, whose
// address (KESTRUM_TEST_INSTALLER_BASE) and root certificate (KESTRUM_TEST_ROOT_PEM) the
// calling script gives.
#include <windows.h>
// after windows.h
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/browser_runtime_win32.h"
#include "app/win32/download_progress_window_win32.h"
#include "tests/win32/player/box_answerer_win32.h"
#include "tests/win32/support/screen_win32.h"

namespace kestrum {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kClientStateKey[] =
    L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
constexpr wchar_t kQuestion[] = L"Molvane — Component Required";
constexpr wchar_t kInstalling[] = L"Installing...";
constexpr wchar_t kDownloadError[] = L"Download Error";
constexpr wchar_t kInstallation[] = L"Installation";
constexpr int kYes = 6, kNo = 7, kOk = 1;

fs::path ProgramFolder() {
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

std::wstring Environment(const wchar_t* name) {
    std::vector<wchar_t> value(65536);
    const DWORD length =
        GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return length < value.size() ? std::wstring(value.data(), length) : std::wstring();
}

void SetInstalledFolder(const wchar_t* folder) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kClientStateKey, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"EBWebView", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                   static_cast<DWORD>((wcslen(folder) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void ClearRegistry() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        RegDeleteKeyExW(root, kClientStateKey, KEY_WOW64_32KEY, 0);
}

// The test server's root among the user's trusted roots for the time of the tests. The
// store is written back at each close: the system's chain engine reads it afresh.
class TrustedRoot {
  public:
    TrustedRoot() {
        const std::wstring pem = Environment(L"KESTRUM_TEST_ROOT_PEM");
        DWORD size = 0;
        if (pem.empty() || !CryptStringToBinaryW(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr,
                                                 &size, nullptr, nullptr))
            return;
        der_.resize(size);
        CryptStringToBinaryW(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der_.data(), &size, nullptr,
                             nullptr);
        if (HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT")) {
            trusted_ = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der_.data(), size,
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
            CertCloseStore(store, 0);
        }
    }
    ~TrustedRoot() {
        if (!trusted_)
            return;
        HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
        PCCERT_CONTEXT mine = CertCreateCertificateContext(X509_ASN_ENCODING, der_.data(),
                                                           static_cast<DWORD>(der_.size()));
        if (store && mine) {
            if (PCCERT_CONTEXT found = CertFindCertificateInStore(
                    store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, mine, nullptr))
                CertDeleteCertificateFromStore(found);  // frees the context too
        }
        if (mine)
            CertFreeCertificateContext(mine);
        if (store)
            CertCloseStore(store, 0);
    }
    bool Trusted() const { return trusted_; }

  private:
    std::vector<BYTE> der_;
    bool trusted_ = false;
};

// Short limits, so that the failing downloads end within a test's time.
DownloadLimits TestLimits() {
    DownloadLimits limits;
    limits.maxBytes = 4 * 1024 * 1024;
    limits.connectTimeoutMs = 5000;
    limits.stallTimeoutMs = 1500;
    limits.totalTimeoutMs = 60000;
    return limits;
}

class RuntimeInstallTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { root_ = std::make_unique<TrustedRoot>(); }
    static void TearDownTestSuite() { root_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(root_->Trusted()) << "KESTRUM_TEST_ROOT_PEM names no certificate";
        base_ = Environment(L"KESTRUM_TEST_INSTALLER_BASE");
        ASSERT_FALSE(base_.empty()) << "KESTRUM_TEST_INSTALLER_BASE is not set";
        wchar_t system[MAX_PATH]{};
        GetTempPathW(MAX_PATH, system);
        temp_ = fs::path(system) / ("kestrum-runtime-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(temp_);
        // The installer goes to the temporary folder these name.
        const std::wstring withSlash = temp_.wstring() + L"\\";
        SetEnvironmentVariableW(L"TMP", withSlash.c_str());
        SetEnvironmentVariableW(L"TEMP", withSlash.c_str());
        SetEnvironmentVariableW(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER", nullptr);
        ClearRegistry();
        std::error_code ignored;
        fs::remove_all(PrivateFolder(), ignored);
    }
    void TearDown() override {
        ClearRegistry();
        std::error_code ignored;
        fs::remove_all(PrivateFolder(), ignored);
        fs::remove_all(temp_, ignored);
    }

    static fs::path PrivateFolder() { return ProgramFolder() / "WebView2Runtime"; }
    fs::path Installer() const { return temp_ / "WebView2Installer.exe"; }

    // Runs the check with the installer at `path` of the test server; counts how often the
    // address was asked for.
    bool Ensure(const std::wstring& path, const DownloadLimits& limits = TestLimits()) {
        const std::wstring address = path.rfind(L"http", 0) == 0 ? path : base_ + path;
        return EnsureBrowserRuntimeFrom(
            [this, address] {
                ++addressAsked_;
                return std::u16string(address.begin(), address.end());
            },
            limits);
    }

    static std::unique_ptr<TrustedRoot> root_;
    std::wstring base_;
    fs::path temp_;
    int addressAsked_ = 0;
};

std::unique_ptr<TrustedRoot> RuntimeInstallTest::root_;

// A private folder beside the program as the case makes it.
enum class PrivateRuntime { kNone, kWithoutProbe, kProbeIsFolder, kWithoutEngine, kWhole };

void MakePrivateRuntime(const fs::path& folder, PrivateRuntime kind) {
    if (kind == PrivateRuntime::kNone)
        return;
    fs::create_directories(folder);
    if (kind == PrivateRuntime::kProbeIsFolder)
        fs::create_directories(folder / "msedgewebview2.exe");
    if (kind == PrivateRuntime::kWithoutEngine || kind == PrivateRuntime::kWhole)
        std::ofstream(folder / "msedgewebview2.exe") << "MZ";
    if (kind == PrivateRuntime::kWhole || kind == PrivateRuntime::kWithoutProbe) {
        fs::create_directories(folder / "EBWebView" / "x64");
        fs::copy_file(ProgramFolder() / "fake_runtime.dll",
                      folder / "EBWebView" / "x64" / "EmbeddedBrowserWebView.dll");
    }
}

TEST_F(RuntimeInstallTest, AUsableRuntimeNeedsNoBoxAndNoDownload) {
    struct Case {
        const char* name;
        PrivateRuntime privateRuntime;
        bool installed;
        bool available;  // without asking; otherwise the question comes and is declined
    } cases[] = {
        {"installed runtime", PrivateRuntime::kNone, true, true},
        {"private runtime", PrivateRuntime::kWhole, false, true},
        // A private folder that cannot serve falls through to the installed runtime...
        {"folder without the probe file", PrivateRuntime::kWithoutProbe, true, true},
        {"probe that is a folder", PrivateRuntime::kProbeIsFolder, true, true},
        {"probe without an engine", PrivateRuntime::kWithoutEngine, true, true},
        // ...and without one to the question.
        {"folder without the probe file, nothing installed", PrivateRuntime::kWithoutProbe, false,
         false},
        {"probe that is a folder, nothing installed", PrivateRuntime::kProbeIsFolder, false, false},
        {"probe without an engine, nothing installed", PrivateRuntime::kWithoutEngine, false,
         false},
        {"nothing at all", PrivateRuntime::kNone, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        fs::remove_all(PrivateFolder(), ignored);
        ClearRegistry();
        MakePrivateRuntime(PrivateFolder(), c.privateRuntime);
        if (c.installed)
            SetInstalledFolder(L"C:\\Runtime\\Application\\120.0.2210.91");
        addressAsked_ = 0;

        BoxAnswerer question(kQuestion, kNo);
        BoxAnswerer installing(kInstalling, kOk);
        EXPECT_EQ(Ensure(L"/installer.exe"), c.available);
        if (c.available)
            question.Stop();
        question.Join();
        installing.Stop();
        EXPECT_EQ(question.found, !c.available);
        if (question.found) {
            EXPECT_EQ(question.text,
                      L"WebView2 Runtime is required to run this application.\n"
                      L"يحتاج هذا التطبيق إلى WebView2 Runtime للتشغيل.\n\n"
                      L"Would you like to install it now?");
        }
        // Declining, like finding a runtime, downloads nothing.
        EXPECT_FALSE(installing.found);
        EXPECT_EQ(addressAsked_, 0);
        EXPECT_FALSE(fs::exists(Installer()));
    }
}

// Accepts the question and the notice; the outcome's box, when given, is answered too.
struct AcceptingLearner {
    explicit AcceptingLearner(const wchar_t* outcomeCaption)
        : question(kQuestion, kYes),
          installing(kInstalling, kOk),
          downloadError(kDownloadError, kOk),
          installation(kInstallation, kOk),
          outcome(outcomeCaption) {}
    // Waits for the boxes that must come and stops looking for the others.
    void Finish() {
        question.Join();
        installing.Join();
        for (BoxAnswerer* box : {&downloadError, &installation}) {
            if (outcome &&
                box == (outcome == std::wstring(kDownloadError) ? &downloadError : &installation))
                box->Join();
            else
                box->Stop();
        }
    }
    BoxAnswerer question, installing, downloadError, installation;
    const wchar_t* outcome;
};

TEST_F(RuntimeInstallTest, DownloadsThatFailShowTheDownloadError) {
    const std::wstring refused = L"https://localhost:1/installer.exe";
    std::wstring plain = base_ + L"/installer.exe";
    plain.replace(0, 5, L"http");
    struct Case {
        const char* name;
        std::wstring path;
        DWORD totalTimeoutMs = TestLimits().totalTimeoutMs;
    } cases[] = {
        {"not found", L"/missing"},
        {"announced beyond the size limit", L"/oversized"},
        {"beyond the size limit without an announced length", L"/unannounced-oversized"},
        {"a server that stops sending", L"/stalled"},
        {"a connection that ends early", L"/short"},
        {"nobody listening", refused},
        {"a plain HTTP address", plain},
        {"sent on to plain HTTP", L"/to-plain"},
        {"a steady trickle beyond the whole download's time", L"/slow", 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AcceptingLearner learner(kDownloadError);
        DownloadLimits limits = TestLimits();
        limits.totalTimeoutMs = c.totalTimeoutMs;
        EXPECT_FALSE(Ensure(c.path, limits));
        learner.Finish();
        EXPECT_TRUE(learner.installing.found);
        EXPECT_EQ(learner.installing.text,
                  L"WebView2 Runtime is being downloaded and installed.\n"
                  L"جاري تحميل وتثبيت WebView2 Runtime.\n\nPlease wait...");
        EXPECT_TRUE(learner.downloadError.found);
        EXPECT_EQ(learner.downloadError.text,
                  L"Failed to download WebView2 Runtime.\nPlease check your internet connection.");
        EXPECT_FALSE(learner.installation.found);
        EXPECT_FALSE(fs::exists(Installer())) << "a failed download leaves no file";
    }
}

TEST_F(RuntimeInstallTest, AnInstallerThatInstallsIsRunAndRemoved) {
    // Directly, and sent on to it as the real address does.
    for (const wchar_t* path : {L"/installer.exe", L"/moved"}) {
        SCOPED_TRACE(std::string(path, path + wcslen(path)));
        ClearRegistry();
        addressAsked_ = 0;
        AcceptingLearner learner(nullptr);
        EXPECT_TRUE(Ensure(path));
        learner.Finish();
        EXPECT_TRUE(learner.installing.found);
        EXPECT_FALSE(learner.downloadError.found);
        EXPECT_FALSE(learner.installation.found);
        EXPECT_EQ(addressAsked_, 1);
        EXPECT_FALSE(fs::exists(Installer()));
    }
}

TEST_F(RuntimeInstallTest, AnInstallerThatInstallsNothingIsReportedAndKept) {
    AcceptingLearner learner(kInstallation);
    EXPECT_FALSE(Ensure(L"/idle-installer.exe"));
    learner.Finish();
    EXPECT_FALSE(learner.downloadError.found);
    EXPECT_TRUE(learner.installation.found);
    EXPECT_EQ(learner.installation.text,
              L"WebView2 installation may have failed.\nPlease restart the application.");
    EXPECT_TRUE(fs::exists(Installer())) << "kept for the learner to try by hand";
}

// What the progress window showed before its cancel button was clicked.
struct ProgressSeen {
    bool found = false;
    std::wstring label;
    int filled = 0;     // bar pixels in the fill colour
    int barPixels = 0;  // all pixels of the bar's inside
};

void WatchAndCancel(ProgressSeen& seen) {
    for (int i = 0; i < 1000; ++i, Sleep(20)) {
        HWND window = FindWindowW(kDownloadWindowClass, nullptr);
        if (!window || !IsWindowVisible(window))
            continue;
        wchar_t text[256]{};
        GetDlgItemTextW(window, kDownloadProgressLabelId, text, 256);
        // Wait for the first bytes to show.
        if (!wcsstr(text, L" of 2.0 MB ("))
            continue;
        seen.found = true;
        Sleep(300);  // the bar is painted after the text is set
        GetDlgItemTextW(window, kDownloadProgressLabelId, text, 256);
        seen.label = text;
        RECT bar{17, 77, 407, 95};  // the bar's inside, in client coordinates
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&bar), 2);
        const test::ScreenImage image = test::CaptureScreen(bar);
        seen.filled = test::CountColour(image, bar, 0x1E883E);
        seen.barPixels = (bar.right - bar.left) * (bar.bottom - bar.top);
        PostMessageW(GetDlgItem(window, kDownloadCancelButtonId), BM_CLICK, 0, 0);
        return;
    }
}

TEST_F(RuntimeInstallTest, CancellingTheDownloadIsDeclining) {
    AcceptingLearner learner(nullptr);
    ProgressSeen seen;
    std::thread watcher([&seen] { WatchAndCancel(seen); });
    EXPECT_FALSE(Ensure(L"/slow"));
    watcher.join();
    learner.Finish();
    ASSERT_TRUE(seen.found) << "no progress window with the length";
    // A quarter megabyte (and a trickle more) of two: 12 percent, a bar filled as far.
    const std::wstring suffix = L" KB of 2.0 MB (12%)";
    EXPECT_TRUE(seen.label.rfind(L"25", 0) == 0 && seen.label.size() > suffix.size() &&
                seen.label.compare(seen.label.size() - suffix.size(), suffix.size(), suffix) == 0)
        << std::string(seen.label.begin(), seen.label.end());
    EXPECT_GT(seen.filled, seen.barPixels * 11 / 100);
    EXPECT_LT(seen.filled, seen.barPixels * 13 / 100);
    EXPECT_FALSE(learner.downloadError.found) << "cancelling is no failure";
    EXPECT_FALSE(learner.installation.found);
    EXPECT_FALSE(fs::exists(Installer()));
    EXPECT_EQ(FindWindowW(kDownloadWindowClass, nullptr), nullptr);
}

}  // namespace
}  // namespace kestrum
