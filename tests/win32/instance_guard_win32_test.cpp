#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/instance_guard.h"
#include "app/instance_name.h"

namespace kestrum {
namespace {

using Result = StartupPlatform::InstanceResult;

// Runs this program again as a second instance that asks for the guard `name`.
Result GuardInOtherProcess(const std::u16string& name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --instance-guard-child \"" +
                               reinterpret_cast<const wchar_t*>(name.c_str()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
        return Result::kFailed;
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0xFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<Result>(code);
}

std::u16string TestGuardName(const char16_t* kind) {
    const std::string pid = std::to_string(GetCurrentProcessId());
    return u"Local\\KestrumTest." + std::u16string(kind) + u"." +
           std::u16string(pid.begin(), pid.end());
}

TEST(InstanceGuardWin32, ASecondProcessFindsTheFirstRunning) {
    const std::u16string name = TestGuardName(u"held");
    ASSERT_EQ(AcquireInstanceGuard(name), Result::kAcquired);
    EXPECT_EQ(GuardInOtherProcess(name), Result::kAlreadyRunning);
    // Refused attempts leave the holder's guard intact.
    EXPECT_EQ(GuardInOtherProcess(name), Result::kAlreadyRunning);
    ReleaseInstanceGuard();
    EXPECT_EQ(GuardInOtherProcess(name), Result::kAcquired);
}

TEST(InstanceGuardWin32, AnInstanceThatEndedLeavesNothingBehind) {
    // The child exits holding the guard; the next start still gets it.
    const std::u16string name = TestGuardName(u"ended");
    EXPECT_EQ(GuardInOtherProcess(name), Result::kAcquired);
    ASSERT_EQ(AcquireInstanceGuard(name), Result::kAcquired);
    ReleaseInstanceGuard();
}

TEST(InstanceGuardWin32, PlayerAndPlainStartsDoNotExcludeEachOther) {
    const std::u16string player = InstanceMutexName(u"Kestrum|player");
    const std::u16string plain = InstanceMutexName(u"Kestrum|init");
    ASSERT_EQ(AcquireInstanceGuard(player), Result::kAcquired);
    EXPECT_EQ(GuardInOtherProcess(plain), Result::kAcquired);
    EXPECT_EQ(GuardInOtherProcess(player), Result::kAlreadyRunning);
    ReleaseInstanceGuard();
}

TEST(InstanceGuardWin32, AGuardThatCannotBeCreatedIsAFailure) {
    // A name in a namespace that does not exist.
    EXPECT_EQ(AcquireInstanceGuard(u"NoSuchNamespace\\KestrumTest"), Result::kFailed);
}

}  // namespace
}  // namespace kestrum
