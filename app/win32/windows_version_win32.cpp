#include "app/win32/windows_version_win32.h"

#include <windows.h>

#include "common/platform_profile.h"
#include "common/text_encoding.h"

namespace kestrum {

OsVersion QueryTrueOsVersion() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    // The module and routine names are kept scrambled like the platform's texts.
    const std::string moduleName = ProfileMember(ProfileItem::kOsVersionQuery, "module");
    const std::string routineName = ProfileMember(ProfileItem::kOsVersionQuery, "routine");
    const std::u16string wideModule = Utf8ToUtf16(moduleName);
    if (HMODULE module = GetModuleHandleW(reinterpret_cast<const wchar_t*>(wideModule.c_str()))) {
        using QueryRoutine = LONG(WINAPI*)(OSVERSIONINFOEXW*);
        if (auto routine = reinterpret_cast<QueryRoutine>(
                reinterpret_cast<void*>(GetProcAddress(module, routineName.c_str())))) {
            routine(&info);
        }
    }
    return OsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

int WindowsGeneration() {
    return WindowsGenerationOf(QueryTrueOsVersion());
}

}  // namespace kestrum
