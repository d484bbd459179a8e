// The test runtime keeps the contract the program's loader and engine rely on: the private
// entry point, the version in its resource, each creation stage failing on request, and a
// navigation played through the program's handlers with their decisions recorded.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "browser/win32/webview2/webview2_declarations.h"

namespace {

using CreateInternal = HRESULT(STDMETHODCALLTYPE*)(
    bool, int, PCWSTR, IUnknown*, ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*);

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

// A handler object for any one-method callback interface, forwarding to a function.
template <typename Interface, typename... Args>
class Callback final : public Interface {
  public:
    explicit Callback(std::function<HRESULT(Args...)> body) : body_(std::move(body)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(Interface)))
            return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the stack
    HRESULT STDMETHODCALLTYPE Invoke(Args... args) override { return body_(args...); }

  private:
    std::function<HRESULT(Args...)> body_;
    ULONG references_ = 1;
};

using EnvironmentDone = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                                 HRESULT, ICoreWebView2Environment*>;
using ControllerDone = Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, HRESULT,
                                ICoreWebView2Controller*>;
using Starting = Callback<ICoreWebView2NavigationStartingEventHandler, ICoreWebView2*,
                          ICoreWebView2NavigationStartingEventArgs*>;
using Requested = Callback<ICoreWebView2WebResourceRequestedEventHandler, ICoreWebView2*,
                           ICoreWebView2WebResourceRequestedEventArgs*>;

class StandinRuntime : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryW(WindowsPath(KESTRUM_STANDIN_DLL).c_str());
        ASSERT_NE(module_, nullptr);
        create_ = reinterpret_cast<CreateInternal>(reinterpret_cast<void*>(
            GetProcAddress(module_, "CreateWebViewEnvironmentWithOptionsInternal")));
        ASSERT_NE(create_, nullptr);
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        logPath_ = std::string(folder) + "kestrum-standin-" +
                   std::to_string(GetCurrentProcessId()) + ".log";
        std::remove(logPath_.c_str());
        SetEnvironmentVariableA("KESTRUM_STANDIN_LOG", logPath_.c_str());
        SetEnvironmentVariableA("KESTRUM_STANDIN_FAIL", nullptr);
    }
    void TearDown() override {
        SetEnvironmentVariableA("KESTRUM_STANDIN_LOG", nullptr);
        SetEnvironmentVariableA("KESTRUM_STANDIN_FAIL", nullptr);
        std::remove(logPath_.c_str());
    }
    std::string LogText() const {
        std::ifstream in(logPath_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Creates the environment and the controller; null web view when a stage failed.
    ICoreWebView2Controller* CreateController(HRESULT* environmentResult,
                                              HRESULT* controllerResult) {
        ICoreWebView2Controller* controller = nullptr;
        ControllerDone controllerDone([&](HRESULT result, ICoreWebView2Controller* created) {
            *controllerResult = result;
            if (created != nullptr) {
                created->AddRef();
                controller = created;
            }
            return S_OK;
        });
        EnvironmentDone environmentDone([&](HRESULT result, ICoreWebView2Environment* environment) {
            *environmentResult = result;
            if (environment != nullptr)
                environment->CreateCoreWebView2Controller(nullptr, &controllerDone);
            return S_OK;
        });
        *environmentResult = *controllerResult = S_FALSE;
        const HRESULT called = create_(true, 1, L"C:\\data", nullptr, &environmentDone);
        if (FAILED(called))
            *environmentResult = called;
        return controller;
    }

    HMODULE module_ = nullptr;
    CreateInternal create_ = nullptr;
    std::string logPath_;
};

TEST_F(StandinRuntime, CarriesItsProductVersion) {
    const std::wstring path = WindowsPath(KESTRUM_STANDIN_DLL);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0U);
    std::string data(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
    wchar_t* version = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&version), &length));
    EXPECT_EQ(std::wstring(version), L"120.0.2210.91");
}

TEST_F(StandinRuntime, EachCreationStageFailsOnRequest) {
    struct Case {
        const char* fail;
        HRESULT environment;
        HRESULT controller;
    };
    const Case cases[] = {
        {"", S_OK, S_OK},
        {"create=0x80070002", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), S_FALSE},
        {"environment=0x80070005", E_ACCESSDENIED, S_FALSE},
        {"controller", S_OK, E_FAIL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fail);
        SetEnvironmentVariableA("KESTRUM_STANDIN_FAIL", c.fail);
        HRESULT environment = S_FALSE;
        HRESULT controller = S_FALSE;
        ICoreWebView2Controller* created = CreateController(&environment, &controller);
        EXPECT_EQ(environment, c.environment);
        EXPECT_EQ(controller, c.controller);
        EXPECT_EQ(created != nullptr, c.controller == S_OK);
        if (created != nullptr)
            created->Release();
    }
    EXPECT_NE(LogText().find("CreateWebViewEnvironmentWithOptionsInternal first=1 runtimeType=1 "
                             "userData=C:\\data options=none"),
              std::string::npos);
}

TEST_F(StandinRuntime, NavigationRecordsTheProgramsDecisions) {
    HRESULT environment = S_FALSE;
    HRESULT controller = S_FALSE;
    ICoreWebView2Controller* created = CreateController(&environment, &controller);
    ASSERT_NE(created, nullptr);
    ICoreWebView2* webView = nullptr;
    ASSERT_EQ(created->get_CoreWebView2(&webView), S_OK);

    Starting refuse([](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
        LPWSTR uri = nullptr;
        args->get_Uri(&uri);
        if (std::wstring(uri).find(L"refused") != std::wstring::npos)
            args->put_Cancel(TRUE);
        CoTaskMemFree(uri);
        return S_OK;
    });
    Requested answer(
        [](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs*) { return S_OK; });
    EventRegistrationToken token{};
    ASSERT_EQ(webView->add_NavigationStarting(&refuse, &token), S_OK);
    ASSERT_EQ(webView->add_WebResourceRequested(&answer, &token), S_OK);
    webView->Navigate(L"https://refused.example/");
    webView->Navigate(L"https://allowed.example/");
    const std::string log = LogText();
    EXPECT_NE(log.find("NavigationStarting https://refused.example/ cancelled"), std::string::npos);
    EXPECT_EQ(log.find("WebResourceRequested https://refused.example/"), std::string::npos);
    EXPECT_NE(log.find("NavigationStarting https://allowed.example/ allowed"), std::string::npos);
    EXPECT_NE(log.find("WebResourceRequested https://allowed.example/ headers= response=none"),
              std::string::npos);
    webView->Release();
    created->Release();
}

}  // namespace
