#include <windows.h>
// after windows.h
#include <oleauto.h>
#include <wbemidl.h>

#include <cwchar>
#include <memory>
#include <optional>
#include <string>

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "service/device_identity.h"

namespace kestrum {
namespace {

// WBEM_FLAG_CONNECT_USE_MAX_WAIT: the connection gives up instead of waiting forever.
constexpr long kConnectUseMaxWait = 128;
constexpr long kNextTimeoutMs = 5000;
// Registry values are read into a zero-filled buffer of this many bytes.
constexpr DWORD kValueBytes = 512;

std::u16string QueryText(const char* member) {
    return Utf8ToUtf16(ProfileMember(ProfileItem::kDeviceQuery, member));
}

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComRef = std::unique_ptr<T, ComRelease>;

class Bstr {
  public:
    explicit Bstr(const std::u16string& text) : text_(SysAllocString(Wide(text))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(text_); }
    BSTR get() const { return text_; }

  private:
    BSTR text_;
};

// The first processor's identifier from WMI; empty when any step fails. Throws
// ProcessorQueryTimeout when WMI reports its own time-out, after everything is released.
std::u16string QueryProcessorId() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return {};
    std::u16string result;
    bool timedOut = false;
    {
        IWbemLocator* rawLocator = nullptr;
        if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWbemLocator, reinterpret_cast<void**>(&rawLocator)))) {
            rawLocator = nullptr;
        }
        const ComRef<IWbemLocator> locator(rawLocator);
        IWbemServices* rawServices = nullptr;
        const Bstr wmiNamespace(QueryText("wmiNamespace"));
        if (locator &&
            FAILED(locator->ConnectServer(wmiNamespace.get(), nullptr, nullptr, nullptr,
                                          kConnectUseMaxWait, nullptr, nullptr, &rawServices))) {
            rawServices = nullptr;
        }
        const ComRef<IWbemServices> services(rawServices);
        IEnumWbemClassObject* rawEnumerator = nullptr;
        if (services &&
            SUCCEEDED(CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE,
                                        nullptr, RPC_C_AUTHN_LEVEL_CALL,
                                        RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE))) {
            const Bstr language(QueryText("wmiLanguage"));
            const Bstr query(QueryText("wmiQuery"));
            if (FAILED(services->ExecQuery(language.get(), query.get(),
                                           WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                           nullptr, &rawEnumerator))) {
                rawEnumerator = nullptr;
            }
        }
        const ComRef<IEnumWbemClassObject> enumerator(rawEnumerator);
        IWbemClassObject* rawObject = nullptr;
        ULONG returned = 0;
        if (enumerator) {
            const HRESULT next = enumerator->Next(kNextTimeoutMs, 1, &rawObject, &returned);
            if (next == WBEM_S_TIMEDOUT)
                timedOut = true;
            if (FAILED(next) || returned == 0)
                rawObject = nullptr;
        }
        const ComRef<IWbemClassObject> object(rawObject);
        if (object) {
            const std::u16string property = QueryText("wmiProperty");
            VARIANT value;
            VariantInit(&value);
            if (SUCCEEDED(object->Get(Wide(property), 0, &value, nullptr, nullptr)) &&
                value.vt == VT_BSTR && value.bstrVal) {
                result = std::u16string(reinterpret_cast<const char16_t*>(value.bstrVal),
                                        SysStringLen(value.bstrVal));
            }
            VariantClear(&value);
        }
    }
    CoUninitialize();
    if (timedOut)
        throw ProcessorQueryTimeout();
    return result;
}

// The text of a registry value up to its first zero character; nullopt when the key or
// value cannot be read. The buffer may be full without a terminator, so the length is bounded.
std::optional<std::u16string> ReadValue(HKEY key, const std::u16string& valueName) {
    wchar_t buffer[kValueBytes / sizeof(wchar_t)] = {};
    DWORD size = kValueBytes;
    if (RegQueryValueExW(key, Wide(valueName), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::size_t length = wcsnlen(buffer, kValueBytes / sizeof(wchar_t));
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), length);
}

std::optional<std::u16string> ReadMachineValue(const char* keyMember, const char* valueMember,
                                               REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(QueryText(keyMember)), 0, KEY_READ | view, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::optional<std::u16string> value = ReadValue(key, QueryText(valueMember));
    RegCloseKey(key);
    return value;
}

}  // namespace

DeviceQueries PlatformDeviceQueries() {
    DeviceQueries queries;
    queries.processorId = QueryProcessorId;
    // The machine-wide identity lives in the 64-bit view whatever the process's own view.
    queries.machineFallback = [] {
        return ReadMachineValue("fallbackKey", "fallbackValue", KEY_WOW64_64KEY)
            .value_or(std::u16string());
    };
    queries.descriptionFirst = [] {
        return ReadMachineValue("descriptionKey", "descriptionFirstValue", 0);
    };
    queries.descriptionSecond = [] {
        return ReadMachineValue("descriptionKey", "descriptionSecondValue", 0);
    };
    return queries;
}

}  // namespace kestrum
