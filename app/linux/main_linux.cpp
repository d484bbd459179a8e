// The player's entry point on Linux.
#include "app/linux/linux_startup_platform.h"

int main(int argc, char** argv) {
    kestrum::LinuxStartupPlatform platform(argc, argv);
    return kestrum::RunStartup(platform);
}
