// A stand-in for a browser runtime's engine library: it writes the arguments it was created
// with to the file named by KESTRUM_FAKE_RUNTIME_RECORD and reports success to the handler.
#include <windows.h>

#include <cstdio>
#include <cwchar>

// The completion handler's calls as the runtime sees them: IUnknown's, then Invoke. Not in
// an unnamed namespace: the compiler would take it that no object of it can exist here.
struct CompletedHandler {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, IUnknown* environment) = 0;
};

#ifndef KESTRUM_FAKE_RUNTIME_WITHOUT_ENTRY
extern "C" __declspec(dllexport) HRESULT STDMETHODCALLTYPE
    CreateWebViewEnvironmentWithOptionsInternal(bool first, int runtimeType, PCWSTR userDataFolder,
                                                IUnknown* options, CompletedHandler* handler) {
    wchar_t recordPath[MAX_PATH]{};
    if (GetEnvironmentVariableW(L"KESTRUM_FAKE_RUNTIME_RECORD", recordPath, MAX_PATH) > 0) {
        if (FILE* record = _wfopen(recordPath, L"w")) {
            std::fwprintf(record, L"%d|%d|%ls|%ls", first ? 1 : 0, runtimeType,
                          userDataFolder ? userDataFolder : L"(none)",
                          options ? L"options" : L"(none)");
            std::fclose(record);
        }
    }
    return handler ? handler->Invoke(S_OK, nullptr) : E_POINTER;
}
#else
extern "C" __declspec(dllexport) HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return S_FALSE;
}
#endif
