// kestrum-media-check: which media components this system lacks, for the player's runtime
// check. Prints each missing component's description on a line of its own (nothing when all
// are there) and exits 0; the player reads it while its own start goes on, so that the media
// framework's registry scan neither holds nor enlarges the player's process.
//   kestrum-media-check

#include <cstdio>
#include <string>

#include "app/linux/media_components_gst.h"

int main(int argc, char**) {
    if (argc != 1) {
        std::fputs("usage: kestrum-media-check\n", stderr);
        return 2;
    }
    for (const std::string& missing : kestrum::MissingMediaInThisProcess())
        std::printf("%s\n", missing.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}
