#include "standin_log.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <utility>

#include "browser/win32/webview2/webview2_declarations.h"
#include "standin_com.h"

namespace standin {

std::string Environment(const char* name) {
    char value[4096];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value)
        return {};
    return std::string(value, length);
}

void Log(const std::string& line) {
    const std::string path = Environment("KESTRUM_STANDIN_LOG");
    if (path.empty())
        return;
    if (FILE* file = std::fopen(path.c_str(), "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string Utf8(LPCWSTR text) {
    if (text == nullptr)
        return "(null)";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

LPWSTR TaskString(const std::wstring& text) {
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (copy != nullptr)
        std::wmemcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

HRESULT FailureFor(const char* stage) {
    std::stringstream list(Environment("KESTRUM_STANDIN_FAIL"));
    for (std::string item; std::getline(list, item, ',');) {
        const size_t equals = item.find('=');
        if (item.substr(0, equals) != stage)
            continue;
        if (equals == std::string::npos)
            return E_FAIL;
        return static_cast<HRESULT>(std::strtoul(item.c_str() + equals + 1, nullptr, 0));
    }
    return S_OK;
}

namespace {

std::map<UINT_PTR, std::function<void()>>& Pending() {
    static std::map<UINT_PTR, std::function<void()>> pending;
    return pending;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    auto found = Pending().find(timer);
    if (found == Pending().end())
        return;
    std::function<void()> call = std::move(found->second);
    Pending().erase(found);
    call();
}

}  // namespace

void Deliver(std::function<void()> call) {
    if (Environment("KESTRUM_STANDIN_ASYNC").empty()) {
        call();
        return;
    }
    const UINT_PTR timer = SetTimer(nullptr, 0, 0, RunPending);
    if (timer == 0) {
        call();
        return;
    }
    Pending()[timer] = std::move(call);
}

bool Withheld(REFIID iid) {
    // The later interfaces whose absence the program must answer for.
    static const struct {
        const char* name;
        IID iid;
    } kNamed[] = {
        {"Environment2", __uuidof(ICoreWebView2Environment2)},
        {"Environment5", __uuidof(ICoreWebView2Environment5)},
        {"Environment6", __uuidof(ICoreWebView2Environment6)},
        {"Controller2", __uuidof(ICoreWebView2Controller2)},
        {"Controller4", __uuidof(ICoreWebView2Controller4)},
        {"WebView2_2", __uuidof(ICoreWebView2_2)},
        {"WebView2_16", __uuidof(ICoreWebView2_16)},
        {"WebView2_22", __uuidof(ICoreWebView2_22)},
        {"PrintSettings2", __uuidof(ICoreWebView2PrintSettings2)},
        {"Settings3", __uuidof(ICoreWebView2Settings3)},
        {"Settings7", __uuidof(ICoreWebView2Settings7)},
    };
    std::stringstream list(Environment("KESTRUM_STANDIN_WITHHOLD"));
    for (std::string item; std::getline(list, item, ',');) {
        for (const auto& named : kNamed)
            if (item == named.name && IsEqualIID(iid, named.iid))
                return true;
    }
    return false;
}

}  // namespace standin
