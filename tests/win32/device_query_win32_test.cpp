#include <windows.h>
// after windows.h
#include <cpuid.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/base64.h"
#include "common/text_encoding.h"
#include "service/device_identity.h"

namespace kestrum {
namespace {

// What the system reports as the processor identifier: CPUID leaf 1, EDX then EAX, as 16
// upper-case hexadecimal digits.
std::string CpuidProcessorId() {
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return {};
    char text[17] = {};
    std::snprintf(text, sizeof text, "%08X%08X", edx, eax);
    return text;
}

TEST(DeviceQueryWin32, ProcessorQueryGivesTheCpuidValue) {
    const DeviceQueries queries = PlatformDeviceQueries();
    ASSERT_TRUE(queries.processorId);
    const ProcessorQueryResult result =
        QueryProcessorIdWithTimeout(kProcessorQueryLimit, queries.processorId);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(Utf16ToUtf8(result.text), CpuidProcessorId());
}

TEST(DeviceQueryWin32, TheIdentifierIsTheSameAsOnLinux) {
    // The Linux backend derives its identifier from the same CPUID value.
    EXPECT_EQ(Utf16ToUtf8(GetDeviceId()), Base64Encode(CpuidProcessorId()));
}

TEST(DeviceQueryWin32, MachineFallbackReadsTheMachineGuid) {
    const std::u16string guid = PlatformDeviceQueries().machineFallback();
    ASSERT_EQ(guid.size(), 36u) << Utf16ToUtf8(guid);
    for (const std::size_t dash : {8u, 13u, 18u, 23u})
        EXPECT_EQ(guid[dash], u'-') << Utf16ToUtf8(guid);
}

// Sets (or, for nullopt, deletes) a value of the machine description key and puts the
// original back afterwards.
class DescriptionValue {
  public:
    DescriptionValue(const wchar_t* name, const std::optional<std::wstring>& text) : name_(name) {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr);
        wchar_t buffer[1024] = {};
        DWORD bytes = sizeof(buffer);
        if (RegQueryValueExW(key_, name_, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                             &bytes) == ERROR_SUCCESS) {
            original_ = std::wstring(buffer, bytes / sizeof(wchar_t));
        }
        Write(text);
    }
    DescriptionValue(const DescriptionValue&) = delete;
    DescriptionValue& operator=(const DescriptionValue&) = delete;
    ~DescriptionValue() {
        Write(original_);
        RegCloseKey(key_);
    }

  private:
    // The data is stored exactly as given, so a test can leave out the terminating zero.
    void Write(const std::optional<std::wstring>& text) {
        if (!text) {
            RegDeleteValueW(key_, name_);
            return;
        }
        RegSetValueExW(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(text->data()),
                       static_cast<DWORD>(text->size() * sizeof(wchar_t)));
    }

    static constexpr const wchar_t* kKey = L"HARDWARE\\DESCRIPTION\\System\\BIOS";
    const wchar_t* name_;
    HKEY key_ = nullptr;
    std::optional<std::wstring> original_;
};

TEST(DeviceQueryWin32, DescriptionValuesAreReadUpToTheirFirstZero) {
    struct Case {
        const char* what;
        std::optional<std::wstring> stored;
        std::optional<std::u16string> read;
    };
    const Case cases[] = {
        {"plain text", std::wstring(L"Maker Ltd", 10), u"Maker Ltd"},
        {"text with a zero inside", std::wstring(L"Maker\0junk", 11), u"Maker"},
        {"longer than the buffer", std::wstring(300, L'm'), std::nullopt},
        {"missing", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const DescriptionValue first(L"SystemManufacturer", c.stored);
        const DescriptionValue second(L"SystemProductName", std::wstring(L"Model 7", 8));
        const DeviceQueries queries = PlatformDeviceQueries();
        EXPECT_EQ(queries.descriptionFirst(), c.read) << c.what;
        EXPECT_EQ(queries.descriptionSecond(), std::optional<std::u16string>(u"Model 7")) << c.what;
    }
}

}  // namespace
}  // namespace kestrum
