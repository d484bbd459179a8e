#include <windows.h>
// after windows.h
#include <softpub.h>
#include <tlhelp32.h>
#include <wincrypt.h>
#include <wintrust.h>

#include "common/text_case.h"
#include "service/pin_validation.h"

namespace kestrum {
namespace {

std::u16string FromWide(const wchar_t* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

// Whether the file carries a valid signature whose signer's name contains the fragment.
bool SignedBy(const std::wstring& path, const std::u16string& signerFragment) {
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_SAFER_FLAG;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;

    bool matches = false;
    if (WinVerifyTrust(nullptr, &action, &data) == ERROR_SUCCESS) {
        CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data.hWVTStateData);
        CRYPT_PROVIDER_SGNR* signer =
            provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
        CRYPT_PROVIDER_CERT* certificate =
            signer ? WTHelperGetProvCertFromChain(signer, 0) : nullptr;
        if (certificate && certificate->pCert) {
            wchar_t name[256] = {};
            if (CertGetNameStringW(certificate->pCert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr,
                                   name, 256) > 1) {
                matches = Contains(ToLowerCopy(FromWide(name)), signerFragment);
            }
        }
    }
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(nullptr, &action, &data);
    return matches;
}

}  // namespace

bool IsSecurityProductRunning(const SecurityProductEntry& product) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    bool running = false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
         more = Process32NextW(snapshot, &entry)) {
        const std::u16string name = ToLowerCopy(FromWide(entry.szExeFile));
        bool listed = false;
        for (const auto& processName : product.processNames)
            listed = listed || name == processName;
        if (!listed)
            continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process)
            continue;
        wchar_t path[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (QueryFullProcessImageNameW(process, 0, path, &length)) {
            running = SignedBy(std::wstring(path, length), product.signerFragment);
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return running;
}

}  // namespace kestrum
