// Requests, their headers and responses, as the program builds and answers them.
#include <sstream>

#include "standin_com.h"
#include "standin_log.h"
#include "standin_objects.h"

namespace standin {
namespace {

class Headers final : public ComObject<ICoreWebView2HttpRequestHeaders> {
  public:
    Headers() : ComObject({__uuidof(ICoreWebView2HttpRequestHeaders)}) {}
    HRESULT STDMETHODCALLTYPE GetHeader(LPCWSTR name, LPWSTR* value) override {
        if (name == nullptr || value == nullptr)
            return E_POINTER;
        const auto found = values.find(name);
        if (found == values.end())
            return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        *value = TaskString(found->second);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Contains(LPCWSTR name, BOOL* value) override {
        if (name == nullptr || value == nullptr)
            return E_POINTER;
        *value = values.count(name) ? TRUE : FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHeader(LPCWSTR name, LPCWSTR value) override {
        if (name == nullptr || value == nullptr)
            return E_POINTER;
        values[name] = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveHeader(LPCWSTR name) override {
        if (name == nullptr)
            return E_POINTER;
        values.erase(name);
        return S_OK;
    }
    std::map<std::wstring, std::wstring> values;
};

class Request final : public ComObject<ICoreWebView2WebResourceRequest> {
  public:
    Request(std::wstring uri, std::wstring method)
        : ComObject({__uuidof(ICoreWebView2WebResourceRequest)}),
          uri_(std::move(uri)),
          method_(std::move(method)),
          headers_(new Headers()) {}
    ~Request() override { headers_->Release(); }
    void AddHeaderLines(const std::wstring& lines) {
        std::wstringstream stream(lines);
        for (std::wstring line; std::getline(stream, line);) {
            if (!line.empty() && line.back() == L'\r')
                line.pop_back();
            const size_t colon = line.find(L':');
            if (colon == std::wstring::npos)
                continue;
            size_t start = colon + 1;
            while (start < line.size() && line[start] == L' ')
                ++start;
            headers_->values[line.substr(0, colon)] = line.substr(start);
        }
    }
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) override { return GiveText(uri, uri_); }
    HRESULT STDMETHODCALLTYPE put_Uri(LPCWSTR uri) override {
        if (uri == nullptr)
            return E_POINTER;
        uri_ = uri;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Method(LPWSTR* method) override {
        return GiveText(method, method_);
    }
    HRESULT STDMETHODCALLTYPE put_Method(LPCWSTR method) override {
        if (method == nullptr)
            return E_POINTER;
        method_ = method;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Content(IStream** content) override {
        if (content == nullptr)
            return E_POINTER;
        *content = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Content(IStream*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Headers(ICoreWebView2HttpRequestHeaders** headers) override {
        if (headers == nullptr)
            return E_POINTER;
        headers_->AddRef();
        *headers = headers_;
        return S_OK;
    }

  private:
    std::wstring uri_;
    std::wstring method_;
    Headers* headers_;
};

class Response final : public ComObject<ICoreWebView2WebResourceResponse> {
  public:
    Response(int status, std::wstring reason)
        : ComObject({__uuidof(ICoreWebView2WebResourceResponse)}),
          status_(status),
          reason_(std::move(reason)) {}
    HRESULT STDMETHODCALLTYPE get_Content(IStream** content) override {
        if (content == nullptr)
            return E_POINTER;
        *content = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Content(IStream*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Headers(ICoreWebView2HttpResponseHeaders**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_StatusCode(int* status) override { return Give(status, status_); }
    HRESULT STDMETHODCALLTYPE put_StatusCode(int status) override {
        status_ = status;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ReasonPhrase(LPWSTR* reason) override {
        return GiveText(reason, reason_);
    }
    HRESULT STDMETHODCALLTYPE put_ReasonPhrase(LPCWSTR reason) override {
        reason_ = reason ? reason : L"";
        return S_OK;
    }

  private:
    int status_;
    std::wstring reason_;
};

}  // namespace

ICoreWebView2WebResourceRequest* NewRequest(const std::wstring& uri, const std::wstring& method,
                                            const std::wstring& headerLines) {
    auto* request = new Request(uri, method);
    request->AddHeaderLines(headerLines);
    return request;
}

ICoreWebView2WebResourceResponse* NewResponse(int status, const std::wstring& reason) {
    return new Response(status, reason);
}

std::string DescribeHeaders(ICoreWebView2WebResourceRequest* request) {
    ICoreWebView2HttpRequestHeaders* headers = nullptr;
    if (request == nullptr || FAILED(request->get_Headers(&headers)))
        return {};
    std::string text;
    // Only our own objects reach here, so the map is read directly.
    for (const auto& [name, value] : static_cast<Headers*>(headers)->values) {
        if (!text.empty())
            text += "; ";
        text += Utf8(name.c_str()) + ": " + Utf8(value.c_str());
    }
    headers->Release();
    return text;
}

}  // namespace standin
