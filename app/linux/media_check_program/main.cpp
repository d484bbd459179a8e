// kestrum-media-check: which media components this system lacks, for the player's runtime
// check. Prints each missing component's description on a line of its own (nothing when all
// are there) and exits 0; the player reads it while its own start goes on, so that the media
// framework's registry scan neither holds nor enlarges the player's process.
//   kestrum-media-check [--scan-all]
// On a first start, before the framework has a registry, it looks only in the plugins that
// usually hold the components; when one is not found there it asks again with --scan-all,
// which builds the registry from every plugin and is the answer that counts. (The player also
// runs --scan-all once its start is over, to build the registry the shortcut left out.)

#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "app/linux/media_components_gst.h"
#include "common/linux/own_executable_linux.h"

namespace {

constexpr const char* kScanAll = kestrum::kMediaScanAllOption;

int PrintMissing() {
    for (const std::string& missing : kestrum::MissingMediaInThisProcess())
        std::printf("%s\n", missing.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool scanAll = argc == 2 && std::string_view(argv[1]) == kScanAll;
    if (argc > 2 || (argc == 2 && !scanAll)) {
        std::fputs("usage: kestrum-media-check [--scan-all]\n", stderr);
        return 2;
    }
    const std::optional<bool> found = scanAll ? std::nullopt : kestrum::FoundInTheirOwnPlugins();
    if (!found)
        return PrintMissing();
    if (*found)
        return std::fflush(stdout) == 0 ? 0 : 1;
    // This process's framework now knows only the plugins it was shown: the full scan runs in
    // a fresh image of this program.
    std::string self = kestrum::OwnExecutablePath();
    std::string scanAllArgument = kScanAll;
    char* arguments[] = {self.data(), scanAllArgument.data(), nullptr};
    if (!self.empty())
        execv(self.c_str(), arguments);
    std::perror("kestrum-media-check: cannot start the full scan");
    return 1;
}
