#include "app/linux/media_check_ahead.h"

#include <fcntl.h>
#include <glib.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>

#include "app/linux/media_components_gst.h"
#include "common/after_start.h"
#include "common/debug_log.h"
#include "common/linux/own_executable_linux.h"

extern char** environ;

namespace kestrum {
namespace {

constexpr char kMediaCheckProgramName[] = "kestrum-media-check";
constexpr std::chrono::milliseconds kAnswerLimit{15000};
constexpr std::size_t kAnswerLimitBytes = 64 * 1024;

struct RunningCheck {
    pid_t pid = -1;
    int output = -1;  // the read end of the program's standard output
};

RunningCheck& Ahead() {
    static RunningCheck running;  // main thread only
    return running;
}

std::optional<RunningCheck> StartProgram() {
    std::string program = CompanionProgram(kMediaCheckProgramName);
    if (program.empty())
        return std::nullopt;
    // Both ends close on exec: the web engine's processes, started later, must not hold the
    // write end open, or the answer would never end.
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe[1]);
    if (failed != 0) {
        close(pipe[0]);
        return std::nullopt;
    }
    return RunningCheck{pid, pipe[0]};
}

// The program's whole output, or nothing when it did not end well within the limit.
std::optional<std::string> Answer(const RunningCheck& running) {
    const auto deadline = std::chrono::steady_clock::now() + kAnswerLimit;
    std::string output;
    bool ended = false;
    while (output.size() <= kAnswerLimitBytes) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd ready{running.output, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            break;
        char buffer[4096];
        const ssize_t got = read(running.output, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ended = got == 0;
            break;
        }
        output.append(buffer, static_cast<std::size_t>(got));
    }
    close(running.output);
    if (!ended)
        kill(running.pid, SIGKILL);
    int status = 0;
    while (waitpid(running.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return output;
}

// The program's output as descriptions: one a line, empty lines skipped.
std::vector<std::string> MediaCheckAnswer(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        if (end > start)
            lines.push_back(output.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The first start's shortcut leaves the framework without a registry, so every start would
// take it again. Once the start is over, the program's full scan builds one, detached from
// the player (nothing waits for it, and its output goes nowhere) and at the lowest priority,
// so that it takes processor time the learner's page does not want. The framework writes its
// registry whole or not at all.
void BuildMediaRegistryIfMissing() {
    if (!MediaRegistryMissing())
        return;
    std::string program = CompanionProgram(kMediaCheckProgramName);
    if (program.empty())
        return;
    std::string scanAll = kMediaScanAllOption;
    char* argv[] = {program.data(), scanAll.data(), nullptr};
    GError* error = nullptr;
    const auto lowestPriority = [](gpointer) { setpriority(PRIO_PROCESS, 0, 19); };
    if (!g_spawn_async(
            nullptr, argv, nullptr,
            static_cast<GSpawnFlags>(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL),
            lowestPriority, nullptr, nullptr, &error)) {
        DebugLog(std::string("The media registry could not be built: ") + error->message);
        g_error_free(error);
    }
}

}  // namespace

void BeginMediaCheck() {
    if (Ahead().pid > 0)
        return;
    if (std::optional<RunningCheck> started = StartProgram())
        Ahead() = *started;
}

std::vector<std::string> MissingMedia() {
    BeginMediaCheck();
    if (Ahead().pid > 0) {
        const std::optional<std::string> output = Answer(Ahead());
        Ahead() = {};
        if (output) {
            DoAfterStart(BuildMediaRegistryIfMissing);
            return MediaCheckAnswer(*output);
        }
        DebugLog("The media check program gave no answer; checking in the player.");
    } else {
        DebugLog("The media check program could not be started; checking in the player.");
    }
    return MissingMediaInThisProcess();
}

}  // namespace kestrum
