#pragma once

// The test runtime's record of every call (one line each, appended to the file named by
// KESTRUM_STANDIN_LOG) and the failures it was asked to produce.
#include <windows.h>

#include <functional>
#include <string>

namespace standin {

void Log(const std::string& line);
std::string Utf8(LPCWSTR text);
// Duplicates `text` with CoTaskMemAlloc, as the runtime does for every string it returns.
LPWSTR TaskString(const std::wstring& text);
// A getter's answer: `value` into `out`, or E_POINTER without a place to put it.
template <typename T, typename V>
HRESULT Give(T* out, V value) {
    if (out == nullptr)
        return E_POINTER;
    *out = static_cast<T>(value);
    return S_OK;
}
inline HRESULT GiveText(LPWSTR* out, const std::wstring& text) {
    if (out == nullptr)
        return E_POINTER;
    *out = TaskString(text);
    return S_OK;
}
// The HRESULT the stage named in KESTRUM_STANDIN_FAIL (a comma list of stage names, each
// optionally "=0x8007xxxx") should fail with, or S_OK.
HRESULT FailureFor(const char* stage);
// The value of an environment variable, empty when unset.
std::string Environment(const char* name);

// Runs `call` now, or, when KESTRUM_STANDIN_ASYNC is set, from the calling thread's message
// loop, as the runtime delivers its completions.
void Deliver(std::function<void()> call);

// Hands a creation's outcome to its completion handler (through Deliver), passing on the
// one reference the caller holds to `result` (which may be null).
template <typename Handler, typename Result>
void Complete(Handler* handler, HRESULT outcome, Result* result) {
    handler->AddRef();
    Deliver([handler, outcome, result] {
        handler->Invoke(outcome, result);
        handler->Release();
        if (result != nullptr)
            result->Release();
    });
}

}  // namespace standin
