#include "browser/win32/runtime_loader_win32.h"

#include <objbase.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "browser/runtime_version_text.h"

namespace kestrum {
namespace {

using CreateInternal = HRESULT(STDMETHODCALLTYPE*)(
    bool, int, PCWSTR, IUnknown*, ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*);

// Where the runtime's updater records the installed runtime's folder (stable channel); the
// updater is a 32-bit program, so machine-wide entries live in the 32-bit view.
constexpr wchar_t kClientStateKey[] =
    L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

enum class RuntimeKind { Installed = 0, Fixed = 1 };

struct FoundRuntime {
    HRESULT result = S_OK;
    RuntimeKind kind = RuntimeKind::Installed;
    std::wstring folder;
    std::wstring version;
};

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}
std::u16string Utf16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring EnvironmentValue(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    const DWORD written = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(written < size ? written : 0);
    return value;
}

std::wstring ProgramFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return Wide(ParentFolder(Utf16(std::wstring(buffer.data(), length))));
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ReadFolderValue(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kClientStateKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS)
        return {};
    std::wstring value;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, L"EBWebView", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ && size > 0 && size < 65536) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, L"EBWebView", nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS &&
            type == REG_SZ) {
            value = buffer.data();  // the stored text may lack its terminator
        }
    }
    RegCloseKey(key);
    return value;
}

// The product version text of a file's version resource, or of its fixed part when the
// resource has no English product version text.
std::wstring FileProductVersion(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data()))
        return {};
    wchar_t* text = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                       reinterpret_cast<void**>(&text), &length) &&
        text && length > 1) {
        return std::wstring(text, wcsnlen(text, length));
    }
    VS_FIXEDFILEINFO* info = nullptr;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    return Wide(FormatPackedVersion(info->dwProductVersionMS, info->dwProductVersionLS));
}

FoundRuntime NotFound() {
    FoundRuntime none;
    none.result = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    return none;
}

FoundRuntime FindFixedRuntime(const std::wstring& given) {
    FoundRuntime found;
    found.kind = RuntimeKind::Fixed;
    found.folder = Wide(JoinWindowsPath(Utf16(ProgramFolder()), Utf16(given)));
    if (IsRefusedBrowserFolder(Utf16(found.folder))) {
        found.result = HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
        return found;
    }
    found.version = FileProductVersion(Wide(RuntimeLibraryPath(Utf16(found.folder))));
    if (found.version.empty())
        return NotFound();
    return found;
}

FoundRuntime FindInstalledRuntime() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const std::wstring folder = ReadFolderValue(root);
        const std::wstring version = Wide(LastPathComponent(Utf16(folder)));
        if (folder.empty() || !MeetsRuntimeBuildFloor(Utf16(version)))
            continue;
        FoundRuntime found;
        found.folder = folder;
        found.version = version;
        return found;
    }
    return NotFound();
}

FoundRuntime FindRuntime(PCWSTR browserExecutableFolder) {
    std::wstring folder = EnvironmentValue(L"WEBVIEW2_BROWSER_EXECUTABLE_FOLDER");
    if (folder.empty() && browserExecutableFolder)
        folder = browserExecutableFolder;
    return folder.empty() ? FindInstalledRuntime() : FindFixedRuntime(folder);
}

// Engine libraries stay loaded for the life of the process: environments and the objects
// they hand out run their code until the very end.
HRESULT LoadCreateEntry(const std::wstring& library, CreateInternal* entry) {
    static std::mutex guard;
    std::lock_guard lock(guard);
    HMODULE module = LoadLibraryW(library.c_str());
    if (!module)
        return HRESULT_FROM_WIN32(GetLastError());
    *entry = reinterpret_cast<CreateInternal>(reinterpret_cast<void*>(
        GetProcAddress(module, "CreateWebViewEnvironmentWithOptionsInternal")));
    if (!*entry)
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return S_OK;
}

}  // namespace

HRESULT CreateCoreWebView2EnvironmentWithOptions(
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
    if (!handler)
        return E_POINTER;
    const FoundRuntime runtime = FindRuntime(browserExecutableFolder);
    if (FAILED(runtime.result))
        return runtime.result;
    CreateInternal create = nullptr;
    if (const HRESULT loaded =
            LoadCreateEntry(Wide(RuntimeLibraryPath(Utf16(runtime.folder))), &create);
        FAILED(loaded)) {
        return loaded;
    }
    std::wstring dataFolder = EnvironmentValue(L"WEBVIEW2_USER_DATA_FOLDER");
    if (dataFolder.empty() && userDataFolder)
        dataFolder = userDataFolder;
    return create(true, static_cast<int>(runtime.kind),
                  dataFolder.empty() ? nullptr : dataFolder.c_str(),
                  reinterpret_cast<IUnknown*>(options), handler);
}

HRESULT GetAvailableCoreWebView2BrowserVersionString(PCWSTR browserExecutableFolder,
                                                     LPWSTR* versionInfo) {
    if (!versionInfo)
        return E_POINTER;
    *versionInfo = nullptr;
    const FoundRuntime runtime = FindRuntime(browserExecutableFolder);
    if (FAILED(runtime.result))
        return runtime.result;
    const std::size_t bytes = (runtime.version.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
    if (!copy)
        return E_OUTOFMEMORY;
    std::memcpy(copy, runtime.version.c_str(), bytes);
    *versionInfo = copy;
    return S_OK;
}

}  // namespace kestrum
