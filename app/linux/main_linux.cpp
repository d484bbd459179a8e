// The player's entry point on Linux.
#include <gtk/gtk.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line_options.h"
#include "app/linux/linux_startup_platform.h"
#include "app/linux/media_check_ahead.h"
#include "app/player_support_log.h"
#include "common/linux/toolkit_start_gtk.h"
#include "common/text_encoding.h"

namespace {

// Help, version and wrong options are answered before the toolkit, the instance guard or the
// network are touched, so they work on a machine without a display too.
std::optional<int> AnswerOptions(int argc, char** argv) {
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(kestrum::Utf8ToUtf16(argv[i] ? argv[i] : ""));
    const kestrum::CommandLineDecision decision = kestrum::DecideCommandLine(arguments);
    if (decision.action == kestrum::CommandLineAction::kRun)
        return std::nullopt;
    std::FILE* out = decision.action == kestrum::CommandLineAction::kRefuse ? stderr : stdout;
    std::fputs(decision.text.c_str(), out);
    std::fflush(out);
    return decision.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto code = AnswerOptions(argc, argv))
        return *code;
    kestrum::StartPlayerSupportLog();
    // The media check is the runtime check's slowest part and needs neither the toolkit nor
    // the display: its program starts first thing, beside the toolkit's start-up, and the
    // runtime check (EnsureBrowserRuntime) later takes its answer. (A start that ends before
    // then leaves it to end alone.)
    kestrum::BeginMediaCheck();
    // Without a display the player has nothing to show its messages on; say so plainly rather
    // than leave a toolkit warning (a started browser or a script then sees the exit code).
    if (!kestrum::StartToolkit(&argc, &argv)) {
        const char* name = g_getenv("DISPLAY");
        std::fprintf(stderr, "kestrum: cannot open a display (DISPLAY is %s%s%s)\n",
                     name ? "'" : "", name ? name : "not set", name ? "'" : "");
        return 1;
    }
    kestrum::LinuxStartupPlatform platform(argc, argv);
    return kestrum::RunStartup(platform);
}
