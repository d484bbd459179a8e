// The Windows backend tests. The same program also serves as the second process of the
// instance guard tests: "--instance-guard-child <name>" takes the guard and exits with the
// result's number, without releasing it (the system drops it with the process).
#include <gtest/gtest.h>

#include <cstring>

#include "app/instance_guard.h"
#include "common/text_encoding.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--instance-guard-child") == 0) {
        return static_cast<int>(kestrum::AcquireInstanceGuard(kestrum::Utf8ToUtf16(argv[2])));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
